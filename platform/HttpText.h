#pragma once
// Texts of HTTP requests that both back ends handle alike: header lines, the object path
// and a host with its port.
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

}  // namespace platform
