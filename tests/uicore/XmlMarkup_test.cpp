#include "ui/core/XmlMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Text.h"
#include "tests/support/Sandbox.h"
#include "ui/core/UIManager.h"

namespace {

std::wstring Text(const wchar_t* pText)
{
    return pText != nullptr ? std::wstring(pText) : std::wstring(L"<null>");
}

std::vector<std::uint8_t> Bytes(const std::string& strData)
{
    return std::vector<std::uint8_t>(strData.begin(), strData.end());
}

// The names of the elements in document order, children in brackets.
std::wstring Outline(CXmlNode node)
{
    std::wstring strOutline;
    for (; node.IsValid(); node = node.GetSibling()) {
        if (!strOutline.empty()) {
            strOutline += L" ";
        }
        strOutline += node.GetName();
        if (node.HasChildren()) {
            strOutline += L"(" + Outline(node.GetChild()) + L")";
        }
    }
    return strOutline;
}

TEST(XmlMarkup, ParsesDocuments)
{
    struct Case {
        const char* pName;
        const wchar_t* pText;
        const wchar_t* pOutline;
    };
    const Case cases[] = {
        {"nested", L"<Window><VerticalLayout><Label/><Button></Button></VerticalLayout></Window>",
            L"Window(VerticalLayout(Label Button))"},
        {"declaration and comments",
            L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- skin -->\n<Window>\n<!-- a -> b -->\n<Font id=\"0\"/>\n</Window>",
            L"Window(Font)"},
        {"doctype with internal subset", L"<!DOCTYPE Window [ <!ELEMENT Window ANY> ]><Window><A/></Window>",
            L"Window(A)"},
        {"document element left open", L"<Window><Label/>", L"Window(Label)"},
        {"open child of document element", L"<Window><Label>text", L"Window(Label)"},
        {"empty element without attributes", L"<a/>", L"a"},
        {"empty element with space", L"<a />", L"a"},
        {"closing tag with whitespace", L"<a></ a >", L"a"},
        {"names with colon and underscore", L"<ns:x_1><y/></ns:x_1>", L"ns:x_1(y)"},
        {"top-level siblings", L"<a/><b/>", L"a b"},
        {"stray closing tag at top level ends the document", L"<a/></b>garbage", L"a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CXmlMarkup markup;
        ASSERT_TRUE(markup.Load(c.pText)) << platform::WideToUtf8(markup.GetLastErrorMessage());
        EXPECT_EQ(Outline(markup.GetRoot()), c.pOutline);
    }
}

TEST(XmlMarkup, ReportsErrors)
{
    struct Case {
        const char* pName;
        const wchar_t* pText;
        const wchar_t* pMessage;
        const wchar_t* pLocation;
    };
    const Case cases[] = {
        {"text before a tag", L"hello", L"Expected start tag", L"hello"},
        {"empty text", L"", nullptr, nullptr},
        {"element name at end", L"<Window", L"Error parsing element name", L""},
        {"bad start tag end", L"<a x=\"1\" <b/>", L"Error while parsing attributes", L"<b/>"},
        {"missing equals", L"<a x \"1\"/>", L"Error while parsing attributes", L"\"1\"/>"},
        {"single quotes", L"<a x='1'/>", L"Expected attribute value", L"'1'/>"},
        {"unterminated value", L"<a x=\"1/>", L"Error while parsing attribute string", L""},
        {"value at end", L"<a x=", L"Expected attribute value", L""},
        {"mismatched end tag", L"<Window><a></b></Window>", L"Unmatched closing tag", L"b></Window>"},
        {"end tag not closed", L"<a></a x>", L"Unmatched closing tag", L"x>"},
        {"deep child left open", L"<a><b><c>text", L"Expected end-tag start", L""},
        {"deep level left open", L"<a><b><c/>", L"Expected start tag", L""},
        {"start tag not closed", L"<a b=\"1\" c", L"Error while parsing attributes", L""},
        {"slash not closing the start tag", L"<a/x>", L"Expected start-tag closing", L"/x>"},
        {"text ends after the attributes", L"<a b=\"1\"", L"Expected start-tag closing", L""},
        {"unterminated comment inside a child", L"<a><b><!-- no end", L"Expected start tag", L""},
        {"unterminated instruction", L"<?xml version=\"1.0\"", nullptr, nullptr},
        {"unterminated doctype", L"<!DOCTYPE a [ <!ELEMENT a ANY>", nullptr, nullptr},
        {"whitespace only", L" \t\r\n ", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CXmlMarkup markup;
        if (c.pMessage == nullptr) {
            EXPECT_TRUE(markup.Load(c.pText));
            EXPECT_FALSE(markup.GetRoot().IsValid());
            continue;
        }
        EXPECT_FALSE(markup.Load(c.pText));
        EXPECT_FALSE(markup.IsValid());
        EXPECT_FALSE(markup.GetRoot().IsValid());
        EXPECT_EQ(Text(markup.GetLastErrorMessage()), c.pMessage);
        EXPECT_EQ(Text(markup.GetLastErrorLocation()), c.pLocation);
    }
}

TEST(XmlMarkup, ErrorLocationIsCut)
{
    CXmlMarkup markup;
    const std::wstring text = L"junk" + std::wstring(200, L'x');
    EXPECT_FALSE(markup.Load(text.c_str()));
    EXPECT_EQ(std::wstring(markup.GetLastErrorLocation()).size(), 49u);
}

TEST(XmlMarkup, ReadsAttributes)
{
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(
        L"<Label disabledtextcolor=\"#00FFFFFF\"align=\"center\" borderround =\"2,2\" pos = \"1\"  empty=\"\"/>"));
    CXmlNode node = markup.GetRoot();
    ASSERT_EQ(node.GetAttributeCount(), 5);
    EXPECT_EQ(Text(node.GetName()), L"Label");
    EXPECT_EQ(Text(node.GetAttributeName(0)), L"disabledtextcolor");
    EXPECT_EQ(Text(node.GetAttributeValue(0)), L"#00FFFFFF");
    EXPECT_EQ(Text(node.GetAttributeValue(L"align")), L"center");
    EXPECT_EQ(Text(node.GetAttributeValue(L"borderround")), L"2,2");
    EXPECT_EQ(Text(node.GetAttributeValue(L"pos")), L"1");
    EXPECT_EQ(Text(node.GetAttributeValue(L"empty")), L"");
    EXPECT_EQ(node.GetAttributeValue(L"Align"), nullptr);
    EXPECT_EQ(Text(node.GetAttributeName(5)), L"");
    EXPECT_EQ(Text(node.GetAttributeValue(-1)), L"");
}

TEST(XmlMarkup, ResolvesEntities)
{
    struct Case {
        const char* pName;
        const wchar_t* pValue;
        const wchar_t* pExpected;
    };
    const Case cases[] = {
        {"two greater-than signs", L"Install &gt;&gt;", L"Install >>"},
        {"all five", L"&amp;&lt;&gt;&quot;&apos;", L"&<>\"'"},
        {"unknown entity stays", L"&copy; 2026", L"&copy; 2026"},
        {"lone ampersand", L"a & b", L"a & b"},
        {"ampersand at end", L"tail&", L"tail&"},
        {"unterminated entity", L"&amp", L"&amp"},
        {"entity before quote", L"x&quot;", L"x\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        const std::wstring text = std::wstring(L"<Button text=\"") + c.pValue + L"\" name=\"btn\">" + c.pValue +
                                  L"<Child/></Button>";
        CXmlMarkup markup;
        ASSERT_TRUE(markup.Load(text.c_str())) << platform::WideToUtf8(markup.GetLastErrorMessage());
        CXmlNode node = markup.GetRoot();
        EXPECT_EQ(Text(node.GetAttributeValue(L"text")), c.pExpected);
        EXPECT_EQ(Text(node.GetAttributeValue(L"name")), L"btn");
        EXPECT_EQ(Text(node.GetValue()), c.pExpected);
        EXPECT_EQ(Text(node.GetChild().GetName()), L"Child");
    }
}

TEST(XmlMarkup, KeepsWhitespaceInData)
{
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(L"<a t=\"  two  spaces \">  x  y  </a>"));
    CXmlNode node = markup.GetRoot();
    EXPECT_EQ(Text(node.GetAttributeValue(L"t")), L"  two  spaces ");
    EXPECT_EQ(Text(node.GetValue()), L"  x  y  ");
}

TEST(XmlMarkup, EmptyElementKeepsItsSlash)
{
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(L"<Window><a/><b/></Window>"));
    CXmlNode a = markup.GetRoot().GetChild();
    EXPECT_EQ(Text(a.GetName()), L"a");
    EXPECT_FALSE(a.HasChildren());
    EXPECT_EQ(Text(a.GetValue()), L"");
    EXPECT_EQ(a.GetAttributeCount(), 0);
    EXPECT_EQ(Text(a.GetSibling().GetName()), L"b");
}

