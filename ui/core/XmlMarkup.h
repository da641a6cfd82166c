#pragma once
// The skin's markup reader: a small, forgiving XML subset parsed in place inside one wide
// buffer. Elements are kept in a flat array linked by indices; attributes are mapped when a
// node first reads them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/core/UIString.h"

class CXmlMarkup;

enum XmlEncoding {
    kXmlEncoding_Utf8 = 0,
    kXmlEncoding_Utf16 = 1,
    kXmlEncoding_Ansi = 2,
};

// Whitespace in character data is always kept as written.

// A light view of one element, copied by value. Every operation on an invalid node answers
// null, 0, false or an empty text.
class CXmlNode {
public:
    static constexpr int kMaxAttributes = 64;

    CXmlNode() = default;

    bool IsValid() const { return m_pOwner != nullptr; }
    const wchar_t* GetName() const;
    // The character data that follows the start tag, up to the first child or end tag.
    const wchar_t* GetValue() const;
    CXmlNode GetParent() const;
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    bool HasChildren() const;
    bool HasAttributes();
    int GetAttributeCount();
    // Empty text for an index out of range.
    const wchar_t* GetAttributeName(int nIndex);
    const wchar_t* GetAttributeValue(int nIndex);
    // First attribute of exactly that name (case-sensitive), or null.
    const wchar_t* GetAttributeValue(const wchar_t* pName);
    // Copies the value into the buffer, cut to fit with its terminator; false when absent.
    bool GetAttributeValue(const wchar_t* pName, wchar_t* pBuffer, std::size_t nBufferSize);

private:
    friend class CXmlMarkup;
    CXmlNode(CXmlMarkup* pOwner, int nIndex) : m_pOwner(pOwner), m_nIndex(nIndex) {}
    void MapAttributes();

    struct AttributeSlot {
        std::uint32_t nName;
        std::uint32_t nValue;
    };

    CXmlMarkup* m_pOwner = nullptr;
    int m_nIndex = 0;
    int m_nAttributes = -1;
    AttributeSlot m_attributes[kMaxAttributes] = {};
};

class CXmlMarkup {
public:
    static constexpr std::size_t kMaxFileSize = 0x400000;
    static constexpr int kMaxErrorMessage = 99;
    static constexpr int kMaxErrorLocation = 49;

    explicit CXmlMarkup(const wchar_t* pText = nullptr);
    CXmlMarkup(const CXmlMarkup&) = delete;
    CXmlMarkup& operator=(const CXmlMarkup&) = delete;
    ~CXmlMarkup();

    // Each load releases what was loaded before; on failure the markup stays empty and the
    // error message and location tell why.
    bool Load(const wchar_t* pText);
    bool LoadFromMem(const std::uint8_t* pData, std::size_t nSize, int nEncoding = kXmlEncoding_Utf8);
    // Reads the name under the resource path, or from the resource zip when one is set.
    bool LoadFromFile(const wchar_t* pFileName, int nEncoding = kXmlEncoding_Utf8);
    void Release();
    bool IsValid() const { return !m_text.empty(); }

    CXmlNode GetRoot();
    const wchar_t* GetLastErrorMessage() const { return m_szErrorMessage; }
    const wchar_t* GetLastErrorLocation() const { return m_szErrorLocation; }

private:
    friend class CXmlNode;
    class CParser;

    struct XmlElement {
        std::uint32_t nName;
        std::uint32_t nChild;
        std::uint32_t nNext;
        std::uint32_t nParent;
        std::uint32_t nData;
    };

    bool ReadWholeFile(const CUIString& strPath, std::vector<std::uint8_t>& bytes);
    bool LoadFromResourceZip(const wchar_t* pFileName, int nEncoding);
    bool Parse();
    bool Fail(const wchar_t* pMessage, const wchar_t* pLocation);
    void ClearError();
    const wchar_t* TextAt(std::uint32_t nOffset) const { return m_text.data() + nOffset; }

    std::vector<wchar_t> m_text;
    std::vector<XmlElement> m_elements;
    wchar_t m_szErrorMessage[kMaxErrorMessage + 1] = {};
    wchar_t m_szErrorLocation[kMaxErrorLocation + 1] = {};
};
