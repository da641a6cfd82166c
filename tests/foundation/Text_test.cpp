#include <gtest/gtest.h>

#include "platform/Text.h"

namespace {

struct FormatCase {
    const char* szName;
    const wchar_t* szFormat;
    const wchar_t* szTranslated;
};

class TranslateWideFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TranslateWideFormatTest, GivesGlibcMeaning) {
    EXPECT_EQ(platform::TranslateWideFormat(GetParam().szFormat), GetParam().szTranslated);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TranslateWideFormatTest,
    ::testing::Values(FormatCase{"plain_s_is_wide", L"a %s b", L"a %ls b"},
                      FormatCase{"plain_c_is_wide", L"%c", L"%lc"},
                      FormatCase{"h_s_is_narrow", L"%hs", L"%s"},
                      FormatCase{"l_s_stays_wide", L"%ls", L"%ls"},
                      FormatCase{"width_and_flags_kept", L"%-10.3s|%5d", L"%-10.3ls|%5d"},
                      FormatCase{"percent_escape_untouched", L"100%% %s", L"100%% %ls"},
                      FormatCase{"star_width", L"%*s", L"%*ls"},
                      FormatCase{"numbers_untouched", L"%d %ld %llu %x %f", L"%d %ld %llu %x %f"},
                      FormatCase{"trailing_percent", L"abc %", L"abc %"}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(FormatWide, PercentSTakesWideStrings) {
    EXPECT_EQ(platform::FormatWide(L"[%s:%d][%s]", L"file.cpp", 12, L"\u00fcber"), L"[file.cpp:12][\u00fcber]");
    EXPECT_EQ(platform::FormatWide(L"%hs/%c", "narrow", L'x'), L"narrow/x");
}

TEST(FormatWide, LongTextIsNotCut) {
    const std::wstring longText(100000, L'z');
    EXPECT_EQ(platform::FormatWide(L"<%s>", longText.c_str()).size(), longText.size() + 2);
}

TEST(FormatNarrow, MeasuresBeforeFormatting) {
    const std::string longText(70000, 'q');
    EXPECT_EQ(platform::FormatNarrow("%s!", longText.c_str()).size(), longText.size() + 1);
}

struct Utf8Case {
    const char* szName;
    std::string bytes;
    std::wstring wide;
};

class Utf8DecodeTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8DecodeTest, Decodes) {
    EXPECT_EQ(platform::Utf8ToWide(GetParam().bytes), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8DecodeTest,
    ::testing::Values(Utf8Case{"ascii", "abc", L"abc"},
                      Utf8Case{"arabic", "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7", L"\u0645\u0631\u062d\u0628\u0627"},
                      Utf8Case{"outside_bmp", "\xf0\x9f\x98\x80", L"\U0001F600"},
                      Utf8Case{"truncated_sequence", "a\xe4\xb8", L"a\uFFFD\uFFFD"},
                      Utf8Case{"overlong_slash", "\xc0\xaf", L"\uFFFD"},
                      Utf8Case{"lone_continuation", "\x80z", L"\uFFFDz"},
                      Utf8Case{"encoded_surrogate", "\xed\xa0\x80", L"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(Utf16Le, RoundTripsSurrogatePairsAndStopsAtNul) {
    const std::wstring text = L"Norvane \u4e2d\u6587 \U0001F600";
    const std::string bytes = platform::WideToUtf16Le(text);
    EXPECT_EQ(platform::Utf16LeToWide(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), text);
    const std::uint8_t withNul[] = {'a', 0, 0, 0, 'b', 0};
    EXPECT_EQ(platform::Utf16LeToWide(withNul, sizeof(withNul)), L"a");
    const std::uint8_t oddLength[] = {'a', 0, 'b'};
    EXPECT_EQ(platform::Utf16LeToWide(oddLength, sizeof(oddLength)), L"a");
    const std::uint8_t loneSurrogate[] = {0x00, 0xD8, 'x', 0};
    EXPECT_EQ(platform::Utf16LeToWide(loneSurrogate, sizeof(loneSurrogate)), L"\uFFFDx");
}

}  // namespace
