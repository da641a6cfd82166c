// norvane-bench-download URL SAVE_PATH RANGES
// Downloads URL with the product's downloader and prints one line:
//   result=<code> seconds=<wall time> bytes=<size> peak_rss_kib=<peak resident set>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "download/HttpDownload.h"
#include "log/Log.h"
#include "platform/Text.h"

namespace {

struct Outcome {
    int nResult = 1;
    std::int32_t nTotal = 0;
};

void OnEvent(int nEvent, std::int32_t a, std::int32_t, void* pUserData) {
    auto* outcome = static_cast<Outcome*>(pUserData);
    if (nEvent == kDownload_SizeKnown) outcome->nTotal = a;
    if (nEvent == kDownload_End) outcome->nResult = a;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: norvane-bench-download URL SAVE_PATH RANGES\n");
        return 2;
    }
    // Keep the log next to the download, not beside the executable.
    std::string strSavePath = argv[2];
    std::string strFolder = strSavePath.substr(0, strSavePath.rfind('/'));
    InitLog(L"bench-download.log", platform::Utf8ToWide(strFolder).c_str());

    Outcome outcome;
    HttpDownloadParam param;
    param.nDownloadThread = std::atoi(argv[3]);
    param.pUserData = &outcome;
    param.strDownloadUrl = platform::Utf8ToWide(argv[1]);
    param.strSavePath = platform::Utf8ToWide(strSavePath);
    auto start = std::chrono::steady_clock::now();
    HttpDownload(param, OnEvent);
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("result=%d seconds=%.3f bytes=%d peak_rss_kib=%ld\n", outcome.nResult, elapsed.count(), outcome.nTotal,
                usage.ru_maxrss);
    return outcome.nResult == 0 ? 0 : 1;
}
