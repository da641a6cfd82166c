#include <gtest/gtest.h>

#include "platform/Resources.h"
#include "platform/Text.h"
#include "tests/pack/ZipBuilder.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Sandbox.h"
#include "ui/core/UIManager.h"

namespace {

std::string g_strResourcePng;

std::string MakePng(int nWidth, int nHeight, uint32_t dwColor) {
    auto pBitmap = rendertest::MakeBitmap(nWidth, nHeight, dwColor);
    testsupport::CTempDir temp;
    pBitmap->SavePng(temp.File("image.png"));
    return testsupport::ReadWholeFile(temp.File("image.png"));
}

struct RecordDeleter {
    void operator()(ImageRecord* pRecord) const { CRenderKit::FreeImageRecord(pRecord, true); }
};
using RecordPtr = std::unique_ptr<ImageRecord, RecordDeleter>;

// The process-wide resource settings are put back after each case.
class ImageSourceTest : public ::testing::Test {
protected:
    void TearDown() override {
        CUIManager::SetResourceZipFile(L"", false);
        CUIManager::SetResourcePath(L"");
    }
};

TEST_F(ImageSourceTest, FileUnderTheResourcePath) {
    testsupport::CTempDir temp;
    testsupport::WriteWholeFile(temp.File("btn.png"), MakePng(5, 4, 0xFF112233));
    CUIManager::SetResourcePath(platform::Utf8ToWide(temp.Path()).c_str());
    RecordPtr pRecord(CRenderKit::LoadImageData(L"btn.png", nullptr, 0));
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->nWidth, 5);
    EXPECT_FALSE(CRenderKit::LoadImageData(L"other.png", nullptr, 0));
}

TEST_F(ImageSourceTest, EntryOfTheResourceZip) {
    testsupport::CTempDir temp;
    testsupport::WriteWholeFile(temp.File("skin.zip"),
                                testsupport::BuildZip({{"img/btn.png", MakePng(6, 3, 0xFF445566)},
                                                       {"img/bad.png", "not an image"}}));
    CUIManager::SetResourcePath(platform::Utf8ToWide(temp.Path()).c_str());
    for (bool bKeepOpen : {false, true}) {
        CUIManager::SetResourceZipFile(L"skin.zip", bKeepOpen);
        RecordPtr pRecord(CRenderKit::LoadImageData(L"img/btn.png", nullptr, 0));
        ASSERT_TRUE(pRecord) << bKeepOpen;
        EXPECT_EQ(pRecord->nWidth, 6);
        EXPECT_EQ(pRecord->pBitmap->GetPixel(1, 1), 0xFF445566u);
        EXPECT_FALSE(CRenderKit::LoadImageData(L"img/bad.png", nullptr, 0)) << bKeepOpen;
        EXPECT_FALSE(CRenderKit::LoadImageData(L"img/none.png", nullptr, 0)) << bKeepOpen;
    }
}

// A name read as a plain path is held to the same size limit as skin files: a device that
// never ends must not be read into memory.
TEST_F(ImageSourceTest, PlainPathThatNeverEndsIsRefused) {
    EXPECT_FALSE(CRenderKit::LoadImageData(L"/dev/zero", nullptr, 0));
    EXPECT_FALSE(CRenderKit::LoadImageData(L"/", nullptr, 0));
}

TEST_F(ImageSourceTest, CompiledInResourceByNumber) {
    g_strResourcePng = MakePng(2, 7, 0xFF00FF00);
    RecordPtr pRecord(CRenderKit::LoadImageData(L"201", L"PNG", 0));
    ASSERT_TRUE(pRecord);
    EXPECT_EQ(pRecord->nHeight, 7);
    EXPECT_FALSE(CRenderKit::LoadImageData(L"202", L"PNG", 0));
    EXPECT_FALSE(CRenderKit::LoadImageData(L"201", L"GIF", 0));
}

}  // namespace

// The executable's resource table for this test: one PNG as ("PNG", 201).
extern "C" const platform::EmbeddedResource* NorvaneEmbeddedResources() {
    static platform::EmbeddedResource s_table[2];
    const auto* pBegin = reinterpret_cast<const std::uint8_t*>(g_strResourcePng.data());
    s_table[0] = platform::EmbeddedResource{L"PNG", 201, pBegin, pBegin + g_strResourcePng.size()};
    s_table[1] = platform::EmbeddedResource{nullptr, 0, nullptr, nullptr};
    return s_table;
}
