#include "download/RequestChoice.h"

#include <atomic>

#include "tool/BaseRequest.h"

namespace {

std::atomic<std::int32_t> nWinHttpFail{0};
std::atomic<std::int32_t> nInternetFail{0};

}  // namespace

int ChooseRequestType(int nAttempt, std::int32_t nWinHttpFailCount, std::int32_t nInternetFailCount) {
    if (nInternetFailCount > nWinHttpFailCount) return kRequest_WinHttp;
    if (nInternetFailCount < nWinHttpFailCount) return kRequest_Internet;
    return nAttempt % 2 == 0 ? kRequest_WinHttp : kRequest_Internet;
}

int ChooseRequestType(int nAttempt) { return ChooseRequestType(nAttempt, nWinHttpFail.load(), nInternetFail.load()); }

void AddRequestFailure(int nRequestType) {
    if (nRequestType == kRequest_WinHttp) {
        ++nWinHttpFail;
    } else {
        ++nInternetFail;
    }
}

std::int32_t WinHttpFailCount() { return nWinHttpFail.load(); }

std::int32_t InternetFailCount() { return nInternetFail.load(); }
