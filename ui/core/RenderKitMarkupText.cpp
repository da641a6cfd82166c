#include <algorithm>
#include <atomic>
#include <cwctype>
#include <string>
#include <vector>

#include "platform/TextLayout.h"
#include "ui/core/RenderEngine.h"

namespace {

using platform::FontHandle;

// Fonts the markup creates get ids from here on, process-wide, never shared between windows.
std::atomic<int> g_nNextMarkupFontId{30000};

enum VerticalAlign { kAlignBottom, kAlignCenter, kAlignTop };

// Everything a line restores when it is read again, and what carries from line to line.
struct MarkupState {
    std::vector<FontHandle> fonts;
    std::vector<uint32_t> colors;
    std::vector<int> paragraphs;
    std::vector<int> alignments;
    bool bSelected = false;
    bool bRaw = false;
    bool bInLink = false;
};

struct DrawItem {
    int x = 0;
    int nWidth = 0;
    std::wstring strText;  // empty for an image
    FontHandle hFont = nullptr;
    uint32_t dwColor = 0;
    bool bSelected = false;
    int nAlign = kAlignBottom;
    ImageRecord* pImage = nullptr;
    RECT rcFrame;
};

struct Tag {
    bool bClosing = false;
    wchar_t chLetter = 0;
    CUIString strArgument;
    size_t nEnd = 0;  // just past the closing bracket
};

bool IsSpace(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'\r'; }
bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }
bool IsOpenBracket(wchar_t ch) { return ch == L'<' || ch == L'{'; }
bool IsCloseBracket(wchar_t ch) { return ch == L'>' || ch == L'}'; }

long ReadDecimal(const wchar_t*& p) {
    while (IsSpace(*p)) ++p;
    bool bNegative = false;
    if (*p == L'-' || *p == L'+') bNegative = (*p++ == L'-');
    long nValue = 0;
    while (*p >= L'0' && *p <= L'9') {
        nValue = std::min(1000000L, nValue * 10 + (*p - L'0'));
        ++p;
    }
    return bNegative ? -nValue : nValue;
}

// Read as a signed 32-bit number: values above 0x7FFFFFFF saturate.
uint32_t ReadTagColor(const wchar_t* p) {
    while (IsSpace(*p)) ++p;
    if (*p == L'#') ++p;
    int64_t nValue = 0;
    for (; std::iswxdigit(*p); ++p) {
        const int nDigit = (*p <= L'9') ? int(*p - L'0') : int((*p | 0x20) - L'a' + 10);
        nValue = std::min<int64_t>(0x7FFFFFFF, nValue * 16 + nDigit);
    }
    return static_cast<uint32_t>(nValue);
}

// A tag at nPos: "<x ...>", "{x ...}" (lower-case letter followed by a blank or the end) or
// "</x>", "{/x}". Without a closing bracket it is no tag.
bool ParseTag(const CUIString& strText, size_t nPos, Tag& tag) {
    const wchar_t* p = strText.GetData() + nPos;
    const size_t nLength = static_cast<size_t>(strText.GetLength());
    size_t nArgStart = 0;
    if (p[1] == L'/' && IsAsciiLetter(p[2])) {
        tag.bClosing = true;
        tag.chLetter = p[2];
        nArgStart = nPos + 3;
    } else if (p[1] >= L'a' && p[1] <= L'z' && (p[2] == L' ' || IsCloseBracket(p[2]))) {
        tag.bClosing = false;
        tag.chLetter = p[1];
        nArgStart = nPos + 2;
    } else {
        return false;
    }
    size_t nClose = nArgStart;
    while (nClose < nLength && !IsCloseBracket(strText[int(nClose)])) ++nClose;
    if (nClose >= nLength) return false;
    size_t nFirst = nArgStart;
    while (nFirst < nClose && IsSpace(strText[int(nFirst)])) ++nFirst;
    tag.strArgument = strText.Mid(int(nFirst), int(nClose - nFirst));
    tag.nEnd = nClose + 1;
    return true;
}

