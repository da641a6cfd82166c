#include <gtest/gtest.h>

#include <unistd.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "download/HttpDownload.h"
#include "platform/Text.h"
#include "tests/net/LocalSite.h"
#include "tests/support/Sandbox.h"

namespace {

struct Event {
    int nEvent;
    std::int32_t a;
    std::int32_t b;
};

struct EventLog {
    std::mutex lock;
    std::vector<Event> events;
};

void RecordEvent(int nEvent, std::int32_t a, std::int32_t b, void* pUserData) {
    auto* log = static_cast<EventLog*>(pUserData);
    std::lock_guard<std::mutex> guard(log->lock);
    log->events.push_back({nEvent, a, b});
}

class DownloadOnSite : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(nettest::StartSite(m_site)); }

    bool Run(const std::string& strPath, int nThreads, const std::string& strSaveName = "out/setup.exe") {
        m_param.nDownloadThread = nThreads;
        m_param.pUserData = &m_events;
        m_param.strDownloadUrl = nettest::SiteUrl(strPath);
        m_strSavePath = m_folder.File(strSaveName);
        m_param.strSavePath = platform::Utf8ToWide(m_strSavePath);
        return HttpDownload(m_param, RecordEvent);
    }
    std::set<std::string> RangesAsked() const {
        std::set<std::string> ranges;
        for (const auto& hit : m_site.Hits()) {
            if (hit.strMethod == "GET") ranges.insert(hit.strRange);
        }
        return ranges;
    }
    void ExpectProgressWithinTotal(std::int32_t nTotal) {
        ASSERT_GE(m_events.events.size(), 3u);
        EXPECT_EQ(m_events.events.front().nEvent, kDownload_Start);
        EXPECT_EQ(m_events.events[1].nEvent, kDownload_SizeKnown);
        EXPECT_EQ(m_events.events[1].a, nTotal);
        for (const Event& event : m_events.events) {
            if (event.nEvent != kDownload_Progress) continue;
            EXPECT_LE(event.a, nTotal);
            EXPECT_EQ(event.b, nTotal);
        }
        EXPECT_EQ(m_events.events.back().nEvent, kDownload_End);
    }

    testsite::CTestSite m_site;
    testsupport::CTempDir m_folder;
    HttpDownloadParam m_param;
    EventLog m_events;
    std::string m_strSavePath;
};

TEST_F(DownloadOnSite, ExampleOfFiveRanges) {
    std::string strContent = nettest::MakeContent(1000003, 3);
    m_site.AddFile("/example.exe", strContent);
    ASSERT_TRUE(Run("/example.exe", 5));
    EXPECT_EQ(testsupport::ReadWholeFile(m_strSavePath), strContent);
    EXPECT_EQ(RangesAsked(), (std::set<std::string>{"bytes=0-199999", "bytes=200000-399999", "bytes=400000-599999",
                                                    "bytes=600000-799999", "bytes=800000-1000002"}));
    ExpectProgressWithinTotal(1000003);
    const Event& last = m_events.events[m_events.events.size() - 2];
    EXPECT_EQ(last.nEvent, kDownload_Progress);
    EXPECT_EQ(last.a, 1000003);
    EXPECT_EQ(m_events.events.back().a, kDownload_Complete);
}

TEST_F(DownloadOnSite, OneRangeIsTheWholeFile) {
    std::string strContent = nettest::MakeContent(250001, 4);
    m_site.AddFile("/one.exe", strContent);
    ASSERT_TRUE(Run("/one.exe", 1));
    EXPECT_EQ(testsupport::ReadWholeFile(m_strSavePath), strContent);
    EXPECT_EQ(RangesAsked(), (std::set<std::string>{"bytes=0-250000"}));
}

