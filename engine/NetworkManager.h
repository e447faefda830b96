#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Manager.h"
#include "Platform.h"

namespace ox {

/// The engine's default network port.
inline const std::string DEFAULT_NETWORK_PORT = "9876";

/// The address a server listens on unless told otherwise: this machine only.
inline const std::string DEFAULT_SERVER_HOST = "127.0.0.1";

/// Most connections accept holds unless changed with setMaxConnections.
constexpr int DEFAULT_MAX_CONNECTIONS = 3;

/// Longest wait of connect for a connection to be made, in milliseconds.
constexpr int CONNECT_TIMEOUT = 3000;

/// Most bytes the per-frame polling reads from one connection in one step.
constexpr std::size_t RECEIVE_BUFFER_SIZE = 64 * 1024;

/// Most unsent bytes one connection's send queue holds; queue refuses more, so
/// a peer that stops reading cannot make the game's memory grow without end.
constexpr std::uint64_t MAX_QUEUED_BYTES = 64 * 1024 * 1024;

/// One outgoing message waiting in a connection's send queue.
struct QueuedMessage {
    std::uint64_t m_bytes = 0;         ///< Length of the data.
    std::unique_ptr<char[]> m_p_data;  ///< The data, owned until it has been sent.
    int m_due_step = 0;                ///< Step count from which it may be sent.
    std::uint64_t m_sent = 0;          ///< Bytes already on the wire (the rest goes next).
};

/// Holds the engine's TCP connections: listens and accepts when set up as a
/// server, connects to servers, sends at once or from per-connection queues
/// released on their step, reads what arrives, closes connections, and tells
/// the objects registered for "ox-network" about new, closed and talking
/// connections. A connection is named by its index in the connection list.
/// No operation waits for the network, except connect (at most its time
/// limit), so the game loop's frame never stalls on a slow or silent peer.
class NetworkManager : public Manager {
public:
    /// The one instance, created on first use.
    static NetworkManager& getInstance();

    /// Starts the socket library. 0 on success, 1 when the library does not
    /// start (the manager stays stopped), -1 when already started.
    int startUp() override;

    /// Closes every connection and the listening socket, stops the library.
    void shutDown() override;

    /// True for "ox-network" and the rest of the network family of labels.
    bool isValid(std::string event_name) const override;

    /// Starts listening, without blocking, on host:port (port "0": the system
    /// picks one, see getServerPort). 0 on success, -1 on failure.
    int setServer(std::string port = DEFAULT_NETWORK_PORT, std::string host = DEFAULT_SERVER_HOST);

    /// True when set up as a server.
    bool isServer() const;

    /// The port the server listens on, or -1 when not set up as a server.
    int getServerPort() const;

    /// Connects to a server; the connection joins the list like an accepted
    /// one. The new socket index, or -1 on failure.
    int connect(std::string host, std::string port = DEFAULT_NETWORK_PORT);

    /// Takes one pending connection and reports it with an ACCEPT event. The
    /// new socket index; -1 when nothing was accepted (at the limit, or none
    /// pending); -2 on error or when not set up as a server.
    int accept();

    /// Closes one connection, or all for -1, reporting each with a CLOSE event
    /// while it is still listed; later connections then move down. 0 on
    /// success, -1 on a close error or a socket index that is not connected.
    int close(int sock);

    /// Sends bytes on a connection. 0 when all went out; -1 otherwise. When
    /// only part went out, the rest follows on later steps ahead of the
    /// connection's queued messages, so the byte stream stays whole.
    int send(const void* data, std::size_t bytes, int sock);

    /// Puts a copy of the bytes in the connection's send queue, to go out from
    /// step due_step on, after everything queued before it. 0, or -1.
    int queue(const void* data, std::size_t bytes, int sock, int due_step = 0);

    /// Reads what has arrived on a connection, up to size bytes; with peek the
    /// bytes stay to be read again. The count read (0 when nothing waits), or
    /// -1 on error; a connection the peer has closed or reset is closed.
    int receive(void* buffer, std::size_t size, int sock, bool peek = false);

    /// True when the connection exists; for -1 (or -2), when any does.
    bool isConnected(int sock = -1) const;

    /// Sends each connection's messages that are due by this step, oldest
    /// first; the first one not yet due holds back the rest of its queue.
    /// The sum of the results of the sends (0 each, -1 each failure).
    int sendQueued();

    /// Reads what has arrived on every connection and delivers each read as
    /// a DATA event (bytes and message point at the data during delivery).
    /// The number of DATA events delivered.
    int pollConnections();

    /// The per-frame service: accept a pending connection when a server, read
    /// every connection, then send the data that is due.
    void service();

    /// Changes how many connections accept holds. 0, or -1 for a negative value.
    int setMaxConnections(int new_max_connections);

    /// How many connections accept holds.
    int getMaxConnections() const;

    /// Number of connections in the list.
    int getNumConnections() const;

    /// The socket handle of a connection, or INVALID_SOCKET_HANDLE.
    platform::Socket getSocket(int sock) const;

    /// Number of messages waiting in a connection's send queue, or -1.
    int getQueueLength(int sock) const;

    /// Unsent bytes waiting in a connection's send queue, or -1.
    std::int64_t getQueuedBytes(int sock) const;

private:
    NetworkManager();

    /// True when sock names a listed connection that is not being closed.
    bool isOpen(int sock) const;

    /// Logs the system's text for an error code as "\t%d - %s" (nothing when
    /// the system has no text).
    static void logSocketError(int code);

    /// Logs a failed send and closes the connection when the error says it is gone.
    void reportSendError(int sock, int code);

    /// Hands part of a message to the socket: the count taken, or -1 with code set.
    std::int64_t transmit(int sock, const char* data, std::size_t bytes, int& code);

    /// Sends the due messages of one connection; the sum of the results.
    int sendDue(int sock, int step);

    /// Lists a new connection with an empty send queue; its index.
    int listConnection(platform::Socket socket_handle);

    /// Drops the listed connections that have been closed, keeping the order.
    void removeClosed();

    /// Calls visit once for each connection listed when it starts, with that
    /// connection's current index, even when visits close connections.
    void forEachConnection(const std::function<void(int)>& visit);

    platform::Socket m_server_sock;                        ///< Listening socket, or invalid.
    int m_max_connections;                                 ///< Most connections accept holds.
    std::vector<platform::Socket> m_sock;                  ///< Connected sockets.
    std::vector<std::deque<QueuedMessage>> m_send_queues;  ///< Index-aligned with m_sock.
    std::vector<std::uint64_t> m_queued_bytes;             ///< Unsent bytes of each queue.
    std::vector<char> m_receive_buffer;                    ///< Per-frame polling's buffer.
    int m_closing;                                         ///< Depth of close calls in progress.
};

}  // namespace ox
