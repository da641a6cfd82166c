#include <gtest/gtest.h>

#include <unistd.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/HttpDownload.h"
#include "platform/Text.h"
#include "tests/net/LocalSite.h"
#include "tests/support/Sandbox.h"

namespace {

struct ProgressCheck {
    std::mutex lock;
    std::int32_t nTotal = -1;
    std::int32_t nHighest = 0;
    bool bExceeded = false;
    int nResult = 1;
};

void CheckProgress(int nEvent, std::int32_t a, std::int32_t b, void* pUserData) {
    auto* check = static_cast<ProgressCheck*>(pUserData);
    std::lock_guard<std::mutex> guard(check->lock);
    if (nEvent == kDownload_SizeKnown) check->nTotal = a;
    if (nEvent == kDownload_Progress) {
        check->bExceeded = check->bExceeded || a > b || b != check->nTotal;
        check->nHighest = std::max(check->nHighest, a);
    }
    if (nEvent == kDownload_End) check->nResult = a;
}

struct FaultCase {
    const char* pszName;
    testsite::SiteFault eFault;
    int nFaultCount;
    int nRanges;
    int nExpected;
};

// Faults that hit a few requests only: the range concerned is fetched again and the file
// comes out whole.
const FaultCase kRecoveringCases[] = {
    {"CloseMidBodyOnce", testsite::kFault_CloseMidBody, 1, 5, kDownload_Complete},
    {"ShortBodyOnce", testsite::kFault_ShortBody, 1, 5, kDownload_Complete},
    {"LongBodyOnce", testsite::kFault_LongBody, 1, 5, kDownload_Complete},
    {"IgnoredRangeTwice", testsite::kFault_IgnoreRange, 2, 5, kDownload_Complete},
    {"WrongContentLengthOnce", testsite::kFault_WrongContentLength, 1, 5, kDownload_Complete},
    {"ErrorStatusOnce", testsite::kFault_ErrorStatus, 1, 5, kDownload_Complete},
    {"NoContentLengthOnRanges", testsite::kFault_NoContentLength, 3, 3, kDownload_Complete},
    {"IgnoredRangeWithOneRange", testsite::kFault_IgnoreRange, -1, 1, kDownload_Complete},
};

class RecoveringFault : public testing::TestWithParam<FaultCase> {};

TEST_P(RecoveringFault, FileComesOutWhole) {
    const FaultCase& item = GetParam();
    testsite::CTestSite site;
    ASSERT_TRUE(nettest::StartSite(site));
    std::string strContent = nettest::MakeContent(400009, 7);
    site.AddFile("/setup.exe", strContent);
    site.SetFault(item.eFault, item.nFaultCount);
    testsupport::CTempDir folder;
    ProgressCheck check;
    HttpDownloadParam param;
    param.nDownloadThread = item.nRanges;
    param.pUserData = &check;
    param.strDownloadUrl = nettest::SiteUrl("/setup.exe");
    param.strSavePath = platform::Utf8ToWide(folder.File("setup.exe"));
    EXPECT_TRUE(HttpDownload(param, CheckProgress));
    EXPECT_EQ(check.nResult, item.nExpected);
    EXPECT_EQ(testsupport::ReadWholeFile(folder.File("setup.exe")), strContent);
    EXPECT_FALSE(check.bExceeded);
    EXPECT_EQ(check.nHighest, 400009);
    int nFaultHits = 0;
    for (const auto& hit : site.Hits()) nFaultHits += hit.strMethod == "GET" && hit.eFault != testsite::kFault_None;
    EXPECT_EQ(nFaultHits, item.nFaultCount > 0 ? item.nFaultCount : 1);
}

INSTANTIATE_TEST_SUITE_P(Table, RecoveringFault, testing::ValuesIn(kRecoveringCases),
                         [](const testing::TestParamInfo<FaultCase>& info) { return info.param.pszName; });

// A length header that claims more than the range, with every byte of the range sent before
// the connection ends: the range is complete, as the length check alone decides.
TEST(LengthClaim, RangeThatArrivedWholeIsKeptDespiteALargerClaim) {
    testsite::CTestSite site;
    ASSERT_TRUE(nettest::StartSite(site));
    std::string strContent = nettest::MakeContent(300017, 12);
    site.AddFile("/setup.exe", strContent);
    site.SetFault(testsite::kFault_WrongContentLength, 5);
    testsupport::CTempDir folder;
    ProgressCheck check;
    HttpDownloadParam param;
    param.nDownloadThread = 5;
    param.pUserData = &check;
    param.strDownloadUrl = nettest::SiteUrl("/setup.exe");
    param.strSavePath = platform::Utf8ToWide(folder.File("setup.exe"));
    EXPECT_TRUE(HttpDownload(param, CheckProgress));
    EXPECT_EQ(check.nResult, kDownload_Complete);
    EXPECT_EQ(testsupport::ReadWholeFile(folder.File("setup.exe")), strContent);
    int nGets = 0;
    for (const auto& hit : site.Hits()) nGets += hit.strMethod == "GET";
    EXPECT_EQ(nGets, 5);
}

// Faults that never end: every range runs out of its eleven attempts (the probe fails at
// once for an error page). The cases run side by side, each on a file of its own.
const FaultCase kFailingCases[] = {
    {"IgnoredRange", testsite::kFault_IgnoreRange, -1, 5, kDownload_ContentFailed},
    {"CloseMidBody", testsite::kFault_CloseMidBody, -1, 5, kDownload_ContentFailed},
    {"ShortBody", testsite::kFault_ShortBody, -1, 5, kDownload_ContentFailed},
    {"LongBody", testsite::kFault_LongBody, -1, 5, kDownload_ContentFailed},
    {"ErrorStatus", testsite::kFault_ErrorStatus, -1, 5, kDownload_SizeProbeFailed},
    {"NoContentLength", testsite::kFault_NoContentLength, -1, 5, kDownload_SizeProbeFailed},
};

TEST(LastingFault, EveryRangeGivesUpAfterElevenAttemptsAndNoFileStays) {
    testsite::CTestSite site;
    ASSERT_TRUE(nettest::StartSite(site));
    testsupport::CTempDir folder;
    std::string strContent = nettest::MakeContent(200003, 8);
    std::vector<ProgressCheck> checks(std::size(kFailingCases));
    std::vector<HttpDownloadParam> params(std::size(kFailingCases));
    std::vector<std::thread> downloads;
    for (std::size_t i = 0; i < std::size(kFailingCases); ++i) {
        std::string strPath = std::string("/") + kFailingCases[i].pszName + ".exe";
        site.AddFile(strPath, strContent);
        site.SetFault(kFailingCases[i].eFault, -1, strPath);
        params[i].nDownloadThread = kFailingCases[i].nRanges;
        params[i].pUserData = &checks[i];
        params[i].strDownloadUrl = nettest::SiteUrl(strPath);
        params[i].strSavePath = platform::Utf8ToWide(folder.File(kFailingCases[i].pszName));
        downloads.emplace_back([&params, i] { HttpDownload(params[i], CheckProgress); });
    }
    for (std::thread& download : downloads) download.join();
    int nRangesGivenUp = 0;
    for (std::size_t i = 0; i < std::size(kFailingCases); ++i) {
        SCOPED_TRACE(kFailingCases[i].pszName);
        EXPECT_EQ(checks[i].nResult, kFailingCases[i].nExpected);
        EXPECT_FALSE(checks[i].bExceeded);
        EXPECT_NE(access(folder.File(kFailingCases[i].pszName).c_str(), F_OK), 0);
        if (kFailingCases[i].nExpected == kDownload_ContentFailed) nRangesGivenUp += kFailingCases[i].nRanges;
    }
    EXPECT_EQ(nettest::CountLogLines("Request fail,  retry 10..."), nRangesGivenUp);
    EXPECT_EQ(nettest::CountLogLines("Request fail,  retry 11..."), 0);
    EXPECT_EQ(nettest::CountLogLines("Request fail,  retry 0..."), nRangesGivenUp);
}

}  // namespace