class CMarkupTextRenderer {
public:
    CMarkupTextRenderer(platform::CCanvas* pCanvas, IRenderResources* pManager, RECT& rc, RECT* prcLinks,
                        CUIString* pLinkTargets, int nLinkSlots, uint32_t dwTextColor, FontHandle hBaseFont,
                        uint32_t uStyle)
        : m_pCanvas(pCanvas), m_pManager(pManager), m_rc(rc), m_prcLinks(prcLinks),
          m_pLinkTargets(pLinkTargets), m_nLinkSlots(std::max(0, nLinkSlots)), m_dwTextColor(dwTextColor),
          m_hBaseFont(hBaseFont), m_uStyle(uStyle), m_bDraw(!(uStyle & DT_CALCRECT) && pCanvas) {
        m_bRtl = (uStyle & DT_RTLREADING) != 0;
        m_dwSelectedColor = pManager->GetDefaultSelectedBkColor();
        m_dwLinkColor = pManager->GetDefaultLinkFontColor();
        m_dwLinkHoverColor = pManager->GetDefaultLinkHoverFontColor();
        const POINT ptMouse = pManager->GetMousePos();
        if (prcLinks && pLinkTargets) {
            for (int i = 0; i < m_nLinkSlots; ++i) {
                if (PtInRect(prcLinks[i], ptMouse)) m_strHoverTarget = pLinkTargets[i];
            }
        }
    }

    int Render(const CUIString& strText) {
        m_pText = &strText;
        const bool bSingleLine = (m_uStyle & DT_SINGLELINE) != 0;
        int y = m_rc.top;
        int nLastBottom = m_rc.top;
        int nWidest = m_rc.left;
        for (;;) {
            m_items.clear();
            const int nLineStartLink = m_nLinksFound;
            int nLineHeight = 0;
            const int xEnd = ReadLine(y, nLineHeight);
            const int nLineBottom = y + nLineHeight;
            const int nOffset = LineOffset(xEnd);
            for (int i = nLineStartLink; i < std::min(m_nLinksFound, m_nLinkSlots); ++i) {
                if (!m_prcLinks) break;
                RECT& rcLink = m_prcLinks[i];
                rcLink.bottom = nLineBottom;
                if (m_bRtl) {
                    const int nLeft = m_rc.left + (xEnd - rcLink.right);
                    rcLink.right = m_rc.left + (xEnd - rcLink.left);
                    rcLink.left = nLeft;
                }
                rcLink.left += nOffset;
                rcLink.right += nOffset;
            }
            if (m_bRtl) {
                // Right-to-left reading puts the line's pieces in the opposite order.
                for (DrawItem& item : m_items) item.x = m_rc.left + (xEnd - (item.x + item.nWidth));
            }
            if (m_bDraw) DrawLine(y, nLineHeight, nOffset);
            nWidest = std::max(nWidest, xEnd);
            nLastBottom = nLineBottom;
            if (m_nPos >= size_t(m_pText->GetLength()) || bSingleLine || RectWidth(m_rc) <= 0 || m_bEllipsisShown)
                break;
            y = nLineBottom;
            if (m_bDraw && y > m_rc.bottom) break;
        }
        if (m_uStyle & DT_CALCRECT) {
            m_rc.bottom = std::max(nLastBottom, m_nLowestImageBottom);
            m_rc.right = std::min(m_rc.right, nWidest);
        }
        return m_nLinksFound;
    }

private:
    FontHandle CurrentFont() const { return m_state.fonts.empty() ? m_hBaseFont : m_state.fonts.back(); }
    uint32_t CurrentColor() const { return m_state.colors.empty() ? m_dwTextColor : m_state.colors.back(); }
    int CurrentParagraph() const { return m_state.paragraphs.empty() ? 0 : m_state.paragraphs.back(); }
    int CurrentAlign() const { return m_state.alignments.empty() ? kAlignBottom : m_state.alignments.back(); }

    platform::TextMetrics Metrics(FontHandle hFont) const {
        platform::TextMetrics metrics;
        platform::GetFontTextMetrics(hFont, metrics);
        return metrics;
    }

    void RaiseLineHeight(int& nLineHeight) const {
        const platform::TextMetrics metrics = Metrics(CurrentFont());
        nLineHeight = std::max(nLineHeight, CurrentParagraph() + metrics.nHeight + metrics.nExternalLeading);
    }

