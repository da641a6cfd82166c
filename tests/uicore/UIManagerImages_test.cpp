#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Canvas.h"
#include "platform/Text.h"
#include "tests/support/Sandbox.h"
#include "ui/core/RenderEngine.h"
#include "ui/core/UIManager.h"

namespace {

bool WriteSolidPng(const std::string& strPath, int nWidth, int nHeight, uint32_t dwColor)
{
    std::unique_ptr<platform::CBitmap> pBitmap = platform::CBitmap::Create(nWidth, nHeight);
    if (!pBitmap) {
        return false;
    }
    platform::CCanvas canvas(*pBitmap);
    canvas.FillRect(RECT{0, 0, nWidth, nHeight}, dwColor);
    return pBitmap->SavePng(strPath);
}

class UIManagerImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteSolidPng(m_dir.File("red.png"), 4, 4, 0xFFFF0000));
        ASSERT_TRUE(WriteSolidPng(m_dir.File("blue.png"), 4, 4, 0xFF0000FF));
        ASSERT_TRUE(testsupport::WriteWholeFile(m_dir.File("broken.png"), "\x89PNG\r\n\x1a\n garbage"));
        CUIManager::SetResourceZipFile(L"", true);
        CUIManager::SetResourcePath(platform::Utf8ToWide(m_dir.Path()).c_str());
    }

    void TearDown() override
    {
        CUIManager::SetResourcePath(L"");
    }

    void UseImage(const char* pFile)
    {
        const std::string strData = testsupport::ReadWholeFile(m_dir.File(pFile));
        ASSERT_TRUE(testsupport::WriteWholeFile(m_dir.File("current.png"), strData));
    }

    // Absolute names work whether or not a resource path is set.
    std::wstring Name(const char* pFile) const { return platform::Utf8ToWide(m_dir.File(pFile)); }

    testsupport::CTempDir m_dir;
};

TEST_F(UIManagerImages, LoadsOnceAndCachesByName)
{
    CUIManager manager;
    ImageRecord* pRecord = manager.FetchImage(Name("red.png").c_str(), nullptr, 0, false);
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->nWidth, 4);
    EXPECT_EQ(manager.GetImage(Name("red.png").c_str()), pRecord);
    EXPECT_EQ(manager.FetchImage(Name("red.png").c_str(), nullptr, 0, false), pRecord);
    CUIManager other;
    EXPECT_EQ(other.GetImage(Name("red.png").c_str()), nullptr);
}

TEST_F(UIManagerImages, FailuresAddNothing)
{
    CUIManager manager;
    EXPECT_EQ(manager.AddImage(L""), nullptr);
    EXPECT_EQ(manager.AddImage(nullptr), nullptr);
    EXPECT_EQ(manager.AddImage(Name("missing.png").c_str()), nullptr);
    EXPECT_EQ(manager.AddImage(Name("broken.png").c_str()), nullptr);
    EXPECT_EQ(manager.GetImage(Name("broken.png").c_str()), nullptr);
}

TEST_F(UIManagerImages, StoresTypeMaskAndKeptPixels)
{
    CUIManager manager;
    ImageRecord* pColor = manager.AddImage(L"#FF00FF00", kColorResourceType, 0, true);
    ASSERT_NE(pColor, nullptr);
    EXPECT_EQ(pColor->strResType, kColorResourceType);
    EXPECT_TRUE(pColor->bKeepPixels);
    ASSERT_NE(pColor->pKeptPixels, nullptr);
    EXPECT_EQ(pColor->pKeptPixels[0], 0xFF00FF00u);
    ImageRecord* pMasked = manager.AddImage(Name("red.png").c_str(), nullptr, 0xFFFF0000);
    ASSERT_NE(pMasked, nullptr);
    EXPECT_EQ(pMasked->dwMask, 0xFFFF0000u);
    EXPECT_TRUE(pMasked->bHasAlpha);
    EXPECT_EQ(pMasked->pKeptPixels, nullptr);
}

TEST_F(UIManagerImages, ColorShiftAppliesAtLoad)
{
    CUIManager manager;
    CUIManager::SetColorShift(true, 180, 100, 50);
    ImageRecord* pRecord = manager.AddImage(L"#FFFFFFFF", kColorResourceType, 0, true);
    CUIManager::SetColorShift(false, 180, 100, 100);
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->pKeptPixels[0], 0xFFFFFFFFu);
    EXPECT_NE(pRecord->pBitmap->GetPixel(0, 0), 0xFFFFFFFFu);
}

