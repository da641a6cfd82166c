#pragma once
// An array of untyped pointers that the framework's lists and tables share. It owns its
// slots, never the pointees.

class CUIPtrArray {
public:
    explicit CUIPtrArray(int nPreallocSize = 0);
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray& other);
    ~CUIPtrArray();

    void Empty();
    // Sets the capacity to exactly nSize slots and the count to 0.
    void Resize(int nSize);
    bool IsEmpty() const { return m_nCount == 0; }
    int GetSize() const { return m_nCount; }
    void** GetData() { return m_ppItems; }

    bool Add(void* pItem);
    // nIndex == count appends; any other index outside 0..count is refused.
    bool InsertAt(int nIndex, void* pItem);
    bool SetAt(int nIndex, void* pItem);
    // Removes nCount items from nIndex on; a run reaching past the end is cut at the end.
    bool Remove(int nIndex, int nCount = 1);
    // Index of the first slot holding pItem, or -1.
    int Find(void* pItem) const;
    // Null outside the range.
    void* GetAt(int nIndex) const;
    void* operator[](int nIndex) const { return GetAt(nIndex); }

private:
    bool Grow();

    void** m_ppItems = nullptr;
    int m_nCount = 0;
    int m_nCapacity = 0;
};
