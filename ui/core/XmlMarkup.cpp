#include "ui/core/XmlMarkup.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <string>

#include "platform/Text.h"
#include "ui/controls/SkinArchive.h"
#include "ui/core/UIManager.h"

namespace {

constexpr std::size_t kFirstElementCapacity = 500;

bool IsWhitespace(wchar_t ch)
{
    return ch > L'\0' && ch <= L' ';
}

bool IsNameCharacter(wchar_t ch)
{
    return ch == L'_' || ch == L':' || std::iswalnum(static_cast<wint_t>(ch));
}

void CopyBounded(wchar_t* pDest, std::size_t nDestSize, const wchar_t* pSource)
{
    std::size_t nLength = 0;
    while (pSource != nullptr && pSource[nLength] != L'\0' && nLength + 1 < nDestSize) {
        pDest[nLength] = pSource[nLength];
        ++nLength;
    }
    pDest[nLength] = L'\0';
}

struct EntityReference {
    const wchar_t* pName;
    std::size_t nLength;
    wchar_t ch;
};

constexpr EntityReference kEntities[] = {
    {L"amp;", 4, L'&'},
    {L"lt;", 3, L'<'},
    {L"gt;", 3, L'>'},
    {L"quot;", 5, L'"'},
    {L"apos;", 5, L'\''},
};

// The locale's multibyte encoding stands for the system code page; bytes it cannot read
// are taken as Latin-1 so that nothing is lost silently.
std::wstring LocaleBytesToWide(const std::uint8_t* pData, std::size_t nSize)
{
    std::wstring text;
    std::mbstate_t state{};
    std::size_t nPos = 0;
    while (nPos < nSize) {
        wchar_t ch = 0;
        const std::size_t nUsed = std::mbrtowc(&ch, reinterpret_cast<const char*>(pData + nPos), nSize - nPos, &state);
        if (nUsed == static_cast<std::size_t>(-1) || nUsed == static_cast<std::size_t>(-2)) {
            state = std::mbstate_t{};
            text.push_back(static_cast<wchar_t>(pData[nPos]));
            ++nPos;
        } else {
            text.push_back(ch);
            nPos += nUsed == 0 ? 1 : nUsed;
        }
    }
    return text;
}

}  // namespace

// Parses the text in place. Open elements are kept on an explicit stack rather than by
// recursion, so that deeply nested input cannot exhaust the thread's stack.
class CXmlMarkup::CParser {
public:
    explicit CParser(CXmlMarkup& markup) : m_markup(markup), m_pBase(markup.m_text.data()), m_p(m_pBase) {}

    bool Run()
    {
        m_markup.m_elements.clear();
        m_markup.m_elements.reserve(kFirstElementCapacity);
        m_markup.m_elements.push_back(XmlElement{});
        m_lastChild.push_back(0);
        for (;;) {
            SkipWhitespace();
            if (AtEnd()) {
                return CurrentParent() < 2 ? Finish() : Fail(L"Expected start tag");
            }
            if (*m_p != L'<') {
                return Fail(L"Expected start tag");
            }
            if (m_p[1] == L'/') {
                if (m_open.empty()) {
                    return Finish();
                }
                if (!CloseElement()) {
                    return false;
                }
                continue;
            }
            ++m_p;
            SkipWhitespace();
            if (*m_p == L'!' || *m_p == L'?') {
                SkipDeclaration();
                continue;
            }
            bool bDone = false;
            if (!ParseElement(bDone)) {
                return false;
            }
            if (bDone) {
                return Finish();
            }
        }
    }

private:
    struct OpenElement {
        std::uint32_t nIndex;
        wchar_t* pName;
        wchar_t* pNameEnd;
        wchar_t* pDataEnd;
    };

    bool AtEnd() const { return *m_p == L'\0'; }
    std::uint32_t Offset(const wchar_t* p) const { return static_cast<std::uint32_t>(p - m_pBase); }
    std::uint32_t CurrentParent() const { return m_open.empty() ? 0 : m_open.back().nIndex; }

    void SkipWhitespace()
    {
        while (IsWhitespace(*m_p)) {
            ++m_p;
        }
    }

    void SkipName()
    {
        while (IsNameCharacter(*m_p)) {
            ++m_p;
        }
    }

