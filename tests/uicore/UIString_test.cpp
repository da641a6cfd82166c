#include "ui/core/UIString.h"

#include <gtest/gtest.h>

#include "tests/uicore/UIStringPrinter.h"

#include <string>

namespace {

TEST(UIString, KeepsShortTextsInline)
{
    const std::wstring text62(62, L'x');
    CUIString str(text62.c_str());
    str += L"";
    EXPECT_EQ(str.GetLength(), 62);
    const wchar_t* pInline = str.GetData();
    CUIString copy(str);
    EXPECT_EQ(copy, str);
    str.Assign(std::wstring(30, L'y').c_str());
    EXPECT_EQ(str.GetData(), pInline);
}

TEST(UIString, GrowsBeyondInlineBuffer)
{
    CUIString str;
    for (int i = 0; i < 1000; ++i) {
        str += L'a' + static_cast<wchar_t>(i % 26);
    }
    EXPECT_EQ(str.GetLength(), 1000);
    EXPECT_EQ(str.GetAt(999), L'a' + 999 % 26);
    EXPECT_EQ(str.GetAt(1000), L'\0');
    CUIString moved(std::move(str));
    EXPECT_EQ(moved.GetLength(), 1000);
    EXPECT_TRUE(str.IsEmpty());
    str = moved;
    EXPECT_EQ(str, moved);
}

TEST(UIString, AssignsFromItself)
{
    CUIString str(std::wstring(100, L'z').c_str());
    str += L"tail";
    str = str.GetData() + 100;
    EXPECT_EQ(str, L"tail");
    str.Append(str.GetData());
    EXPECT_EQ(str, L"tailtail");
    str = str.Mid(2, 3);
    EXPECT_EQ(str, L"ilt");
}

TEST(UIString, NullTextIsEmpty)
{
    CUIString str(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(str.IsEmpty());
    str.Append(nullptr);
    EXPECT_EQ(str.Compare(nullptr), 0);
    EXPECT_EQ(str.Find(static_cast<const wchar_t*>(nullptr)), -1);
}

TEST(UIString, Compares)
{
    struct Case {
        const char* pName;
        const wchar_t* pLeft;
        const wchar_t* pRight;
        int nExact;
        int nNoCase;
    };
    const Case cases[] = {
        {"equal", L"Button", L"Button", 0, 0},
        {"case differs", L"Button", L"button", -1, 0},
        {"prefix", L"but", L"button", -1, -1},
        {"longer", L"buttons", L"Button", 1, 1},
        {"empty", L"", L"a", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        const CUIString str(c.pLeft);
        const int nExact = str.Compare(c.pRight);
        const int nNoCase = str.CompareNoCase(c.pRight);
        EXPECT_EQ((nExact > 0) - (nExact < 0), c.nExact);
        EXPECT_EQ((nNoCase > 0) - (nNoCase < 0), c.nNoCase);
    }
}

TEST(UIString, CopiesPartsClamped)
{
    const CUIString str(L"abcdef");
    EXPECT_EQ(str.Left(3), L"abc");
    EXPECT_EQ(str.Left(99), L"abcdef");
    EXPECT_EQ(str.Left(-1), L"");
    EXPECT_EQ(str.Mid(2), L"cdef");
    EXPECT_EQ(str.Mid(2, 2), L"cd");
    EXPECT_EQ(str.Mid(10, 2), L"");
    EXPECT_EQ(str.Mid(-3, 2), L"ab");
    EXPECT_EQ(str.Right(2), L"ef");
    EXPECT_EQ(str.Right(99), L"abcdef");
}

TEST(UIString, Finds)
{
    const CUIString str(L"a,b,,c");
    EXPECT_EQ(str.Find(L','), 1);
    EXPECT_EQ(str.Find(L',', 2), 3);
    EXPECT_EQ(str.Find(L"c"), 5);
    EXPECT_EQ(str.Find(L",,"), 3);
    EXPECT_EQ(str.Find(L"x"), -1);
    EXPECT_EQ(str.Find(L',', 99), -1);
    EXPECT_EQ(str.Find(L',', -1), -1);
    EXPECT_EQ(str.ReverseFind(L','), 4);
}

TEST(UIString, ReplacesAllAndCounts)
{
    struct Case {
        const char* pName;
        const wchar_t* pText;
        const wchar_t* pFrom;
        const wchar_t* pTo;
        int nCount;
        const wchar_t* pResult;
    };
    const Case cases[] = {
        {"none", L"abc", L"x", L"y", 0, L"abc"},
        {"several", L"a%sb%s", L"%s", L"XY", 2, L"aXYbXY"},
        {"non-overlapping", L"aaaa", L"aa", L"a", 2, L"aa"},
        {"to empty", L"a-b-c", L"-", L"", 2, L"abc"},
        {"growing past inline", L"xxxxxxxxxx", L"x", L"0123456789", 10,
            L"0123456789012345678901234567890123456789012345678901234567890123456789"
            L"012345678901234567890123456789"},
        {"empty pattern", L"abc", L"", L"y", 0, L"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIString str(c.pText);
        EXPECT_EQ(str.Replace(c.pFrom, c.pTo), c.nCount);
        EXPECT_EQ(str, c.pResult);
    }
}

TEST(UIString, FormatTakesWideStringForPercentS)
{
    CUIString str;
    EXPECT_EQ(str.Format(L"%s=%d", L"width", 650), 9);
    EXPECT_EQ(str, L"width=650");
    str.Format(L"%hs/%s", "narrow", L"wide");
    EXPECT_EQ(str, L"narrow/wide");
    const std::wstring longText(300, L'q');
    str.Format(L"[%s]", longText.c_str());
    EXPECT_EQ(str.GetLength(), 302);
}

TEST(UIString, ChangesCase)
{
    CUIString str(L"MiXeD");
    str.MakeLower();
    EXPECT_EQ(str, L"mixed");
    str.MakeUpper();
    EXPECT_EQ(str, L"MIXED");
}

}  // namespace
