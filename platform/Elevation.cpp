#include "platform/Elevation.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace platform {
namespace {

// pkexec starts the program with a clean environment: hand over what the window needs.
std::vector<std::string> KeptEnvironment() {
    std::vector<std::string> kept;
    for (const char* name : {"DISPLAY", "XAUTHORITY", "LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
        if (const char* value = std::getenv(name)) kept.push_back(std::string(name) + "=" + value);
    }
    const char* home = std::getenv("HOME");
    if (!std::getenv("XAUTHORITY") && home) kept.push_back(std::string("XAUTHORITY=") + home + "/.Xauthority");
    return kept;
}

}  // namespace

bool IsElevated() {
    return geteuid() == 0;
}

void RelaunchElevated(const std::string& executablePath) {
    std::vector<std::string> words = {"pkexec", "env"};
    for (std::string& variable : KeptEnvironment()) words.push_back(std::move(variable));
    words.push_back(executablePath);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp("pkexec", argv.data());
}

int InvokingUserId() {
    for (const char* name : {"PKEXEC_UID", "SUDO_UID"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            char* end = nullptr;
            const long id = std::strtol(value, &end, 10);
            if (end && *end == '\0' && id >= 0) return static_cast<int>(id);
        }
    }
    return -1;
}

}  // namespace platform
