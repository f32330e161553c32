#include "ThemeClass/ThemeDraw.h"

#include "ThemeClass/ThemeLook.h"

#include <ole2.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace skin {

const char* const kSkinFontFace = "돋움";

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr DWORD kMaskKeepDest = 0xCCAA0020;  // mask 1: destination, 0: source
constexpr DWORD kAndNotSource = 0x220326;    // D & ~S

MaskBltFn g_maskBlt = nullptr;
std::string g_gradientLibrary = "msimg32.dll";

BOOL CallMaskBlt(HDC dst, int x, int y, int w, int h, HDC src, HBITMAP mask) {
    if (g_maskBlt) return g_maskBlt(dst, x, y, w, h, src, 0, 0, mask, 0, 0, kMaskKeepDest);
    return MaskBlt(dst, x, y, w, h, src, 0, 0, mask, 0, 0, kMaskKeepDest);
}

// A memory DC with one bitmap selected, both freed at the end of the scope.
class MemSurface {
public:
    MemSurface(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)), bitmap_(bitmap) {
        if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    ~MemSurface() {
        if (dc_) {
            if (old_) SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        if (bitmap_) DeleteObject(bitmap_);
    }
    MemSurface(const MemSurface&) = delete;
    MemSurface& operator=(const MemSurface&) = delete;
    bool ok() const { return dc_ && bitmap_ && old_; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_ = nullptr;
};

// The colour-keyed blit; stretch false copies one to one from the source's
// top-left corner.
void KeyedBlit(HDC target, HBITMAP bitmap, const Rect& src, const Rect& dst, bool stretch) {
    if (!target || !bitmap || src.IsEmpty() || dst.IsEmpty()) return;
    const int w = dst.Width();
    const int h = dst.Height();

    MemSurface work(target, CreateCompatibleBitmap(target, w, h));
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HDC maskDC = CreateCompatibleDC(target);
    if (!work.ok() || !mask || !maskDC) {
        if (maskDC) DeleteDC(maskDC);
        if (mask) DeleteObject(mask);
        return;
    }

    RECT all = {0, 0, w, h};
    HBRUSH keyBrush = CreateSolidBrush(kKey);
    FillRect(work.dc(), &all, keyBrush);
    DeleteObject(keyBrush);

    HDC skinDC = CreateCompatibleDC(target);
    HGDIOBJ oldSkin = skinDC ? SelectObject(skinDC, bitmap) : nullptr;
    if (stretch) {
        // Plain pixel dropping when shrinking, so key and face colours are
        // never blended into a third colour.
        const int oldMode = SetStretchBltMode(work.dc(), COLORONCOLOR);
        StretchBlt(work.dc(), 0, 0, w, h, skinDC, src.left, src.top, src.Width(), src.Height(),
                   SRCCOPY);
        SetStretchBltMode(work.dc(), oldMode);
    } else {
        BitBlt(work.dc(), 0, 0, w, h, skinDC, src.left, src.top, SRCCOPY);
    }
    if (skinDC) {
        if (oldSkin) SelectObject(skinDC, oldSkin);
        DeleteDC(skinDC);
    }

    // Key pixels become 1 in the mask, all others 0.
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    const COLORREF oldBack = SetBkColor(work.dc(), kKey);
    BitBlt(maskDC, 0, 0, w, h, work.dc(), 0, 0, SRCCOPY);
    SetBkColor(work.dc(), oldBack);
    SelectObject(maskDC, oldMask);  // MaskBlt reads the mask unselected

    if (!CallMaskBlt(target, dst.left, dst.top, w, h, work.dc(), mask)) {
        // Without MaskBlt: keep the target under the key, blacken the key in
        // the face, and OR the two.
        MemSurface merge(target, CreateCompatibleBitmap(target, w, h));
        if (merge.ok()) {
            oldMask = SelectObject(maskDC, mask);
            const COLORREF oldText = SetTextColor(merge.dc(), RGB(0, 0, 0));
            const COLORREF oldMergeBack = SetBkColor(merge.dc(), RGB(255, 255, 255));
            const COLORREF oldWorkText = SetTextColor(work.dc(), RGB(0, 0, 0));
            const COLORREF oldWorkBack = SetBkColor(work.dc(), RGB(255, 255, 255));
            BitBlt(merge.dc(), 0, 0, w, h, target, dst.left, dst.top, SRCCOPY);
            BitBlt(merge.dc(), 0, 0, w, h, maskDC, 0, 0, SRCAND);
            BitBlt(work.dc(), 0, 0, w, h, maskDC, 0, 0, kAndNotSource);
            BitBlt(merge.dc(), 0, 0, w, h, work.dc(), 0, 0, SRCPAINT);
            BitBlt(target, dst.left, dst.top, w, h, merge.dc(), 0, 0, SRCCOPY);
            SetTextColor(work.dc(), oldWorkText);
            SetBkColor(work.dc(), oldWorkBack);
            SetTextColor(merge.dc(), oldText);
            SetBkColor(merge.dc(), oldMergeBack);
            SelectObject(maskDC, oldMask);
        }
    }
    DeleteDC(maskDC);
    DeleteObject(mask);
}

bool BitmapSize(HBITMAP bitmap, int* w, int* h) {
    BITMAP bm;
    if (!bitmap || GetObject(bitmap, sizeof bm, &bm) != sizeof bm) return false;
    *w = bm.bmWidth;
    *h = bm.bmHeight;
    return true;
}

void DrawPieces(HDC dc, HBITMAP bitmap, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces) KeyedBlit(dc, bitmap, p.src, p.dst, true);
}

}  // namespace

