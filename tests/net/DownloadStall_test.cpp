#include <gtest/gtest.h>

#include <string>

#include "download/HttpDownload.h"
#include "platform/Text.h"
#include "tests/net/LocalSite.h"
#include "tests/support/Sandbox.h"

namespace {

// A stalled server must not hold a range for ever: the receive time-out ends the attempt
// and the next attempt fetches the range.
TEST(StalledServer, RangeIsFetchedAgainAfterTheReceiveTimeout) {
    testsite::CTestSite site;
    ASSERT_TRUE(nettest::StartSite(site));
    std::string strContent = nettest::MakeContent(300007, 9);
    site.AddFile("/setup.exe", strContent);
    site.SetFault(testsite::kFault_Stall, 1);
    testsupport::CTempDir folder;
    HttpDownloadParam param;
    param.nDownloadThread = 3;
    param.strDownloadUrl = nettest::SiteUrl("/setup.exe");
    param.strSavePath = platform::Utf8ToWide(folder.File("setup.exe"));
    EXPECT_TRUE(HttpDownload(param, nullptr));
    EXPECT_EQ(testsupport::ReadWholeFile(folder.File("setup.exe")), strContent);
    EXPECT_EQ(nettest::CountLogLines("Request fail,  retry 0..."), 1);
    site.Stop();
}

}  // namespace
