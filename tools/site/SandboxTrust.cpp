#include "tools/site/SandboxTrust.h"

#include <sys/mount.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace testsite {

const char kSystemCaBundle[] = "/etc/ssl/certs/ca-certificates.crt";

namespace {

std::string ReadFile(const std::string& strPath) {
    std::ifstream file(strPath, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool BindOver(const std::string& strSource, const std::string& strTarget) {
    return mount(strSource.c_str(), strTarget.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

}  // namespace

bool InIsolatedNamespace() {
    // /sys shows the namespace it was mounted in; /proc/self/net shows our own.
    std::ifstream devices("/proc/self/net/dev");
    std::string strLine;
    int nInterfaces = 0;
    while (std::getline(devices, strLine)) {
        std::size_t nColon = strLine.find(':');
        if (nColon == std::string::npos) continue;
        std::size_t nStart = strLine.find_first_not_of(' ');
        if (strLine.substr(nStart, nColon - nStart) != "lo") return false;
        ++nInterfaces;
    }
    return nInterfaces == 1;
}

bool TrustCaInNamespace(const std::string& strCaFile, const std::string& strFolder) {
    if (!InIsolatedNamespace()) return false;
    std::string strBundle = strFolder + "/ca-bundle.crt";
    std::ofstream bundle(strBundle, std::ios::binary);
    bundle << ReadFile(kSystemCaBundle) << "\n" << ReadFile(strCaFile);
    bundle.close();
    return bundle.good() && BindOver(strBundle, kSystemCaBundle);
}

bool MapHostsToLoopback(const std::vector<std::string>& hostNames, const std::string& strFolder) {
    if (!InIsolatedNamespace()) return false;
    std::string strHosts = strFolder + "/hosts";
    std::ofstream hosts(strHosts);
    hosts << "127.0.0.1 localhost\n::1 localhost\n";
    for (const std::string& strName : hostNames) hosts << "127.0.0.1 " << strName << "\n";
    hosts.close();
    return hosts.good() && BindOver(strHosts, "/etc/hosts");
}

}  // namespace testsite