TEST(XmlMarkup, ElementWithoutAttributesMapsNone)
{
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(L"<a>x=\"1\"<b y=\"2\"/></a>"));
    CXmlNode node = markup.GetRoot();
    EXPECT_EQ(node.GetAttributeCount(), 0);
    EXPECT_FALSE(node.HasAttributes());
    EXPECT_EQ(Text(node.GetChild().GetAttributeValue(L"y")), L"2");
}

TEST(XmlMarkup, MapsAtMost64Attributes)
{
    std::wstring text = L"<a";
    for (int i = 0; i < 70; ++i) {
        text += L" k" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    }
    text += L"/>";
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(text.c_str()));
    CXmlNode node = markup.GetRoot();
    EXPECT_EQ(node.GetAttributeCount(), 64);
    EXPECT_EQ(Text(node.GetAttributeValue(63)), L"63");
    EXPECT_EQ(node.GetAttributeValue(L"k64"), nullptr);
}

TEST(XmlMarkup, CopiesValueIntoBufferWithTerminator)
{
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(L"<a source=\"0123456789\"/>"));
    CXmlNode node = markup.GetRoot();
    wchar_t szBuffer[6];
    std::wmemset(szBuffer, L'#', 6);
    EXPECT_TRUE(node.GetAttributeValue(L"source", szBuffer, 6));
    EXPECT_EQ(std::wstring(szBuffer), L"01234");
    EXPECT_FALSE(node.GetAttributeValue(L"missing", szBuffer, 6));
}

