#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "log/Log.h"
#include "log/LogCategory.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

// The log is process-wide and opens once, so every scenario runs in a child process of its own.
int RunInChild(const std::function<void()>& scenario) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        scenario();
        std::fflush(nullptr);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override { fs::remove_all(DefaultFolder()); }
    void TearDown() override { fs::remove_all(DefaultFolder()); }

    static std::string DefaultFolder() { return platform::WideToUtf8(LogDefaultFolder()); }
    static std::string DefaultFile() { return DefaultFolder() + "/" + LogCategoryName() + ".log"; }
    std::wstring Folder(const std::string& name) const { return platform::Utf8ToWide(m_temp.File(name)); }
    static std::vector<std::string> Messages(const std::string& path) {
        // Each record is "date time message\n " with the blank opening the next line.
        std::vector<std::string> messages;
        static const std::regex kRecord(R"(^ ?\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3} (.*)$)");
        std::istringstream in(testsupport::ReadWholeFile(path));
        std::string line;
        while (std::getline(in, line)) {
            std::smatch match;
            if (std::regex_match(line, match, kRecord)) messages.push_back(match[1]);
        }
        return messages;
    }

    testsupport::CTempDir m_temp;
};

TEST_F(LogTest, CategoryIsTheFileNameUpToItsFirstDot) {
    EXPECT_EQ(LogCategoryOfPath(L"/x/setup.exe"), "setup");
    EXPECT_EQ(LogCategoryOfPath(L"/x/a.b.exe"), "a");
    EXPECT_EQ(LogCategoryOfPath(L"/x.y/norvane-web-setup"), "norvane-web-setup");
}

TEST_F(LogTest, RecordLayoutIsDateBlankMessageLineEndBlank) {
    const std::wstring folder = Folder("log");
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"norvane_down.log", folder.c_str());
                  LOG_INFO("one %d", 1);
                  LOG_INFO("two");
              }),
              0);
    const std::string text = testsupport::ReadWholeFile(m_temp.File("log/norvane_down.log"));
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3} one 1\n )"
                                                  R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3} two\n )")))
        << text;
}

TEST_F(LogTest, EmptyOrNullFormatWritesNothingAndOpensNothing) {
    ASSERT_EQ(RunInChild([] {
                  LOG_INFO("%s", "");
              }),
              0);
    EXPECT_TRUE(fs::exists(DefaultFile())) << "an empty message still opens the log";
    EXPECT_EQ(fs::file_size(DefaultFile()), 0u);
    fs::remove_all(DefaultFolder());
    ASSERT_EQ(RunInChild([] {
                  WriteLog("f", __FILE__, __LINE__, kLogInfo, nullptr);
                  WriteLogW("f", __FILE__, __LINE__, kLogInfo, L"");
              }),
              0);
    EXPECT_FALSE(fs::exists(DefaultFolder()));
}

TEST_F(LogTest, RecordBeforeInitGoesToTheDefaultPlaceAndLaterInitChangesNothing) {
    const std::wstring other = Folder("other");
    ASSERT_EQ(RunInChild([&] {
                  LOG_INFO("early");
                  InitLog(L"norvane_down.log", other.c_str());
                  LOG_INFO("late");
              }),
              0);
    EXPECT_EQ(Messages(DefaultFile()), (std::vector<std::string>{"early", "late"}));
    EXPECT_FALSE(fs::exists(m_temp.File("other/norvane_down.log")));
}

TEST_F(LogTest, FirstInitWins) {
    const std::wstring first = Folder("first/deep/Log");
    const std::wstring second = Folder("second");
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"a.log", first.c_str());
                  InitLog(L"b.log", second.c_str());
                  LOG_INFO("record");
              }),
              0);
    EXPECT_EQ(Messages(m_temp.File("first/deep/Log/a.log")), std::vector<std::string>{"record"});
    EXPECT_FALSE(fs::exists(m_temp.File("second")));
}

TEST_F(LogTest, OnlyLevelsZeroToThreeAreWritten) {
    const std::wstring folder = Folder("log");
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"l.log", folder.c_str());
                  for (int level : {-1, 0, 1, 2, 3, 4, 100}) WriteLog("f", __FILE__, __LINE__, level, "level %d", level);
              }),
              0);
    EXPECT_EQ(Messages(m_temp.File("log/l.log")),
              (std::vector<std::string>{"level 0", "level 1", "level 2", "level 3"}));
}

TEST_F(LogTest, WideRecordsTakeWideStringsAndAreStoredAsUtf8) {
    const std::wstring folder = Folder("log");
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"w.log", folder.c_str());
                  LOG_INFOW(L"Language Code:%s|%d|%hs", L"\u0639\u0631\u0628\u064a \u4e2d\u6587", 1025, "narrow");
              }),
              0);
    EXPECT_EQ(Messages(m_temp.File("log/w.log")),
              std::vector<std::string>{"Language Code:\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a \xe4\xb8\xad\xe6\x96\x87|1025|narrow"});
}

TEST_F(LogTest, TrailingLineEndLeavesABlankLine) {
    const std::wstring folder = Folder("log");
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"n.log", folder.c_str());
                  LOG_INFO("ends in newline\n");
                  LOG_INFO("next");
              }),
              0);
    const std::string text = testsupport::ReadWholeFile(m_temp.File("log/n.log"));
    EXPECT_NE(text.find("ends in newline\n\n "), std::string::npos) << text;
}

