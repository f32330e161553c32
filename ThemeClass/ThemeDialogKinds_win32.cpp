// The control kinds of the skinned dialog, one row each: the creator that
// replaces a template control, the reset to the built-in look and the
// applier of the kind's profile keys. Kinds whose class is not in the
// library have no row yet; their template controls stay as they are.
#include <cstring>

#include "ThemeClass/ThemeButton.h"
#include "ThemeClass/ThemeCheck.h"
#include "ThemeClass/ThemeCombo.h"
#include "ThemeClass/ThemeDialog.h"
#include "ThemeClass/ThemeEdit.h"
#include "ThemeClass/ThemeGroup.h"
#include "ThemeClass/ThemeListBox.h"
#include "ThemeClass/ThemePicture.h"
#include "ThemeClass/ThemeProgress.h"
#include "ThemeClass/ThemeRadio.h"
#include "ThemeClass/ThemeScroll.h"
#include "ThemeClass/ThemeSlider.h"
#include "ThemeClass/ThemeStatic.h"

namespace {

constexpr DWORD kChildStyle = 0x50010000;  // WS_CHILD | WS_VISIBLE | WS_TABSTOP
constexpr COLORREF kSame = 0xFF00FF;       // four-state setters: as normal

struct Recipe {
    bool destroyTemplate;             // else hidden and kept
    DWORD style;                      // the new window's style
    bool withTemplateStyle;           // OR the template's style in
    DWORD templateMask = 0xFFFFFFFF;  // the template's bits that may pass
};

// Makes the skinned control over the template control: the new window is
// created first, and only when it stands is the template retired, so a
// failed creation leaves the dialog as it was and returns null.
template <class T>
T* CreateOver(CThemeDialog* pDlg, int nKind, UINT nID, LPCTSTR lpszName, const Recipe& r,
              CString* pText) {
    HWND hTemplate = ::GetDlgItem(pDlg->m_hWnd, (int)nID);
    if (!hTemplate) return nullptr;
    CString name(lpszName ? lpszName : "");
    if (name.GetLength() < 1)
        name = skin::MakeSkinName(nKind, pDlg->GetControlCount(nKind)).c_str();
    CRect rc;
    ::GetWindowRect(hTemplate, &rc);
    pDlg->ScreenToClient(&rc);
    if (pText) {
        const int n = ::GetWindowTextLengthA(hTemplate);
        ::GetWindowTextA(hTemplate, pText->GetBufferSetLength(n), n + 1);
        pText->ReleaseBuffer();
    }
    DWORD style = r.style;
    if (r.withTemplateStyle)
        style |= (DWORD)::GetWindowLongA(hTemplate, GWL_STYLE) & r.templateMask;

    T* p = new T;
    if (!p->Create(style, rc, pDlg, nID) || !p->GetSafeHwnd()) {
        delete p;
        return nullptr;
    }
    // Same place in the tab order as the template.
    ::SetWindowPos(p->m_hWnd, hTemplate, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(hTemplate, SW_HIDE);
    if (r.destroyTemplate) {
        if (CWnd* owner = CWnd::FromHandlePermanent(hTemplate))
            owner->DestroyWindow();
        else
            ::DestroyWindow(hTemplate);
    }
    p->SetName(name);
    pDlg->AppendControl(nKind, p);
    return p;
}

// One key that was found, with its value read by the file's rule.
struct KeyValue {
    CThemeDialog* dlg;
    const skin::SkinKey& key;
    const CString& text;
    bool Is(const char* prop, skin::ProfileFile file) const {
        return key.file == file && std::strcmp(key.property, prop) == 0;
    }
    CRect Rect() const { return CThemeDialog::ParseRect(text); }
    COLORREF Color() const { return CThemeDialog::ParseColor(text); }
    int Int() const { return skin::ParseInt(std::string(text)); }
    CString Path() const { return dlg->GetImagePath(text); }
};

using F = skin::ProfileFile;

// ---- label and group box: one property block, two caption setters

template <class T>
bool ApplyTextStyle(T* p, const KeyValue& kv) {
    if (kv.Is("(CaptionArea)", F::Pos))
        p->SetCaptionArea(kv.Rect());
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColor(kv.Color());
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Font)", F::Color))
        p->SetFontColor(kv.Color());
    else if (kv.Is("(Shadow)", F::Color))
        p->SetShadowColor(kv.Color());
    else if (kv.Is("(FontSize)", F::Value))
        p->SetFontSize(kv.Int());
    else if (kv.Is("(AlignFormat)", F::Value))
        p->SetAlignFormat((UINT)kv.Int());
    else if (kv.Is("(FontBold)", F::Value))
        p->SetFontBold(kv.Int());
    else if (kv.Is("(BackDrawType)", F::Value))
        p->SetBackDrawType(kv.Int());
    else if (kv.Is("(BackImageFillType)", F::Value))
        p->SetBackImageFillType(kv.Int());
    else if (kv.Is("(BackImageAlignFormat)", F::Value))
        p->SetBackImageAlignFormat((UINT)kv.Int());
    else if (kv.Is("(EdgeRoundValue)", F::Value))
        p->SetEdgeRoundValue(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
    else if (kv.Is("(Back)", F::Image))
        p->SetBackImage(kv.Path());
    else
        return false;
    return true;
}

void ApplyStatic(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeStatic*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(v);
    else if (kv.Is("(Caption)", F::Text))
        p->SetText(v);
    else
        ApplyTextStyle(p, kv);
}

void ApplyGroup(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeGroup*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(Caption)", F::Text))
        p->SetCaption(v);
    else
        ApplyTextStyle(p, kv);
}

// ---- push button, check box and radio button: the caption and colour keys

template <class T>
bool ApplyButtonStyle(T* p, const KeyValue& kv) {
    if (kv.Is("(Caption)", F::Text))
        p->SetText(kv.text);
    else if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(kv.text);
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColors(kv.Color(), kSame, kSame, kSame);
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Font)", F::Color))
        p->SetTextColors(kv.Color(), kSame, kSame, kSame);
    else if (kv.Is("(FontHover)", F::Color))
        p->SetTextHoverColor(kv.Color());
    else if (kv.Is("(FontPressed)", F::Color))
        p->SetTextPressedColor(kv.Color());
    else if (kv.Is("(FontDisabled)", F::Color))
        p->SetTextDisabledColor(kv.Color());
    else if (kv.Is("(Shadow)", F::Color))
        p->SetShadowColors(kv.Color(), kSame, kSame, kSame);
    else if (kv.Is("(ShadowHover)", F::Color))
        p->SetShadowHoverColor(kv.Color());
    else if (kv.Is("(ShadowPressed)", F::Color))
        p->SetShadowPressedColor(kv.Color());
    else if (kv.Is("(ShadowDisabled)", F::Color))
        p->SetShadowDisabledColor(kv.Color());
    else if (kv.Is("(FontSize)", F::Value))
        p->SetFontSize(kv.Int());
    else if (kv.Is("(AlignFormat)", F::Value))
        p->SetAlignFormat((UINT)kv.Int());
    else if (kv.Is("(FontBold)", F::Value))
        p->SetFontBold(kv.Int());
    else if (kv.Is("(BackDrawType)", F::Value))
        p->SetBackDrawType(kv.Int());
    else if (kv.Is("(BackImageFillType)", F::Value))
        p->SetBackImageFillType(kv.Int());
    else if (kv.Is("(BackImageAlignFormat)", F::Value))
        p->SetBackImageAlignFormat((UINT)kv.Int());
    else if (kv.Is("(EdgeRoundValue)", F::Value))
        p->SetEdgeRoundValue(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
    else
        return false;
    return true;
}

void ApplyButton(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeButton*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(CaptionArea)", F::Pos))
        p->SetCaptionArea(kv.Rect());
    else if (kv.Is("(BackImageBlockCount)", F::Value))
        p->SetFrameCount(kv.Int());
    else if (kv.Is("(Back)", F::Image))
        p->SetImageFile(kv.Path());
    else
        ApplyButtonStyle(p, kv);
}

void ApplyRadio(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeRadio*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(CaptionArea)", F::Pos)) {
        const CRect r = kv.Rect();
        p->SetCaptionArea(r.left, r.top, r.right, r.bottom);
    } else if (kv.Is("(Mark)", F::Color)) {
        p->SetMarkColor(kv.Color());
    } else if (kv.Is("(BackImageBlockCount)", F::Value)) {
        p->SetBackImageBlockCount(kv.Int());
    } else if (kv.Is("(Check)", F::Value)) {
        p->SetCheck(kv.Int());
    } else if (kv.Is("(PushLike)", F::Value)) {
        p->SetPushLike(kv.Int());
    } else if (kv.Is("(MarkDrawType)", F::Value)) {
        p->SetMarkDrawType(kv.Int());
    } else if (kv.Is("(Back)", F::Image)) {
        p->SetBackImage(kv.Path());
    } else if (kv.Is("(Mark)", F::Image)) {
        p->SetMarkImage(kv.Path());
    } else {
        ApplyButtonStyle(p, kv);
    }
}

void ApplyCheck(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeCheck*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(CaptionArea)", F::Pos))
        p->SetCaptionArea(kv.Rect());
    else if (kv.Is("(Mark)", F::Color))
        p->SetMarkColor(kv.Color());
    else if (kv.Is("(BackImageBlockCount)", F::Value))
        p->SetFrameCount(kv.Int());
    else if (kv.Is("(Check)", F::Value))
        p->SetCheck(kv.Int());
    else if (kv.Is("(PushLike)", F::Value))
        p->SetPushLike(kv.Int());
    else if (kv.Is("(MarkDrawType)", F::Value))
        p->SetMarkDrawType(kv.Int());
    else if (kv.Is("(Back)", F::Image))
        p->SetImageFile(kv.Path());
    else if (kv.Is("(Mark)", F::Image))
        p->SetMarkImageFile(kv.Path());
    else
        ApplyButtonStyle(p, kv);
}

void ApplyScroll(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeScroll*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(v);
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColor(kv.Color());
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Vertical)", F::Value))
        p->SetVertical(kv.Int());
    else if (kv.Is("(BackDrawType)", F::Value))
        p->SetBackDrawType(kv.Int());
    else if (kv.Is("(BackImageFillType)", F::Value))
        p->SetBackImageFillType(kv.Int());
    else if (kv.Is("(BackImageAlignFormat)", F::Value))
        p->SetBackImageAlignFormat((UINT)kv.Int());
    else if (kv.Is("(EdgeRoundValue)", F::Value))
        p->SetEdgeRoundValue(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
    else if (kv.Is("(AutoToolTip)", F::Value))
        p->SetAutoToolTip(kv.Int());
    else if (kv.Is("(BarImageBlockCount)", F::Value))
        p->SetBarImageBlockCount(kv.Int());
    else if (kv.Is("(RangeMin)", F::Value))
        p->SetRangeMin(kv.Int());
    else if (kv.Is("(RangeMax)", F::Value))
        p->SetRangeMax(kv.Int());
    else if (kv.Is("(Pos)", F::Value))
        p->SetPos(kv.Int());
    else if (kv.Is("(PageUnit)", F::Value))
        p->SetPageUnit(kv.Int());
    else if (kv.Is("(LineUnit)", F::Value))
        p->SetLineUnit(kv.Int());
    else if (kv.Is("(PrevImageBlockCount)", F::Value))
        p->SetPrevImageBlockCount(kv.Int());
    else if (kv.Is("(NextImageBlockCount)", F::Value))
        p->SetNextImageBlockCount(kv.Int());
    else if (kv.Is("(Back)", F::Image))
        p->SetBackImage(kv.Path());
    else if (kv.Is("(Bar)", F::Image))
        p->SetBarImage(kv.Path());
    else if (kv.Is("(Prev)", F::Image))
        p->SetPrevImage(kv.Path());
    else if (kv.Is("(Next)", F::Image))
        p->SetNextImage(kv.Path());
}

void ApplyProgress(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeProgress*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(Bar)", F::Color))
        p->SetBarColor(kv.Color());
    else if (kv.Is("(Bar1)", F::Color))
        p->SetBar1Color(kv.Color());
    else if (kv.Is("(Bar2)", F::Color))
        p->SetBar2Color(kv.Color());
    else if (kv.Is("(Bar1Up)", F::Color))
        p->SetBar1UpColor(kv.Color());
    else if (kv.Is("(Bar1Down)", F::Color))
        p->SetBar1DownColor(kv.Color());
    else if (kv.Is("(Bar1Outline)", F::Color))
        p->SetBar1OutlineColor(kv.Color());
    else if (kv.Is("(Bar2Up)", F::Color))
        p->SetBar2UpColor(kv.Color());
    else if (kv.Is("(Bar2Down)", F::Color))
        p->SetBar2DownColor(kv.Color());
    else if (kv.Is("(Bar2Outline)", F::Color))
        p->SetBar2OutlineColor(kv.Color());
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColor(kv.Color());
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Font)", F::Color))
        p->SetFontColor(kv.Color());
    else if (kv.Is("(Shadow)", F::Color))
        p->SetShadowColor(kv.Color());
    else if (kv.Is("(TextUnit)", F::Text))
        p->SetTextUnit(v);
    else if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(v);
    else if (kv.Is("(ColorChangePercent)", F::Value))
        p->SetColorChangePercent((double)kv.Int());
    else if (kv.Is("(Gradient)", F::Value))
        p->SetGradient(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
    else if (kv.Is("(RangeMin)", F::Value))
        p->SetRangeMin(kv.Int());
    else if (kv.Is("(RangeMax)", F::Value))
        p->SetRangeMax(kv.Int());
    else if (kv.Is("(Pos)", F::Value))
        p->SetPos(kv.Int());
    else if (kv.Is("(DrawText)", F::Value))
        p->SetDrawText(kv.Int());
    else if (kv.Is("(FontSize)", F::Value))
        p->SetFontSize(kv.Int());
    else if (kv.Is("(FontBold)", F::Value))
        p->SetFontBold(kv.Int());
}

void ApplySlider(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeSlider*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(v);
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColor(kv.Color());
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Vertical)", F::Value))
        p->SetVertical(kv.Int());
    else if (kv.Is("(BackDrawType)", F::Value))
        p->SetBackDrawType(kv.Int());
    else if (kv.Is("(BackImageFillType)", F::Value))
        p->SetBackImageFillType(kv.Int());
    else if (kv.Is("(BackImageAlignFormat)", F::Value))
        p->SetBackImageAlignFormat((UINT)kv.Int());
    else if (kv.Is("(EdgeRoundValue)", F::Value))
        p->SetEdgeRoundValue(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
    else if (kv.Is("(AutoToolTip)", F::Value))
        p->SetAutoToolTip(kv.Int());
    else if (kv.Is("(BarImageBlockCount)", F::Value))
        p->SetBarImageBlockCount(kv.Int());
    else if (kv.Is("(RangeMin)", F::Value))
        p->SetRangeMin(kv.Int());
    else if (kv.Is("(RangeMax)", F::Value))
        p->SetRangeMax(kv.Int());
    else if (kv.Is("(Pos)", F::Value))
        p->SetPos(kv.Int());
    else if (kv.Is("(PageUnit)", F::Value))
        p->SetPageUnit(kv.Int());
    else if (kv.Is("(Back)", F::Image))
        p->SetBackImage(kv.Path());
    else if (kv.Is("(Bar)", F::Image))
        p->SetBarImage(kv.Path());
}

void ApplyEdit(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeEdit*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(Text)", F::Text))
        p->SetText(v);
    else if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(v);
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColor(kv.Color());
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Font)", F::Color))
        p->SetFontColor(kv.Color());
    else if (kv.Is("(FontSize)", F::Value))
        p->SetFontSize(kv.Int());
    else if (kv.Is("(FontBold)", F::Value))
        p->SetFontBold(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
}

// ---- list box and combo box: the row colours and gaps they share

template <class T>
bool ApplyListStyle(T* p, const KeyValue& kv) {
    if (kv.Is("(ToolTip)", F::Text))
        p->SetToolTipText(kv.text);
    else if (kv.Is("(Back)", F::Color))
        p->SetBackColor(kv.Color());
    else if (kv.Is("(Outline)", F::Color))
        p->SetOutlineColor(kv.Color());
    else if (kv.Is("(OutlineLT)", F::Color))
        p->SetOutlineLTColor(kv.Color());
    else if (kv.Is("(OutlineRB)", F::Color))
        p->SetOutlineRBColor(kv.Color());
    else if (kv.Is("(Font)", F::Color))
        p->SetFontColor(kv.Color());
    else if (kv.Is("(SelectFont)", F::Color))
        p->SetSelectFontColor(kv.Color());
    else if (kv.Is("(SelectBack)", F::Color))
        p->SetSelectBackColor(kv.Color());
    else if (kv.Is("(NormalBack)", F::Color))
        p->SetNormalBackColor(kv.Color());
    else if (kv.Is("(Normal1Back)", F::Color))
        p->SetNormal1BackColor(kv.Color());
    else if (kv.Is("(Normal2Back)", F::Color))
        p->SetNormal2BackColor(kv.Color());
    else if (kv.Is("(Frame)", F::Color))
        p->SetFrameColor(kv.Color());
    else if (kv.Is("(FontSize)", F::Value))
        p->SetFontSize(kv.Int());
    else if (kv.Is("(AlignFormat)", F::Value))
        p->SetAlignFormat((UINT)kv.Int());
    else if (kv.Is("(FontBold)", F::Value))
        p->SetFontBold(kv.Int());
    else if (kv.Is("(ItemHeight)", F::Value))
        p->SetItemHeight(kv.Int());
    else if (kv.Is("(LeftGap)", F::Value))
        p->SetLeftGap(kv.Int());
    else if (kv.Is("(RightGap)", F::Value))
        p->SetRightGap(kv.Int());
    else if (kv.Is("(OutlineThick)", F::Value))
        p->SetOutlineThick(kv.Int());
    else
        return false;
    return true;
}

void ApplyListBox(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeListBox*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(FontState1)", F::Color))
        p->SetFontState1Color(kv.Color());
    else if (kv.Is("(FontState2)", F::Color))
        p->SetFontState2Color(kv.Color());
    else if (kv.Is("(FontState3)", F::Color))
        p->SetFontState3Color(kv.Color());
    else if (kv.Is("(VScroll)", F::Value))
        p->SetVScroll(kv.Int());
    else
        ApplyListStyle(p, kv);
}

void ApplyCombo(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemeCombo*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(ListBoxHeight)", F::Value))
        p->SetListBoxHeight(kv.Int());
    else if (kv.Is("(Button)", F::Image))
        p->SetButtonImage(kv.Path());
    else
        ApplyListStyle(p, kv);
}

void ApplyPicture(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    auto* p = static_cast<CThemePicture*>(w);
    const KeyValue kv{d, k, v};
    if (kv.Is("(CaptionArea)", F::Pos)) {
        const CRect r = kv.Rect();
        p->SetCaptionArea(r.left, r.top, r.right, r.bottom);
    } else if (kv.Is("(Caption)", F::Text)) {
        p->SetCaption(v);
    } else if (kv.Is("(ToolTip)", F::Text)) {
        p->SetToolTipText(v);
    } else if (kv.Is("(Back)", F::Color)) {
        p->SetBackColor(kv.Color());
    } else if (kv.Is("(Font)", F::Color)) {
        p->SetFontColor(kv.Color());
    } else if (kv.Is("(Shadow)", F::Color)) {
        p->SetShadowColor(kv.Color());
    } else if (kv.Is("(FontSize)", F::Value)) {
        p->SetFontSize(kv.Int());
    } else if (kv.Is("(AlignFormat)", F::Value)) {
        p->SetAlignFormat((UINT)kv.Int());
    } else if (kv.Is("(FontBold)", F::Value)) {
        p->SetFontBold(kv.Int());
    } else if (kv.Is("(BackImageFillType)", F::Value)) {
        p->SetBackImageFillType(kv.Int());
    } else if (kv.Is("(BackImageAlignFormat)", F::Value)) {
        p->SetBackImageAlignFormat((UINT)kv.Int());
    } else if (kv.Is("(Back)", F::Image)) {
        p->SetBackImage(kv.Path());
    }
}

// ---- creators

CWnd* CreateStatic(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeStatic* p =
        CreateOver<CThemeStatic>(d, skin::kKindStatic, id, name, {true, kChildStyle, false}, &text);
    if (p) p->SetText(text);
    return p;
}

CWnd* CreateGroup(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeGroup* p =
        CreateOver<CThemeGroup>(d, skin::kKindGroup, id, name, {true, kChildStyle, false}, &text);
    if (p) p->SetCaption(text);
    return p;
}

CWnd* CreateButton(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeButton* p =
        CreateOver<CThemeButton>(d, skin::kKindButton, id, name, {true, kChildStyle, false}, &text);
    if (p) p->SetText(text);
    return p;
}

CWnd* CreateRadio(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeRadio* p = CreateOver<CThemeRadio>(d, skin::kKindRadio, id, name,
                                             {true, kChildStyle | 0x9, true}, &text);
    if (p) p->SetText(text);
    return p;
}

CWnd* CreateCheck(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemeCheck* p = CreateOver<CThemeCheck>(d, skin::kKindCheck, id, name,
                                             {true, kChildStyle | 0x3, true}, &text);
    if (p) p->SetText(text);
    return p;
}

// Made only by a direct call: no template class classifies as a scroll bar.
CWnd* CreateScroll(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeScroll>(d, skin::kKindScroll, id, name, {false, kChildStyle, true},
                                    nullptr);
}

CWnd* CreateProgress(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeProgress>(d, skin::kKindProgress, id, name, {true, kChildStyle, false},
                                      nullptr);
}

CWnd* CreateSlider(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeSlider>(d, skin::kKindSlider, id, name, {false, kChildStyle, true},
                                    nullptr);
}

// The template keeps its enabled state and edit styles (read-only, number,
// alignment) through its style word; its text is not carried over.
CWnd* CreateEdit(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeEdit>(d, skin::kKindEdit, id, name, {true, kChildStyle, true}, nullptr);
}

CWnd* CreateListBox(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeListBox>(d, skin::kKindListBox, id, name, {true, kChildStyle, false},
                                     nullptr);
}

// The template stays (hidden) and hands over its text and every string of
// its list, in index order. Its scroll-bar bits belong to the system drop
// list; on the skinned strip they would put a scroll bar beside it.
CWnd* CreateCombo(CThemeDialog* d, UINT id, LPCTSTR name) {
    HWND hTemplate = ::GetDlgItem(d->m_hWnd, (int)id);
    CString text;
    CThemeCombo* p =
        CreateOver<CThemeCombo>(d, skin::kKindCombo, id, name,
                                {false, kChildStyle, true, ~DWORD(WS_VSCROLL | WS_HSCROLL)}, &text);
    if (!p) return nullptr;
    p->SetText(text);
    const int n = (int)::SendMessageA(hTemplate, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        const int len = (int)::SendMessageA(hTemplate, CB_GETLBTEXTLEN, (WPARAM)i, 0);
        if (len < 0) continue;
        CString item;
        ::SendMessageA(hTemplate, CB_GETLBTEXT, (WPARAM)i, (LPARAM)item.GetBufferSetLength(len));
        item.ReleaseBuffer(len);
        p->AddString(item);
    }
    return p;
}

CWnd* CreatePicture(CThemeDialog* d, UINT id, LPCTSTR name) {
    CString text;
    CThemePicture* p = CreateOver<CThemePicture>(d, skin::kKindPicture, id, name,
                                                 {true, kChildStyle, false}, &text);
    if (p) p->SetCaption(text);
    return p;
}

template <class T>
CThemeSkinId* IdOf(CWnd* p) {
    return static_cast<T*>(p);
}

void ResetStatic(CWnd* p) { static_cast<CThemeStatic*>(p)->ResetSkin(); }
void ResetGroup(CWnd* p) { static_cast<CThemeGroup*>(p)->SetDefaultSkin(); }
void ResetButton(CWnd* p) { static_cast<CThemeButton*>(p)->ResetStyle(); }
void ResetCheck(CWnd* p) { static_cast<CThemeCheck*>(p)->ResetStyle(); }
void ResetScroll(CWnd* p) { static_cast<CThemeScroll*>(p)->ResetSkin(); }
void ResetRadio(CWnd* p) { static_cast<CThemeRadio*>(p)->ResetSkin(); }
void ResetProgress(CWnd* p) { static_cast<CThemeProgress*>(p)->ResetSkin(); }
void ResetSlider(CWnd* p) { static_cast<CThemeSlider*>(p)->ResetSkin(); }
void ResetEdit(CWnd* p) { static_cast<CThemeEdit*>(p)->SetDefaultSkin(); }
void ResetListBox(CWnd* p) { static_cast<CThemeListBox*>(p)->SetDefaultSkin(); }
void ResetCombo(CWnd* p) { static_cast<CThemeCombo*>(p)->SetDefaultSkin(); }
void ResetPicture(CWnd* p) { static_cast<CThemePicture*>(p)->SetDefaultSkin(); }

// Kinds still to come (report list, grid, menu) get their rows with their
// classes.
const ThemeKindRow kRows[] = {
    {skin::kKindStatic, CreateStatic, ResetStatic, IdOf<CThemeStatic>, ApplyStatic},
    {skin::kKindGroup, CreateGroup, ResetGroup, IdOf<CThemeGroup>, ApplyGroup},
    {skin::kKindButton, CreateButton, ResetButton, IdOf<CThemeButton>, ApplyButton},
    {skin::kKindCheck, CreateCheck, ResetCheck, IdOf<CThemeCheck>, ApplyCheck},
    {skin::kKindRadio, CreateRadio, ResetRadio, IdOf<CThemeRadio>, ApplyRadio},
    {skin::kKindEdit, CreateEdit, ResetEdit, IdOf<CThemeEdit>, ApplyEdit},
    {skin::kKindListBox, CreateListBox, ResetListBox, IdOf<CThemeListBox>, ApplyListBox},
    {skin::kKindCombo, CreateCombo, ResetCombo, IdOf<CThemeCombo>, ApplyCombo},
    {skin::kKindProgress, CreateProgress, ResetProgress, IdOf<CThemeProgress>, ApplyProgress},
    {skin::kKindSlider, CreateSlider, ResetSlider, IdOf<CThemeSlider>, ApplySlider},
    {skin::kKindScroll, CreateScroll, ResetScroll, IdOf<CThemeScroll>, ApplyScroll},
    {skin::kKindPicture, CreatePicture, ResetPicture, IdOf<CThemePicture>, ApplyPicture},
};

}  // namespace

const ThemeKindRow* ThemeKindRowOf(int nKind) {
    for (const ThemeKindRow& r : kRows)
        if (r.kind == nKind) return &r;
    return nullptr;
}
