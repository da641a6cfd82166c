#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/HttpDownload.h"
#include "download/RequestChoice.h"
#include "platform/Text.h"
#include "tests/net/LocalSite.h"
#include "tests/support/Sandbox.h"

namespace {

// Only the second back end's library names itself in a User-Agent header.
bool FromSecondBackEnd(const testsite::SiteHit& hit) {
    for (const auto& header : hit.headers) {
        if (header.first == "User-Agent") return true;
    }
    return false;
}

// This process starts with both failure counts at 0, so the choices are known in advance.
TEST(BackendSwitch, FailedBackEndIsAvoidedUntilTheOtherCatchesUp) {
    ASSERT_EQ(WinHttpFailCount(), 0);
    ASSERT_EQ(InternetFailCount(), 0);
    testsite::CTestSite site;
    ASSERT_TRUE(nettest::StartSite(site));
    std::string strContent = nettest::MakeContent(150001, 10);
    site.AddFile("/setup.exe", strContent);
    site.SetFault(testsite::kFault_CloseMidBody, 2);
    testsupport::CTempDir folder;
    HttpDownloadParam param;
    param.nDownloadThread = 1;
    param.strDownloadUrl = nettest::SiteUrl("/setup.exe");
    param.strSavePath = platform::Utf8ToWide(folder.File("setup.exe"));
    ASSERT_TRUE(HttpDownload(param, nullptr));
    EXPECT_EQ(testsupport::ReadWholeFile(folder.File("setup.exe")), strContent);

    // Attempt 0: first back end, fails. Attempt 1: it failed more, so the second; fails.
    // Attempt 2: counts equal again and the attempt even, so the first; succeeds.
    std::vector<bool> fromSecond;
    for (const auto& hit : site.Hits()) {
        if (hit.strMethod == "GET") fromSecond.push_back(FromSecondBackEnd(hit));
    }
    EXPECT_EQ(fromSecond, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(WinHttpFailCount(), 1);
    EXPECT_EQ(InternetFailCount(), 1);
    EXPECT_EQ(nettest::CountLogLines("[WinHttp] Request fail,  retry 0...(WinHttp fail:1, Internet fail:0)"), 1);
    EXPECT_EQ(nettest::CountLogLines("[Internet] Request fail,  retry 1...(WinHttp fail:1, Internet fail:1)"), 1)
        << nettest::ReadLog();
}

}  // namespace
