// The formatted text markup: measured and drawn with the style flags the controls use.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/Text.h"
#include "tests/fuzz/common/FuzzResources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static CFuzzResources s_resources;
    static auto s_pBitmap = platform::CBitmap::Create(160, 80);
    if (nSize < 1 || nSize > 4096) return 0;
    static const uint32_t kStyles[] = {
        DT_SINGLELINE | DT_VCENTER, DT_WORDBREAK, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS,
        DT_WORDBREAK | DT_RIGHT | DT_END_ELLIPSIS, DT_WORDBREAK | DT_CENTER | DT_BOTTOM | DT_RTLREADING,
        DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 0, DT_END_ELLIPSIS,
    };
    const uint32_t uStyle = kStyles[pData[0] % 8];
    const std::wstring strText =
        platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(pData + 1), nSize - 1));
    RECT rcLinks[3] = {{0, 0, 50, 50}, {}, {}};
    CUIString targets[3];
    int nLinks = 3;
    RECT rc{5, 5, 155, 75};
    platform::CCanvas canvas(*s_pBitmap);
    CRenderKit::DrawMarkupText(&canvas, &s_resources, rc, strText.c_str(), 0xFF000000, rcLinks, targets, nLinks,
                               pData[0] & 1 ? 1 : -1, uStyle);
    RECT rcMeasure{0, 0, 9999, 100};
    nLinks = 0;
    CRenderKit::DrawMarkupText(nullptr, &s_resources, rcMeasure, strText.c_str(), 0xFF000000, nullptr, nullptr, nLinks,
                               -1, uStyle | DT_CALCRECT);
    return 0;
}
