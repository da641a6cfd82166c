#include "tools/site/CertificateMaker.h"

#include <arpa/inet.h>

#include <cstdlib>
#include <fstream>

namespace testsite {
namespace {

bool IsIpAddress(const std::string& strHost) {
    in_addr address4{};
    in6_addr address6{};
    return inet_pton(AF_INET, strHost.c_str(), &address4) == 1 || inet_pton(AF_INET6, strHost.c_str(), &address6) == 1;
}

std::string SubjectAltNames(const std::vector<std::string>& hostNames) {
    std::vector<std::string> names = hostNames;
    names.push_back("localhost");
    names.push_back("127.0.0.1");
    std::string strNames;
    for (const std::string& strHost : names) {
        if (!strNames.empty()) strNames += ",";
        strNames += (IsIpAddress(strHost) ? "IP:" : "DNS:") + strHost;
    }
    return strNames;
}

bool Run(const std::string& strCommand) { return std::system((strCommand + " >/dev/null 2>&1").c_str()) == 0; }

}  // namespace

bool MakeTestCertificates(const std::string& strFolder, const std::vector<std::string>& hostNames, TestCertificates& certificates) {
    certificates.strCaFile = strFolder + "/ca.crt";
    certificates.strCertFile = strFolder + "/server.crt";
    certificates.strKeyFile = strFolder + "/server.key";
    const std::string strCaKey = strFolder + "/ca.key";
    const std::string strRequest = strFolder + "/server.csr";
    const std::string strExtensions = strFolder + "/server.ext";
    const std::string strNewKey = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";

    std::ofstream(strExtensions) << "subjectAltName=" << SubjectAltNames(hostNames) << "\n"
                                 << "basicConstraints=CA:FALSE\n"
                                 << "keyUsage=critical,digitalSignature,keyEncipherment\n"
                                 << "extendedKeyUsage=serverAuth\n";
    return Run("openssl req -x509 " + strNewKey + " -days 7 -subj '/CN=Norvane Test Authority'" +
               " -addext 'basicConstraints=critical,CA:TRUE' -addext 'keyUsage=critical,keyCertSign,cRLSign'" +
               " -keyout '" + strCaKey + "' -out '" + certificates.strCaFile + "'") &&
           Run("openssl req " + strNewKey + " -subj '/CN=localhost' -keyout '" + certificates.strKeyFile + "' -out '" +
               strRequest + "'") &&
           Run("openssl x509 -req -days 7 -in '" + strRequest + "' -CA '" + certificates.strCaFile + "' -CAkey '" + strCaKey +
               "' -CAcreateserial -extfile '" + strExtensions + "' -out '" + certificates.strCertFile + "'");
}

}  // namespace testsite
