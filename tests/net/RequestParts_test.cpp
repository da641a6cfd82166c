#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "download/RequestChoice.h"
#include "platform/HttpOptions.h"
#include "platform/HttpTransfer.h"
#include "tool/BaseRequest.h"

namespace {

struct SplitCase {
    const char* pszName;
    const wchar_t* pszUrl;
    bool bResult;
    const wchar_t* pszHost;
    const wchar_t* pszPath;
};

const SplitCase kSplitCases[] = {
    {"HttpsWithFolders", L"https://host/dir/file.exe", true, L"host", L"dir/file.exe"},
    {"HttpWithQuery", L"http://host/a?b=c", true, L"host", L"a?b=c"},
    {"NoSlashAfterHost", L"https://host", false, L"", L""},
    {"HostOnlyWithSlash", L"https://host/", true, L"host", L""},
    {"PortStaysInHost", L"http://host:8080/x", true, L"host:8080", L"x"},
    {"NeitherSchemeLeavesEmpty", L"ftp://host/x", true, L"", L""},
    {"PrefixSearchedNotAnchored", L"xhttp://host/x", true, L"", L"host/x"},
    {"BlanksKept", L"https://h/a b.exe", true, L"h", L"a b.exe"},
};

class SplitUrlTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitUrlTest, SplitsAsTheTableSays) {
    const SplitCase& item = GetParam();
    std::wstring strHost;
    std::wstring strPath;
    EXPECT_EQ(CBaseRequest::SplitUrl(item.pszUrl, strHost, strPath), item.bResult);
    EXPECT_EQ(strHost, item.pszHost);
    EXPECT_EQ(strPath, item.pszPath);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitUrlTest, testing::ValuesIn(kSplitCases),
                         [](const testing::TestParamInfo<SplitCase>& info) { return info.param.pszName; });

struct LengthCase {
    const char* pszName;
    const char* pszText;
    bool bResult;
    std::int32_t nSize;
};

const LengthCase kLengthCases[] = {
    {"Zero", "0", true, 0},
    {"Example", "1000003", true, 1000003},
    {"LargestSupported", "2147483647", true, 2147483647},
    {"TwoGiB", "2147483648", false, 0},
    {"FarTooLong", "99999999999999999999999", false, 0},
    {"Negative", "-1", false, 0},
    {"Empty", "", false, 0},
    {"TrailingLetters", "12a", false, 0},
    {"Blanks", " 42 ", true, 42},
};

class ContentLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(ContentLengthTest, ParsesOnlySizesBelowTwoGiB) {
    const LengthCase& item = GetParam();
    std::int32_t nSize = 0;
    EXPECT_EQ(ParseContentLength(item.pszText, nSize), item.bResult);
    if (item.bResult) {
        EXPECT_EQ(nSize, item.nSize);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ContentLengthTest, testing::ValuesIn(kLengthCases),
                         [](const testing::TestParamInfo<LengthCase>& info) { return info.param.pszName; });

struct ChoiceCase {
    const char* pszName;
    int nAttempt;
    std::int32_t nWinHttpFail;
    std::int32_t nInternetFail;
    int nExpected;
};

const ChoiceCase kChoiceCases[] = {
    {"FirstAttemptOfProcess", 0, 0, 0, kRequest_WinHttp},
    {"EqualOddAttempt", 1, 3, 3, kRequest_Internet},
    {"EqualEvenAttempt", 4, 3, 3, kRequest_WinHttp},
    {"WinHttpFailedMore", 0, 2, 1, kRequest_Internet},
    {"InternetFailedMore", 1, 1, 2, kRequest_WinHttp},
};

class RequestChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(RequestChoiceTest, AvoidsTheBackEndThatFailedMore) {
    const ChoiceCase& item = GetParam();
    EXPECT_EQ(ChooseRequestType(item.nAttempt, item.nWinHttpFail, item.nInternetFail), item.nExpected);
}

INSTANTIATE_TEST_SUITE_P(Table, RequestChoiceTest, testing::ValuesIn(kChoiceCases),
                         [](const testing::TestParamInfo<ChoiceCase>& info) { return info.param.pszName; });

TEST(RequestFactory, KnownTypesMakeTheirBackEnd) {
    std::unique_ptr<CBaseRequest> winHttp(CBaseRequest::CreateInstance(kRequest_WinHttp));
    std::unique_ptr<CBaseRequest> internet(CBaseRequest::CreateInstance(kRequest_Internet));
    ASSERT_TRUE(winHttp && internet);
    EXPECT_STREQ(winHttp->GetRequestName(), "WinHttp");
    EXPECT_STREQ(internet->GetRequestName(), "Internet");
    EXPECT_EQ(winHttp->strVerb, L"GET");
    EXPECT_EQ(winHttp->nMaxConns, 0);
}

TEST(RequestFactory, UnknownTypeYieldsNull) { EXPECT_EQ(CBaseRequest::CreateInstance(2), nullptr); }

TEST(RequestLayer, UrlWithoutSlashFailsBeforeAnyConnection) {
    std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(kRequest_WinHttp));
    EXPECT_FALSE(request->RequestUrl(L"https://host"));
    EXPECT_TRUE(request->strHost.empty());
}

