#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "common/UsageReporter.h"
#include "platform/HeadRequest.h"
#include "tests/support/Sandbox.h"
#include "tools/site/CertificateMaker.h"
#include "tools/site/SandboxTrust.h"
#include "tools/site/TestSite.h"

namespace {

const char* const kHost = "collect.norvane.test";
const wchar_t* const kQuery =
    L"collect?v=1&t=event&tid=UA-12345-6&cid=0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011"
    L"&ec=Norvane Vellumpod (Windows version)&el=0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011";
const std::string kTargetWithoutAction =
    "/collect?v=1&t=event&tid=UA-12345-6&cid=0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011"
    "&ec=Norvane%20Vellumpod%20(Windows%20version)&el=0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011";

class UsageHitsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* pszName : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
            unsetenv(pszName);
        }
        s_pFolder = new testsupport::CTempDir();
        s_pCertificates = new testsite::TestCertificates();
        s_bReady = testsite::MakeTestCertificates(s_pFolder->Path(), {kHost}, *s_pCertificates) &&
                   testsite::TrustCaInNamespace(s_pCertificates->strCaFile, s_pFolder->Path()) &&
                   testsite::MapHostsToLoopback({kHost}, s_pFolder->Path());
    }
    static void TearDownTestSuite() {
        delete s_pCertificates;
        delete s_pFolder;
    }
    void SetUp() override { ASSERT_TRUE(s_bReady) << "needs root: certificates, trust and hosts in the sandbox"; }
    void TearDown() override { m_site.Stop(); }

    bool StartCollector(testsite::SiteFault eFault = testsite::kFault_None) {
        testsite::SiteOptions options;
        options.strCertFile = s_pCertificates->strCertFile;
        options.strKeyFile = s_pCertificates->strKeyFile;
        options.eFault = eFault;
        if (!m_site.Start(options)) return false;
        // The site's Stop hangs when it comes before the listeners run; an answered request
        // (or a refused TLS handshake) on each port shows that they do.
        platform::SendHeadRequest(kHost, "probe", platform::kHeadHttps);
        platform::SendHeadRequest(kHost, "probe", platform::kHeadHttp);
        m_site.ClearHits();
        return true;
    }
    std::vector<testsite::SiteHit> WaitForHits(std::size_t nCount) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (m_site.Hits().size() < nCount && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return m_site.Hits();
    }
    static std::string HeaderOf(const testsite::SiteHit& hit, const std::string& strName) {
        for (const auto& header : hit.headers) {
            if (strcasecmp(header.first.c_str(), strName.c_str()) == 0) return header.second;
        }
        return "<none>";
    }

    static testsupport::CTempDir* s_pFolder;
    static testsite::TestCertificates* s_pCertificates;
    static bool s_bReady;
    testsite::CTestSite m_site;
    UsageReporter m_reporter;
};

testsupport::CTempDir* UsageHitsTest::s_pFolder = nullptr;
testsite::TestCertificates* UsageHitsTest::s_pCertificates = nullptr;
bool UsageHitsTest::s_bReady = false;

TEST_F(UsageHitsTest, NothingIsSentBeforeTheTargetIsSet) {
    ASSERT_TRUE(StartCollector());
    EXPECT_FALSE(m_reporter.SendStartInstall());
    EXPECT_FALSE(m_reporter.SendDownloaderInstalled());
    EXPECT_FALSE(m_reporter.SendInstalledSucceed());
    m_reporter.SetTarget(L"", kQuery);
    EXPECT_FALSE(m_reporter.SendStartInstall());
    EXPECT_TRUE(m_site.Hits().empty());
}

TEST_F(UsageHitsTest, ThreeEventsOverHttpsWithTheExactQuery) {
    ASSERT_TRUE(StartCollector());
    m_reporter.SetTarget(L"collect.norvane.test", kQuery);
    EXPECT_TRUE(m_reporter.SendStartInstall());
    EXPECT_TRUE(m_reporter.SendDownloaderInstalled());
    EXPECT_TRUE(m_reporter.SendInstalledSucceed());

    std::vector<testsite::SiteHit> hits = m_site.Hits();
    ASSERT_EQ(3u, hits.size());
    const char* actions[] = {"&ea=Downloader_Start_Install", "&ea=Downloader_Installed", "&ea=Installed_Succeed"};
    for (std::size_t i = 0; i < hits.size(); ++i) {
        EXPECT_EQ("https", hits[i].strScheme) << i;
        EXPECT_EQ("HEAD", hits[i].strMethod) << i;
        EXPECT_EQ(kTargetWithoutAction + actions[i], hits[i].strTarget) << i;
        EXPECT_EQ("*/*", HeaderOf(hits[i], "Accept")) << i;
        EXPECT_EQ("<none>", HeaderOf(hits[i], "User-Agent")) << i;
    }
}

