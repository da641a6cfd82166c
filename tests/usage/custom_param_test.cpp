#include <gtest/gtest.h>

#include "common/UsageReporter.h"

namespace {

TEST(AddCustomParamTest, DomainRule) {
    struct Row {
        const char* name;
        const wchar_t* url;
        const wchar_t* custom;
        const wchar_t* expected;
    } rows[] = {
        {"address with key", L"https://host/producturl?key=installed&pid=1", L"abc",
         L"https://host/producturl?key=installed&pid=1&custom=abc"},
        {"address without key", L"https://host/producturl?pid=1", L"abc", L"https://host/producturl?pid=1"},
        {"empty custom", L"https://host/producturl?key=installed", L"", L"https://host/producturl?key=installed"},
        {"empty address", L"", L"abc", L""},
        {"key= anywhere counts", L"https://host/monkey=1", L"abc", L"https://host/monkey=1&custom=abc"},
        {"upper-case KEY= does not count", L"https://host/?KEY=1", L"abc", L"https://host/?KEY=1"},
    };
    for (const Row& row : rows) EXPECT_EQ(std::wstring(row.expected), AddCustomParam(row.url, row.custom)) << row.name;
}

TEST(UsageQueryTest, HitWithoutItsAction) {
    EXPECT_EQ(L"collect?v=1&t=event&tid=UA-48207153-12&cid=0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011"
              L"&ec=Norvane Vellumpod (Windows version)&el=0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011",
              BuildUsageQuery(kAnalyticsTrackingId, L"0A1B2C3D-0001-00ff-0A0B-0C0D0E0F1011", L"Norvane Vellumpod"));
    // A store that cannot be used leaves the id empty; the hit still goes out.
    EXPECT_EQ(L"collect?v=1&t=event&tid=UA-1-2&cid=&ec= (Windows version)&el=", BuildUsageQuery(L"UA-1-2", L"", L""));
}

// The deployment's property id has the form UA-number-number.
TEST(UsageQueryTest, TrackingIdForm) {
    std::wstring id = kAnalyticsTrackingId;
    ASSERT_EQ(0u, id.rfind(L"UA-", 0));
    std::size_t nDash = id.find(L'-', 3);
    ASSERT_NE(std::wstring::npos, nDash);
    std::wstring first = id.substr(3, nDash - 3);
    std::wstring second = id.substr(nDash + 1);
    EXPECT_FALSE(first.empty());
    EXPECT_FALSE(second.empty());
    EXPECT_EQ(std::wstring::npos, first.find_first_not_of(L"0123456789"));
    EXPECT_EQ(std::wstring::npos, second.find_first_not_of(L"0123456789"));
}

}  // namespace
