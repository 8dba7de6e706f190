// Shared by the Win32 backend's files: DPI and fonts, the canvas, the control peers, the shown
// form and its painting. Windows build only.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "ui/Backend.h"
#include "ui/Canvas.h"
#include "ui/Form.h"

namespace win32ui {

// The text as the Windows API takes it: both are UTF-16.
inline const wchar_t* W(const Wide& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// ---- DPI, fonts, colours (Fonts_win32.cpp) ----

// Pixels per inch of the monitor the shown form is on (the system's until a form is shown);
// 96 when it cannot be asked.
int ScreenDpi();
// The form moved to a monitor of that DPI (or was made on one).
void SetWindowDpi(int dpi);
// The DPI of the window's monitor (per-monitor aware), or the system's.
int DpiOfWindow(HWND window);
// A length designed at 96 dots per inch, on this screen.
int Scale(int value);
// The screen extent of a span designed from start over length: the difference of its scaled
// edges, so that controls that meet or end at their parent's edge still do after rounding.
int ScaleSpan(int start, int length);
// A length on this screen, back at 96 dots per inch, rounded up so that measured text keeps its
// room after scaling again.
int Unscale(int value);
// The font's handle, made once and kept for the run; the message font for system fonts.
HFONT FontOf(const TFont& font);
// The colour to draw with: system colours resolved.
COLORREF ColorOf(TColor color);
// The user asked for high contrast: designed colours give way to the system's.
bool HighContrastOn();
// A control's background and text colour as drawn (high contrast applied).
COLORREF BackgroundColorOf(TColor designed);
COLORREF TextColorOf(TColor designed);
// A solid brush of that colour, kept for the run.
HBRUSH BrushOf(COLORREF color);
// Measurements with the real font on a screen-compatible DC; false when there is none (no
// display).
bool MeasureTextWidth(const TFont& font, const Wide& text, int* width);
bool MeasureCharHeight(const TFont& font, int* height);
// The height of the text word-wrapped at width (96 dpi), as a label draws it.
bool MeasureWrappedHeight(const TFont& font, const Wide& text, int width, int* height);

// ---- Canvas (Canvas_win32.cpp) ----

class TGdiCanvas : public TCanvas {
public:
    TGdiCanvas(HDC dc, HFONT font, int dpi);
    ~TGdiCanvas() override;
    int Scale(int designed) const override { return MulDiv(designed, dpi_, 96); }
    void FillRect(const TRect& rect) override;
    void DrawTransparent(int x, int y, const TBitmap& bitmap) override;
    void TextOut(int x, int y, const Wide& text) override;
    void DrawTextLine(const TRect& rect, const Wide& text) override;
    int TextHeight(const Wide& text) override;

private:
    HDC dc_;
    int saved_;
    int dpi_;
};

// Draws a bitmap of the framework at (x, y), scaled smoothly to width x height.
void DrawBitmap(HDC dc, int x, int y, int width, int height, const TBitmap& bitmap);

// ---- Control peers and the shown form ----
// The peers follow their controls (Peers_win32.cpp); a shown form's windows are made and
// destroyed with their peers (FormWindows_win32.cpp), its focus moves (Focus_win32.cpp) and its
// dialog keys act (Keyboard_win32.cpp).

enum class TPeerKind {
    Form, Container, Label, Button, CheckBox, Edit, Memo, ComboBox, ListBox, Bevel, Image
};

class TSession;

class TWinPeer : public TControlPeer {
public:
    TWinPeer(TSession& session, TControl& control, TPeerKind kind, int id);
    ~TWinPeer() override;
    void Changed(TChange what) override;
    void Focus() override;

    TSession& Session;
    TControl& Control;
    const TPeerKind Kind;
    const int Id;  // the child window identifier
    HWND Window = nullptr;
    ATOM NameAtom = 0;
    // The items the native list holds now, to change only what differs.
    std::vector<Wide> ShownItems;
    // Set while the program writes the window's text, so the edit's change is not the user's.
    bool SettingText = false;
    // The window procedure of a standard control that the peer answers some messages for.
    WNDPROC StandardProc = nullptr;

    // Applies the whole state of the control to the new window.
    void Initialize();
    void SyncItems();
    void SyncItemIndex();
    void ApplyBounds();
    bool CanFocus() const;
};

// A form while it is shown: its windows and their peers.
class TSession {
public:
    explicit TSession(TForm& form) : Form(form) {}
    TForm& Form;
    HWND Window = nullptr;
    HWND Owner = nullptr;  // the form shown below this one, disabled meanwhile
    std::vector<std::unique_ptr<TWinPeer>> Peers;  // in creation order; the form's first
    // The peers by their window's identifier, from just before the window is made (a list: a
    // few dozen, asked only for owner-drawn items' heights).
    std::vector<std::pair<int, TWinPeer*>> ById;
    TWinPeer* PeerById(int id) const;
    HWND LastFocus = nullptr;
    bool Closing = false;           // the windows are going: notifications are not passed on
    bool RepairPosted = false;
    // Hidden containers whose children have no windows yet, with their own windows.
    std::vector<std::pair<TWinControl*, HWND>> Deferred;

    // Makes the form's window and the windows of what it shows; false when windows cannot be
    // made. The contents of hidden pages wait for CreateDeferredWindows.
    bool CreateWindows();
    // The windows held back by CreateWindows, once the form is on the screen: the user sees the
    // first page without waiting for pages (folder trees, drive lists) not yet shown.
    void CreateDeferredWindows();
    // After a change of DPI: every window's font, bounds and item height anew.
    void Rescale();
    void DestroyWindows();
    TWinPeer* PeerOf(HWND window) const;
    TWinPeer* PeerOf(const TControl* control) const;
    // The controls that Tab visits, in creation order.
    std::vector<TWinPeer*> TabStops() const;
    // The peer whose window has the keyboard focus (or holds it in a child window).
    TWinPeer* FocusedPeer() const;
    void FocusFirst();
    // Moves the focus to the next (or previous) tab stop.
    void FocusNext(bool backward);
    // Puts the focus back on a usable control when it was lost (its window hidden or disabled).
    void RepairFocus();
    // Focus back after the form was activated again.
    void RestoreFocus();
    // Sets the focus on the peer's window when it can take it.
    bool FocusPeer(TWinPeer* peer);
    void PostRepairFocus();
    // A text changed: the layout is fitted to the texts again once the change is done.
    void PostRefit();
    bool RefitPosted = false;
    // The default button's look follows the focus as in dialog boxes.
    void UpdateDefaultLook();
    // Enter, Escape, Tab and the "&" accelerators; true when the message was used.
    bool HandleDialogKey(const MSG& msg);

private:
    // The windows of the parent's children, depth first; with defer, a hidden container's
    // children wait in Deferred.
    void CreateChildren(TWinControl& parent, HWND parentWindow, bool defer);
    // Peers back in the tree's order, which tab order and accelerators follow.
    void OrderPeers();
};

// The peer of a window of any shown form.
TWinPeer* PeerOfWindow(HWND window);
// The shown form's session holding that window.
TSession* SessionOfWindow(HWND window);

// The combo box's or list box's items; null for other controls.
const TItemList* ItemsOf(TControl& control);
// Enabled itself and all its parents.
bool EnabledInTree(const TControl& control);
// The designed height of a list's items (16 for other controls).
int ItemHeightOf(TControl& control);
// A drop-down list's window also holds its list's height: room for eight items.
int DropDownExtra(TControl& control);

// Posted to the form when the focused control may have been hidden or disabled.
constexpr UINT kRepairFocusMessage = WM_APP + 1;
// Posted to the form when a text changed (see TSession::PostRefit).
constexpr UINT kRefitMessage = WM_APP + 2;

// ---- Messages of the windows that hold controls (ParentMessages_win32.cpp) ----

// The messages every window that holds controls answers for its children (notifications,
// owner drawing, colours). True when handled, with the answer in *result.
bool HandleParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* result);

// ---- Accessibility (Accessible_win32.cpp) ----

// Answers a screen reader's WM_GETOBJECT for the control with its accessible name; false when
// the system's own answer is to be given.
bool AnswerGetObject(TWinPeer& peer, WPARAM wParam, LPARAM lParam, LRESULT* result);

// ---- Painting (Painting_win32.cpp) ----

// The colour a control's parent shows behind it.
COLORREF BackgroundOf(const TControl* control);
// An item of an owner-drawn list, drawn by its control on a canvas over the item's DC.
void DrawListItem(TWinPeer& peer, const DRAWITEMSTRUCT& item);
// Painting of the backend's own windows: containers (colour and bevels), bevels and images.
void PaintContainer(TWinPeer& peer, HDC dc);
void PaintGraphic(TWinPeer& peer, HDC dc);

// ---- The backend (Backend_win32.cpp) ----

// The class names of the backend's own windows.
extern const wchar_t kFormClass[];
extern const wchar_t kContainerClass[];
extern const wchar_t kGraphicClass[];
bool RegisterWindowClasses();
// Sets the application's icons on the window.
void ApplyApplicationIcons(HWND window);

}  // namespace win32ui