// The category is the pack's product name as it is: nothing in it may cut the hit short or
// change its other fields.
TEST_F(UsageHitsTest, CategoryCharactersReachTheCollector) {
    struct Row {
        const char* name;
        const wchar_t* category;
        const char* sent;
    } rows[] = {
        {"number sign", L"Vellumpod #1", "Vellumpod%20%231"},
        {"dot segments", L"a/../b/./c", "a/../b/./c"},
        {"percent and plus go as they are", L"100% + more", "100%%20+%20more"},
        {"quote and braces go as they are", L"\"x\" {y} |z| ^ `w` <v>", "\"x\"%20{y}%20|z|%20^%20`w`%20<v>"},
        {"non-ASCII", L"Vell\u00fcmpod \u0634", "Vell%C3%BCmpod%20%D8%B4"},
    };
    ASSERT_TRUE(StartCollector());
    for (const Row& row : rows) {
        m_site.ClearHits();
        m_reporter.SetTarget(L"collect.norvane.test",
                             std::wstring(L"collect?v=1&t=event&tid=UA-1-1&cid=c&ec=") + row.category +
                                 L" (Windows version)&el=c");
        EXPECT_TRUE(m_reporter.SendDownloaderInstalled()) << row.name;
        std::vector<testsite::SiteHit> hits = m_site.Hits();
        ASSERT_EQ(1u, hits.size()) << row.name;
        EXPECT_EQ(std::string("/collect?v=1&t=event&tid=UA-1-1&cid=c&ec=") + row.sent +
                      "%20(Windows%20version)&el=c&ea=Downloader_Installed",
                  hits[0].strTarget)
            << row.name;
    }
}

TEST_F(UsageHitsTest, HttpOnlyCollectorTakesTheStartOnItsSecondTryAndTheRestDirectly) {
    ASSERT_TRUE(StartCollector(testsite::kFault_OnlyHttp));
    m_reporter.SetTarget(L"collect.norvane.test", kQuery);
    EXPECT_TRUE(m_reporter.SendStartInstall());
    EXPECT_TRUE(m_reporter.SendDownloaderInstalled());
    EXPECT_TRUE(m_reporter.SendInstalledSucceed());

    std::vector<testsite::SiteHit> hits = m_site.Hits();
    ASSERT_EQ(3u, hits.size());
    for (const testsite::SiteHit& hit : hits) {
        EXPECT_EQ("http", hit.strScheme);
        EXPECT_EQ("HEAD", hit.strMethod);
        EXPECT_EQ("no-cache", HeaderOf(hit, "Pragma"));
    }
    EXPECT_EQ(kTargetWithoutAction + "&ea=Downloader_Start_Install", hits[0].strTarget);
    EXPECT_EQ(kTargetWithoutAction + "&ea=Installed_Succeed", hits[2].strTarget);
}

TEST_F(UsageHitsTest, BrokenTlsFallsBackToHttp) {
    ASSERT_TRUE(StartCollector(testsite::kFault_HttpsRefused));
    m_reporter.SetTarget(L"collect.norvane.test", kQuery);
    EXPECT_TRUE(m_reporter.SendStartInstall());
    EXPECT_TRUE(m_reporter.SendDownloaderInstalled());
    std::vector<testsite::SiteHit> hits = m_site.Hits();
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ("http", hits.back().strScheme);
    EXPECT_EQ(kTargetWithoutAction + "&ea=Downloader_Installed", hits.back().strTarget);
}

TEST_F(UsageHitsTest, NoCollectorAtAllFails) {
    m_reporter.SetTarget(L"collect.norvane.test", kQuery);
    EXPECT_FALSE(m_reporter.SendStartInstall());
    EXPECT_FALSE(m_reporter.SendDownloaderInstalled());
}

TEST_F(UsageHitsTest, EventThreadSendsAndUnknownTypeIsTheStartEvent) {
    ASSERT_TRUE(StartCollector());
    m_reporter.SetTarget(L"collect.norvane.test", kQuery);
    ASSERT_TRUE(StartUsageEventThread(&m_reporter, 7));
    std::vector<testsite::SiteHit> hits = WaitForHits(1);
    ASSERT_EQ(1u, hits.size());
    EXPECT_EQ(kTargetWithoutAction + "&ea=Downloader_Start_Install", hits[0].strTarget);

    auto* task = new UsageEventTask{false, &m_reporter, kUsageInstalledSucceed};
    SendUsageEventThread(task);
    hits = m_site.Hits();
    ASSERT_EQ(2u, hits.size());
    EXPECT_EQ(kTargetWithoutAction + "&ea=Installed_Succeed", hits[1].strTarget);
}

TEST_F(UsageHitsTest, OneReporterPerProcess) {
    EXPECT_NE(nullptr, GetUsageReporter());
    EXPECT_EQ(GetUsageReporter(), GetUsageReporter());
}

}  // namespace