    void PushFont(FontHandle hFont, int& nLineHeight) {
        if (!hFont) return;
        m_state.fonts.push_back(hFont);
        RaiseLineHeight(nLineHeight);
    }

    void PopFont() {
        if (!m_state.fonts.empty()) m_state.fonts.pop_back();
    }

    FontHandle FindOrAddFont(const std::wstring& strFace, int nSize, bool bBold, bool bUnderline, bool bItalic) {
        FontHandle hFont = m_pManager->LookupFont(strFace.c_str(), nSize, bBold, bUnderline, bItalic);
        if (hFont) return hFont;
        return m_pManager->AddFont(g_nNextMarkupFontId++, strFace.c_str(), nSize, bBold, bUnderline, bItalic, false);
    }

    // The current font with one style switched on; null when it has that style already.
    FontHandle Variant(bool bBold, bool bUnderline, bool bItalic) {
        platform::StockFontDesc desc;
        if (!platform::GetFontDesc(CurrentFont(), desc)) return nullptr;
        if ((bBold && desc.bBold) || (bUnderline && desc.bUnderline) || (bItalic && desc.bItalic)) return nullptr;
        return FindOrAddFont(desc.strFace, desc.nSizePx, desc.bBold || bBold, desc.bUnderline || bUnderline,
                             desc.bItalic || bItalic);
    }

    FontHandle FontFromTag(const CUIString& strArgument) {
        const wchar_t* p = strArgument.GetData();
        if (*p >= L'0' && *p <= L'9') return m_pManager->GetFont(int(ReadDecimal(p)));
        const wchar_t* pFace = p;
        while (*p && !IsSpace(*p)) ++p;
        std::wstring strFace(pFace, p);
        while (IsSpace(*p)) ++p;
        int nSize = 10;
        if (*p >= L'0' && *p <= L'9') nSize = int(std::max(1L, ReadDecimal(p)));
        CUIString strStyle(p);
        strStyle.MakeLower();
        return FindOrAddFont(strFace, nSize, strStyle.Find(L"bold") >= 0, strStyle.Find(L"underline") >= 0,
                             strStyle.Find(L"italic") >= 0);
    }

    void OpenLink(const CUIString& strTarget, int x, int y, int& nLineHeight) {
        if (m_nLinksFound < m_nLinkSlots && m_pLinkTargets) m_pLinkTargets[m_nLinksFound] = strTarget;
        const bool bHover = !m_strHoverTarget.IsEmpty() && strTarget == m_strHoverTarget;
        m_state.colors.push_back(bHover ? m_dwLinkHoverColor : m_dwLinkColor);
        PushFont(Variant(false, true, false), nLineHeight);
        m_ptLinkStart = POINT{x, y};
        m_state.bInLink = true;
    }

    void CloseLink(int x, int y) {
        if (m_state.bInLink && m_nLinksFound < m_nLinkSlots && m_prcLinks) {
            const platform::TextMetrics metrics = Metrics(CurrentFont());
            m_prcLinks[m_nLinksFound] = RECT{m_ptLinkStart.x, m_ptLinkStart.y, x,
                                             y + metrics.nHeight + metrics.nExternalLeading};
        }
        if (m_state.bInLink) ++m_nLinksFound;
        m_state.bInLink = false;
        if (!m_state.colors.empty()) m_state.colors.pop_back();
        PopFont();
    }

    // At a line end inside a link the link gets one rectangle per line.
    void SplitLinkAtLineEnd(int x, int nLineBottom) {
        if (!m_state.bInLink) return;
        if (m_nLinksFound < m_nLinkSlots && m_prcLinks)
            m_prcLinks[m_nLinksFound] = RECT{m_ptLinkStart.x, m_ptLinkStart.y, std::min(x, int(m_rc.right)), nLineBottom};
        ++m_nLinksFound;
        if (m_nLinksFound < m_nLinkSlots && m_pLinkTargets && m_nLinksFound > 0)
            m_pLinkTargets[m_nLinksFound] = m_pLinkTargets[m_nLinksFound - 1];
        m_ptLinkStart = POINT{m_rc.left, nLineBottom};
    }