    void SkipPast(const wchar_t* pEnd)
    {
        const std::size_t nLength = std::wcslen(pEnd);
        while (!AtEnd() && std::wcsncmp(m_p, pEnd, nLength) != 0) {
            ++m_p;
        }
        if (!AtEnd()) {
            m_p += nLength;
        }
    }

    // A declaration ends at its first ">" outside an internal subset in brackets.
    void SkipBracketedDeclaration()
    {
        int nDepth = 0;
        for (; !AtEnd(); ++m_p) {
            if (*m_p == L'[') {
                ++nDepth;
            } else if (*m_p == L']' && nDepth > 0) {
                --nDepth;
            } else if (*m_p == L'>' && nDepth == 0) {
                ++m_p;
                return;
            }
        }
    }

    void SkipDeclaration()
    {
        if (*m_p == L'?') {
            SkipPast(L"?>");
        } else if (m_p[1] == L'-' && m_p[2] == L'-') {
            m_p += 3;
            SkipPast(L"-->");
        } else {
            SkipBracketedDeclaration();
        }
    }

    std::uint32_t AppendElement()
    {
        std::vector<XmlElement>& elements = m_markup.m_elements;
        if (elements.size() == elements.capacity()) {
            elements.reserve(elements.capacity() / 2 + elements.capacity() + kFirstElementCapacity);
        }
        const std::uint32_t nIndex = static_cast<std::uint32_t>(elements.size());
        const std::uint32_t nParent = CurrentParent();
        elements.push_back(XmlElement{Offset(m_p), 0, 0, nParent, 0});
        std::uint32_t& nLast = m_lastChild.back();
        if (nLast != 0) {
            elements[nLast].nNext = nIndex;
        } else if (nParent != 0) {
            elements[nParent].nChild = nIndex;
        }
        nLast = nIndex;
        return nIndex;
    }

    // bDone is set when the text ended inside an element where a document may end.
    bool ParseElement(bool& bDone)
    {
        const std::uint32_t nParent = CurrentParent();
        const std::uint32_t nIndex = AppendElement();
        wchar_t* pName = m_p;
        SkipName();
        wchar_t* pNameEnd = m_p;
        if (AtEnd()) {
            return Fail(L"Error parsing element name");
        }
        if (!ParseAttributes()) {
            return false;
        }
        SkipWhitespace();
        XmlElement& element = m_markup.m_elements[nIndex];
        if (m_p[0] == L'/' && m_p[1] == L'>') {
            element.nData = Offset(m_p);
            *m_p = L'\0';
            m_p += 2;
            *pNameEnd = L'\0';
            return true;
        }
        if (*m_p != L'>') {
            return Fail(L"Expected start-tag closing");
        }
        element.nData = Offset(++m_p);
        wchar_t* pDest = m_p;
        ParseData(pDest, L'<');
        m_open.push_back(OpenElement{nIndex, pName, pNameEnd, pDest});
        if (AtEnd()) {
            if (nParent < 2) {
                bDone = true;
                return true;
            }
            return Fail(L"Expected end-tag start");
        }
        m_lastChild.push_back(0);
        return true;
    }

    bool CloseElement()
    {
        const OpenElement open = m_open.back();
        *open.pDataEnd = L'\0';
        *m_p = L'\0';
        m_p += 2;
        SkipWhitespace();
        const std::size_t nNameLength = static_cast<std::size_t>(open.pNameEnd - open.pName);
        if (std::wcsncmp(m_p, open.pName, nNameLength) != 0) {
            return Fail(L"Unmatched closing tag");
        }
        m_p += nNameLength;
        SkipWhitespace();
        if (*m_p != L'>') {
            return Fail(L"Unmatched closing tag");
        }
        ++m_p;
        *open.pNameEnd = L'\0';
        m_open.pop_back();
        m_lastChild.pop_back();
        return true;
    }

