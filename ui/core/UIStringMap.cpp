#include "ui/core/UIStringMap.h"

#include <cwchar>

CUIStringMap::CUIStringMap(int nBuckets)
{
    Resize(nBuckets);
}

CUIStringMap::~CUIStringMap()
{
    RemoveAll();
    delete[] m_ppBuckets;
}

void CUIStringMap::Resize(int nBuckets)
{
    RemoveAll();
    delete[] m_ppBuckets;
    m_nBuckets = nBuckets > 0 ? nBuckets : kDefaultBuckets;
    m_ppBuckets = new CEntry*[static_cast<unsigned>(m_nBuckets)]();
}

void CUIStringMap::RemoveAll()
{
    for (int i = 0; i < m_nBuckets; ++i) {
        CEntry* pEntry = m_ppBuckets[i];
        while (pEntry != nullptr) {
            CEntry* pNext = pEntry->pNext;
            delete pEntry;
            pEntry = pNext;
        }
        m_ppBuckets[i] = nullptr;
    }
    m_nCount = 0;
}

std::uint32_t CUIStringMap::HashKey(const wchar_t* pKey)
{
    std::uint32_t nHash = 0;
    if (pKey == nullptr) {
        return nHash;
    }
    for (std::size_t i = std::wcslen(pKey); i > 0; --i) {
        nHash = nHash * 33u + static_cast<std::uint32_t>(pKey[i - 1]);
    }
    return nHash;
}

int CUIStringMap::BucketOf(const wchar_t* pKey) const
{
    return static_cast<int>(HashKey(pKey) % static_cast<std::uint32_t>(m_nBuckets));
}

CUIStringMap::CEntry* CUIStringMap::FindEntry(const wchar_t* pKey) const
{
    if (pKey == nullptr) {
        return nullptr;
    }
    for (CEntry* pEntry = m_ppBuckets[BucketOf(pKey)]; pEntry != nullptr; pEntry = pEntry->pNext) {
        if (pEntry->strKey == pKey) {
            return pEntry;
        }
    }
    return nullptr;
}

void* CUIStringMap::Find(const wchar_t* pKey) const
{
    const CEntry* pEntry = FindEntry(pKey);
    return pEntry != nullptr ? pEntry->pValue : nullptr;
}

bool CUIStringMap::Contains(const wchar_t* pKey) const
{
    return FindEntry(pKey) != nullptr;
}

bool CUIStringMap::Insert(const wchar_t* pKey, void* pValue)
{
    if (pKey == nullptr || FindEntry(pKey) != nullptr) {
        return false;
    }
    const int nBucket = BucketOf(pKey);
    m_ppBuckets[nBucket] = new CEntry{CUIString(pKey), pValue, m_ppBuckets[nBucket]};
    ++m_nCount;
    return true;
}

void* CUIStringMap::Set(const wchar_t* pKey, void* pValue)
{
    CEntry* pEntry = FindEntry(pKey);
    if (pEntry == nullptr) {
        Insert(pKey, pValue);
        return nullptr;
    }
    void* pOld = pEntry->pValue;
    pEntry->pValue = pValue;
    return pOld;
}

bool CUIStringMap::Remove(const wchar_t* pKey)
{
    if (pKey == nullptr) {
        return false;
    }
    CEntry** ppLink = &m_ppBuckets[BucketOf(pKey)];
    for (; *ppLink != nullptr; ppLink = &(*ppLink)->pNext) {
        if ((*ppLink)->strKey == pKey) {
            CEntry* pEntry = *ppLink;
            *ppLink = pEntry->pNext;
            delete pEntry;
            --m_nCount;
            return true;
        }
    }
    return false;
}

const wchar_t* CUIStringMap::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount) {
        return nullptr;
    }
    for (int i = 0; i < m_nBuckets; ++i) {
        for (const CEntry* pEntry = m_ppBuckets[i]; pEntry != nullptr; pEntry = pEntry->pNext) {
            if (nIndex-- == 0) {
                return pEntry->strKey.GetData();
            }
        }
    }
    return nullptr;
}

void CUIStringMap::ForEach(const std::function<void(const CUIString& strKey, void* pValue)>& visitor) const
{
    for (int i = 0; i < m_nBuckets; ++i) {
        for (const CEntry* pEntry = m_ppBuckets[i]; pEntry != nullptr; pEntry = pEntry->pNext) {
            visitor(pEntry->strKey, pEntry->pValue);
        }
    }
}
