#include "platform/CommandLine.h"

namespace platform {

std::vector<std::string> SplitCommandLine(std::string_view text) {
    std::vector<std::string> args;
    std::string strCurrent;
    bool bInArgument = false;
    bool bQuoted = false;
    for (char ch : text) {
        if (ch == '"') {
            bQuoted = !bQuoted;
            bInArgument = true;
        } else if ((ch == ' ' || ch == '\t') && !bQuoted) {
            if (bInArgument) args.push_back(strCurrent);
            strCurrent.clear();
            bInArgument = false;
        } else {
            strCurrent += ch;
            bInArgument = true;
        }
    }
    if (bInArgument) args.push_back(strCurrent);
    return args;
}

}  // namespace platform
