#include "NetworkManager.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "EventNetwork.h"
#include "GameManager.h"
#include "LogManager.h"

namespace ox {

namespace {

/// Due step of the rest of a partly sent message: due at once, whatever the step.
constexpr int DUE_AT_ONCE = std::numeric_limits<int>::min();

/// Delivers a network event about one connection to the registered objects.
void report(const NetworkManager& manager, int label, int sock, int bytes = 0,
            const char* p_message = nullptr) {
    EventNetwork event(label);
    event.setSocketIndex(sock);
    event.setBytes(bytes);
    event.setMessage(p_message);
    manager.onEvent(&event);
}

/// A queued copy of bytes at data.
QueuedMessage copyMessage(const char* data, std::size_t bytes, int due_step) {
    QueuedMessage message;
    message.m_bytes = bytes;
    message.m_p_data = std::make_unique<char[]>(bytes > 0 ? bytes : 1);
    if (bytes > 0) {
        std::memcpy(message.m_p_data.get(), data, bytes);
    }
    message.m_due_step = due_step;
    return message;
}

}  // namespace

NetworkManager::NetworkManager()
    : m_server_sock(platform::INVALID_SOCKET_HANDLE),
      m_max_connections(DEFAULT_MAX_CONNECTIONS),
      m_closing(0) {
    setType("NetworkManager");
}

NetworkManager& NetworkManager::getInstance() {
    static NetworkManager network_manager;
    return network_manager;
}

int NetworkManager::startUp() {
    LogManager& log = LogManager::getInstance();
    if (refuseRestart()) {
        return -1;
    }
    const int code = platform::startSockets();
    if (code != 0) {
        log.writeLog("NetworkManager::startUp(): Error! WSAStartup() code : %d", code);
        return 1;
    }
    Manager::startUp();
    log.writeLog(5, "NetworkManager::startUp(): successfully started.");
    return 0;
}

void NetworkManager::shutDown() {
    close(-1);
    if (isServer()) {
        int code = 0;
        if (platform::closeSocket(m_server_sock, code) != 0) {
            LogManager::getInstance().writeLog(
                "NetworkManager::shutDown(): Error! Closing the listening socket:");
            logSocketError(code);
        }
        m_server_sock = platform::INVALID_SOCKET_HANDLE;
    }
    // Only a library that was started is stopped: starts and stops pair up.
    if (isStarted()) {
        const int code = platform::stopSockets();
        if (code != 0) {
            logSocketError(code);
        }
    }
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "NetworkManager::shutDown(): successfully stopped.");
}

bool NetworkManager::isValid(std::string event_name) const {
    return EventNetwork::isNetworkLabel(event_name);
}

void NetworkManager::logSocketError(int code) {
    const std::string text = platform::socketErrorText(code);
    if (text.empty()) {
        return;
    }
    // Only the first line of the system's text.
    const std::string line = text.substr(0, text.find_first_of("\r\n"));
    LogManager::getInstance().writeLog("\t%d - %s", code, line.c_str());
}

int NetworkManager::setServer(std::string port, std::string host) {
    LogManager& log = LogManager::getInstance();
    if (!isStarted()) {
        log.writeLog("NetworkManager::setServer(): Error! NetworkManager not started.");
        return -1;
    }
    if (isServer()) {
        log.writeLog("NetworkManager::setServer(): Error! Already set up as server.");
        return -1;
    }
    int code = 0;
    const platform::Socket server = platform::listenSocket(host, port, code);
    if (server == platform::INVALID_SOCKET_HANDLE) {
        log.writeLog("NetworkManager::setServer(): Error! Cannot listen on '%s' port '%s':",
                     host.c_str(), port.c_str());
        logSocketError(code);
        return -1;
    }
    m_server_sock = server;
    log.writeLog(1, "NetworkManager::setServer(): Listening on '%s' port %d.", host.c_str(),
                 getServerPort());
    return 0;
}

bool NetworkManager::isServer() const {
    return m_server_sock != platform::INVALID_SOCKET_HANDLE;
}

int NetworkManager::getServerPort() const {
    return isServer() ? platform::localPort(m_server_sock) : -1;
}

