#pragma once
// A plain-HTTP server on 127.0.0.1 that answers each connection with whatever bytes a test
// writes on the raw socket: the broken servers a real web server never imitates.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

// Writes the whole answer to fd; strRequest holds the request's head.
using ScriptedAnswer = std::function<void(int fd, const std::string& strRequest)>;

class CScriptedServer {
public:
    CScriptedServer() = default;
    ~CScriptedServer();
    CScriptedServer(const CScriptedServer&) = delete;
    CScriptedServer& operator=(const CScriptedServer&) = delete;

    bool Start(int nPort, ScriptedAnswer answer);
    void Stop();
    bool Stopping() const { return m_bStopping; }
    std::vector<std::string> Requests() const;

private:
    void AcceptLoop();
    void Serve(int fd);

    ScriptedAnswer m_answer;
    int m_nListenFd = -1;
    std::atomic<bool> m_bStopping{false};
    std::thread m_acceptThread;
    mutable std::mutex m_lock;
    std::vector<std::thread> m_connections;
    std::vector<std::string> m_requests;
};

// Socket helpers for the answers.
bool SendAll(int fd, const std::string& strData);
// Closes with a reset instead of an orderly end.
void ResetConnection(int fd);

}  // namespace nettest
