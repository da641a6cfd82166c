#include "ui/core/UIString.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>

#include "platform/Text.h"

namespace {

int TextLength(const wchar_t* pText, int nLength)
{
    if (pText == nullptr) {
        return 0;
    }
    if (nLength < 0) {
        return static_cast<int>(std::wcslen(pText));
    }
    return static_cast<int>(wcsnlen(pText, static_cast<std::size_t>(nLength)));
}

int CompareFolded(const wchar_t* pLeft, const wchar_t* pRight)
{
    for (;; ++pLeft, ++pRight) {
        const wint_t chLeft = std::towlower(static_cast<wint_t>(*pLeft));
        const wint_t chRight = std::towlower(static_cast<wint_t>(*pRight));
        if (chLeft != chRight) {
            return chLeft < chRight ? -1 : 1;
        }
        if (chLeft == 0) {
            return 0;
        }
    }
}

}  // namespace

CUIString::CUIString() : m_pData(m_szInline)
{
    m_szInline[0] = L'\0';
}

CUIString::CUIString(const wchar_t* pText, int nLength) : CUIString()
{
    Assign(pText, nLength);
}

CUIString::CUIString(std::wstring_view text) : CUIString()
{
    Reserve(static_cast<int>(text.size()));
    std::wmemcpy(m_pData, text.data(), text.size());
    m_nLength = static_cast<int>(text.size());
    m_pData[m_nLength] = L'\0';
}

CUIString::CUIString(wchar_t ch) : CUIString()
{
    m_szInline[0] = ch;
    m_szInline[1] = L'\0';
    m_nLength = ch == L'\0' ? 0 : 1;
}

CUIString::CUIString(const CUIString& other) : CUIString()
{
    Assign(other.m_pData, other.m_nLength);
}

CUIString::CUIString(CUIString&& other) noexcept : CUIString()
{
    *this = std::move(other);
}

CUIString::~CUIString()
{
    if (!UsesInline()) {
        delete[] m_pData;
    }
}

CUIString& CUIString::operator=(const CUIString& other)
{
    if (this != &other) {
        Assign(other.m_pData, other.m_nLength);
    }
    return *this;
}

CUIString& CUIString::operator=(CUIString&& other) noexcept
{
    if (this == &other) {
        return *this;
    }
    if (other.UsesInline()) {
        Assign(other.m_pData, other.m_nLength);
    } else {
        if (!UsesInline()) {
            delete[] m_pData;
        }
        m_pData = other.m_pData;
        m_nLength = other.m_nLength;
        m_nCapacity = other.m_nCapacity;
        other.m_pData = other.m_szInline;
        other.m_nCapacity = kInlineMaxLength;
    }
    other.m_nLength = 0;
    other.m_pData[0] = L'\0';
    return *this;
}

CUIString& CUIString::operator=(const wchar_t* pText)
{
    Assign(pText);
    return *this;
}

CUIString& CUIString::operator=(wchar_t ch)
{
    const wchar_t szText[2] = {ch, L'\0'};
    Assign(szText);
    return *this;
}

CUIString& CUIString::operator+=(const CUIString& other)
{
    Append(other.m_pData, other.m_nLength);
    return *this;
}

CUIString& CUIString::operator+=(const wchar_t* pText)
{
    Append(pText);
    return *this;
}

CUIString& CUIString::operator+=(wchar_t ch)
{
    const wchar_t szText[2] = {ch, L'\0'};
    Append(szText);
    return *this;
}

void CUIString::Empty()
{
    if (!UsesInline()) {
        delete[] m_pData;
        m_pData = m_szInline;
        m_nCapacity = kInlineMaxLength;
    }
    m_nLength = 0;
    m_pData[0] = L'\0';
}

wchar_t CUIString::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nLength ? m_pData[nIndex] : L'\0';
}

void CUIString::SetAt(int nIndex, wchar_t ch)
{
    if (nIndex >= 0 && nIndex < m_nLength && ch != L'\0') {
        m_pData[nIndex] = ch;
    }
}

void CUIString::Reserve(int nLength)
{
    if (nLength <= m_nCapacity) {
        return;
    }
    int nCapacity = m_nCapacity;
    while (nCapacity < nLength) {
        nCapacity *= 2;
    }
    wchar_t* pData = new wchar_t[static_cast<std::size_t>(nCapacity) + 1];
    std::wmemcpy(pData, m_pData, static_cast<std::size_t>(m_nLength) + 1);
    if (!UsesInline()) {
        delete[] m_pData;
    }
    m_pData = pData;
    m_nCapacity = nCapacity;
}

void CUIString::Assign(const wchar_t* pText, int nLength)
{
    nLength = TextLength(pText, nLength);
    // The source may lie inside this string (s = s.Mid(...)); copy it aside first.
    if (pText >= m_pData && pText <= m_pData + m_nLength) {
        const std::wstring copy(pText, static_cast<std::size_t>(nLength));
        m_nLength = 0;
        Append(copy.c_str(), nLength);
        return;
    }
    m_nLength = 0;
    m_pData[0] = L'\0';
    Append(pText, nLength);
}

