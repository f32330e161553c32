// The skin drawing routines. Each call makes its own memory DCs, bitmaps,
// pens, brushes and fonts, restores every selection and frees what it made
// before it returns; nothing is kept between calls. Coordinates are device
// units of the target DC. The magenta key 0xFF00FF of a skin bitmap is
// never drawn: the target keeps its own pixel there.
//
// The functions in namespace skin work on plain handles; the class-library
// forms below them (CDC, CBitmap) are what the controls call.
#pragma once

#include "classlib/afxwin.h"
#include "ThemeClass/ThemeLayout.h"

namespace skin {

// ---- colour-keyed blits

// Source stretched to the destination. Nothing is drawn unless both
// rectangles are non-empty.
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst);
// The whole bitmap stretched to the destination.
void DrawTransparentImage(HDC dc, HBITMAP bitmap, const Rect& dst);
// Unscaled: the destination's size is copied one to one from the source's
// top-left corner.
void BlitTransparentBitmap(HBITMAP bitmap, const Rect& src, const Rect& dst, HDC dc);
void StretchTransparentBitmap(HBITMAP bitmap, const Rect& src, const Rect& dst, HDC dc);

// ---- image layouts

void DrawTiledBitmap(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst);
// Corners of 50 pixels, or a third of the source when its extent less 2 is
// 100 or below.
void DrawNineGridFrame(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst);
// The whole bitmap with corners a third of its size.
void DrawNineGridImage(HDC dc, HBITMAP bitmap, const Rect& dst);
// A source rectangle with corners a third of its size, laid from (0, 0).
void DrawNineGridStretch(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& dst);
// The whole bitmap unscaled, placed by DT_ alignment bits.
void DrawAlignedImage(HDC dc, HBITMAP bitmap, const Rect& area, UINT flags);
// One frame of a strip unscaled, placed by DT_ alignment bits.
void DrawAlignedFrame(HDC dc, HBITMAP bitmap, const Rect& src, const Rect& client, UINT flags);

// ---- lines and backs

// One-pixel outline from (left, bottom) up, right, down and back; right and
// bottom are the outline's own pixels.
void Draw3DOutline(int left, int top, int right, int bottom, COLORREF leftColor, COLORREF topColor,
                   COLORREF rightColor, COLORREF bottomColor, HDC dc);
void DrawLine(int x1, int y1, int x2, int y2, COLORREF color, int width, HDC dc);
// Fill, then thickness nested outlines (top-left and bottom-right colours).
void DrawOutlinedBack(HDC dc, COLORREF back, COLORREF topLeft, COLORREF bottomRight, int thickness,
                      const Rect& r);
// Rounded rectangle; thickness 0 draws no outline.
void DrawRoundBack(HDC dc, COLORREF back, COLORREF outline, int thickness, int corner,
                   const Rect& r);
// Ellipse inscribed in the rectangle; outline width 0 draws no outline.
void DrawEllipseMark(const Rect& r, COLORREF outline, int outlineWidth, COLORREF fill, HDC dc);

// ---- text

// Lines (line feeds or backslash-n pairs) stacked in equal bands, each drawn
// with DrawText and format | DT_SINGLELINE in the skin face.
void DrawMultiLineText(HDC dc, const char* text, int fontHeight, COLORREF color, const Rect& r,
                       UINT format, BOOL bold);

// ---- images

// Reads an image file through the system's picture loader. Returns a bitmap
// of its own (the caller deletes it), or null when the file is missing,
// empty, unreadable or not a bitmap picture (icons and metafiles are
// refused).
HBITMAP LoadPictureBitmap(const char* path);

// ---- test seams

using MaskBltFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, HBITMAP, int, int, DWORD);
// Replaces the MaskBlt the blits call (null restores the system's); returns
// the previous one.
MaskBltFn SetMaskBltForTest(MaskBltFn fn);
// The library GradientFill is loaded from for each fill (null restores
// "msimg32.dll").
void SetGradientLibraryForTest(const char* name);

// A horizontal gradient over the rectangle from left to right colour, with
// GradientFill loaded for this call; false when the library or the entry is
// missing (nothing drawn).
bool FillGradientH(HDC dc, const Rect& r, COLORREF left, COLORREF right);

// The face of every skin caption.
extern const char* const kSkinFontFace;

}  // namespace skin

// ---- the class-library forms the controls call

void DrawTransparentBitmap(CDC* pDC, CBitmap* pBitmap, int nSrcLeft, int nSrcTop, int nSrcRight,
                           int nSrcBottom, int nLeft, int nTop, int nRight, int nBottom);
void DrawTransparentImage(CDC* pDC, CBitmap* pBitmap, int nLeft, int nTop, int nRight, int nBottom);
void BlitTransparentBitmap(CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest, CDC* pDC);
void StretchTransparentBitmap(CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest,
                              CDC* pDC);
void DrawTiledBitmap(CDC* pDC, CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest);
void DrawNineGridFrame(CDC* pDC, CBitmap* pBitmap, CRect rcSource, CRect rcDest);
void DrawNineGridImage(CDC* pDC, CBitmap* pBitmap, const CRect& rcDest);
void DrawNineGridStretch(CDC* pDC, CBitmap* pBitmap, const CRect& rcSource, const CRect& rcDest);
void DrawAlignedImage(CDC* pDC, CBitmap* pBitmap, int nLeft, int nTop, int nRight, int nBottom,
                      UINT nFlags);
void DrawAlignedFrame(CDC* pDC, CBitmap* pBitmap, int nSrcLeft, int nSrcTop, int nSrcRight,
                      int nSrcBottom, int nLeft, int nTop, int nRight, int nBottom, UINT nFlags);
// One frame of an image strip into a rectangle, by fill type (nine-part,
// stretched, tiled or aligned); other types draw nothing.
void DrawImageFrame(CDC* pDC, CBitmap* pBitmap, const CRect& rcFrame, const CRect& rcDest,
                    int nFillType, UINT nAlignFormat);
void Draw3DOutline(int nLeft, int nTop, int nRight, int nBottom, COLORREF clrLeft, COLORREF clrTop,
                   COLORREF clrRight, COLORREF clrBottom, CDC* pDC);
void DrawLine(int x1, int y1, int x2, int y2, COLORREF clr, int nWidth, CDC* pDC);
void DrawOutlinedBack(CDC* pDC, COLORREF clrBack, COLORREF clrTopLeft, COLORREF clrBottomRight,
                      int nThick, int nLeft, int nTop, int nRight, int nBottom);
void DrawRoundBack(CDC* pDC, COLORREF clrBack, COLORREF clrOutline, int nThick, int nRound,
                   int nLeft, int nTop, int nRight, int nBottom);
void DrawEllipseMark(int nLeft, int nTop, int nRight, int nBottom, COLORREF clrOutline,
                     int nOutlineWidth, COLORREF clrFill, CDC* pDC);
// TRUE and the bitmap object holds the image; FALSE leaves it unchanged.
BOOL LoadPictureFile(LPCTSTR lpszPath, CBitmap* pBitmap);
void DrawMultiLineText(CDC* pDC, LPCTSTR lpszText, int nFontHeight, COLORREF clrText, int nLeft,
                       int nTop, int nRight, int nBottom, UINT nFormat, BOOL bBold);
