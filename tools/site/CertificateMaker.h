#pragma once
// Makes a certificate authority and a server certificate signed by it, with the openssl
// command line, for a site that lives only as long as a test or a demo.
#include <string>
#include <vector>

namespace testsite {

struct TestCertificates {
    std::string strCaFile;    // the authority's certificate (PEM)
    std::string strCertFile;  // the server's certificate (PEM)
    std::string strKeyFile;   // the server's private key (PEM)
};

// Writes the files into strFolder. The server certificate names every host in hostNames
// (IP addresses as such) plus localhost and 127.0.0.1. False when openssl fails.
bool MakeTestCertificates(const std::string& strFolder, const std::vector<std::string>& hostNames, TestCertificates& certificates);

}  // namespace testsite