int NetworkManager::connect(std::string host, std::string port) {
    LogManager& log = LogManager::getInstance();
    if (!isStarted()) {
        log.writeLog("NetworkManager::connect(): Error! NetworkManager not started.");
        return -1;
    }
    int code = 0;
    const platform::Socket socket_handle =
        platform::connectSocket(host, port, CONNECT_TIMEOUT, code);
    if (socket_handle == platform::INVALID_SOCKET_HANDLE) {
        log.writeLog("NetworkManager::connect(): Error! Cannot connect to '%s' port '%s':",
                     host.c_str(), port.c_str());
        logSocketError(code);
        return -1;
    }
    const int index = listConnection(socket_handle);
    log.writeLog(1, "NetworkManager::connect(): Connected to '%s' port '%s', socket %d.",
                 host.c_str(), port.c_str(), index);
    return index;
}

int NetworkManager::accept() {
    LogManager& log = LogManager::getInstance();
    if (!isServer()) {
        log.writeLog("NetworkManager::accept(): Error! Not setup as server.");
        return -2;
    }
    if (getNumConnections() >= m_max_connections) {
        log.writeLog(20, "NetworkManager::accept(): Won't check for new connetions since at max.");
        log.writeLog(20, "\tUse NM.setMaxConnections() to change max.");
        return -1;
    }
    int code = 0;
    const platform::Socket socket_handle = platform::acceptSocket(m_server_sock, code);
    if (socket_handle == platform::INVALID_SOCKET_HANDLE) {
        if (platform::isWouldBlock(code)) {
            log.writeLog(15, "NetworkManager::accept(): No new connection. Not blocking.");
            return -1;
        }
        log.writeLog("NetworkManager::accept(): Error! accept() returned:");
        logSocketError(code);
        return -2;
    }
    const int index = listConnection(socket_handle);
    log.writeLog(1, "NetworkManager::accept(): New connection, socket %d.", index);
    report(*this, ACCEPT, index);
    return index;
}

int NetworkManager::close(int sock) {
    if (sock < -1 || sock >= getNumConnections()) {
        LogManager::getInstance().writeLog(
            "NetworkManager::close(): Error! Socket %d not connected.", sock);
        return -1;
    }
    const int first = sock == -1 ? 0 : sock;
    const int last = sock == -1 ? getNumConnections() - 1 : sock;
    int result = 0;
    // A handler may close connections itself while this call reports: those
    // are marked closed at once, and only the outermost call drops them from
    // the lists, so no index moves under a call that is still reporting.
    m_closing++;
    for (int i = first; i <= last && i < getNumConnections() && result == 0; i++) {
        if (m_sock[i] == platform::INVALID_SOCKET_HANDLE) {
            continue;  // already being closed by a call further out
        }
        int code = 0;
        const int closed = platform::closeSocket(m_sock[i], code);
        // The handle is released even when closing reports an error, so the
        // connection leaves the list either way and is reported as closed.
        m_sock[i] = platform::INVALID_SOCKET_HANDLE;
        if (closed != 0) {
            LogManager::getInstance().writeLog("NetworkManager::close(): Error! close() returned:");
            logSocketError(code);
            result = -1;
        }
        report(*this, CLOSE, i);
    }
    m_closing--;
    if (m_closing == 0) {
        removeClosed();
    }
    return result;
}

int NetworkManager::listConnection(platform::Socket socket_handle) {
    m_sock.push_back(socket_handle);
    m_send_queues.emplace_back();
    m_queued_bytes.push_back(0);
    return getNumConnections() - 1;
}

void NetworkManager::removeClosed() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_sock.size(); i++) {
        if (m_sock[i] == platform::INVALID_SOCKET_HANDLE) {
            continue;
        }
        if (kept != i) {  // a queue moved onto itself would come out empty
            m_sock[kept] = m_sock[i];
            m_send_queues[kept] = std::move(m_send_queues[i]);
            m_queued_bytes[kept] = m_queued_bytes[i];
        }
        kept++;
    }
    m_sock.resize(kept);
    m_send_queues.resize(kept);
    m_queued_bytes.resize(kept);
}

bool NetworkManager::isOpen(int sock) const {
    return sock >= 0 && sock < getNumConnections() &&
           m_sock[sock] != platform::INVALID_SOCKET_HANDLE;
}

std::int64_t NetworkManager::transmit(int sock, const char* data, std::size_t bytes, int& code) {
    LogManager::getInstance().writeLog(
        15, "NetworkManager::send(): Socket %d (m_sock[] is %lld). Calling ::send()...", sock,
        static_cast<long long>(m_sock[sock]));
    return platform::sendSocket(m_sock[sock], data, bytes, code);
}

