#include "platform/TextLayout.h"
#include "ui/core/RenderEngine.h"

void CRenderKit::DrawPlainText(platform::CCanvas* pCanvas, IRenderResources* pManager, RECT& rc,
                               const wchar_t* pText, uint32_t dwTextColor, int nFont, uint32_t uStyle) {
    if (!pManager || !pText) return;
    CUIString strText(pText);
    pManager->ExpandLanguageRefs(strText);
    platform::FontHandle hFont = pManager->GetFont(nFont);
    uStyle |= DT_NOPREFIX;
    if (uStyle & DT_CALCRECT) {
        platform::CalcTextRect(hFont, strText.GetData(), strText.GetLength(), rc, uStyle);
        return;
    }
    if (!pCanvas) return;
    pCanvas->DrawText(strText.GetData(), strText.GetLength(), rc, hFont, dwTextColor, uStyle);
}
