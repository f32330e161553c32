// The report list as a kind of the skinned dialog: made over a list-view
// template, reset, and skinned from its key table.
#include "ThemeClass/ThemeDialogKinds.h"
#include "ThemeClass/ThemeListCtrl.h"

namespace themekinds {
namespace {

// ---- report list (its header takes the head colours and the sort type)

const KeyRow<CThemeListCtrl> kListCtrlRows[] = {
    {"(ToolTip)", F::Text, [](CThemeListCtrl* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(Back)", F::Color, [](CThemeListCtrl* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(Frame)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetFrameColor(v.Color()); }},
    {"(ItemFrame)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetItemFrameColor(v.Color()); }},
    {"(HeadBack)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetHeadBackColor(v.Color()); }},
    {"(HeadFont)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetHeadFontColor(v.Color()); }},
    {"(HeadFrame)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetHeadFrameColor(v.Color()); }},
    {"(Font)", F::Color, [](CThemeListCtrl* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(NormalFont)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetNormalFontColor(v.Color()); }},
    {"(NormalBack)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetNormalBackColor(v.Color()); }},
    {"(Normal1Font)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetNormal1FontColor(v.Color()); }},
    {"(Normal1Back)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetNormal1BackColor(v.Color()); }},
    {"(Normal2Font)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetNormal2FontColor(v.Color()); }},
    {"(Normal2Back)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetNormal2BackColor(v.Color()); }},
    {"(SelectBack)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetSelectBackColor(v.Color()); }},
    {"(SelectFont)", F::Color,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetSelectFontColor(v.Color()); }},
    {"(CheckBoxOn)", F::Value,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetCheckBoxOn(v.Int()); }},
    {"(FontSize)", F::Value, [](CThemeListCtrl* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(HeadCheckBoxOn)", F::Value,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetHeadCheckBoxOn(v.Int()); }},
    {"(ItemHeight)", F::Value,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetItemHeight(v.Int()); }},
    {"(EditDblClk)", F::Value,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetEditDblClk(v.Int()); }},
    {"(SortType)", F::Value, [](CThemeListCtrl* p, const KeyValue& v) { p->SetSortType(v.Int()); }},
    // Both feed one setter; read in this order, the later one wins.
    {"(Check)", F::Image,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetCheckBoxImage(v.Path()); }},
    {"(CheckBox)", F::Image,
     [](CThemeListCtrl* p, const KeyValue& v) { p->SetCheckBoxImage(v.Path()); }},
};
const KindKeys<CThemeListCtrl> kListCtrlKeys{TableOf(kListCtrlRows), {}};

}  // namespace

// The report list stands in for a list view: the template goes, the new
// window gets a border and nothing of the template's style or text.
CWnd* CreateListCtrl(CThemeDialog* d, UINT id, LPCTSTR name) {
    return CreateOver<CThemeListCtrl>(d, skin::kKindListCtrl, id, name,
                                      {true, kChildStyle | WS_BORDER, false}, nullptr);
}

void ResetListCtrl(CWnd* p) { static_cast<CThemeListCtrl*>(p)->SetDefaultSkin(); }

CThemeSkinId* ListCtrlSkinId(CWnd* p) { return static_cast<CThemeListCtrl*>(p); }

bool ApplyListCtrl(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    return Apply<CThemeListCtrl, kListCtrlKeys>(d, w, k, v);
}

bool ListCtrlHandles(const skin::SkinKey& k) { return Handles<CThemeListCtrl, kListCtrlKeys>(k); }

}  // namespace themekinds