void NetworkManager::reportSendError(int sock, int code) {
    LogManager& log = LogManager::getInstance();
    log.writeLog("NetworkManager::send(): Error! Return is -1.");
    logSocketError(code);
    if (platform::isConnectionClosed(code)) {
        log.writeLog(1, "\tsocket is closed");
        close(sock);
    }
}

int NetworkManager::send(const void* data, std::size_t bytes, int sock) {
    LogManager& log = LogManager::getInstance();
    if (sock < -2) {
        log.writeLog("NetworkManager::isConnected(): Warning! Sock less than -1.");
    }
    if (!isOpen(sock)) {
        log.writeLog("NetworkManager::send(): Error! Socket %d not connected. Unable to send.",
                     sock);
        return -1;
    }
    std::deque<QueuedMessage>& queue = m_send_queues[sock];
    if (!queue.empty() && queue.front().m_sent > 0) {
        // Sending now would cut into the middle of a message on the wire.
        log.writeLog(
            "NetworkManager::send(): Error! Socket %d is part way through a message. Unable to "
            "send.",
            sock);
        return -1;
    }
    const char* p_bytes = static_cast<const char*>(data);
    int code = 0;
    const std::int64_t sent = transmit(sock, p_bytes, bytes, code);
    if (sent == -1) {
        reportSendError(sock, code);
        return -1;
    }
    if (static_cast<std::uint64_t>(sent) < bytes) {
        log.writeLog("NetworkManager::send(): Warning! %d of %d bytes sent.",
                     static_cast<int>(sent), static_cast<int>(bytes));
        QueuedMessage rest = copyMessage(p_bytes, bytes, DUE_AT_ONCE);
        rest.m_sent = static_cast<std::uint64_t>(sent);
        queue.push_front(std::move(rest));
        m_queued_bytes[sock] += bytes - static_cast<std::uint64_t>(sent);
        return -1;
    }
    return 0;
}

int NetworkManager::queue(const void* data, std::size_t bytes, int sock, int due_step) {
    LogManager& log = LogManager::getInstance();
    if (!isOpen(sock)) {
        log.writeLog("NetworkManager::queue(): Error! Socket %d not connected. Unable to queue.",
                     sock);
        return -1;
    }
    if (data == nullptr && bytes > 0) {
        log.writeLog("NetworkManager::queue(): Error! No data to queue.");
        return -1;
    }
    const unsigned long long waiting = m_queued_bytes[sock];
    if (bytes > MAX_QUEUED_BYTES - waiting) {
        log.writeLog(
            "NetworkManager::queue(): Error! Socket %d has %llu bytes waiting. "
            "Unable to queue %llu more.",
            sock, waiting, static_cast<unsigned long long>(bytes));
        return -1;
    }
    m_send_queues[sock].push_back(copyMessage(static_cast<const char*>(data), bytes, due_step));
    m_queued_bytes[sock] += bytes;
    return 0;
}

int NetworkManager::receive(void* buffer, std::size_t size, int sock, bool peek) {
    LogManager& log = LogManager::getInstance();
    if (!isOpen(sock)) {
        log.writeLog(
            "NetworkManager::receive(): Error! Socket %d not connected. Unable to receive.", sock);
        return -1;
    }
    if (buffer == nullptr || size == 0) {
        log.writeLog("NetworkManager::receive(): Error! No room to receive into.");
        return -1;
    }
    // One read never returns more than an int can count.
    const std::size_t room = std::min<std::size_t>(size, std::numeric_limits<int>::max());
    int code = 0;
    const std::int64_t received =
        platform::receiveSocket(m_sock[sock], static_cast<char*>(buffer), room, peek, code);
    if (received > 0) {
        return static_cast<int>(received);
    }
    if (received == 0) {
        log.writeLog(1, "NetworkManager::receive(): Socket %d closed by peer.", sock);
        close(sock);
        return -1;
    }
    if (platform::isWouldBlock(code)) {
        return 0;
    }
    log.writeLog("NetworkManager::receive(): Error! Return is -1.");
    logSocketError(code);
    if (platform::isConnectionClosed(code)) {
        log.writeLog(1, "\tsocket is closed");
        close(sock);
    }
    return -1;
}

