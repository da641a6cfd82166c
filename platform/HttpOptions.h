#pragma once
// Shared pieces of the two HTTP back ends: header line splitting, path escaping and the
// per-server connection gate that the maximum-connections option drives.
#include <string>
#include <utility>
#include <vector>

namespace platform {

// "Name:value" lines separated by CR LF (or LF); blank after the colon dropped. False
// when a line has no colon or an empty name.
bool SplitHeaderLines(const std::string& strLines, std::vector<std::pair<std::string, std::string>>& headers);

// Escapes what may not stand raw in a request line (blanks, controls, bytes above 0x7E,
// quotes and angle brackets) as %XX; everything else, "%" included, stays.
std::string EscapeObjectPath(const std::string& strObject);

// Splits "host:port"; nPort stays when the text names none.
void SplitHostPort(const std::string& strHostText, std::string& strHost, int& nPort);

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
