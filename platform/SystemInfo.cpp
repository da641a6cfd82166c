#include "platform/SystemInfo.h"

#include <sys/utsname.h>

#include <cstdlib>
#include <fstream>

namespace platform {
namespace {

std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::string PrettyNameFrom(const char* path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) return Unquote(line.substr(12));
    }
    return {};
}

}  // namespace

std::string OperatingSystemName() {
    std::string name = PrettyNameFrom("/etc/os-release");
    return name.empty() ? PrettyNameFrom("/usr/lib/os-release") : name;
}

std::string MachineArchitecture() {
    struct utsname info {};
    return uname(&info) == 0 ? std::string(info.machine) : std::string();
}

int UserInterfaceLanguageId() {
    // The same precedence the C library gives the message catalogue.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            const int id = LanguageIdOfLocale(value);
            return id ? id : 1033;
        }
    }
    return 1033;
}

}  // namespace platform