bool NetworkManager::isConnected(int sock) const {
    if (sock < -2) {
        LogManager::getInstance().writeLog(
            "NetworkManager::isConnected(): Warning! Sock less than -1.");
        return false;
    }
    if (m_sock.empty()) {
        return false;
    }
    return sock < getNumConnections();
}

void NetworkManager::forEachConnection(const std::function<void(int)>& visit) {
    // A visit that closes connections moves later ones down: the current
    // index then already names the next connection. The count bounds the
    // walk whatever the visits do.
    const int count = getNumConnections();
    int sock = 0;
    for (int visits = 0; visits < count && sock < getNumConnections(); visits++) {
        const platform::Socket handle = m_sock[sock];
        visit(sock);
        if (sock < getNumConnections() && m_sock[sock] == handle) {
            sock++;
        }
    }
}

int NetworkManager::sendDue(int sock, int step) {
    int sum = 0;
    const platform::Socket handle = m_sock[sock];
    // Stop when the connection is closed (or replaced) by a failed send.
    while (isOpen(sock) && m_sock[sock] == handle && !m_send_queues[sock].empty()) {
        QueuedMessage& message = m_send_queues[sock].front();
        if (message.m_due_step > step) {
            break;
        }
        const std::uint64_t left = message.m_bytes - message.m_sent;
        int code = 0;
        const std::int64_t sent =
            transmit(sock, message.m_p_data.get() + message.m_sent, left, code);
        if (sent == -1 && platform::isWouldBlock(code)) {
            // The peer is not reading: the message waits for a later step.
            LogManager::getInstance().writeLog(
                15, "NetworkManager::sendQueued(): Socket %d not ready. Sending later.", sock);
            return sum - 1;
        }
        if (sent == -1) {
            m_queued_bytes[sock] -= left;
            m_send_queues[sock].pop_front();
            reportSendError(sock, code);
            sum--;
            continue;
        }
        m_queued_bytes[sock] -= static_cast<std::uint64_t>(sent);
        if (static_cast<std::uint64_t>(sent) < left) {
            LogManager::getInstance().writeLog(
                "NetworkManager::send(): Warning! %d of %d bytes sent.", static_cast<int>(sent),
                static_cast<int>(left));
            message.m_sent += static_cast<std::uint64_t>(sent);
            return sum - 1;
        }
        m_send_queues[sock].pop_front();
    }
    return sum;
}

int NetworkManager::sendQueued() {
    const int step = GameManager::getInstance().getStepCount();
    int sum = 0;
    forEachConnection([&](int sock) {
        if (isOpen(sock)) {
            sum += sendDue(sock, step);
        }
    });
    return sum;
}

int NetworkManager::pollConnections() {
    if (m_receive_buffer.empty()) {
        m_receive_buffer.resize(RECEIVE_BUFFER_SIZE);
    }
    int delivered = 0;
    forEachConnection([&](int sock) {
        if (!isOpen(sock)) {
            return;
        }
        const int received = receive(m_receive_buffer.data(), m_receive_buffer.size(), sock);
        if (received > 0) {
            report(*this, DATA, sock, received, m_receive_buffer.data());
            delivered++;
        }
    });
    return delivered;
}

void NetworkManager::service() {
    if (isServer()) {
        accept();
    }
    pollConnections();
    if (isConnected(-1)) {
        sendQueued();
    }
}

int NetworkManager::setMaxConnections(int new_max_connections) {
    if (new_max_connections < 0) {
        LogManager::getInstance().writeLog(
            "NetworkManager::setMaxConnections(): Error! Maximum %d less than 0.",
            new_max_connections);
        return -1;
    }
    m_max_connections = new_max_connections;
    return 0;
}

int NetworkManager::getMaxConnections() const {
    return m_max_connections;
}

int NetworkManager::getNumConnections() const {
    return static_cast<int>(m_sock.size());
}

platform::Socket NetworkManager::getSocket(int sock) const {
    return sock >= 0 && sock < getNumConnections() ? m_sock[sock] : platform::INVALID_SOCKET_HANDLE;
}

int NetworkManager::getQueueLength(int sock) const {
    return sock >= 0 && sock < getNumConnections() ? static_cast<int>(m_send_queues[sock].size())
                                                   : -1;
}

std::int64_t NetworkManager::getQueuedBytes(int sock) const {
    return sock >= 0 && sock < getNumConnections() ? static_cast<std::int64_t>(m_queued_bytes[sock])
                                                   : -1;
}

}  // namespace ox
