#pragma once
// The local site as the network tests see it: a trusted certificate for dl.norvane.test,
// that name mapped to 127.0.0.1, and the log opened in a folder of the test's own.
#include <cstdint>
#include <string>

#include "tools/site/TestSite.h"

namespace nettest {

constexpr const char* kSiteHost = "dl.norvane.test";

// Prepares certificates, trust, hosts and the log once per process; false when the
// sandbox is missing.
bool PrepareNetworkSandbox();

// Starts a fresh site with the given listener fault and rate.
bool StartSite(testsite::CTestSite& site, testsite::SiteFault eListenerFault = testsite::kFault_None,
               std::int64_t nRateLimit = 0);

std::wstring SiteUrl(const std::string& strPath);
// Deterministic content of nSize bytes, different for each seed.
std::string MakeContent(std::size_t nSize, unsigned nSeed);
std::string ReadLog();
// How many lines of the log contain strNeedle.
int CountLogLines(const std::string& strNeedle);
// A folder for the test's files, removed at process end.
std::string ScratchFolder();

}  // namespace nettest
