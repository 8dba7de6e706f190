// Drawing surface for controls that paint their own items. The backend gives a canvas over the
// item's device context; tests give one that records what was drawn.
#pragma once

#include "image/Bitmap.h"
#include "ui/Control.h"

class TCanvas {
public:
    virtual ~TCanvas() = default;
    TColor BrushColor = clWindow;
    TColor FontColor = clWindowText;
    // Fills with BrushColor.
    virtual void FillRect(const TRect& rect) = 0;
    // A length designed at 96 dots per inch, in the canvas's pixels (its window's DPI).
    virtual int Scale(int designed) const { return designed; }
    // Draws the bitmap with the colour of its bottom-left pixel left out, at its size for the
    // canvas's DPI (Scale of its width and height), smoothly scaled.
    virtual void DrawTransparent(int x, int y, const TBitmap& bitmap) = 0;
    virtual void TextOut(int x, int y, const Wide& text) = 0;
    // One line, vertically centred in the rectangle, "&" shown as it is.
    virtual void DrawTextLine(const TRect& rect, const Wide& text) = 0;
    virtual int TextHeight(const Wide& text) = 0;
};

// Item state handed to owner-drawn lists.
struct TOwnerDrawState {
    bool Selected = false;
    bool Focused = false;
};
