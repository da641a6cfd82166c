#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/UsageReporter.h"
#include "download/HttpDownload.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

using testsupport::BinaryPath;
using testsupport::ReadWholeFile;
using testsupport::SourcePath;

const char kSetupUrl[] = "https://dl.norvane.com/vellumpod/norvane-vellumpod_setup.exe";

class DemoSiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strState = m_folder.Path() + "/state";
        m_strNetns = "norvane-demo-test-" + std::to_string(getpid());
        setenv("NORVANE_DEMO_STATE", m_strState.c_str(), 1);
        setenv("NORVANE_DEMO_NETNS", m_strNetns.c_str(), 1);
        setenv("NORVANE_BUILD_DIR", BinaryPath("").c_str(), 1);
        setenv("NORVANE_DEMO_SKIP_BUILD", "1", 1);
        for (const char* pszName : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
            unsetenv(pszName);
        }
        m_nOwnNetns = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    }
    void TearDown() override {
        LeaveSite();
        if (m_nOwnNetns >= 0) close(m_nOwnNetns);
        Script("stop.sh --quiet");
    }
    // stop.sh ends every process in the site's namespace, this one too if it stayed there.
    void LeaveSite() {
        if (m_nOwnNetns >= 0) setns(m_nOwnNetns, CLONE_NEWNET);
    }

    static int Script(const std::string& strCommand) {
        std::string strLine = SourcePath("tools/demo-site/") + strCommand + " > /dev/null";
        return std::system(strLine.c_str());
    }
    // As run-inside.sh does for a program: the namespace, its host names and its authority.
    bool EnterSite() {
        int nSite = open(("/run/netns/" + m_strNetns).c_str(), O_RDONLY | O_CLOEXEC);
        if (nSite < 0) return false;
        bool bEntered = setns(nSite, CLONE_NEWNET) == 0;
        close(nSite);
        return bEntered && testsupport::BindFileOver(m_strState + "/hosts", "/etc/hosts") &&
               testsupport::BindFileOver(m_strState + "/ca-bundle.crt", "/etc/ssl/certs/ca-certificates.crt");
    }
    int Pid(const std::string& strName) {
        return std::atoi(ReadWholeFile(m_strState + "/" + strName + ".pid").c_str());
    }

    testsupport::CTempDir m_folder;
    std::string m_strState;
    std::string m_strNetns;
    int m_nOwnNetns = -1;
};

void IgnoreProgress(int, std::int32_t, std::int32_t, void*) {}

TEST_F(DemoSiteTest, ServesTheSetupToTheDownloaderAndRecordsHitsThenStopsCleanly) {
    ASSERT_EQ(0, Script("start.sh"));
    int nSite = Pid("site");
    int nPages = Pid("pages");
    ASSERT_GT(nSite, 0);
    ASSERT_GT(nPages, 0);
    ASSERT_TRUE(EnterSite());

    HttpDownloadParam param;
    param.nDownloadThread = 5;
    param.strDownloadUrl = platform::Utf8ToWide(kSetupUrl);
    param.strSavePath = platform::Utf8ToWide(m_folder.File("norvane-download.exe"));
    ASSERT_TRUE(HttpDownload(param, IgnoreProgress));
    EXPECT_EQ(ReadWholeFile(BinaryPath("tools/demo-setup/norvane-demo-setup.exe")),
              ReadWholeFile(m_folder.File("norvane-download.exe")));

    // The installer's own collection host, over HTTPS with the site's authority.
    UsageReporter reporter;
    reporter.SetTarget(kAnalyticsHost, BuildUsageQuery(L"UA-1-1", L"c", L"Norvane Vellumpod"));
    EXPECT_TRUE(reporter.SendStartInstall());
    EXPECT_EQ("https HEAD /collect?v=1&t=event&tid=UA-1-1&cid=c&ec=Norvane%20Vellumpod%20(Windows%20version)&el=c"
              "&ea=Downloader_Start_Install 200\n",
              ReadWholeFile(m_strState + "/analytics.log"));

    // A program still running against the site when it stops.
    std::string strLeftPid = m_folder.File("left.pid");
    ASSERT_EQ(0, Script("run-inside.sh /bin/sh -c 'echo $$ > " + strLeftPid + "; exec sleep 60' &"));
    for (int nWait = 0; nWait < 500 && ReadWholeFile(strLeftPid).empty(); ++nWait) usleep(10000);
    int nLeft = std::atoi(ReadWholeFile(strLeftPid).c_str());
    ASSERT_GT(nLeft, 0);

    LeaveSite();
    ASSERT_EQ(0, Script("stop.sh"));
    EXPECT_NE(0, kill(nSite, 0));
    EXPECT_NE(0, kill(nPages, 0));
    EXPECT_NE(0, kill(nLeft, 0));
    EXPECT_FALSE(std::filesystem::exists("/run/netns/" + m_strNetns));
    EXPECT_FALSE(std::filesystem::exists(m_strState));
}

}  // namespace