TEST(RequestLayer, SizeAndReadFailWithoutAnExchange) {
    std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(kRequest_Internet));
    std::int32_t nSize = 7;
    char buffer[4];
    EXPECT_FALSE(request->GetUrlFileSize(nSize));
    EXPECT_EQ(nSize, 7);
    EXPECT_EQ(request->HttpRead(buffer, sizeof(buffer)), -1);
}

TEST(ConnectionOptions, SetThenQueryAndValueInForce) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(CBaseRequest::InternetSetOpt(platform::kHttpOptionMaxConnsPerServer, 12));
    ASSERT_TRUE(CBaseRequest::QueryInternetOpt(platform::kHttpOptionMaxConnsPerServer, bytes));
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 12);
    EXPECT_TRUE(CBaseRequest::InternetSetOpt(platform::kHttpOptionMaxConnsPerServer, 12));
    EXPECT_TRUE(CBaseRequest::InternetSetOpt(platform::kHttpOptionMaxConnsPerServer, 0));
}

TEST(ConnectionOptions, UnknownOptionFails) {
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(CBaseRequest::QueryInternetOpt(99, bytes));
    EXPECT_FALSE(CBaseRequest::InternetSetOpt(99, 1));
}

struct EscapeCase {
    const char* pszName;
    const char* pszObject;
    const char* pszEscaped;
};

const EscapeCase kEscapeCases[] = {
    {"BlankBecomesPercent20", "collect?ec=Web Setup", "collect?ec=Web%20Setup"},
    {"PlainPathUnchanged", "dir/file.exe?a=b&c=%41", "dir/file.exe?a=b&c=%41"},
    {"NonAsciiBytes", "caf\xC3\xA9", "caf%C3%A9"},
    {"QuotesAndBrackets", "a\"<>", "a%22%3C%3E"},
};

class EscapeObjectPathTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeObjectPathTest, EscapesWhatMayNotStandRaw) {
    EXPECT_EQ(platform::EscapeObjectPath(GetParam().pszObject), GetParam().pszEscaped);
}

INSTANTIATE_TEST_SUITE_P(Table, EscapeObjectPathTest, testing::ValuesIn(kEscapeCases),
                         [](const testing::TestParamInfo<EscapeCase>& info) { return info.param.pszName; });

TEST(HeaderLines, SplitsRangeLineWithoutBlank) {
    std::vector<std::pair<std::string, std::string>> headers;
    ASSERT_TRUE(platform::SplitHeaderLines("Range:bytes=0-99\r\nX-A: b", headers));
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0], std::make_pair(std::string("Range"), std::string("bytes=0-99")));
    EXPECT_EQ(headers[1], std::make_pair(std::string("X-A"), std::string("b")));
    EXPECT_FALSE(platform::SplitHeaderLines("no colon here", headers));
}

}  // namespace