    bool ParseAttributes()
    {
        if (*m_p == L'>' || *m_p == L'/' || AtEnd()) {
            return true;
        }
        *m_p++ = L'\0';
        for (;;) {
            SkipWhitespace();
            if (AtEnd() || *m_p == L'>' || *m_p == L'/') {
                return true;
            }
            wchar_t* pNameEnd = (SkipName(), m_p);
            SkipWhitespace();
            if (*m_p != L'=') {
                return Fail(L"Error while parsing attributes");
            }
            *m_p++ = L' ';
            *pNameEnd = L'\0';
            SkipWhitespace();
            if (*m_p != L'"') {
                return Fail(L"Expected attribute value");
            }
            ++m_p;
            wchar_t* pDest = m_p;
            ParseData(pDest, L'"');
            if (AtEnd()) {
                return Fail(L"Error while parsing attribute string");
            }
            *pDest = L'\0';
            if (pDest != m_p) {
                *m_p = L' ';
            }
            ++m_p;
        }
    }

    // Copies characters in place up to chEnd or the end of the text, replacing the five
    // predefined entities. Positions freed by shortened entities become spaces, so that
    // attribute mapping can walk over them.
    void ParseData(wchar_t*& pDest, wchar_t chEnd)
    {
        while (!AtEnd() && *m_p != chEnd) {
            if (*m_p == L'&') {
                *pDest++ = ResolveEntity();
            } else {
                *pDest++ = *m_p++;
            }
        }
        for (wchar_t* pFill = pDest + 1; pFill < m_p; ++pFill) {
            *pFill = L' ';
        }
    }

    wchar_t ResolveEntity()
    {
        ++m_p;
        for (const EntityReference& entity : kEntities) {
            if (std::wcsncmp(m_p, entity.pName, entity.nLength) == 0) {
                m_p += entity.nLength;
                return entity.ch;
            }
        }
        return L'&';
    }

    // Names still open at the end of the text are terminated so that they read correctly.
    bool Finish()
    {
        for (const OpenElement& open : m_open) {
            *open.pNameEnd = L'\0';
            *open.pDataEnd = L'\0';
        }
        return true;
    }

    bool Fail(const wchar_t* pMessage) { return m_markup.Fail(pMessage, m_p); }

    CXmlMarkup& m_markup;
    wchar_t* m_pBase;
    wchar_t* m_p;
    std::vector<OpenElement> m_open;
    std::vector<std::uint32_t> m_lastChild;
};

CXmlMarkup::CXmlMarkup(const wchar_t* pText)
{
    if (pText != nullptr) {
        Load(pText);
    }
}

CXmlMarkup::~CXmlMarkup() = default;

void CXmlMarkup::Release()
{
    std::vector<wchar_t>().swap(m_text);
    std::vector<XmlElement>().swap(m_elements);
}

void CXmlMarkup::ClearError()
{
    m_szErrorMessage[0] = L'\0';
    m_szErrorLocation[0] = L'\0';
}

bool CXmlMarkup::Fail(const wchar_t* pMessage, const wchar_t* pLocation)
{
    if (m_szErrorMessage[0] == L'\0') {
        CopyBounded(m_szErrorMessage, sizeof(m_szErrorMessage) / sizeof(wchar_t), pMessage);
        CopyBounded(m_szErrorLocation, sizeof(m_szErrorLocation) / sizeof(wchar_t), pLocation);
    }
    return false;
}

bool CXmlMarkup::Load(const wchar_t* pText)
{
    Release();
    ClearError();
    if (pText == nullptr) {
        return Fail(L"Expected start tag", L"");
    }
    m_text.assign(pText, pText + std::wcslen(pText) + 1);
    return Parse();
}

bool CXmlMarkup::Parse()
{
    ClearError();
    CParser parser(*this);
    if (!parser.Run()) {
        Release();
        return false;
    }
    return true;
}

bool CXmlMarkup::LoadFromMem(const std::uint8_t* pData, std::size_t nSize, int nEncoding)
{
    Release();
    ClearError();
    if (pData == nullptr) {
        nSize = 0;
    }
    std::wstring text;
    if (nEncoding == kXmlEncoding_Utf8) {
        if (nSize > 2 && pData[0] == 0xEF && pData[1] == 0xBB && pData[2] == 0xBF) {
            pData += 3;
            nSize -= 3;
        }
        text = platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    } else if (nEncoding == kXmlEncoding_Utf16) {
        const bool bLittleEndian = nSize >= 2 && pData[0] == 0xFF && pData[1] == 0xFE;
        const bool bBigEndian = nSize >= 2 && pData[0] == 0xFE && pData[1] == 0xFF;
        if (!bLittleEndian && !bBigEndian) {
            return Fail(L"Missing byte order mark", L"");
        }
        std::string units(reinterpret_cast<const char*>(pData) + 2, (nSize / 2 - 1) * 2);
        if (bBigEndian) {
            for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
                std::swap(units[i], units[i + 1]);
            }
        }
        text = platform::Utf16LeToWide(reinterpret_cast<const std::uint8_t*>(units.data()), units.size());
    } else {
        text = LocaleBytesToWide(pData, nSize);
    }
    m_text.assign(text.c_str(), text.c_str() + text.size() + 1);
    return Parse();
}

