#pragma once
// Makes the machine's TLS clients and name lookups see the local site, inside a private
// mount namespace only: the system CA bundle and /etc/hosts are covered by bind mounts that
// vanish with the namespace. Product code then needs no switch of its own.
#include <string>
#include <vector>

namespace testsite {

extern const char kSystemCaBundle[];  // "/etc/ssl/certs/ca-certificates.crt"

// True inside a network namespace with no interface but loopback, the sign of the sandbox
// (unshare -n -m) that these helpers are meant for. The machine's /proc/1 may be hidden, so
// the mount namespace itself cannot be compared with the machine's.
bool InIsolatedNamespace();

// Covers the system CA bundle with one that also trusts strCaFile. The new bundle is
// written into strFolder. Refuses outside the sandbox.
bool TrustCaInNamespace(const std::string& strCaFile, const std::string& strFolder);

// Covers /etc/hosts with one that maps every name to 127.0.0.1. Refuses outside the sandbox.
bool MapHostsToLoopback(const std::vector<std::string>& hostNames, const std::string& strFolder);

}  // namespace testsite