TEST_F(LogTest, UnformattableRecordBecomesTheFaultRecord) {
    const std::wstring folder = Folder("log");
    ASSERT_EQ(RunInChild([&] {
                  std::setlocale(LC_ALL, "C");
                  InitLog(L"f.log", folder.c_str());
                  // A narrow argument that is no text in the C locale cannot be widened.
                  WriteLogW("CHttpDownload::CheckParam", "/src/download/HttpDownload.cpp", 42, kLogInfo, L"bad %hs",
                            "\xff\xfe");
              }),
              0);
    EXPECT_EQ(Messages(m_temp.File("log/f.log")),
              std::vector<std::string>{
                  "[HttpDownload.cpp:42][CHttpDownload::CheckParam] ***Fatal Error Check,Please Fix it!***"});
}

TEST_F(LogTest, ApiErrorCarriesThreadCallCodeAndSystemText) {
    const std::wstring folder = Folder("log");
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"e.log", folder.c_str());
                  ShowApiError("open", 2, nullptr, nullptr);
                  ShowApiError("connect", 111, nullptr, "CWinHttpRequest::ConnectSession");
                  ShowApiError("custom", 7, [](unsigned long code) { return "table text " + std::to_string(code); },
                               "X::Y");
              }),
              0);
    const std::vector<std::string> messages = Messages(m_temp.File("log/e.log"));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(std::regex_match(messages[0], std::regex(R"(\[Thread\]\[\d+\] call open fail 2, No such file or directory)")))
        << messages[0];
    EXPECT_TRUE(std::regex_match(messages[1],
                                 std::regex(R"(\[Thread\]\[\d+\] \[CWinHttpRequest::ConnectSession\]call connect fail 111, Connection refused)")))
        << messages[1];
    EXPECT_TRUE(std::regex_match(messages[2], std::regex(R"(\[Thread\]\[\d+\] \[X::Y\]call custom fail 7, table text 7)")))
        << messages[2];
}

TEST_F(LogTest, ConcurrentFirstRecordsOpenTheLogOnce) {
    constexpr int kThreads = 8;
    constexpr int kRecords = 200;
    ASSERT_EQ(RunInChild([&] {
                  std::vector<std::thread> threads;
                  for (int t = 0; t < kThreads; ++t) {
                      threads.emplace_back([t] {
                          for (int i = 0; i < kRecords; ++i) LOG_INFO("thread %d record %d", t, i);
                      });
                  }
                  for (auto& thread : threads) thread.join();
              }),
              0);
    EXPECT_EQ(Messages(DefaultFile()).size(), static_cast<std::size_t>(kThreads * kRecords));
}

TEST_F(LogTest, RollsOverOnceTheFileReachesTenMebibytesKeepingOneBackup) {
    const std::wstring folder = Folder("log");
    const std::string record(1000, 'r');
    ASSERT_EQ(RunInChild([&] {
                  InitLog(L"r.log", folder.c_str());
                  for (int i = 0; i < 25000; ++i) LOG_INFO("%05d %s", i, record.c_str());
              }),
              0);
    const std::string current = m_temp.File("log/r.log");
    const std::string backup = current + ".1";
    ASSERT_TRUE(fs::exists(backup));
    EXPECT_FALSE(fs::exists(current + ".2"));
    EXPECT_GE(fs::file_size(backup), 10485760u);
    EXPECT_LT(fs::file_size(backup), 10485760u + 1100u) << "rolled right after the record that crossed the limit";
    const std::vector<std::string> older = Messages(backup);
    const std::vector<std::string> newer = Messages(current);
    ASSERT_FALSE(older.empty());
    ASSERT_FALSE(newer.empty());
    EXPECT_EQ(std::stoi(newer.front().substr(0, 5)), std::stoi(older.back().substr(0, 5)) + 1);
    EXPECT_EQ(std::stoi(newer.back().substr(0, 5)), 24999);
}

TEST_F(LogTest, UnwritableFolderLosesRecordsQuietly) {
    testsupport::WriteWholeFile(m_temp.File("file"), "x");
    const std::wstring folder = Folder("file/Log");
    EXPECT_EQ(RunInChild([&] {
                  InitLog(L"x.log", folder.c_str());
                  LOG_INFO("lost");
              }),
              0);
}

TEST(Assert, ReportsOnStandardErrorUntilAPresenterExists) {
    ::testing::internal::CaptureStderr();
    ShowAssert(true, "never", "F", 1);
    ShowAssert(false, "nSize > 0", "CHttpDownload::Download", 77, "size %d", -3);
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("Assert(nSize > 0);\n (in function CHttpDownload::Download,at line 77)\n is Debug?\nsize -3\n"),
              std::string::npos)
        << output;

    static std::wstring s_text;
    static std::wstring s_caption;
    SetAssertPresenter([](const std::wstring& text, const std::wstring& caption) {
        s_text = text;
        s_caption = caption;
        return false;
    });
    ShowAssert(false, "ok", "G", 2);
    SetAssertPresenter(nullptr);
    EXPECT_EQ(s_caption, L"AssertError!");
    EXPECT_EQ(s_text, L"Assert(ok);\n (in function G,at line 2)\n is Debug?\n\n");
}

}  // namespace