bool CXmlMarkup::LoadFromFile(const wchar_t* pFileName, int nEncoding)
{
    Release();
    ClearError();
    if (pFileName == nullptr) {
        return Fail(L"Error opening file", L"");
    }
    if (CUIManager::GetResourceZip().IsEmpty()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(CUIManager::GetResourcePath() + pFileName, bytes)) {
            return false;
        }
        return LoadFromMem(bytes.data(), bytes.size(), nEncoding);
    }
    return LoadFromResourceZip(pFileName, nEncoding);
}

bool CXmlMarkup::ReadWholeFile(const CUIString& strPath, std::vector<std::uint8_t>& bytes)
{
    std::ifstream file(platform::WideToUtf8(strPath.View()), std::ios::binary | std::ios::ate);
    if (!file) {
        return Fail(L"Error opening file", L"");
    }
    const std::streamoff nSize = file.tellg();
    if (nSize <= 0) {
        return Fail(L"File is empty", L"");
    }
    if (static_cast<std::uint64_t>(nSize) > kMaxFileSize) {
        return Fail(L"File too large", L"");
    }
    bytes.resize(static_cast<std::size_t>(nSize));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), nSize);
    if (file.gcount() != nSize) {
        return Fail(L"Could not read file", L"");
    }
    return true;
}

// The entry is handed to the parser only when it was inflated whole, with its size and
// checksum confirmed; a partial read is not a document.
bool CXmlMarkup::LoadFromResourceZip(const wchar_t* pFileName, int nEncoding)
{
    SkinArchivePtr pOwnedArchive;
    SkinArchive* pArchive = nullptr;
    if (CUIManager::IsResourceZipKeptOpen()) {
        pArchive = CUIManager::GetResourceZipArchive();
    } else if (CUIManager::GetResourceZip() != CUIManager::kMemoryZipName) {
        pOwnedArchive.reset(SkinArchive::OpenFromFile(
            std::wstring((CUIManager::GetResourcePath() + CUIManager::GetResourceZip()).View())));
        pArchive = pOwnedArchive.get();
    }
    if (pArchive == nullptr) {
        return Fail(L"Error opening zip file", L"");
    }
    int nIndex = -1;
    ArchiveItem item;
    if (pArchive->FindItem(pFileName, true, nIndex, item) != kArchive_Ok) {
        return Fail(L"Could not find ziped file", L"");
    }
    if (item.dwUncompressedSize == 0) {
        return Fail(L"File is empty", L"");
    }
    if (item.dwUncompressedSize > kMaxFileSize) {
        return Fail(L"File too large", L"");
    }
    std::vector<std::uint8_t> bytes;
    if (pArchive->ReadItem(nIndex, bytes, static_cast<std::uint32_t>(kMaxFileSize)) != kArchive_Ok) {
        return Fail(L"Could not unzip file", L"");
    }
    return LoadFromMem(bytes.data(), bytes.size(), nEncoding);
}

CXmlNode CXmlMarkup::GetRoot()
{
    if (m_elements.size() < 2) {
        return CXmlNode();
    }
    return CXmlNode(this, 1);
}

const wchar_t* CXmlNode::GetName() const
{
    return IsValid() ? m_pOwner->TextAt(m_pOwner->m_elements[m_nIndex].nName) : nullptr;
}

const wchar_t* CXmlNode::GetValue() const
{
    return IsValid() ? m_pOwner->TextAt(m_pOwner->m_elements[m_nIndex].nData) : nullptr;
}

