#include "ui/core/UIPtrArray.h"

#include <climits>
#include <cstring>

namespace {

constexpr int kFirstCapacity = 11;

}  // namespace

CUIPtrArray::CUIPtrArray(int nPreallocSize)
{
    if (nPreallocSize > 0) {
        Resize(nPreallocSize);
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other)
{
    *this = other;
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other)
{
    if (this == &other) {
        return *this;
    }
    Empty();
    if (other.m_nCount > 0) {
        Resize(other.m_nCount);
        std::memcpy(m_ppItems, other.m_ppItems, sizeof(void*) * static_cast<unsigned>(other.m_nCount));
        m_nCount = other.m_nCount;
    }
    return *this;
}

CUIPtrArray::~CUIPtrArray()
{
    delete[] m_ppItems;
}

void CUIPtrArray::Empty()
{
    delete[] m_ppItems;
    m_ppItems = nullptr;
    m_nCount = 0;
    m_nCapacity = 0;
}

void CUIPtrArray::Resize(int nSize)
{
    Empty();
    if (nSize > 0) {
        m_ppItems = new void*[static_cast<unsigned>(nSize)]();
        m_nCapacity = nSize;
    }
}

bool CUIPtrArray::Grow()
{
    if (m_nCount < m_nCapacity) {
        return true;
    }
    if (m_nCapacity > INT_MAX / 2) {
        return false;
    }
    const int nCapacity = m_nCapacity == 0 ? kFirstCapacity : m_nCapacity * 2;
    void** ppItems = new void*[static_cast<unsigned>(nCapacity)]();
    if (m_nCount > 0) {
        std::memcpy(ppItems, m_ppItems, sizeof(void*) * static_cast<unsigned>(m_nCount));
    }
    delete[] m_ppItems;
    m_ppItems = ppItems;
    m_nCapacity = nCapacity;
    return true;
}

bool CUIPtrArray::Add(void* pItem)
{
    if (!Grow()) {
        return false;
    }
    m_ppItems[m_nCount++] = pItem;
    return true;
}

bool CUIPtrArray::InsertAt(int nIndex, void* pItem)
{
    if (nIndex == m_nCount) {
        return Add(pItem);
    }
    if (nIndex < 0 || nIndex > m_nCount || !Grow()) {
        return false;
    }
    std::memmove(&m_ppItems[nIndex + 1], &m_ppItems[nIndex],
        sizeof(void*) * static_cast<unsigned>(m_nCount - nIndex));
    m_ppItems[nIndex] = pItem;
    ++m_nCount;
    return true;
}

bool CUIPtrArray::SetAt(int nIndex, void* pItem)
{
    if (nIndex < 0 || nIndex >= m_nCount) {
        return false;
    }
    m_ppItems[nIndex] = pItem;
    return true;
}

bool CUIPtrArray::Remove(int nIndex, int nCount)
{
    if (nIndex < 0 || nIndex >= m_nCount || nCount <= 0) {
        return false;
    }
    if (nCount > m_nCount - nIndex) {
        nCount = m_nCount - nIndex;
    }
    const int nTail = m_nCount - nIndex - nCount;
    if (nTail > 0) {
        std::memmove(&m_ppItems[nIndex], &m_ppItems[nIndex + nCount], sizeof(void*) * static_cast<unsigned>(nTail));
    }
    m_nCount -= nCount;
    return true;
}

int CUIPtrArray::Find(void* pItem) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_ppItems[i] == pItem) {
            return i;
        }
    }
    return -1;
}

void* CUIPtrArray::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nCount ? m_ppItems[nIndex] : nullptr;
}
