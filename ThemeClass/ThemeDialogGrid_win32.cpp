// The grid as a kind of the skinned dialog: made over a template control
// only by a direct call of its creator, reset, and skinned from its key
// table.
#include "ThemeClass/ThemeDialogKinds.h"
#include "ThemeClass/ThemeGrid.h"

namespace themekinds {
namespace {

using G = CThemeGrid;

const KeyRow<G> kGridRows[] = {
    {"(ToolTip)", F::Text, [](G* p, const KeyValue& v) { p->SetToolTipText(v.text); }},
    {"(FixedFont)", F::Color, [](G* p, const KeyValue& v) { p->SetFixedFontColor(v.Color()); }},
    {"(FixedBack)", F::Color, [](G* p, const KeyValue& v) { p->SetFixedBackColor(v.Color()); }},
    {"(FixedFrame)", F::Color, [](G* p, const KeyValue& v) { p->SetFixedFrameColor(v.Color()); }},
    {"(FixedFrameLT)", F::Color,
     [](G* p, const KeyValue& v) { p->SetFixedFrameLTColor(v.Color()); }},
    {"(FixedFrameRB)", F::Color,
     [](G* p, const KeyValue& v) { p->SetFixedFrameRBColor(v.Color()); }},
    // Both feed one setter; read in this order, the later one wins.
    {"(Font)", F::Color, [](G* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(NormalFont)", F::Color, [](G* p, const KeyValue& v) { p->SetFontColor(v.Color()); }},
    {"(NormalBack)", F::Color, [](G* p, const KeyValue& v) { p->SetNormalBackColor(v.Color()); }},
    {"(Frame)", F::Color, [](G* p, const KeyValue& v) { p->SetGridLineColor(v.Color()); }},
    {"(Back)", F::Color, [](G* p, const KeyValue& v) { p->SetBackColor(v.Color()); }},
    {"(RowCount)", F::Value, [](G* p, const KeyValue& v) { p->SetRowCount(v.Int()); }},
    {"(ColCount)", F::Value, [](G* p, const KeyValue& v) { p->SetColumnCount(v.Int()); }},
    {"(FixedRowCount)", F::Value, [](G* p, const KeyValue& v) { p->SetFixedRowCount(v.Int()); }},
    {"(FixedColCount)", F::Value,
     [](G* p, const KeyValue& v) { p->SetFixedColumnCount(v.Int()); }},
    {"(Editable)", F::Value, [](G* p, const KeyValue& v) { p->SetEditable(v.Int()); }},
    {"(EditDblClk)", F::Value, [](G* p, const KeyValue& v) { p->SetEditOnDblClick(v.Int()); }},
    {"(SingleRowSelect)", F::Value,
     [](G* p, const KeyValue& v) { p->SetSingleRowSelection(v.Int()); }},
    {"(HeadSort)", F::Value, [](G* p, const KeyValue& v) { p->SetHeaderSort(v.Int()); }},
    {"(AlignFormat)", F::Value, [](G* p, const KeyValue& v) { p->SetDefaultFormat((UINT)v.Int()); }},
    {"(CellHeight)", F::Value, [](G* p, const KeyValue& v) { p->SetDefaultRowHeight(v.Int()); }},
    {"(CellWidth)", F::Value, [](G* p, const KeyValue& v) { p->SetDefaultColumnWidth(v.Int()); }},
    {"(ListMode)", F::Value, [](G* p, const KeyValue& v) { p->SetListMode(v.Int()); }},
    {"(FontSize)", F::Value, [](G* p, const KeyValue& v) { p->SetFontSize(v.Int()); }},
    {"(Check)", F::Image, [](G* p, const KeyValue& v) { p->LoadCheckBoxImages(v.Path()); }},
    {"(CheckBox)", F::Image, [](G* p, const KeyValue& v) { p->LoadCheckBoxImages(v.Path()); }},
};
const KindKeys<G> kGridKeys{TableOf(kGridRows), {}};

}  // namespace

// A grid of no rows and columns with a border in place of the template,
// which goes; a list-view template puts it in list-view mode.
CWnd* CreateGrid(CThemeDialog* d, UINT id, LPCTSTR name) {
    HWND hTemplate = ::GetDlgItem(d->m_hWnd, (int)id);
    char cls[260] = {};
    if (hTemplate) ::GetClassNameA(hTemplate, cls, sizeof cls);
    CThemeGrid* p = CreateOver<CThemeGrid>(d, skin::kKindGrid, id, name,
                                           {true, kChildStyle | WS_BORDER, false}, nullptr);
    if (p && std::strstr(cls, "SysListView32")) p->SetListViewMode(TRUE);
    return p;
}

void ResetGrid(CWnd* p) { static_cast<CThemeGrid*>(p)->SetDefaultSkin(); }

CThemeSkinId* GridSkinId(CWnd* p) { return static_cast<CThemeGrid*>(p); }

bool ApplyGrid(CThemeDialog* d, CWnd* w, const skin::SkinKey& k, const CString& v) {
    return Apply<CThemeGrid, kGridKeys>(d, w, k, v);
}

bool GridHandles(const skin::SkinKey& k) { return Handles<CThemeGrid, kGridKeys>(k); }

}  // namespace themekinds
