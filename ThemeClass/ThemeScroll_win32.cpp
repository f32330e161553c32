#include "ThemeClass/ThemeScroll.h"

BEGIN_MESSAGE_MAP(CThemeScroll, CThemeTrackWnd)
ON_WM_TIMER()
ON_MESSAGE(WM_SKIN_LBUTTONDBLCLK, OnChildDblClk)
END_MESSAGE_MAP()

namespace {

const UINT kScrollParts[] = {CThemeScroll::kThumbId, CThemeScroll::kPrevId, CThemeScroll::kNextId};

// SBS_VERT, and the size-box bit a vertical bar is also made with.
constexpr DWORD kScrollVertical = 0x3;

constexpr COLORREF kArrowText = 0x5D3925;

}  // namespace

CThemeScroll::CThemeScroll()
    : CThemeTrackWnd(kScrollParts, 3, WM_SKIN_SCROLLMOUSEMOVE, kScrollVertical) {}

void CThemeScroll::CreateParts() {
    if (GetThumb()) return;
    CThemeTrackWnd::CreateParts();
    CThemeButton* arrows[2] = {GetPrevButton(), GetNextButton()};
    for (CThemeButton* b : arrows) {
        if (!b) return;
        b->SetTextColors(kArrowText, 0xFF00FF, 0xFF00FF, 0xFF00FF);
        b->SetFontSize(12);
        b->SetFontBold(TRUE);
    }
    LabelArrows();
}

void CThemeScroll::LabelArrows() {
    // An arrow that shows an image keeps its empty caption.
    const char* captions[2] = {skin::ScrollPrevCaption(IsVertical() != FALSE),
                               skin::ScrollNextCaption(IsVertical() != FALSE)};
    for (int i = 0; i < 2; ++i) {
        const Part& p = m_parts[kPartPrev + i];
        if (p.button && p.bitmapId == 0 && p.imagePath.IsEmpty()) p.button->SetText(captions[i]);
    }
}

void CThemeScroll::SetLineUnit(int nUnit) {
    if (nUnit >= 1) m_nLineUnit = nUnit;
}

void CThemeScroll::LineUp() {
    if (!skin::TrackLineStep(&m_nPos, m_nLineUnit, true, m_nMin, m_nMax)) return;
    RecalcLayout();
    NotifyParent(m_nPos, kSkinPosChanging);
}

void CThemeScroll::LineDown() {
    if (!skin::TrackLineStep(&m_nPos, m_nLineUnit, false, m_nMin, m_nMax)) return;
    RecalcLayout();
    NotifyParent(m_nPos, kSkinPosChanging);
}

BOOL CThemeScroll::OnPrevButtonDown(HWND hWnd) {
    CThemeButton* pPrev = GetPrevButton();
    if (!pPrev || !hWnd || hWnd != pPrev->GetSafeHwnd()) return FALSE;
    Apply(skin::RepeatOnPress(true));
    return TRUE;
}

// ---- arrow auto-repeat

void CThemeScroll::StopArrows() {
    if (!GetSafeHwnd()) return;
    for (unsigned id = skin::kTimerPrevFirst; id <= skin::kTimerNextRepeat; ++id) KillTimer(id);
}

void CThemeScroll::Apply(const skin::RepeatAction& a) {
    for (unsigned id : a.kill)
        if (id) KillTimer(id);
    if (a.step) {
        if (a.up)
            LineUp();
        else
            LineDown();
    }
    if (a.start) SetTimer(a.start, a.startMs);
}

void CThemeScroll::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent >= skin::kTimerPrevFirst && nIDEvent <= skin::kTimerNextRepeat) {
        const bool prev = nIDEvent <= skin::kTimerPrevRepeat;
        // The arrow's button-up never comes when it lost the capture to
        // cancel mode or another window: then the repeat ends here.
        CThemeButton* pArrow = prev ? GetPrevButton() : GetNextButton();
        const bool held = pArrow && pArrow->GetSafeHwnd() && ::GetCapture() == pArrow->m_hWnd;
        Apply(skin::RepeatOnTimer(static_cast<unsigned>(nIDEvent), held));
    }
    CWnd::OnTimer(nIDEvent);
}

void CThemeScroll::OnArrowDown(int part) { Apply(skin::RepeatOnPress(part == kPartPrev)); }

void CThemeScroll::OnArrowUp(int part) {
    Apply(skin::RepeatOnRelease(part == kPartPrev));
    CThemeButton* pArrow = m_parts[part].button;
    if (pArrow && pArrow->GetSafeHwnd() && ::GetCapture() == pArrow->m_hWnd) ::ReleaseCapture();
}

LRESULT CThemeScroll::OnChildDblClk(WPARAM wParam, LPARAM lParam) {
    // The second press of a double click takes no capture in an owner-drawn
    // button, so the repeat would end at its first tick and the button-up
    // could go elsewhere: the arrow holds the capture until its button-up.
    const int part = PartIndex(wParam);
    CThemeButton* pArrow = part > kPartThumb ? m_parts[part].button : nullptr;
    if (pArrow && pArrow->GetSafeHwnd() && ::GetCapture() != pArrow->m_hWnd &&
        ::GetKeyState(VK_LBUTTON) < 0)
        pArrow->SetCapture();
    return OnChildDown(wParam, lParam);
}
