#include "ui/core/UIPtrArray.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void* Item(int n)
{
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(n));
}

std::vector<int> Contents(const CUIPtrArray& array)
{
    std::vector<int> items;
    for (int i = 0; i < array.GetSize(); ++i) {
        items.push_back(static_cast<int>(reinterpret_cast<std::intptr_t>(array.GetAt(i))));
    }
    return items;
}

TEST(UIPtrArray, AppendsBeyondEveryCapacityStep)
{
    CUIPtrArray array;
    for (int i = 1; i <= 100; ++i) {
        ASSERT_TRUE(array.Add(Item(i)));
    }
    EXPECT_EQ(array.GetSize(), 100);
    EXPECT_EQ(array.GetAt(0), Item(1));
    EXPECT_EQ(array.GetAt(99), Item(100));
}

TEST(UIPtrArray, GetOutsideRangeIsNull)
{
    CUIPtrArray array;
    EXPECT_EQ(array.GetAt(0), nullptr);
    array.Add(Item(7));
    EXPECT_EQ(array.GetAt(-1), nullptr);
    EXPECT_EQ(array.GetAt(1), nullptr);
    EXPECT_EQ(array[0], Item(7));
}

TEST(UIPtrArray, InsertsAtIndex)
{
    struct Case {
        const char* pName;
        int nIndex;
        bool bOk;
        std::vector<int> result;
    };
    const Case cases[] = {
        {"front", 0, true, {9, 1, 2, 3}},
        {"middle", 2, true, {1, 2, 9, 3}},
        {"count appends", 3, true, {1, 2, 3, 9}},
        {"past count", 4, false, {1, 2, 3}},
        {"negative", -1, false, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIPtrArray array;
        array.Add(Item(1));
        array.Add(Item(2));
        array.Add(Item(3));
        EXPECT_EQ(array.InsertAt(c.nIndex, Item(9)), c.bOk);
        EXPECT_EQ(Contents(array), c.result);
    }
}

TEST(UIPtrArray, RemovesRuns)
{
    struct Case {
        const char* pName;
        int nIndex;
        int nCount;
        bool bOk;
        std::vector<int> result;
    };
    const Case cases[] = {
        {"one", 1, 1, true, {1, 3, 4}},
        {"run", 1, 2, true, {1, 4}},
        {"run past end", 2, 10, true, {1, 2}},
        {"all", 0, 4, true, {}},
        {"index out of range", 4, 1, false, {1, 2, 3, 4}},
        {"zero count", 0, 0, false, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pName);
        CUIPtrArray array;
        for (int i = 1; i <= 4; ++i) {
            array.Add(Item(i));
        }
        EXPECT_EQ(array.Remove(c.nIndex, c.nCount), c.bOk);
        EXPECT_EQ(Contents(array), c.result);
    }
}

TEST(UIPtrArray, FindsFirstOrMinusOne)
{
    CUIPtrArray array;
    array.Add(Item(5));
    array.Add(Item(6));
    array.Add(Item(5));
    EXPECT_EQ(array.Find(Item(5)), 0);
    EXPECT_EQ(array.Find(Item(6)), 1);
    EXPECT_EQ(array.Find(Item(8)), -1);
}

TEST(UIPtrArray, CopiesIndependently)
{
    CUIPtrArray array;
    array.Add(Item(1));
    CUIPtrArray copy(array);
    copy.Add(Item(2));
    EXPECT_EQ(array.GetSize(), 1);
    EXPECT_EQ(Contents(copy), (std::vector<int>{1, 2}));
    array = copy;
    EXPECT_EQ(Contents(array), (std::vector<int>{1, 2}));
}

}  // namespace
