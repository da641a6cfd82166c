#pragma once
// The per-server connection gate that the maximum-connections option drives.
#include <string>

namespace platform {

// Holds a connection slot for one server while alive; waits while the option's limit of
// connections to that server is reached.
class CServerConnectionSlot {
public:
    explicit CServerConnectionSlot(const std::string& strServer);
    ~CServerConnectionSlot();
    CServerConnectionSlot(const CServerConnectionSlot&) = delete;
    CServerConnectionSlot& operator=(const CServerConnectionSlot&) = delete;

private:
    std::string m_strServer;
};

}  // namespace platform
