#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/UsageReporter.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"

namespace {

const wchar_t* const kClientKey = L"SOFTWARE\\WOW6432Node\\Norvane\\NorvaneDown";

class ClientIdTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(platform::CSettingsStore::DefaultPath()).parent_path(), ec);
    }
    void TearDown() override { SetUp(); }

    // Groups of 8-4-4-4-12 hexadecimal digits, the third in lower case, the others in upper case.
    static bool HasClientIdForm(const std::wstring& id) {
        const std::wstring upper = L"0123456789ABCDEF";
        const std::wstring lower = L"0123456789abcdef";
        if (id.size() != 36) return false;
        for (std::size_t i = 0; i < id.size(); ++i) {
            if (i == 8 || i == 13 || i == 18 || i == 23) {
                if (id[i] != L'-') return false;
            } else if ((i > 13 && i < 18 ? lower : upper).find(id[i]) == std::wstring::npos) {
                return false;
            }
        }
        return true;
    }
    static std::wstring StoredId() {
        platform::CSettingsStore store;
        std::wstring value;
        store.ReadString(platform::kHiveLocalMachine, kClientKey, L"GUID", value);
        return value;
    }

    UsageReporter m_reporter;
};

TEST_F(ClientIdTest, FirstRunCreatesTheIdAndLaterRunsReadItBack) {
    std::wstring first = m_reporter.GetClientId();
    ASSERT_TRUE(HasClientIdForm(first)) << platform::WideToUtf8(first);
    EXPECT_EQ(first, StoredId());
    UsageReporter laterRun;
    EXPECT_EQ(first, laterRun.GetClientId());
    EXPECT_EQ(first, m_reporter.GetClientId());
}

TEST_F(ClientIdTest, ParentKeyIsCreatedToo) {
    m_reporter.GetClientId();
    platform::CSettingsStore store;
    EXPECT_TRUE(store.KeyExists(platform::kHiveLocalMachine, L"SOFTWARE\\WOW6432Node\\Norvane"));
    EXPECT_TRUE(store.KeyExists(platform::kHiveLocalMachine, kClientKey));
}

TEST_F(ClientIdTest, KeyWithoutValueGetsANewStoredId) {
    platform::CSettingsStore store;
    bool bCreated = false;
    ASSERT_TRUE(store.CreateKey(platform::kHiveLocalMachine, kClientKey, bCreated));
    ASSERT_TRUE(bCreated);
    std::wstring id = m_reporter.GetClientId();
    ASSERT_TRUE(HasClientIdForm(id));
    EXPECT_EQ(id, StoredId());
    EXPECT_EQ(id, m_reporter.GetClientId());
}

TEST_F(ClientIdTest, StoredValueIsUsedAsItIs) {
    platform::CSettingsStore store;
    ASSERT_TRUE(store.WriteString(platform::kHiveLocalMachine, kClientKey, L"GUID", L"stored-by-an-earlier-run"));
    EXPECT_EQ(L"stored-by-an-earlier-run", m_reporter.GetClientId());
}

// Installers started at the same moment on a fresh machine, each with its own connection. The
// race is narrow, so it is run many times; every round must end with one id for all.
TEST_F(ClientIdTest, ConcurrentFirstRunsAgreeOnOneStoredId) {
    constexpr int kRuns = 8;
    constexpr int kRounds = 400;
    int nSplitRounds = 0;
    for (int nRound = 0; nRound < kRounds && nSplitRounds == 0; ++nRound) {
        SetUp();
        std::atomic<int> nReady{0};
        std::vector<std::wstring> ids(kRuns);
        std::vector<std::thread> runs;
        for (int i = 0; i < kRuns; ++i) {
            runs.emplace_back([&nReady, &ids, i] {
                ++nReady;
                while (nReady.load() < kRuns) std::this_thread::yield();
                UsageReporter reporter;
                ids[static_cast<std::size_t>(i)] = reporter.GetClientId();
            });
        }
        for (std::thread& run : runs) run.join();
        std::wstring stored = StoredId();
        ASSERT_TRUE(HasClientIdForm(stored)) << "round " << nRound;
        for (const std::wstring& id : ids) {
            if (id != stored) {
                ++nSplitRounds;
                break;
            }
        }
    }
    EXPECT_EQ(0, nSplitRounds);
}

TEST_F(ClientIdTest, UnusableStoreGivesAnEmptyId) {
    // A plain file where the store's folder belongs.
    std::filesystem::path folder = std::filesystem::path(platform::CSettingsStore::DefaultPath()).parent_path();
    std::filesystem::create_directories(folder.parent_path());
    FILE* pFile = std::fopen(folder.c_str(), "w");
    ASSERT_NE(nullptr, pFile);
    std::fclose(pFile);
    EXPECT_EQ(L"", m_reporter.GetClientId());
    std::filesystem::remove(folder);
}

TEST(FormatClientIdTest, ThirdGroupInLowerCase) {
    const std::uint8_t data4[8] = {0xAB, 0xCD, 0x01, 0x23, 0x45, 0x67, 0x89, 0xEF};
    EXPECT_EQ(L"DEADBEEF-ABCD-abcd-ABCD-0123456789EF", FormatClientId(0xDEADBEEF, 0xABCD, 0xABCD, data4));
    const std::uint8_t zeros[8] = {};
    EXPECT_EQ(L"0000000A-000B-000c-0000-000000000000", FormatClientId(0xA, 0xB, 0xC, zeros));
}

TEST(SettingsStoreTest, KeysAndNamesIgnoreCaseAndSeparatorsAreNormalised) {
    platform::CSettingsStore store;
    ASSERT_TRUE(store.WriteString(platform::kHiveLocalMachine, L"Software\\Norvane\\", L"Name", L"v\u00e9"));
    std::wstring value;
    EXPECT_TRUE(store.ReadString(platform::kHiveLocalMachine, L"SOFTWARE\\\\norvane", L"NAME", value));
    EXPECT_EQ(L"v\u00e9", value);
    EXPECT_FALSE(store.ReadString(platform::kHiveLocalMachine, L"SOFTWARE\\norvane", L"Other", value));
    EXPECT_FALSE(store.ReadString(platform::kHiveLocalMachine, L"SOFTWARE\\Missing", L"Name", value));
    bool bCreated = true;
    EXPECT_TRUE(store.CreateKey(platform::kHiveLocalMachine, L"software\\NORVANE", bCreated));
    EXPECT_FALSE(bCreated);
    std::filesystem::remove(platform::CSettingsStore::DefaultPath());
}

TEST(SettingsStoreTest, MissingStoreReadsNothingAndCreatesNothing) {
    std::filesystem::remove(platform::CSettingsStore::DefaultPath());
    platform::CSettingsStore store;
    std::wstring value;
    EXPECT_FALSE(store.ReadString(platform::kHiveLocalMachine, L"SOFTWARE", L"x", value));
    EXPECT_FALSE(store.KeyExists(platform::kHiveLocalMachine, L"SOFTWARE"));
    EXPECT_FALSE(std::filesystem::exists(platform::CSettingsStore::DefaultPath()));
}

}  // namespace
