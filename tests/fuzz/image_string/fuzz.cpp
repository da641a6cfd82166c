// Image attribute strings from the skin: parsed, fetched and drawn into a small canvas.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/Text.h"
#include "tests/fuzz/common/FuzzResources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static CFuzzResources s_resources;
    static auto s_pBitmap = platform::CBitmap::Create(64, 64);
    const std::wstring strText =
        platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(pData), nSize));
    ImageDrawDesc desc;
    desc.SetDrawString(strText.c_str());
    platform::CCanvas canvas(*s_pBitmap);
    CRenderKit::DrawImageDesc(&canvas, &s_resources, RECT{4, 4, 60, 60}, RECT{0, 0, 64, 64}, desc);
    CRenderKit::DrawImageDesc(&canvas, &s_resources, RECT{-30, 10, 20, 90}, RECT{0, 0, 32, 64}, desc);
    return 0;
}
