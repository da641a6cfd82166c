#include "tests/net/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nettest {

CScriptedServer::~CScriptedServer() { Stop(); }

bool CScriptedServer::Start(int nPort, ScriptedAnswer answer) {
    m_answer = std::move(answer);
    m_nListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_nListenFd < 0) return false;
    int nOn = 1;
    setsockopt(m_nListenFd, SOL_SOCKET, SO_REUSEADDR, &nOn, sizeof(nOn));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(m_nListenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(m_nListenFd, 64) != 0) {
        close(m_nListenFd);
        m_nListenFd = -1;
        return false;
    }
    m_acceptThread = std::thread([this] { AcceptLoop(); });
    return true;
}

void CScriptedServer::Stop() {
    if (m_nListenFd < 0) return;
    m_bStopping = true;
    shutdown(m_nListenFd, SHUT_RDWR);
    m_acceptThread.join();
    close(m_nListenFd);
    m_nListenFd = -1;
    std::vector<std::thread> connections;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        connections.swap(m_connections);
    }
    for (std::thread& connection : connections) connection.join();
}

std::vector<std::string> CScriptedServer::Requests() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_requests;
}

void CScriptedServer::AcceptLoop() {
    while (!m_bStopping) {
        int fd = accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (m_bStopping) return;
            continue;
        }
        std::lock_guard<std::mutex> guard(m_lock);
        m_connections.emplace_back([this, fd] { Serve(fd); });
    }
}

void CScriptedServer::Serve(int fd) {
    // A client that stopped reading without a reset would hold the answer for minutes.
    timeval sendTimeout{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof(sendTimeout));
    std::string strRequest;
    char buffer[4096];
    while (strRequest.find("\r\n\r\n") == std::string::npos) {
        pollfd item{fd, POLLIN, 0};
        if (poll(&item, 1, 5000) <= 0) break;
        ssize_t nRead = recv(fd, buffer, sizeof(buffer), 0);
        if (nRead <= 0) break;
        strRequest.append(buffer, static_cast<std::size_t>(nRead));
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_requests.push_back(strRequest);
    }
    if (!strRequest.empty()) m_answer(fd, strRequest);
    close(fd);
}

bool SendAll(int fd, const std::string& strData) {
    std::size_t nSent = 0;
    while (nSent < strData.size()) {
        ssize_t n = send(fd, strData.data() + nSent, strData.size() - nSent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        nSent += static_cast<std::size_t>(n);
    }
    return true;
}

void ResetConnection(int fd) {
    linger item{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &item, sizeof(item));
}

}  // namespace nettest