MaskBltFn SetMaskBltForTest(MaskBltFn fn) {
    MaskBltFn old = g_maskBlt ? g_maskBlt : &MaskBlt;
    g_maskBlt = fn;
    return old;
}

void SetGradientLibraryForTest(const char* name) {
    g_gradientLibrary = name ? name : "msimg32.dll";
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst) {
    KeyedBlit(dc, bitmap, src, dst, true);
}

void StretchTransparentBitmap(HBITMAP bitmap, const Rect& src, const Rect& dst, HDC dc) {
    KeyedBlit(dc, bitmap, src, dst, true);
}

void BlitTransparentBitmap(HBITMAP bitmap, const Rect& src, const Rect& dst, HDC dc) {
    KeyedBlit(dc, bitmap, src, dst, false);
}

void DrawTransparentImage(HDC dc, HBITMAP bitmap, const Rect& dst) {
    int w, h;
    if (!BitmapSize(bitmap, &w, &h)) return;
    KeyedBlit(dc, bitmap, Rect{0, 0, w, h}, dst, true);
}

void DrawTiledBitmap(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst) {
    for (const Piece& p : TilePieces(src, dst)) KeyedBlit(dc, bitmap, p.src, p.dst, false);
}

void DrawNineGridFrame(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst) {
    if (src.IsEmpty() || dst.IsEmpty()) return;
    const int cx = NineGridFrameCorner(src.Width());
    const int cy = NineGridFrameCorner(src.Height());
    DrawPieces(dc, bitmap, NineGridPieces(src, dst, cx, cy));
}

void DrawNineGridImage(HDC dc, HBITMAP bitmap, const Rect& dst) {
    int w, h;
    if (!BitmapSize(bitmap, &w, &h)) return;
    DrawPieces(dc, bitmap, NineGridPieces(Rect{0, 0, w, h}, dst, w / 3, h / 3));
}

void DrawNineGridStretch(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst) {
    const Rect laid{0, 0, dst.Width(), dst.Height()};
    DrawPieces(dc, bitmap, NineGridPieces(src, laid, src.Width() / 3, src.Height() / 3));
}

void DrawAlignedImage(HDC dc, HBITMAP bitmap, const Rect& area, UINT flags) {
    int w, h;
    if (!BitmapSize(bitmap, &w, &h)) return;
    KeyedBlit(dc, bitmap, Rect{0, 0, w, h}, AlignImage(area, w, h, flags), true);
}

void DrawAlignedFrame(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& client, UINT flags) {
    KeyedBlit(dc, bitmap, src, AlignFrame(client, src.Width(), src.Height(), flags), false);
}

