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

}  // namespace
