#pragma once

#include <string>

#include "Event.h"

namespace ox {

/// Label of the network event: a connection changed.
inline const std::string NETWORK_EVENT = "ox-network";
/// Network-family label reserved for keyboard input from a peer.
inline const std::string KEYBOARD_NETWORK_EVENT = "ox-keyboard-network";
/// Network-family label reserved for mouse input from a peer.
inline const std::string MOUSE_NETWORK_EVENT = "ox-mouse-network";
/// Network-family label reserved for an object created by a peer.
inline const std::string NETWORK_CREATE_EVENT = "ox-network-create";
/// Network-family label reserved for a game-defined message from a peer.
inline const std::string CUSTOM_NETWORK_EVENT = "ox-custom-network";
/// Network-family label reserved for an object deleted by a peer.
inline const std::string NETWORK_DELETE_EVENT = "ox-network-delete";
/// Network-family label reserved for a peer's game over.
inline const std::string NETWORK_GAME_OVER_EVENT = "ox-network-game-over";
/// Network-family label reserved for synchronizing with a peer.
inline const std::string NETWORK_SYNC_EVENT = "ox-network-sync";

/// What happened to a connection. The value 3 is a valid label too, though
/// the engine does not send it.
enum NetworkEventLabel : int {
    UNDEFINED_NETWORK_LABEL = -1,  ///< not set, or rejected
    ACCEPT = 0,                    ///< a new connection was accepted
    DATA = 1,                      ///< bytes arrived on a connection
    CLOSE = 2,                     ///< a connection was closed
};

/// Highest valid network label.
const int MAX_NETWORK_LABEL = 3;

/// A network connection changed; sent by the network manager.
class EventNetwork : public Event {
public:
    /// An event with the given label (validated as setLabel does).
    explicit EventNetwork(int new_label = UNDEFINED_NETWORK_LABEL);

    /// True for "ox-network" and the other seven labels of the network family.
    static bool isNetworkLabel(const std::string& event_type);

    /// Sets what happened; a value outside -1 to 3 is logged and replaced by -1.
    void setLabel(int new_label);
    /// What happened.
    int getLabel() const { return m_label; }
    /// Sets the connection concerned.
    void setSocketIndex(int new_socket_index) { m_socket_index = new_socket_index; }
    /// The connection concerned, -1 when none.
    int getSocketIndex() const { return m_socket_index; }
    /// Sets the number of bytes concerned.
    void setBytes(int new_bytes) { m_bytes = new_bytes; }
    /// The number of bytes concerned.
    int getBytes() const { return m_bytes; }
    /// Sets the bytes concerned (not owned).
    void setMessage(const char* p_new_message) { m_p_message = p_new_message; }
    /// The bytes concerned (not owned), null when none.
    const char* getMessage() const { return m_p_message; }

private:
    int m_label = UNDEFINED_NETWORK_LABEL;  ///< What happened.
    int m_socket_index = -1;                ///< Connection concerned.
    int m_bytes = 0;                        ///< Number of bytes concerned.
    const char* m_p_message = nullptr;      ///< Bytes concerned, not owned.
};

}  // namespace ox
