// norvane-site: serves a folder on 127.0.0.1 over HTTPS (443) and HTTP (80) until SIGINT or
// SIGTERM. Meant to run inside a private network namespace (unshare -n -m).
//
//   norvane-site --root DIR [--certs DIR | --cert FILE --key FILE] [--trust] [--address IP]
//                [--https-port N] [--http-port N] [--rate BYTES_PER_SECOND]
//                [--fault NAME [--fault-count N]] [--hosts NAME,NAME...] [--hits FILE]
//
// --certs makes a fresh authority and server certificate in DIR; --trust then covers the
// system CA bundle with one that trusts it (private mount namespace only), so that clients
// started from the same namespace accept the site. --hosts maps the names to 127.0.0.1.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "tools/site/CertificateMaker.h"
#include "tools/site/SandboxTrust.h"
#include "tools/site/StopSignal.h"
#include "tools/site/TestSite.h"

namespace {

std::vector<std::string> SplitNames(const std::string& strList) {
    std::vector<std::string> names;
    std::stringstream stream(strList);
    std::string strName;
    while (std::getline(stream, strName, ',')) {
        if (!strName.empty()) names.push_back(strName);
    }
    return names;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: norvane-site --root DIR [--certs DIR | --cert FILE --key FILE] [--trust] [--address IP]\n"
                 "       [--https-port N] [--http-port N] [--rate BYTES_PER_SECOND]\n"
                 "       [--fault NAME [--fault-count N]] [--hosts NAME,...] [--hits FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    testsite::SiteOptions options;
    std::string strCertFolder;
    std::string strHitsFile;
    std::vector<std::string> hostNames;
    bool bTrust = false;
    for (int i = 1; i < argc; ++i) {
        std::string strArg = argv[i];
        bool bHasValue = i + 1 < argc;
        if (strArg == "--trust") {
            bTrust = true;
        } else if (!bHasValue) {
            return Usage();
        } else if (strArg == "--root") {
            options.strRootFolder = argv[++i];
        } else if (strArg == "--address") {
            options.strAddress = argv[++i];
        } else if (strArg == "--certs") {
            strCertFolder = argv[++i];
        } else if (strArg == "--cert") {
            options.strCertFile = argv[++i];
        } else if (strArg == "--key") {
            options.strKeyFile = argv[++i];
        } else if (strArg == "--https-port") {
            options.nHttpsPort = std::atoi(argv[++i]);
        } else if (strArg == "--http-port") {
            options.nHttpPort = std::atoi(argv[++i]);
        } else if (strArg == "--rate") {
            options.nRateLimit = std::atoll(argv[++i]);
        } else if (strArg == "--fault") {
            if (!testsite::ParseSiteFault(argv[++i], options.eFault)) return Usage();
        } else if (strArg == "--fault-count") {
            options.nFaultCount = std::atoi(argv[++i]);
        } else if (strArg == "--hosts") {
            hostNames = SplitNames(argv[++i]);
        } else if (strArg == "--hits") {
            strHitsFile = argv[++i];
        } else {
            return Usage();
        }
    }
    if (!strCertFolder.empty()) {
        testsite::TestCertificates certificates;
        if (!testsite::MakeTestCertificates(strCertFolder, hostNames, certificates)) {
            std::fprintf(stderr, "norvane-site: cannot make certificates in %s\n", strCertFolder.c_str());
            return 1;
        }
        options.strCertFile = certificates.strCertFile;
        options.strKeyFile = certificates.strKeyFile;
        if (bTrust && !testsite::TrustCaInNamespace(certificates.strCaFile, strCertFolder)) {
            std::fprintf(stderr, "norvane-site: cannot trust the authority (run inside unshare -n -m)\n");
            return 1;
        }
    }
    if (!hostNames.empty() && !testsite::MapHostsToLoopback(hostNames, strCertFolder.empty() ? "/tmp" : strCertFolder)) {
        std::fprintf(stderr, "norvane-site: cannot map host names (run inside unshare -n -m)\n");
        return 1;
    }
    std::mutex hitsLock;
    std::ofstream hitsFile;
    if (!strHitsFile.empty()) {
        hitsFile.open(strHitsFile, std::ios::app);
        options.onHit = [&](const testsite::SiteHit& hit) {
            std::lock_guard<std::mutex> guard(hitsLock);
            hitsFile << hit.strScheme << " " << hit.strMethod << " " << hit.strTarget << " " << hit.nStatus
                     << (hit.strRange.empty() ? "" : " range=" + hit.strRange) << std::endl;
        };
    }

    const sigset_t stopSignals = testsite::BlockStopSignals();
    testsite::CTestSite site;
    if (!site.Start(options)) {
        std::fprintf(stderr, "norvane-site: cannot start (ports in use, or certificate missing?)\n");
        return 1;
    }
    std::printf("norvane-site: serving %s on %s (https %d, http %d)\n", options.strRootFolder.c_str(),
                options.strAddress.c_str(), options.nHttpsPort, options.nHttpPort);
    std::fflush(stdout);
    testsite::WaitForStopSignal(stopSignals);
    site.Stop();
    return 0;
}