TEST_F(DownloadOnSite, HundredRangesAreCutToSixtyFour) {
    std::string strContent = nettest::MakeContent(640037, 5);
    m_site.AddFile("/many.exe", strContent);
    ASSERT_TRUE(Run("/many.exe", 100));
    EXPECT_EQ(testsupport::ReadWholeFile(m_strSavePath), strContent);
    EXPECT_EQ(RangesAsked().size(), 64u);
    EXPECT_EQ(nettest::CountLogLines("DownLoadContent: ThreadNum = 64 (request thread num = 100)"), 1);
    ExpectProgressWithinTotal(640037);
}

TEST_F(DownloadOnSite, FileSmallerThanRangeCountNeedsNoEmptyRanges) {
    m_site.AddFile("/tiny.exe", "abc");
    ASSERT_TRUE(Run("/tiny.exe", 5));
    EXPECT_EQ(testsupport::ReadWholeFile(m_strSavePath), "abc");
    EXPECT_EQ(RangesAsked(), (std::set<std::string>{"bytes=0-2"}));
}

TEST_F(DownloadOnSite, OnlyHttpServerStillDelivers) {
    m_site.Stop();
    testsite::CTestSite plain;
    ASSERT_TRUE(nettest::StartSite(plain, testsite::kFault_OnlyHttp));
    std::string strContent = nettest::MakeContent(100000, 6);
    plain.AddFile("/plain.exe", strContent);
    ASSERT_TRUE(Run("/plain.exe", 5));
    EXPECT_EQ(testsupport::ReadWholeFile(m_strSavePath), strContent);
    plain.Stop();
}

struct BadParamCase {
    const char* pszName;
    int nThreads;
    bool bEmptyUrl;
    const char* pszLogText;
};

class DownloadBadParam : public DownloadOnSite, public testing::WithParamInterface<BadParamCase> {};

TEST_P(DownloadBadParam, EndsWithMinusOne) {
    const BadParamCase& item = GetParam();
    m_site.AddFile("/bad.exe", "x");
    bool bResult = Run("/bad.exe", item.nThreads);
    if (item.bEmptyUrl) {
        m_events.events.clear();
        m_param.strDownloadUrl.clear();
        bResult = HttpDownload(m_param, RecordEvent);
    }
    EXPECT_FALSE(bResult);
    ASSERT_FALSE(m_events.events.empty());
    EXPECT_EQ(m_events.events.back().nEvent, kDownload_End);
    EXPECT_EQ(m_events.events.back().a, kDownload_BadParam);
    EXPECT_GE(nettest::CountLogLines(item.pszLogText), 1);
}

const BadParamCase kBadParamCases[] = {
    {"ZeroThreads", 0, false, "ERR:invalid param (nDownloadThread = 0)"},
    {"NegativeThreads", -3, false, "ERR:invalid param (nDownloadThread = -3)"},
    {"EmptyUrl", 5, true, "ERR:invalid param (strDownloadUrl)"},
};

INSTANTIATE_TEST_SUITE_P(Table, DownloadBadParam, testing::ValuesIn(kBadParamCases),
                         [](const testing::TestParamInfo<BadParamCase>& info) { return info.param.pszName; });

TEST_F(DownloadOnSite, FolderThatCannotBeMadeIsBadParam) {
    m_site.AddFile("/f.exe", "x");
    testsupport::WriteWholeFile(m_folder.File("blocker"), "a file, not a folder");
    EXPECT_FALSE(Run("/f.exe", 5, "blocker/sub/setup.exe"));
    EXPECT_EQ(m_events.events.back().a, kDownload_BadParam);
    EXPECT_GE(nettest::CountLogLines("ERR:make dir (" + m_folder.File("blocker/sub") + ") fail!"), 1);
}

TEST_F(DownloadOnSite, FailedProbeLeavesNoFile) {
    testsupport::WriteWholeFile(m_folder.File("old.exe"), "stale");
    EXPECT_FALSE(Run("/missing.exe", 5, "old.exe"));
    EXPECT_EQ(m_events.events.back().a, kDownload_SizeProbeFailed);
    EXPECT_FALSE(testsupport::ReadWholeFile(m_strSavePath) == "stale");
    EXPECT_NE(access(m_strSavePath.c_str(), F_OK), 0);
}

}  // namespace
