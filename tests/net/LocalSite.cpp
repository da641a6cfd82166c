#include "tests/net/LocalSite.h"

#include <memory>
#include <sstream>

#include "log/Log.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"
#include "tools/site/CertificateMaker.h"
#include "tools/site/SandboxTrust.h"

namespace nettest {
namespace {

testsupport::CTempDir& Scratch() {
    static testsupport::CTempDir folder;
    return folder;
}

testsite::TestCertificates& Certificates() {
    static testsite::TestCertificates certificates;
    return certificates;
}

}  // namespace

std::string ScratchFolder() { return Scratch().Path(); }

bool PrepareNetworkSandbox() {
    static const bool bReady = [] {
        std::string strFolder = Scratch().Path();
        InitLog(L"net.log", platform::Utf8ToWide(strFolder + "/log").c_str());
        return testsite::MakeTestCertificates(strFolder, {kSiteHost}, Certificates()) &&
               testsite::TrustCaInNamespace(Certificates().strCaFile, strFolder) &&
               testsite::MapHostsToLoopback({kSiteHost}, strFolder);
    }();
    return bReady;
}

bool StartSite(testsite::CTestSite& site, testsite::SiteFault eListenerFault, std::int64_t nRateLimit) {
    if (!PrepareNetworkSandbox()) return false;
    testsite::SiteOptions options;
    options.strCertFile = Certificates().strCertFile;
    options.strKeyFile = Certificates().strKeyFile;
    options.strRootFolder = Scratch().Path() + "/www";
    options.eFault = eListenerFault;
    options.nRateLimit = nRateLimit;
    return site.Start(options);
}

std::wstring SiteUrl(const std::string& strPath) { return platform::Utf8ToWide(std::string("https://") + kSiteHost + strPath); }

std::string MakeContent(std::size_t nSize, unsigned nSeed) {
    std::string strContent(nSize, '\0');
    std::uint32_t nState = 2463534242u ^ (nSeed * 2654435761u);
    for (char& ch : strContent) {
        nState ^= nState << 13;
        nState ^= nState >> 17;
        nState ^= nState << 5;
        ch = static_cast<char>(nState & 0xFF);
    }
    return strContent;
}

std::string ReadLog() { return testsupport::ReadWholeFile(Scratch().Path() + "/log/net.log"); }

int CountLogLines(const std::string& strNeedle) {
    std::istringstream log(ReadLog());
    std::string strLine;
    int nCount = 0;
    while (std::getline(log, strLine)) {
        if (strLine.find(strNeedle) != std::string::npos) ++nCount;
    }
    return nCount;
}

}  // namespace nettest