    // Answers true when the line ends after this image; nPos is left on the tag when the
    // image moves to the next line.
    bool PlaceImage(const CUIString& strArgument, int& x, int y, int& nLineHeight, size_t nTagStart) {
        CUIString strName;
        CUIString strResType;
        bool bResType = false;
        int nFrames = 1;
        int nFrame = 0;
        if (strArgument.Find(L'=') >= 0) {
            ImageDrawDesc desc;
            desc.SetDrawString(strArgument.GetData());
            CRenderKit::ParseImageDrawString(desc);
            strName = desc.strImageName;
            bResType = desc.bUseResType;
            strResType = desc.strResType;
        } else {
            const wchar_t* p = strArgument.GetData();
            const wchar_t* pName = p;
            while (*p && !IsSpace(*p)) ++p;
            strName = CUIString(pName, int(p - pName));
            if (*p) nFrames = int(std::max(1L, ReadDecimal(p)));
            if (*p) nFrame = int(ReadDecimal(p));
        }
        if (nFrame < 0 || nFrame >= nFrames) nFrame = 0;
        ImageRecord* pImage =
            strName.IsEmpty() ? nullptr
                              : m_pManager->FetchImage(strName.GetData(), bResType ? strResType.GetData() : nullptr, 0, false);
        if (!pImage || !pImage->pBitmap) return false;
        const int nFrameWidth = pImage->nWidth / nFrames;
        if (nFrameWidth <= 0) return false;
        const bool bFits = x + nFrameWidth <= m_rc.right || x == m_rc.left || (m_uStyle & DT_SINGLELINE);
        if (!bFits) {
            m_nPos = nTagStart;
            return true;
        }
        DrawItem item;
        item.x = x;
        item.nWidth = nFrameWidth;
        item.pImage = pImage;
        item.nAlign = CurrentAlign();
        item.rcFrame = RECT{nFrame * nFrameWidth, 0, (nFrame + 1) * nFrameWidth, pImage->nHeight};
        m_items.push_back(item);
        nLineHeight = std::max(nLineHeight, pImage->nHeight);
        m_nLowestImageBottom = std::max(m_nLowestImageBottom, y + pImage->nHeight);
        x += nFrameWidth;
        return false;
    }

    // Applies a tag; answers true when it ends the line.
    bool ApplyTag(const Tag& tag, int& x, int y, int& nLineHeight, size_t nTagStart) {
        const bool bMultiLine = !(m_uStyle & DT_SINGLELINE);
        const wchar_t* pArgument = tag.strArgument.GetData();
        if (tag.bClosing) {
            switch (tag.chLetter) {
            case L'a': CloseLink(x, y); return false;
            case L'b': case L'f': case L'i': case L'u': PopFont(); return false;
            case L'c': if (!m_state.colors.empty()) m_state.colors.pop_back(); return false;
            case L'p': {
                const bool bBreak = x > m_rc.left;
                if (!m_state.paragraphs.empty()) m_state.paragraphs.pop_back();
                return bBreak && bMultiLine;
            }
            case L'r': m_state.bRaw = false; return false;
            case L's': m_state.bSelected = !m_state.bSelected; return false;
            case L'v': if (!m_state.alignments.empty()) m_state.alignments.pop_back(); return false;
            default: return false;
            }
        }
        switch (tag.chLetter) {
        case L'a': OpenLink(tag.strArgument, x, y, nLineHeight); return false;
        case L'b': PushFont(Variant(true, false, false), nLineHeight); return false;
        case L'c': m_state.colors.push_back(ReadTagColor(pArgument)); return false;
        case L'f': PushFont(FontFromTag(tag.strArgument), nLineHeight); return false;
        case L'i':
            if (tag.strArgument.IsEmpty()) {
                PushFont(Variant(false, false, true), nLineHeight);
                return false;
            }
            return PlaceImage(tag.strArgument, x, y, nLineHeight, nTagStart);
        case L'n': return bMultiLine;
        case L'p': {
            const int nSpace = int(ReadDecimal(pArgument));
            m_state.paragraphs.push_back(nSpace);
            const platform::TextMetrics metrics = Metrics(CurrentFont());
            nLineHeight = std::max(nLineHeight, nSpace + metrics.nHeight + metrics.nExternalLeading);
            return bMultiLine && x > m_rc.left;
        }
        case L'r': m_state.bRaw = true; return false;
        case L's': m_state.bSelected = !m_state.bSelected; return false;
        case L'u': PushFont(Variant(false, true, false), nLineHeight); return false;
        case L'v': {
            int nAlign = kAlignBottom;
            if (tag.strArgument.CompareNoCase(L"center") == 0) nAlign = kAlignCenter;
            else if (tag.strArgument.CompareNoCase(L"top") == 0) nAlign = kAlignTop;
            m_state.alignments.push_back(nAlign);
            return false;
        }
        case L'x': x += int(ReadDecimal(pArgument)); return false;
        case L'y': nLineHeight = int(ReadDecimal(pArgument)); return false;
        default: return false;
        }
    }

