#pragma once
// The framework's wide string: characters live in an inline buffer while they fit, so the
// many short names and attribute values of a skin need no heap allocation.
#include <cstddef>
#include <string_view>

class CUIString {
public:
    static constexpr int kInlineCapacity = 64;
    static constexpr int kInlineMaxLength = 62;

    CUIString();
    CUIString(const wchar_t* pText, int nLength = -1);
    CUIString(std::wstring_view text);
    explicit CUIString(wchar_t ch);
    CUIString(const CUIString& other);
    CUIString(CUIString&& other) noexcept;
    ~CUIString();

    CUIString& operator=(const CUIString& other);
    CUIString& operator=(CUIString&& other) noexcept;
    CUIString& operator=(const wchar_t* pText);
    CUIString& operator=(wchar_t ch);
    CUIString& operator+=(const CUIString& other);
    CUIString& operator+=(const wchar_t* pText);
    CUIString& operator+=(wchar_t ch);

    void Empty();
    bool IsEmpty() const { return m_nLength == 0; }
    int GetLength() const { return m_nLength; }
    const wchar_t* GetData() const { return m_pData; }
    operator const wchar_t*() const { return m_pData; }
    std::wstring_view View() const { return std::wstring_view(m_pData, static_cast<std::size_t>(m_nLength)); }

    // Characters outside the text read as 0; writes outside it are ignored.
    wchar_t GetAt(int nIndex) const;
    void SetAt(int nIndex, wchar_t ch);
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }

    // A negative length takes the text up to its terminator.
    void Assign(const wchar_t* pText, int nLength = -1);
    void Append(const wchar_t* pText, int nLength = -1);

    // Answers <0, 0 or >0 like wcscmp; a null text compares as empty.
    int Compare(const wchar_t* pText) const;
    int CompareNoCase(const wchar_t* pText) const;
    void MakeUpper();
    void MakeLower();

    // Copies clamped to the text: out-of-range positions and lengths give shorter results.
    CUIString Left(int nLength) const;
    CUIString Mid(int nPos, int nLength = -1) const;
    CUIString Right(int nLength) const;

    // Index of the first match at or after nPos, or -1.
    int Find(wchar_t ch, int nPos = 0) const;
    int Find(const wchar_t* pText, int nPos = 0) const;
    int ReverseFind(wchar_t ch) const;
    // Replaces every non-overlapping occurrence, left to right; answers how many.
    int Replace(const wchar_t* pFrom, const wchar_t* pTo);

    // printf rules where "%s" takes a wide string; answers the new length, or -1 (and the
    // string left empty) when the format cannot be applied.
    int Format(const wchar_t* pFormat, ...);

private:
    void Reserve(int nLength);
    bool UsesInline() const { return m_pData == m_szInline; }

    wchar_t* m_pData;
    int m_nLength = 0;
    int m_nCapacity = kInlineMaxLength;
    wchar_t m_szInline[kInlineCapacity];
};

CUIString operator+(const CUIString& left, const CUIString& right);
CUIString operator+(const CUIString& left, const wchar_t* pRight);
bool operator==(const CUIString& left, const CUIString& right);
bool operator==(const CUIString& left, const wchar_t* pRight);
bool operator!=(const CUIString& left, const CUIString& right);
bool operator!=(const CUIString& left, const wchar_t* pRight);
bool operator<(const CUIString& left, const CUIString& right);