void CUIString::Append(const wchar_t* pText, int nLength)
{
    nLength = TextLength(pText, nLength);
    if (nLength == 0) {
        return;
    }
    if (pText >= m_pData && pText <= m_pData + m_nLength) {
        const std::wstring copy(pText, static_cast<std::size_t>(nLength));
        Append(copy.c_str(), nLength);
        return;
    }
    Reserve(m_nLength + nLength);
    std::wmemcpy(m_pData + m_nLength, pText, static_cast<std::size_t>(nLength));
    m_nLength += nLength;
    m_pData[m_nLength] = L'\0';
}

int CUIString::Compare(const wchar_t* pText) const
{
    return std::wcscmp(m_pData, pText != nullptr ? pText : L"");
}

int CUIString::CompareNoCase(const wchar_t* pText) const
{
    return CompareFolded(m_pData, pText != nullptr ? pText : L"");
}

void CUIString::MakeUpper()
{
    for (int i = 0; i < m_nLength; ++i) {
        m_pData[i] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(m_pData[i])));
    }
}

void CUIString::MakeLower()
{
    for (int i = 0; i < m_nLength; ++i) {
        m_pData[i] = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(m_pData[i])));
    }
}

CUIString CUIString::Left(int nLength) const
{
    return Mid(0, nLength < 0 ? 0 : nLength);
}

CUIString CUIString::Mid(int nPos, int nLength) const
{
    if (nPos < 0) {
        nPos = 0;
    }
    if (nPos > m_nLength) {
        nPos = m_nLength;
    }
    if (nLength < 0 || nLength > m_nLength - nPos) {
        nLength = m_nLength - nPos;
    }
    return CUIString(m_pData + nPos, nLength);
}

CUIString CUIString::Right(int nLength) const
{
    if (nLength < 0) {
        nLength = 0;
    }
    if (nLength > m_nLength) {
        nLength = m_nLength;
    }
    return CUIString(m_pData + m_nLength - nLength, nLength);
}

int CUIString::Find(wchar_t ch, int nPos) const
{
    if (nPos < 0 || nPos > m_nLength) {
        return -1;
    }
    for (int i = nPos; i < m_nLength; ++i) {
        if (m_pData[i] == ch) {
            return i;
        }
    }
    return -1;
}

int CUIString::Find(const wchar_t* pText, int nPos) const
{
    if (pText == nullptr || nPos < 0 || nPos > m_nLength) {
        return -1;
    }
    const wchar_t* pFound = std::wcsstr(m_pData + nPos, pText);
    return pFound != nullptr ? static_cast<int>(pFound - m_pData) : -1;
}

int CUIString::ReverseFind(wchar_t ch) const
{
    for (int i = m_nLength - 1; i >= 0; --i) {
        if (m_pData[i] == ch) {
            return i;
        }
    }
    return -1;
}

int CUIString::Replace(const wchar_t* pFrom, const wchar_t* pTo)
{
    const int nFromLength = TextLength(pFrom, -1);
    if (nFromLength == 0) {
        return 0;
    }
    const std::wstring_view to(pTo != nullptr ? pTo : L"");
    std::wstring result;
    int nCount = 0;
    int nPos = 0;
    for (int nFound = Find(pFrom, 0); nFound >= 0; nFound = Find(pFrom, nPos)) {
        result.append(m_pData + nPos, static_cast<std::size_t>(nFound - nPos));
        result.append(to);
        nPos = nFound + nFromLength;
        ++nCount;
    }
    if (nCount > 0) {
        result.append(m_pData + nPos, static_cast<std::size_t>(m_nLength - nPos));
        Assign(result.c_str(), static_cast<int>(result.size()));
    }
    return nCount;
}

int CUIString::Format(const wchar_t* pFormat, ...)
{
    std::wstring text;
    va_list args;
    va_start(args, pFormat);
    const bool bOk = pFormat != nullptr && platform::FormatWideV(text, pFormat, args);
    va_end(args);
    if (!bOk) {
        Empty();
        return -1;
    }
    Assign(text.c_str(), static_cast<int>(text.size()));
    return m_nLength;
}

CUIString operator+(const CUIString& left, const CUIString& right)
{
    CUIString result(left);
    result += right;
    return result;
}

CUIString operator+(const CUIString& left, const wchar_t* pRight)
{
    CUIString result(left);
    result += pRight;
    return result;
}

bool operator==(const CUIString& left, const CUIString& right)
{
    return left.View() == right.View();
}

bool operator==(const CUIString& left, const wchar_t* pRight)
{
    return left.Compare(pRight) == 0;
}

bool operator!=(const CUIString& left, const CUIString& right)
{
    return !(left == right);
}

bool operator!=(const CUIString& left, const wchar_t* pRight)
{
    return !(left == pRight);
}

bool operator<(const CUIString& left, const CUIString& right)
{
    return left.View() < right.View();
}