    // Where a run of text ends: the next bracket, newline or carriage return (raw: the
    // closing r tag).
    size_t RunEnd(size_t nStart) const {
        const CUIString& strText = *m_pText;
        const size_t nLength = size_t(strText.GetLength());
        if (strText[int(nStart)] == L' ' && !m_state.bRaw) return nStart + 1;
        size_t nEnd = nStart + 1;
        for (; nEnd < nLength; ++nEnd) {
            const wchar_t ch = strText[int(nEnd)];
            if (ch == L'\n' || ch == L'\r') break;
            if (m_state.bRaw) {
                if (IsOpenBracket(ch) && strText[int(nEnd) + 1] == L'/' && strText[int(nEnd) + 2] == L'r' &&
                    IsCloseBracket(strText[int(nEnd) + 3]))
                    break;
            } else if (IsOpenBracket(ch)) {
                break;
            }
        }
        return nEnd;
    }

    // Cut position under DT_WORDBREAK: after the last blank or ASCII mark; 0 when there is none.
    static int WordBreakCut(const std::wstring& strRun, int nFit) {
        for (int i = nFit - 1; i >= 0; --i) {
            const wchar_t ch = strRun[size_t(i)];
            if (ch < 0x80 && !IsAsciiLetter(ch) && !(ch >= L'0' && ch <= L'9')) return i + 1;
        }
        return 0;
    }

    // Answers true when the run ends the line.
    bool PlaceRun(const std::wstring& strRun, int& x, int y, int nLineHeight) {
        const FontHandle hFont = CurrentFont();
        const int nLength = int(strRun.size());
        const SIZE size = platform::MeasureTextLine(hFont, strRun.c_str(), nLength);
        if (x + size.cx <= m_rc.right) {
            AddText(strRun, x, size.cx, hFont);
            x += size.cx;
            m_nPos += size_t(nLength);
            return false;
        }
        int nWidth = 0;
        int nCount = platform::FitTextLine(hFont, strRun.c_str(), nLength, m_rc.right - x, &nWidth);
        const bool bWordBreak = (m_uStyle & DT_WORDBREAK) && !(m_uStyle & DT_SINGLELINE);
        // With wrapping, only the last line that fits ends in an ellipsis; the lines above
        // simply wrap.
        const bool bEllipsis = (m_uStyle & DT_END_ELLIPSIS) &&
                               (!bWordBreak || y + 2 * std::max(1, nLineHeight) > m_rc.bottom);
        if (bWordBreak && !bEllipsis) {
            // A blank right after the fitting part ends the line itself, unseen at its end.
            const int nCut = (nCount < nLength && strRun[size_t(nCount)] == L' ') ? nCount + 1
                                                                                 : WordBreakCut(strRun, nCount);
            // A word that does not fit moves to the next line, unless it starts the line.
            if (nCut > 0) nCount = nCut;
            else if (x > m_rc.left) return true;
        }
        nCount = std::max(1, nCount);
        if (bEllipsis) {
            int nShown = nCount - 1;
            if (nShown > 0) --nShown;
            const std::wstring strShown = strRun.substr(0, size_t(nShown)) + L"...";
            AddText(strShown, x, platform::MeasureTextLine(hFont, strShown.c_str(), int(strShown.size())).cx, hFont);
            x = m_rc.right;
            m_bEllipsisShown = !(m_uStyle & DT_SINGLELINE);
        } else {
            const std::wstring strPart = strRun.substr(0, size_t(nCount));
            const int nPartWidth = platform::MeasureTextLine(hFont, strPart.c_str(), nCount).cx;
            AddText(strPart, x, nPartWidth, hFont);
            x += nPartWidth;
        }
        m_nPos += size_t(nCount);
        return true;
    }