void Draw3DOutline(int left, int top, int right, int bottom, COLORREF leftColor, COLORREF topColor,
                   COLORREF rightColor, COLORREF bottomColor, HDC dc) {
    if (!dc) return;
    HPEN pens[4] = {CreatePen(PS_SOLID, 1, leftColor), CreatePen(PS_SOLID, 1, topColor),
                    CreatePen(PS_SOLID, 1, rightColor), CreatePen(PS_SOLID, 1, bottomColor)};
    const POINT to[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    POINT oldPos;
    MoveToEx(dc, left, bottom, &oldPos);
    HGDIOBJ oldPen = SelectObject(dc, pens[0]);
    for (int i = 0; i < 4; ++i) {
        SelectObject(dc, pens[i]);
        LineTo(dc, to[i].x, to[i].y);
    }
    SelectObject(dc, oldPen);
    MoveToEx(dc, oldPos.x, oldPos.y, nullptr);
    for (HPEN p : pens) DeleteObject(p);
}

void DrawLine(int x1, int y1, int x2, int y2, COLORREF color, int width, HDC dc) {
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    POINT oldPos;
    MoveToEx(dc, x1, y1, &oldPos);
    LineTo(dc, x2, y2);
    MoveToEx(dc, oldPos.x, oldPos.y, nullptr);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void DrawOutlinedBack(HDC dc, COLORREF back, COLORREF topLeft, COLORREF bottomRight, int thickness,
                      const Rect& r) {
    if (!dc) return;
    RECT rc = {r.left, r.top, r.right, r.bottom};
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    for (const Rect& ring : OutlineRings(r, thickness)) {
        Draw3DOutline(ring.left, ring.top, ring.right, ring.bottom, topLeft, topLeft, bottomRight,
                      bottomRight, dc);
    }
}

void DrawRoundBack(HDC dc, COLORREF back, COLORREF outline, int thickness, int corner,
                   const Rect& r) {
    if (!dc) return;
    const Rect s = RoundBackRect(r, thickness);
    // Without an outline the edge is drawn in the back colour: a null pen
    // would leave the last column and row unfilled.
    HPEN pen =
        thickness > 0 ? CreatePen(PS_SOLID, thickness, outline) : CreatePen(PS_SOLID, 1, back);
    HBRUSH brush = CreateSolidBrush(back);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    RoundRect(dc, s.left, s.top, s.right, s.bottom, corner, corner);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawEllipseMark(const Rect& r, COLORREF outline, int outlineWidth, COLORREF fill, HDC dc) {
    if (!dc) return;
    // Width 0 means no outline, which a width-0 pen would still draw.
    HPEN pen = outlineWidth > 0 ? CreatePen(PS_SOLID, outlineWidth, outline)
                                : CreatePen(PS_SOLID, 1, fill);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawMultiLineText(HDC dc, const char* text, int fontHeight, COLORREF color, const Rect& r,
                       UINT format, BOOL bold) {
    if (!dc) return;
    HFONT font = CreateFontA(fontHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                             DEFAULT_QUALITY, 0, kSkinFontFace);
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, color);

    const std::vector<std::string> lines = SplitDrawLines(text ? text : "");
    const std::vector<Rect> bands = DrawTextBands(r, static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        RECT rc = {bands[i].left, bands[i].top, bands[i].right, bands[i].bottom};
        DrawTextA(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &rc,
                  format | DT_SINGLELINE);
    }

    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

bool FillGradientH(HDC dc, const Rect& r, COLORREF left, COLORREF right) {
    using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    HMODULE lib = LoadLibraryA(g_gradientLibrary.c_str());
    if (!lib) return false;
    auto fill = reinterpret_cast<GradientFillFn>(
        reinterpret_cast<void*>(GetProcAddress(lib, "GradientFill")));
    bool done = false;
    if (fill) {
        TRIVERTEX v[2] = {};
        v[0].x = r.left;
        v[0].y = r.top;
        v[0].Red = static_cast<COLOR16>(GetRValue(left) << 8);
        v[0].Green = static_cast<COLOR16>(GetGValue(left) << 8);
        v[0].Blue = static_cast<COLOR16>(GetBValue(left) << 8);
        v[1].x = r.right;
        v[1].y = r.bottom;
        v[1].Red = static_cast<COLOR16>(GetRValue(right) << 8);
        v[1].Green = static_cast<COLOR16>(GetGValue(right) << 8);
        v[1].Blue = static_cast<COLOR16>(GetBValue(right) << 8);
        GRADIENT_RECT gr = {0, 1};
        done = fill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H) != FALSE;
    }
    FreeLibrary(lib);
    return done;
}

HBITMAP LoadPictureBitmap(const char* path) {
    if (!path) return nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    const DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size == 0) {
        CloseHandle(file);
        return nullptr;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* data = block ? GlobalLock(block) : nullptr;
    DWORD read = 0;
    const BOOL ok = data && ReadFile(file, data, size, &read, nullptr) && read == size;
    if (data) GlobalUnlock(block);
    CloseHandle(file);
    if (!ok) {
        if (block) GlobalFree(block);
        return nullptr;
    }

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr) || !picture) return nullptr;

    // Only bitmap pictures; the handle belongs to the picture, so a copy of
    // it is kept and the picture released.
    HBITMAP copy = nullptr;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
        SUCCEEDED(picture->get_Handle(&handle)) && handle) {
        HBITMAP owned = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
        copy = static_cast<HBITMAP>(CopyImage(owned, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    picture->Release();
    return copy;
}

}  // namespace skin

// ---- the class-library forms

namespace {

HDC Hdc(CDC* pDC) { return pDC ? pDC->GetSafeHdc() : nullptr; }
HBITMAP Hbm(CBitmap* pBitmap) {
    return pBitmap ? static_cast<HBITMAP>(pBitmap->GetSafeHandle()) : nullptr;
}
skin::Rect R(const RECT& r) { return skin::Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void DrawTransparentBitmap(CDC* pDC, CBitmap* pBitmap, int nSrcLeft, int nSrcTop, int nSrcRight,
                           int nSrcBottom, int nLeft, int nTop, int nRight, int nBottom) {
    skin::DrawTransparentBitmap(Hdc(pDC), Hbm(pBitmap),
                                skin::Rect{nSrcLeft, nSrcTop, nSrcRight, nSrcBottom},
                                skin::Rect{nLeft, nTop, nRight, nBottom});
}

void DrawTransparentImage(CDC* pDC, CBitmap* pBitmap, int nLeft, int nTop, int nRight,
                          int nBottom) {
    skin::DrawTransparentImage(Hdc(pDC), Hbm(pBitmap), skin::Rect{nLeft, nTop, nRight, nBottom});
}

void BlitTransparentBitmap(CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest, CDC* pDC) {
    skin::BlitTransparentBitmap(Hbm(pBitmap), R(rcSource), R(rcDest), Hdc(pDC));
}

void StretchTransparentBitmap(CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest,
                              CDC* pDC) {
    skin::StretchTransparentBitmap(Hbm(pBitmap), R(rcSource), R(rcDest), Hdc(pDC));
}

void DrawTiledBitmap(CDC* pDC, CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest) {
    skin::DrawTiledBitmap(Hdc(pDC), Hbm(pBitmap), R(rcSource), R(rcDest));
}

void DrawNineGridFrame(CDC* pDC, CBitmap* pBitmap, CRect rcSource, CRect rcDest) {
    skin::DrawNineGridFrame(Hdc(pDC), Hbm(pBitmap), R(rcSource), R(rcDest));
}

void DrawNineGridImage(CDC* pDC, CBitmap* pBitmap, const CRect& rcDest) {
    skin::DrawNineGridImage(Hdc(pDC), Hbm(pBitmap), R(rcDest));
}

void DrawNineGridStretch(CDC* pDC, CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest) {
    skin::DrawNineGridStretch(Hdc(pDC), Hbm(pBitmap), R(rcSource), R(rcDest));
}

void DrawAlignedImage(CDC* pDC, CBitmap* pBitmap, int nLeft, int nTop, int nRight, int nBottom,
                      UINT nFlags) {
    skin::DrawAlignedImage(Hdc(pDC), Hbm(pBitmap), skin::Rect{nLeft, nTop, nRight, nBottom},
                           nFlags);
}

void DrawAlignedFrame(CDC* pDC, CBitmap* pBitmap, int nSrcLeft, int nSrcTop, int nSrcRight,
                      int nSrcBottom, int nLeft, int nTop, int nRight, int nBottom, UINT nFlags) {
    skin::DrawAlignedFrame(Hdc(pDC), Hbm(pBitmap),
                           skin::Rect{nSrcLeft, nSrcTop, nSrcRight, nSrcBottom},
                           skin::Rect{nLeft, nTop, nRight, nBottom}, nFlags);
}

void DrawImageFrame(CDC* pDC, CBitmap* pBitmap, const CRect& rcFrame, const CRect& rcDest,
                    int nFillType, UINT nAlignFormat) {
    const CRect& f = rcFrame;
    const CRect& d = rcDest;
    switch (nFillType) {
        case skin::kFillNineGrid: DrawNineGridStretch(pDC, pBitmap, f, d); break;
        case skin::kFillStretch:
            DrawTransparentBitmap(pDC, pBitmap, f.left, f.top, f.right, f.bottom, d.left, d.top,
                                  d.right, d.bottom);
            break;
        case skin::kFillTile: DrawTiledBitmap(pDC, pBitmap, f, d); break;
        case skin::kFillAlign:
            DrawAlignedFrame(pDC, pBitmap, f.left, f.top, f.right, f.bottom, d.left, d.top, d.right,
                             d.bottom, nAlignFormat);
            break;
        default: break;
    }
}

void Draw3DOutline(int nLeft, int nTop, int nRight, int nBottom, COLORREF clrLeft, COLORREF clrTop,
                   COLORREF clrRight, COLORREF clrBottom, CDC* pDC) {
    skin::Draw3DOutline(nLeft, nTop, nRight, nBottom, clrLeft, clrTop, clrRight, clrBottom,
                        Hdc(pDC));
}

void DrawLine(int x1, int y1, int x2, int y2, COLORREF clr, int nWidth, CDC* pDC) {
    skin::DrawLine(x1, y1, x2, y2, clr, nWidth, Hdc(pDC));
}

void DrawOutlinedBack(CDC* pDC, COLORREF clrBack, COLORREF clrTopLeft, COLORREF clrBottomRight,
                      int nThick, int nLeft, int nTop, int nRight, int nBottom) {
    skin::DrawOutlinedBack(Hdc(pDC), clrBack, clrTopLeft, clrBottomRight, nThick,
                           skin::Rect{nLeft, nTop, nRight, nBottom});
}

void DrawRoundBack(CDC* pDC, COLORREF clrBack, COLORREF clrOutline, int nThick, int nRound,
                   int nLeft, int nTop, int nRight, int nBottom) {
    skin::DrawRoundBack(Hdc(pDC), clrBack, clrOutline, nThick, nRound,
                        skin::Rect{nLeft, nTop, nRight, nBottom});
}

void DrawEllipseMark(int nLeft, int nTop, int nRight, int nBottom, COLORREF clrOutline,
                     int nOutlineWidth, COLORREF clrFill, CDC* pDC) {
    skin::DrawEllipseMark(skin::Rect{nLeft, nTop, nRight, nBottom}, clrOutline, nOutlineWidth,
                          clrFill, Hdc(pDC));
}

BOOL LoadPictureFile(LPCTSTR lpszPath, CBitmap* pBitmap) {
    if (!pBitmap) return FALSE;
    HBITMAP loaded = skin::LoadPictureBitmap(lpszPath);
    if (!loaded) return FALSE;
    pBitmap->DeleteObject();
    pBitmap->Attach(loaded);
    return TRUE;
}

void DrawMultiLineText(CDC* pDC, LPCTSTR lpszText, int nFontHeight, COLORREF clrText, int nLeft,
                       int nTop, int nRight, int nBottom, UINT nFormat, BOOL bBold) {
    skin::DrawMultiLineText(Hdc(pDC), lpszText, nFontHeight, clrText,
                            skin::Rect{nLeft, nTop, nRight, nBottom}, nFormat, bBold);
}
