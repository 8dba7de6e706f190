// Painting of the backend's own windows (containers, bevels, images) and of owner-drawn list
// items.
#include "ui/Win32Internal.h"

namespace win32ui {

COLORREF BackgroundOf(const TControl* control) {
    for (const TControl* c = control; c; c = c->Parent())
        if (c->Color != clDefault) return BackgroundColorOf(c->Color);
    return GetSysColor(COLOR_BTNFACE);
}

namespace {

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, BrushOf(color));
}

// One raised or lowered frame line around the rectangle, which then shrinks by one pixel.
void Frame3D(HDC dc, RECT& r, TBevelCut cut) {
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    COLORREF topLeft = cut == TBevelCut::Lowered ? shadow : light;
    COLORREF bottomRight = cut == TBevelCut::Lowered ? light : shadow;
    FillSolid(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    FillSolid(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    FillSolid(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    FillSolid(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    InflateRect(&r, -1, -1);
}

}  // namespace

void DrawListItem(TWinPeer& peer, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    TRect rect{r.left, r.top, r.right, r.bottom};
    TOwnerDrawState state;
    state.Selected = (item.itemState & ODS_SELECTED) != 0;
    state.Focused = (item.itemState & ODS_FOCUS) != 0;
    const TItemList* items = ItemsOf(peer.Control);
    int index = static_cast<int>(item.itemID);
    {
        TGdiCanvas canvas(dc, FontOf(peer.Control.EffectiveFont()), ScreenDpi());
        // The list's own colours: selected items in the highlight colours.
        canvas.BrushColor = state.Selected ? clHighlight : clWindow;
        canvas.FontColor = state.Selected ? clHighlightText : clWindowText;
        if (index >= 0 && items && index < items->Count()) {
            if (auto* combo = As<TComboBox>(&peer.Control))
                combo->DrawItem(index, rect, state, canvas);
            else if (auto* list = As<TListBox>(&peer.Control))
                list->DrawItem(index, rect, state, canvas);
        } else {
            canvas.FillRect(rect);
        }
    }
    if (state.Focused && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &r);
}

void PaintContainer(TWinPeer& peer, HDC dc) {
    RECT r;
    GetClientRect(peer.Window, &r);
    FillRect(dc, &r, BrushOf(BackgroundOf(&peer.Control)));
    if (auto* panel = As<TPanel>(&peer.Control)) {
        if (panel->BevelOuter != TBevelCut::None) Frame3D(dc, r, panel->BevelOuter);
        if (panel->BevelInner != TBevelCut::None) Frame3D(dc, r, panel->BevelInner);
        if (!panel->Caption().empty()) {
            HGDIOBJ old = SelectObject(dc, FontOf(panel->EffectiveFont()));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, TextColorOf(panel->EffectiveFont().Color));
            DrawTextW(dc, W(panel->Caption()), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            SelectObject(dc, old);
        }
    }
}

void PaintGraphic(TWinPeer& peer, HDC dc) {
    RECT r;
    GetClientRect(peer.Window, &r);
    FillRect(dc, &r, BrushOf(BackgroundOf(peer.Control.Parent())));
    if (auto* bevel = As<TBevel>(&peer.Control)) {
        if (bevel->Style == TBevelCut::None) return;
        COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
        COLORREF first = bevel->Style == TBevelCut::Lowered ? shadow : light;
        COLORREF second = bevel->Style == TBevelCut::Lowered ? light : shadow;
        if (bevel->Shape == TBevelShape::LeftLine) {
            FillSolid(dc, 0, 0, 1, r.bottom, first);
            FillSolid(dc, 1, 0, 2, r.bottom, second);
        } else {
            // Top and left edges in the first colour, bottom and right in the second.
            int right = r.right - 1, bottom = r.bottom - 1;
            FillSolid(dc, 0, 0, 1, bottom + 1, first);
            FillSolid(dc, 0, 0, right, 1, first);
            FillSolid(dc, right, 0, right + 1, bottom, second);
            FillSolid(dc, 1, bottom, right + 1, bottom + 1, second);
        }
    } else if (auto* image = As<TImage>(&peer.Control)) {
        const TBitmap& picture = image->Picture();
        DrawBitmap(dc, 0, 0, Scale(picture.Width()), Scale(picture.Height()), picture);
    }
}

}  // namespace win32ui