    void AddText(const std::wstring& strText, int x, int nWidth, FontHandle hFont) {
        if (!m_bDraw) return;
        DrawItem item;
        item.x = x;
        item.nWidth = nWidth;
        item.strText = strText;
        item.hFont = hFont;
        item.dwColor = CurrentColor();
        item.bSelected = m_state.bSelected;
        item.nAlign = CurrentAlign();
        m_items.push_back(item);
    }

    // Reads one line from m_nPos; answers the x reached.
    int ReadLine(int y, int& nLineHeight) {
        const CUIString& strText = *m_pText;
        const size_t nLength = size_t(strText.GetLength());
        int x = m_rc.left;
        {
            const platform::TextMetrics metrics = Metrics(CurrentFont());
            nLineHeight = CurrentParagraph() + metrics.nHeight + metrics.nExternalLeading;
        }
        if (m_state.bInLink) m_ptLinkStart = POINT{x, y};
        bool bLineEnd = false;
        while (!bLineEnd && m_nPos < nLength) {
            if (x >= m_rc.right) break;
            const wchar_t ch = strText[int(m_nPos)];
            if (ch == L'\n') {
                ++m_nPos;
                break;
            }
            // A carriage return (Windows line ends) takes no room and draws nothing.
            if (ch == L'\r') {
                ++m_nPos;
                continue;
            }
            if (m_state.bRaw) {
                if (IsOpenBracket(ch) && strText[int(m_nPos) + 1] == L'/' && strText[int(m_nPos) + 2] == L'r' &&
                    IsCloseBracket(strText[int(m_nPos) + 3])) {
                    m_state.bRaw = false;
                    m_nPos += 4;
                    continue;
                }
            } else if (IsOpenBracket(ch)) {
                const wchar_t chNext = strText[int(m_nPos) + 1];
                const wchar_t chAfter = strText[int(m_nPos) + 2];
                if ((ch == L'<' && (chNext == L'{' || chNext == L'}') && chAfter == L'>') ||
                    (ch == L'{' && (chNext == L'<' || chNext == L'>') && chAfter == L'}')) {
                    // An escaped bracket: drawn as text, the two around it skipped.
                    m_nPos += 1;
                    const size_t nBefore = m_nPos;
                    bLineEnd = PlaceRun(std::wstring(1, chNext), x, y, nLineHeight);
                    if (m_nPos != nBefore) m_nPos += 1;
                    else m_nPos -= 1;
                    continue;
                }
                Tag tag;
                if (ParseTag(strText, m_nPos, tag)) {
                    const size_t nTagStart = m_nPos;
                    m_nPos = tag.nEnd;
                    bLineEnd = ApplyTag(tag, x, y, nLineHeight, nTagStart);
                    continue;
                }
                // Any other bracket is a plain character.
            }
            const size_t nEnd = RunEnd(m_nPos);
            const std::wstring strRun(strText.GetData() + m_nPos, nEnd - m_nPos);
            bLineEnd = PlaceRun(strRun, x, y, nLineHeight);
        }
        SplitLinkAtLineEnd(x, y + nLineHeight);
        return x;
    }

    int LineOffset(int xEnd) const {
        if (m_uStyle & DT_SINGLELINE) return 0;
        const int nSpare = RectWidth(m_rc) - (xEnd - m_rc.left);
        if (m_uStyle & DT_CENTER) return nSpare / 2;
        if (m_uStyle & DT_RIGHT) return nSpare;
        return 0;
    }

