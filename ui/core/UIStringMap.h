#pragma once
// A chained hash table from framework strings to untyped pointers, used by every name and
// resource table of the framework. It owns its keys, never the values.
#include <cstdint>
#include <functional>

#include "ui/core/UIString.h"

class CUIStringMap {
public:
    static constexpr int kDefaultBuckets = 83;

    explicit CUIStringMap(int nBuckets = kDefaultBuckets);
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;
    ~CUIStringMap();

    // Drops every entry and starts over with nBuckets chains.
    void Resize(int nBuckets = kDefaultBuckets);
    void RemoveAll();

    // The value stored under the exact key, or null.
    void* Find(const wchar_t* pKey) const;
    bool Contains(const wchar_t* pKey) const;
    // Adds a new entry; refuses (false) a key that is already present.
    bool Insert(const wchar_t* pKey, void* pValue);
    // Stores the value under the key, adding the entry when needed; answers the value it
    // replaced, or null.
    void* Set(const wchar_t* pKey, void* pValue);
    bool Remove(const wchar_t* pKey);

    int GetSize() const { return m_nCount; }
    // The key of the nIndex-th entry in table order, or null outside the range.
    const wchar_t* GetAt(int nIndex) const;
    // Calls the visitor for every entry in table order; the table must not change meanwhile.
    void ForEach(const std::function<void(const CUIString& strKey, void* pValue)>& visitor) const;

    static std::uint32_t HashKey(const wchar_t* pKey);

private:
    struct CEntry {
        CUIString strKey;
        void* pValue;
        CEntry* pNext;
    };

    CEntry* FindEntry(const wchar_t* pKey) const;
    int BucketOf(const wchar_t* pKey) const;

    CEntry** m_ppBuckets = nullptr;
    int m_nBuckets = 0;
    int m_nCount = 0;
};
