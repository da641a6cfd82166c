#include "ui/core/UIStringMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

int g_values[4];

TEST(UIStringMap, HashesFromLastCharacterToFirst)
{
    EXPECT_EQ(CUIStringMap::HashKey(L""), 0u);
    EXPECT_EQ(CUIStringMap::HashKey(L"a"), 97u);
    // 'b' first, then 'a': (98 * 33) + 97.
    EXPECT_EQ(CUIStringMap::HashKey(L"ab"), 98u * 33u + 97u);
}

TEST(UIStringMap, InsertsFindsAndRefusesDuplicates)
{
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(L"btn_install", &g_values[0]));
    EXPECT_FALSE(map.Insert(L"btn_install", &g_values[1]));
    EXPECT_EQ(map.Find(L"btn_install"), &g_values[0]);
    EXPECT_EQ(map.Find(L"BTN_INSTALL"), nullptr);
    EXPECT_EQ(map.Find(nullptr), nullptr);
    EXPECT_EQ(map.GetSize(), 1);
}

TEST(UIStringMap, SetReplacesAndAnswersOldValue)
{
    CUIStringMap map;
    EXPECT_EQ(map.Set(L"k", &g_values[0]), nullptr);
    EXPECT_EQ(map.Set(L"k", &g_values[1]), &g_values[0]);
    EXPECT_EQ(map.Find(L"k"), &g_values[1]);
    EXPECT_EQ(map.GetSize(), 1);
}

TEST(UIStringMap, NullValueIsStillAnEntry)
{
    CUIStringMap map;
    EXPECT_TRUE(map.Insert(L"empty", nullptr));
    EXPECT_TRUE(map.Contains(L"empty"));
    EXPECT_FALSE(map.Insert(L"empty", &g_values[0]));
}

TEST(UIStringMap, RemovesFromAnyChainPosition)
{
    // With one bucket every key shares a chain; new nodes go to the front.
    CUIStringMap map(1);
    map.Insert(L"a", &g_values[0]);
    map.Insert(L"b", &g_values[1]);
    map.Insert(L"c", &g_values[2]);
    EXPECT_EQ(std::wstring(map.GetAt(0)), L"c");
    EXPECT_EQ(std::wstring(map.GetAt(2)), L"a");
    EXPECT_TRUE(map.Remove(L"b"));
    EXPECT_FALSE(map.Remove(L"b"));
    EXPECT_EQ(map.GetSize(), 2);
    EXPECT_EQ(map.Find(L"a"), &g_values[0]);
    EXPECT_EQ(map.Find(L"c"), &g_values[2]);
    EXPECT_EQ(map.GetAt(2), nullptr);
}

TEST(UIStringMap, VisitsEveryEntry)
{
    CUIStringMap map;
    for (int i = 0; i < 500; ++i) {
        map.Insert(std::to_wstring(i).c_str(), &g_values[i % 4]);
    }
    std::set<std::wstring> keys;
    map.ForEach([&](const CUIString& strKey, void*) { keys.insert(std::wstring(strKey.View())); });
    EXPECT_EQ(keys.size(), 500u);
    map.RemoveAll();
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.Find(L"1"), nullptr);
}

}  // namespace