TEST(XmlMarkup, InvalidNodeAnswersNothing)
{
    CXmlNode node;
    EXPECT_FALSE(node.IsValid());
    EXPECT_EQ(node.GetName(), nullptr);
    EXPECT_FALSE(node.GetChild().IsValid());
    EXPECT_FALSE(node.GetSibling().IsValid());
    EXPECT_FALSE(node.HasChildren());
    EXPECT_EQ(node.GetAttributeCount(), 0);
    EXPECT_EQ(node.GetAttributeValue(L"x"), nullptr);
}

TEST(XmlMarkup, GrowsPastManyElements)
{
    std::wstring text = L"<Window>";
    for (int i = 0; i < 2000; ++i) {
        text += L"<c/>";
    }
    text += L"</Window>";
    CXmlMarkup markup;
    ASSERT_TRUE(markup.Load(text.c_str()));
    int nCount = 0;
    for (CXmlNode node = markup.GetRoot().GetChild(); node.IsValid(); node = node.GetSibling()) {
        ++nCount;
    }
    EXPECT_EQ(nCount, 2000);
}

TEST(XmlMarkup, DeepNestingNeedsNoStack)
{
    std::wstring text;
    for (int i = 0; i < 200000; ++i) {
        text += L"<a>";
    }
    CXmlMarkup markup;
    EXPECT_FALSE(markup.Load(text.c_str()));
    EXPECT_EQ(Text(markup.GetLastErrorMessage()), L"Expected end-tag start");
}

TEST(XmlMarkup, LoadsEncodings)
{
    struct Case {
        const char* pName;
        std::string strBytes;
        int nEncoding;
        bool bOk;
    };
    const std::string strDoc = "<a t=\"\xC3\xA9\"/>";
    const Case cases[] = {
        {"utf-8", strDoc, kXmlEncoding_Utf8, true},
        {"utf-8 with bom", "\xEF\xBB\xBF" + strDoc, kXmlEncoding_Utf8, true},
        {"utf-16le with bom", std::string("\xFF\xFE<\0a\0 \0t\0=\0\"\0\xE9\0\"\0/\0>\0", 22), kXmlEncoding_Utf16, true},
        {"utf-16be with bom", std::string("\xFE\xFF\0<\0a\0 \0t\0=\0\"\0\xE9\0\"\0/\0>", 22), kXmlEncoding_Utf16, true},
        {"utf-16 odd size", std::string("\xFF\xFE<\0a\0 \0t\0=\0\"\0\xE9\0\"\0/\0>\0!", 23), kXmlEncoding_Utf16, true},
        {"utf-16 without bom", std::string("<\0a\0/\0>\0", 8), kXmlEncoding_Utf16, false},
        {"utf-16 one byte", std::string("\xFF", 1), kXmlEncoding_Utf16, false},
        {"code page", "<a t=\"\xE9\"/>", kXmlEncoding_Ansi, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        const std::vector<std::uint8_t> bytes = Bytes(c.strBytes);
        CXmlMarkup markup;
        EXPECT_EQ(markup.LoadFromMem(bytes.data(), bytes.size(), c.nEncoding), c.bOk);
        if (c.bOk) {
            EXPECT_EQ(Text(markup.GetRoot().GetAttributeValue(L"t")), L"\u00E9");
        }
    }
}

TEST(XmlMarkup, LoadsFilesUnderResourcePath)
{
    testsupport::CTempDir dir;
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("skin.xml"), "\xEF\xBB\xBF<Window size=\"650,360\"/>"));
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("empty.xml"), ""));
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File("large.xml"), std::string(0x400001, ' ')));
    CUIManager::SetResourceZipFile(L"", true);
    CUIManager::SetResourcePath(platform::Utf8ToWide(dir.Path()).c_str());
    struct Case {
        const char* pName;
        const wchar_t* pFile;
        const wchar_t* pMessage;
    };
    const Case cases[] = {
        {"ok", L"skin.xml", L""},
        {"missing", L"missing.xml", L"Error opening file"},
        {"empty", L"empty.xml", L"File is empty"},
        {"too large", L"large.xml", L"File too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CXmlMarkup markup;
        EXPECT_EQ(markup.LoadFromFile(c.pFile), c.pMessage[0] == L'\0');
        EXPECT_EQ(Text(markup.GetLastErrorMessage()), c.pMessage);
    }
    CXmlMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"skin.xml"));
    EXPECT_EQ(Text(markup.GetRoot().GetAttributeValue(L"size")), L"650,360");
    CUIManager::SetResourcePath(L"");
}

}  // namespace
