// norvane-demo-pages: the demo site's pages and analytics collector, on HTTPS 443 and HTTP 80
// of one loopback address, until SIGINT or SIGTERM. Meant to run inside the demo namespace.
//
//   norvane-demo-pages --make-certs DIR --hosts NAME,NAME...
//       makes an authority and one server certificate for the names (DIR/ca.crt,
//       DIR/server.crt, DIR/server.key) and ends; both demo servers use them.
//   norvane-demo-pages --address ADDR --cert FILE --key FILE --hits FILE [--log FILE]
//       --hits receives one line per analytics hit, --log one per other request.
#include <httplib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/demo-site/DemoPages.h"
#include "tools/site/CertificateMaker.h"
#include "tools/site/StopSignal.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: norvane-demo-pages --make-certs DIR --hosts NAME,...\n"
                 "       norvane-demo-pages --address ADDR --cert FILE --key FILE --hits FILE [--log FILE]\n");
    return 2;
}

std::vector<std::string> SplitNames(const std::string& strList) {
    std::vector<std::string> names;
    std::stringstream stream(strList);
    std::string strName;
    while (std::getline(stream, strName, ',')) {
        if (!strName.empty()) names.push_back(strName);
    }
    return names;
}

class CHitLog {
public:
    bool Open(const std::string& strPath) {
        if (strPath.empty()) return true;
        m_file.open(strPath, std::ios::app);
        return static_cast<bool>(m_file);
    }
    void Write(const std::string& strLine) {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_file.is_open()) m_file << strLine << std::endl;
    }

private:
    std::mutex m_lock;
    std::ofstream m_file;
};

void Serve(httplib::Server& server, const std::string& strScheme, CHitLog& hits, CHitLog& log) {
    auto handle = [&hits, &log, strScheme](const httplib::Request& req, httplib::Response& res) {
        demosite::PageResponse page =
            demosite::MakePage(req.path, req.get_param_value("key"), req.get_param_value("lang"));
        res.status = page.nStatus;
        res.set_content(page.strBody, page.strType.c_str());
        std::string strLine = demosite::FormatHitLine(strScheme, req.method, req.target, page.nStatus);
        (demosite::IsCollectorPath(req.path) ? hits : log).Write(strLine);
    };
    server.Get(".*", handle);
    server.Post(".*", handle);
}

}  // namespace

int main(int argc, char** argv) {
    std::string strAddress = "127.0.0.2";
    std::string strCertFolder, strCert, strKey, strHits, strLog, strHosts;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string strArg = argv[i];
        std::string strValue = argv[i + 1];
        if (strArg == "--make-certs") strCertFolder = strValue;
        else if (strArg == "--hosts") strHosts = strValue;
        else if (strArg == "--address") strAddress = strValue;
        else if (strArg == "--cert") strCert = strValue;
        else if (strArg == "--key") strKey = strValue;
        else if (strArg == "--hits") strHits = strValue;
        else if (strArg == "--log") strLog = strValue;
        else return Usage();
    }
    if (argc % 2 == 0) return Usage();
    if (!strCertFolder.empty()) {
        testsite::TestCertificates certificates;
        return testsite::MakeTestCertificates(strCertFolder, SplitNames(strHosts), certificates) ? 0 : 1;
    }
    if (strCert.empty() || strKey.empty() || strHits.empty()) return Usage();

    CHitLog hits;
    CHitLog log;
    if (!hits.Open(strHits) || !log.Open(strLog)) {
        std::fprintf(stderr, "norvane-demo-pages: cannot open the hit files\n");
        return 1;
    }
    httplib::SSLServer secure(strCert.c_str(), strKey.c_str());
    httplib::Server plain;
    if (!secure.is_valid()) {
        std::fprintf(stderr, "norvane-demo-pages: cannot load %s\n", strCert.c_str());
        return 1;
    }
    Serve(secure, "https", hits, log);
    Serve(plain, "http", hits, log);
    if (!secure.bind_to_port(strAddress, 443) || !plain.bind_to_port(strAddress, 80)) {
        std::fprintf(stderr, "norvane-demo-pages: cannot bind %s:443 and :80\n", strAddress.c_str());
        return 1;
    }
    const sigset_t stopSignals = testsite::BlockStopSignals();
    std::thread secureThread([&secure] { secure.listen_after_bind(); });
    std::thread plainThread([&plain] { plain.listen_after_bind(); });
    // stop() only reaches a listener that has entered its loop.
    for (int nWait = 0; nWait < 5000 && (!secure.is_running() || !plain.is_running()); ++nWait) usleep(1000);
    std::printf("norvane-demo-pages: serving on %s (https 443, http 80)\n", strAddress.c_str());
    std::fflush(stdout);
    testsite::WaitForStopSignal(stopSignals);
    secure.stop();
    plain.stop();
    secureThread.join();
    plainThread.join();
    return 0;
}