TEST_F(UIManagerImages, SharedTableServesEveryWindow)
{
    CUIManager first;
    CUIManager second;
    ImageRecord* pShared = first.AddImage(Name("blue.png").c_str(), nullptr, 0, false, true);
    ASSERT_NE(pShared, nullptr);
    EXPECT_EQ(second.GetImage(Name("blue.png").c_str()), pShared);
    ImageRecord* pOwn = second.AddImage(Name("blue.png").c_str());
    EXPECT_EQ(second.GetImage(Name("blue.png").c_str()), pOwn);
    second.RemoveAllImages(false);
    EXPECT_EQ(second.GetImage(Name("blue.png").c_str()), pShared);
    first.RemoveAllImages(true);
    EXPECT_EQ(second.GetImage(Name("blue.png").c_str()), nullptr);
}

// A description drawn once keeps a pointer to its image; replacing the image under the
// same name must make it draw the new one, never the freed record.
TEST_F(UIManagerImages, ReplacedImageDoesNotDangle)
{
    CUIManager manager;
    UseImage("red.png");
    ImageDrawDesc desc;
    desc.SetDrawString(Name("current.png").c_str());
    std::unique_ptr<platform::CBitmap> pTarget = platform::CBitmap::Create(4, 4);
    ASSERT_NE(pTarget, nullptr);
    platform::CCanvas canvas(*pTarget);
    const RECT rc{0, 0, 4, 4};
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &manager, rc, rc, desc));
    EXPECT_EQ(pTarget->GetPixel(1, 1), 0xFFFF0000u);

    UseImage("blue.png");
    ASSERT_NE(manager.AddImage(Name("current.png").c_str()), nullptr);
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &manager, rc, rc, desc));
    EXPECT_EQ(pTarget->GetPixel(1, 1), 0xFF0000FFu);

    manager.RemoveAllImages(false);
    UseImage("red.png");
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &manager, rc, rc, desc));
    EXPECT_EQ(pTarget->GetPixel(1, 1), 0xFFFF0000u);
}

// The replacement may be larger: the description must take its whole size, not the part
// the old image had, and keep what the control set on it.
TEST_F(UIManagerImages, ReplacementOfAnotherSizeIsDrawnWhole)
{
    {
        std::unique_ptr<platform::CBitmap> pLarge = platform::CBitmap::Create(8, 8);
        ASSERT_NE(pLarge, nullptr);
        platform::CCanvas canvas(*pLarge);
        canvas.FillRect(RECT{0, 0, 8, 8}, 0xFF0000FF);
        canvas.FillRect(RECT{4, 4, 8, 8}, 0xFF00FF00);
        ASSERT_TRUE(pLarge->SavePng(m_dir.File("large.png")));
    }
    CUIManager manager;
    UseImage("red.png");
    ImageDrawDesc desc;
    desc.SetDrawString((L"file='" + Name("current.png") + L"' corner='1,1,1,1' dest='0,0,4,4'").c_str());
    std::unique_ptr<platform::CBitmap> pTarget = platform::CBitmap::Create(8, 8);
    ASSERT_NE(pTarget, nullptr);
    platform::CCanvas canvas(*pTarget);
    const RECT rc{0, 0, 8, 8};
    // A control may put its own destination over the string's once it is read, as a progress
    // bar does.
    ASSERT_TRUE(CRenderKit::DrawImageDesc(nullptr, &manager, rc, rc, desc));
    desc.rcDest = rc;
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &manager, rc, rc, desc));
    EXPECT_EQ(pTarget->GetPixel(7, 7), 0xFFFF0000u);

    UseImage("large.png");
    ASSERT_NE(manager.AddImage(Name("current.png").c_str()), nullptr);
    ASSERT_TRUE(CRenderKit::DrawImageDesc(&canvas, &manager, rc, rc, desc));
    EXPECT_EQ(desc.rcSource, (RECT{0, 0, 8, 8}));
    EXPECT_EQ(desc.rcCorners, (RECT{1, 1, 1, 1}));
    EXPECT_EQ(pTarget->GetPixel(7, 7), 0xFF00FF00u);
    EXPECT_EQ(pTarget->GetPixel(1, 1), 0xFF0000FFu);
}

TEST_F(UIManagerImages, LayeredImageIsLoadedAtOnce)
{
    CUIManager manager;
    const std::wstring strImage = L"file='" + Name("blue.png") + L"' corner='1,1,1,1'";
    manager.ApplyWindowAttribute(L"layeredimage", strImage.c_str());
    EXPECT_TRUE(manager.IsLayered());
    EXPECT_NE(manager.GetLayeredImage().pImage, nullptr);
    EXPECT_EQ(manager.GetImage(Name("blue.png").c_str()), manager.GetLayeredImage().pImage);
}

}  // namespace