    void DrawLine(int y, int nLineHeight, int nOffset) {
        const RECT rcPaint = m_pCanvas->GetClipBox();
        for (const DrawItem& item : m_items) {
            if (item.pImage) {
                const int nHeight = item.pImage->nHeight;
                int yImage = y + nLineHeight - nHeight;
                if (item.nAlign == kAlignCenter) yImage = y + (nLineHeight - nHeight) / 2;
                else if (item.nAlign == kAlignTop) yImage = y;
                const RECT rcDest{item.x + nOffset, yImage, item.x + nOffset + RectWidth(item.rcFrame), yImage + nHeight};
                CRenderKit::DrawBitmap(*m_pCanvas, *item.pImage->pBitmap, rcDest, rcPaint, item.rcFrame, RECT{},
                                       item.pImage->bHasAlpha, 255, false, false, false);
                continue;
            }
            const platform::TextMetrics metrics = Metrics(item.hFont);
            int yText = y + nLineHeight - metrics.nExternalLeading - metrics.nHeight;
            if (item.nAlign == kAlignCenter) yText = y + (nLineHeight - metrics.nHeight) / 2;
            else if (item.nAlign == kAlignTop) yText = y;
            m_pCanvas->TextOut(item.x + nOffset, yText, item.strText.c_str(), int(item.strText.size()), item.hFont,
                               item.dwColor, item.bSelected, m_dwSelectedColor, m_bRtl);
        }
    }

    platform::CCanvas* m_pCanvas;
    IRenderResources* m_pManager;
    RECT& m_rc;
    RECT* m_prcLinks;
    CUIString* m_pLinkTargets;
    int m_nLinkSlots;
    uint32_t m_dwTextColor;
    FontHandle m_hBaseFont;
    uint32_t m_uStyle;
    bool m_bDraw;
    bool m_bRtl = false;
    bool m_bEllipsisShown = false;
    uint32_t m_dwSelectedColor = 0;
    uint32_t m_dwLinkColor = 0;
    uint32_t m_dwLinkHoverColor = 0;
    CUIString m_strHoverTarget;

    const CUIString* m_pText = nullptr;
    size_t m_nPos = 0;
    MarkupState m_state;
    std::vector<DrawItem> m_items;
    POINT m_ptLinkStart;
    int m_nLinksFound = 0;
    int m_nLowestImageBottom = 0;
};

}  // namespace

void CRenderKit::DrawMarkupText(platform::CCanvas* pCanvas, IRenderResources* pManager, RECT& rc,
                                const wchar_t* pText, uint32_t dwTextColor, RECT* prcLinks,
                                CUIString* pLinkTargets, int& nLinkCount, int nFont, uint32_t uStyle) {
    const int nLinkSlots = (prcLinks && pLinkTargets) ? std::max(0, nLinkCount) : 0;
    nLinkCount = 0;
    if (!pText || !pManager || IsRectEmpty(rc)) return;
    const bool bDraw = !(uStyle & DT_CALCRECT);
    if (bDraw && !pCanvas) return;
    CUIString strText(pText);
    pManager->ExpandLanguageRefs(strText);
    platform::ClipRecord clip;
    if (bDraw) {
        pCanvas->SaveClip(clip);
        pCanvas->IntersectClipRect(rc);
    }
    if (bDraw && (uStyle & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM))) {
        RECT rcText = rc;
        if (uStyle & DT_SINGLELINE) rcText = RECT{rc.left, rc.top, rc.left + 9999, rc.top + 100};
        int nNoLinks = 0;
        DrawMarkupText(nullptr, pManager, rcText, pText, dwTextColor, nullptr, nullptr, nNoLinks, nFont,
                       uStyle | DT_CALCRECT);
        const int nTextWidth = RectWidth(rcText);
        const int nTextHeight = RectHeight(rcText);
        if (uStyle & DT_SINGLELINE) {
            if (uStyle & DT_CENTER) {
                rc.left = rc.left + RectWidth(rc) / 2 - nTextWidth / 2;
                rc.right = rc.left + nTextWidth;
            }
            if (uStyle & DT_RIGHT) rc.left = rc.right - nTextWidth;
        }
        if (uStyle & DT_VCENTER) {
            rc.top = rc.top + RectHeight(rc) / 2 - nTextHeight / 2;
            rc.bottom = rc.top + nTextHeight;
        }
        if (uStyle & DT_BOTTOM) rc.top = rc.bottom - nTextHeight;
    }
    CMarkupTextRenderer renderer(pCanvas, pManager, rc, prcLinks, pLinkTargets, nLinkSlots, dwTextColor,
                                 pManager->GetFont(nFont), uStyle);
    nLinkCount = std::min(nLinkSlots, renderer.Render(strText));
    if (bDraw) pCanvas->RestoreClip(clip);
}
