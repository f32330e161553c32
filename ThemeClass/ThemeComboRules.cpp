#include "ThemeClass/ThemeComboRules.h"

namespace skin {

bool ComboFitListHeight(int windowHeight, int stripHeight, int* listHeight) {
    if (windowHeight == stripHeight) return false;
    const int h = windowHeight - stripHeight;
    *listHeight = h < kComboMinListHeight ? kComboMinListHeight : h;
    return true;
}

ComboLayout LayoutCombo(const Rect& strip, int outline, int buttonWidth) {
    const Rect in{strip.left + outline, strip.top + outline, strip.right - outline,
                  strip.bottom - outline};
    ComboLayout l;
    l.edit = Rect{in.left, in.top + 2, in.right - buttonWidth, in.bottom};
    l.button = Rect{in.right - buttonWidth, in.top, in.right, in.bottom};
    return l;
}

Rect ComboDropRect(const Rect& w, int stripHeight, int listHeight, int screenHeight) {
    const int h = listHeight < kComboMinListHeight ? kComboMinListHeight : listHeight;
    Rect r{w.left, w.top + stripHeight, w.right, w.top + stripHeight + h};
    if (r.bottom > screenHeight) {
        r.bottom = w.top;
        r.top = r.bottom - h;
    }
    return r;
}

uint32_t ComboAlignFromStyle(uint32_t align, uint32_t style) {
    if (style & 1) return align | kAlignCenter;
    if (style & 2) return align | kAlignRight;
    return align;
}

ComboButtonSize ComboSizeFromImage(int imageWidth, int imageHeight, int frames, int outline) {
    ComboButtonSize s;
    s.buttonWidth = imageWidth / (frames < 1 ? 1 : frames);
    s.stripHeight = imageHeight + 2 * outline;
    return s;
}

DropAction ComboDropState::OnButton(bool hasList) {
    if (!hasList) return DropAction::kNone;
    if (listShown) {
        listShown = false;
        return DropAction::kClose;
    }
    timerRunning = true;
    return DropAction::kStartTimer;
}

DropAction ComboDropState::OnTimer() {
    if (!timerRunning) return DropAction::kNone;
    timerRunning = false;
    listShown = true;
    return DropAction::kOpen;
}

DropAction ComboDropState::OnListLostFocus(bool mouseOverButton) {
    if (mouseOverButton || !listShown) return DropAction::kNone;
    listShown = false;
    return DropAction::kClose;
}

DropAction ComboDropState::OnComboLostFocus(bool toButton) {
    if (toButton || !listShown) return DropAction::kNone;
    listShown = false;
    return DropAction::kClose;
}

DropAction ComboDropState::OnSelect() {
    listShown = false;
    return DropAction::kClose;
}

ComboFirstKeyAction ComboFirstKey(unsigned key) {
    if (key == 1 || key == 13) return ComboFirstKeyAction::kCaretEnd;
    if (key == 8) return ComboFirstKeyAction::kCaretEndBackspace;
    if (key >= 0x21 && key <= 0x28) return ComboFirstKeyAction::kSelectAll;
    return ComboFirstKeyAction::kSelectAllType;
}

bool ComboIsNavKey(unsigned vk) { return vk == 0x21 || vk == 0x22 || (vk >= 0x25 && vk <= 0x28); }

ComboKeyUpResult ComboKeyUp(unsigned vk, bool skipFirstEnter) {
    ComboKeyUpResult r;
    if (vk != 9 && vk != 13 && vk != 27) return r;
    r.handled = true;
    r.restoreText = vk == 27;
    if (vk == 13 && skipFirstEnter) {
        r.clearSkip = true;
        return r;
    }
    r.end = true;
    return r;
}

ComboCellGeometry ComboCellRect(const Rect& cell, int dropLines, int cyHScroll, int widestItem,
                                int cxVScroll, int spaceWidth) {
    ComboCellGeometry g;
    g.window = cell;
    const int h = cell.Height();
    g.window.bottom += dropLines * h + cyHScroll;
    g.dropWidth = widestItem + cxVScroll + 2 * spaceWidth;
    if (g.dropWidth > cell.Width()) g.window.right = g.window.left + g.dropWidth;
    return g;
}

}  // namespace skin