CXmlNode CXmlNode::GetParent() const
{
    if (!IsValid()) {
        return CXmlNode();
    }
    const std::uint32_t nParent = m_pOwner->m_elements[m_nIndex].nParent;
    return nParent != 0 ? CXmlNode(m_pOwner, static_cast<int>(nParent)) : CXmlNode();
}

CXmlNode CXmlNode::GetChild() const
{
    if (!IsValid()) {
        return CXmlNode();
    }
    const std::uint32_t nChild = m_pOwner->m_elements[m_nIndex].nChild;
    return nChild != 0 ? CXmlNode(m_pOwner, static_cast<int>(nChild)) : CXmlNode();
}

CXmlNode CXmlNode::GetSibling() const
{
    if (!IsValid()) {
        return CXmlNode();
    }
    const std::uint32_t nNext = m_pOwner->m_elements[m_nIndex].nNext;
    return nNext != 0 ? CXmlNode(m_pOwner, static_cast<int>(nNext)) : CXmlNode();
}

bool CXmlNode::HasChildren() const
{
    return IsValid() && m_pOwner->m_elements[m_nIndex].nChild != 0;
}

bool CXmlNode::HasAttributes()
{
    return GetAttributeCount() > 0;
}

int CXmlNode::GetAttributeCount()
{
    if (!IsValid()) {
        return 0;
    }
    if (m_nAttributes < 0) {
        MapAttributes();
    }
    return m_nAttributes;
}

const wchar_t* CXmlNode::GetAttributeName(int nIndex)
{
    if (!IsValid()) {
        return nullptr;
    }
    if (nIndex < 0 || nIndex >= GetAttributeCount()) {
        return L"";
    }
    return m_pOwner->TextAt(m_attributes[nIndex].nName);
}

const wchar_t* CXmlNode::GetAttributeValue(int nIndex)
{
    if (!IsValid()) {
        return nullptr;
    }
    if (nIndex < 0 || nIndex >= GetAttributeCount()) {
        return L"";
    }
    return m_pOwner->TextAt(m_attributes[nIndex].nValue);
}

const wchar_t* CXmlNode::GetAttributeValue(const wchar_t* pName)
{
    if (pName == nullptr) {
        return nullptr;
    }
    const int nCount = GetAttributeCount();
    for (int i = 0; i < nCount; ++i) {
        if (std::wcscmp(m_pOwner->TextAt(m_attributes[i].nName), pName) == 0) {
            return m_pOwner->TextAt(m_attributes[i].nValue);
        }
    }
    return nullptr;
}

bool CXmlNode::GetAttributeValue(const wchar_t* pName, wchar_t* pBuffer, std::size_t nBufferSize)
{
    const wchar_t* pValue = GetAttributeValue(pName);
    if (pValue == nullptr || pBuffer == nullptr || nBufferSize == 0) {
        return false;
    }
    CopyBounded(pBuffer, nBufferSize, pValue);
    return true;
}

// Walks the start tag as the parser left it: each name and value is terminated in place and
// separated by whitespace, the "=" and quotes having become spaces or terminators. The walk
// never passes the element's content, which begins at its data offset.
void CXmlNode::MapAttributes()
{
    m_nAttributes = 0;
    const CXmlMarkup::XmlElement& element = m_pOwner->m_elements[m_nIndex];
    const wchar_t* pText = m_pOwner->TextAt(0);
    const wchar_t* pEnd = pText + element.nData;
    const wchar_t* p = pText + element.nName;
    auto stepPastTerminator = [&]() {
        while (p < pEnd && *p != L'\0') {
            ++p;
        }
        ++p;
    };
    auto skipWhitespace = [&]() {
        while (p < pEnd && IsWhitespace(*p)) {
            ++p;
        }
    };
    stepPastTerminator();
    while (p < pEnd && m_nAttributes < kMaxAttributes) {
        skipWhitespace();
        if (p >= pEnd || *p == L'>' || *p == L'/') {
            return;
        }
        const wchar_t* pName = p;
        stepPastTerminator();
        skipWhitespace();
        if (p >= pEnd || *p != L'"') {
            return;
        }
        ++p;
        m_attributes[m_nAttributes].nName = static_cast<std::uint32_t>(pName - pText);
        m_attributes[m_nAttributes].nValue = static_cast<std::uint32_t>(p - pText);
        ++m_nAttributes;
        stepPastTerminator();
    }
}
