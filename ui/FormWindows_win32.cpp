// A shown form's windows: made with their peers when the form shows and destroyed when it
// closes, and the map from each window back to its peer.
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "ui/Win32Backend.h"
#include "ui/Win32Internal.h"
#include "ui/Accessibility.h"
#include "ui/TextFit.h"

namespace win32ui {

namespace {

// The windows of the shown forms and their peers: a few dozen, so a list does.
std::vector<std::pair<HWND, TWinPeer*>> g_peers;

void RememberPeer(HWND window, TWinPeer* peer) {
    for (auto& entry : g_peers)
        if (entry.first == window) {
            entry.second = peer;
            return;
        }
    g_peers.emplace_back(window, peer);
}

void ForgetPeer(HWND window) {
    for (auto& entry : g_peers)
        if (entry.first == window) {
            entry = g_peers.back();
            g_peers.pop_back();
            return;
        }
}

TPeerKind KindOf(TControl& control) {
    if (As<TForm>(&control)) return TPeerKind::Form;
    if (As<TLabel>(&control)) return TPeerKind::Label;
    if (As<TButton>(&control)) return TPeerKind::Button;
    if (As<TCheckBox>(&control)) return TPeerKind::CheckBox;
    if (As<TEdit>(&control)) return TPeerKind::Edit;
    if (As<TMemo>(&control)) return TPeerKind::Memo;
    if (As<TComboBox>(&control)) return TPeerKind::ComboBox;
    if (As<TListBox>(&control)) return TPeerKind::ListBox;
    if (As<TBevel>(&control)) return TPeerKind::Bevel;
    if (As<TWinControl>(&control)) return TPeerKind::Container;
    return TPeerKind::Image;  // any other graphic control: drawn by PaintGraphic
}

bool OwnerDrawn(TControl& control) {
    if (auto* combo = As<TComboBox>(&control)) return combo->OwnerDraw;
    if (auto* list = As<TListBox>(&control)) return list->OwnerDraw;
    return false;
}

struct TChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

TChildClass ChildClassOf(TWinPeer& peer) {
    TControl& c = peer.Control;
    switch (peer.Kind) {
    case TPeerKind::Label: {
        auto& label = static_cast<TLabel&>(c);
        // Word-wrapped also when sized to its text: fitted to bigger text, it may have to wrap.
        DWORD style = label.WordWrap || label.AutoSize ? SS_LEFT : SS_LEFTNOWORDWRAP;
        if (label.PathEllipsis) style = SS_LEFTNOWORDWRAP | SS_PATHELLIPSIS | SS_NOPREFIX;
        return {L"STATIC", style, 0};
    }
    case TPeerKind::Button:
        return {L"BUTTON",
                static_cast<DWORD>(WS_TABSTOP | BS_NOTIFY |
                                   (static_cast<TButton&>(c).Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                0};
    case TPeerKind::CheckBox:
        // Multi-line: a caption that bigger text no longer fits on one line wraps (TextFit).
        return {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX | BS_MULTILINE), 0};
    case TPeerKind::Edit:
        return {L"EDIT", static_cast<DWORD>(WS_TABSTOP | ES_AUTOHSCROLL), WS_EX_CLIENTEDGE};
    case TPeerKind::Memo: {
        auto& memo = static_cast<TMemo&>(c);
        DWORD style = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
        if (memo.ReadOnly) style |= ES_READONLY;
        if (memo.VerticalScrollBar) style |= WS_VSCROLL;
        return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case TPeerKind::ComboBox:
        return {L"COMBOBOX",
                static_cast<DWORD>(WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS |
                                   (OwnerDrawn(c) ? CBS_OWNERDRAWFIXED : 0)),
                0};
    case TPeerKind::ListBox:
        return {L"LISTBOX",
                static_cast<DWORD>(WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                   LBS_HASSTRINGS | (OwnerDrawn(c) ? LBS_OWNERDRAWFIXED : 0)),
                WS_EX_CLIENTEDGE};
    case TPeerKind::Bevel:
    case TPeerKind::Image:
        return {kGraphicClass, 0, 0};
    default:
        return {kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    }
}

// Standard controls whose name a screen reader may need from us.
bool Operated(TPeerKind kind) {
    switch (kind) {
    case TPeerKind::Button:
    case TPeerKind::CheckBox:
    case TPeerKind::Edit:
    case TPeerKind::Memo:
    case TPeerKind::ComboBox:
    case TPeerKind::ListBox: return true;
    default: return false;
    }
}

LRESULT CALLBACK OperatedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinPeer* peer = PeerOfWindow(window);
    WNDPROC standard = peer && peer->StandardProc
                           ? peer->StandardProc
                           : reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC));
    if (message == WM_GETOBJECT && peer) {
        LRESULT result = 0;
        if (AnswerGetObject(*peer, wParam, lParam, &result)) return result;
    }
    return CallWindowProcW(standard, window, message, wParam, lParam);
}

}  // namespace

TWinPeer::TWinPeer(TSession& session, TControl& control, TPeerKind kind, int id)
    : Session(session), Control(control), Kind(kind), Id(id) {}

TWinPeer::~TWinPeer() {
    if (Window) ForgetPeer(Window);
    if (Control.Peer == this) Control.Peer = nullptr;
    if (NameAtom) GlobalDeleteAtom(NameAtom);
}

TWinPeer* PeerOfWindow(HWND window) {
    for (const auto& entry : g_peers)
        if (entry.first == window) return entry.second;
    return nullptr;
}

TSession* SessionOfWindow(HWND window) {
    TWinPeer* peer = PeerOfWindow(window);
    return peer ? &peer->Session : nullptr;
}

TWinPeer* TSession::PeerOf(HWND window) const { return PeerOfWindow(window); }

TWinPeer* TSession::PeerById(int id) const {
    for (const auto& entry : ById)
        if (entry.first == id) return entry.second;
    return nullptr;
}

TWinPeer* TSession::PeerOf(const TControl* control) const {
    for (auto& peer : Peers)
        if (&peer->Control == control) return peer.get();
    return nullptr;
}

bool TSession::CreateWindows() {
    if (!RegisterWindowClasses()) return false;
    HINSTANCE instance = GetModuleHandleW(nullptr);

    // The layout for the user's text size, before any window takes its place.
    FitToText(Form);
    auto formPeer = std::make_unique<TWinPeer>(*this, Form, TPeerKind::Form, 0);
    // A fixed single border and only the close button; the form is its own taskbar entry.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT | (Owner ? 0 : WS_EX_APPWINDOW);
    RECT r = {0, 0, Scale(Form.Width()), Scale(Form.Height())};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    Window = CreateWindowExW(exStyle, kFormClass, W(Form.Caption()), style, std::max(x, 0),
                             std::max(y, 0), width, height, Owner, nullptr, instance, nullptr);
    if (!Window) return false;
    formPeer->Window = Window;
    RememberPeer(Window, formPeer.get());
    Form.Peer = formPeer.get();
    formPeer->Initialize();
    // Per monitor: the form may have been made on a monitor whose DPI is not the system's.
    if (int dpi = DpiOfWindow(Window); dpi != ScreenDpi()) {
        SetWindowDpi(dpi);
        formPeer->ApplyBounds();
    }
    ApplyApplicationIcons(Window);
    Peers.push_back(std::move(formPeer));

    CreateChildren(Form, Window, true);
    return true;
}

// Depth first in creation order: tab order, z-order and reading order follow it.
void TSession::CreateChildren(TWinControl& parent, HWND parentWindow, bool defer) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (auto& child : parent.Children()) {
        TControl& control = *child;
        int id = static_cast<int>(Peers.size()) + 100;
        auto peer = std::make_unique<TWinPeer>(*this, control, KindOf(control), id);
        // Known by its identifier before the window exists: owner-drawn lists ask their
        // item height while they are being created.
        ById.emplace_back(id, peer.get());
        TChildClass cls = ChildClassOf(*peer);
        DWORD childStyle = WS_CHILD | WS_CLIPSIBLINGS | cls.style;
        if (control.Visible()) childStyle |= WS_VISIBLE;
        if (!control.Enabled()) childStyle |= WS_DISABLED;
        if (StartsGroup(control)) childStyle |= WS_GROUP;
        int childHeight = ScaleSpan(control.Top(), control.Height());
        if (peer->Kind == TPeerKind::ComboBox) childHeight += DropDownExtra(control);
        Wide text = peer->Kind == TPeerKind::Memo ? Wide() : control.Caption();
        HWND window = CreateWindowExW(cls.exStyle, cls.className, W(text), childStyle,
                                      Scale(control.Left()), Scale(control.Top()),
                                      ScaleSpan(control.Left(), control.Width()), childHeight, parentWindow,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      instance, nullptr);
        TWinPeer* raw = peer.get();
        Peers.push_back(std::move(peer));
        if (!window) {
            for (auto entry = ById.begin(); entry != ById.end(); ++entry)
                if (entry->first == id) {
                    ById.erase(entry);
                    break;
                }
            continue;
        }
        raw->Window = window;
        RememberPeer(window, raw);
        control.Peer = raw;
        // Z-order follows creation order, as in a dialog box: an earlier sibling lies above a
        // later one, and a screen reader meets each label right before its control.
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (Operated(raw->Kind))
            raw->StandardProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OperatedProc)));
        raw->Initialize();
        if (auto* combo = As<TComboBox>(&control)) combo->WindowCreated();
        if (auto* list = As<TListBox>(&control)) list->WindowCreated();
        if (auto* container = As<TWinControl>(&control);
            container && raw->Kind == TPeerKind::Container) {
            // The children of a hidden container land in their own window: z-order within it
            // does not depend on when they are made.
            if (defer && !control.Visible())
                Deferred.emplace_back(container, window);
            else
                CreateChildren(*container, window, defer);
        }
    }
}

void TSession::CreateDeferredWindows() {
    if (Deferred.empty()) return;
    // Made in order, each with all it holds; a page shown meanwhile only lacked its children.
    std::vector<std::pair<TWinControl*, HWND>> waiting;
    waiting.swap(Deferred);
    for (auto& [container, window] : waiting) CreateChildren(*container, window, false);
    OrderPeers();
}

void TSession::OrderPeers() {
    std::vector<std::unique_ptr<TWinPeer>> ordered;
    ordered.reserve(Peers.size());
    auto take = [&](const TControl& control) {
        for (auto& peer : Peers)
            if (peer && &peer->Control == &control) {
                ordered.push_back(std::move(peer));
                return;
            }
    };
    // The form first, then its tree depth first, as CreateChildren walks it.
    take(Form);
    std::vector<std::pair<const TWinControl*, size_t>> path = {{&Form, 0}};
    while (!path.empty()) {
        auto& [parent, next] = path.back();
        if (next == parent->Children().size()) {
            path.pop_back();
            continue;
        }
        const TControl& control = *parent->Children()[next++];
        take(control);
        if (auto* container = As<TWinControl>(&control))
            path.emplace_back(container, 0);
    }
    // Anything not reached keeps its place after the rest.
    for (auto& peer : Peers)
        if (peer) ordered.push_back(std::move(peer));
    Peers.swap(ordered);
}

void TSession::Rescale() {
    for (auto& peer : Peers) {
        if (!peer->Window) continue;
        if (peer->Kind != TPeerKind::Form)
            SendMessageW(peer->Window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(peer->Control.EffectiveFont())), FALSE);
        if (peer->Kind == TPeerKind::ListBox)
            SendMessageW(peer->Window, LB_SETITEMHEIGHT, 0, Scale(ItemHeightOf(peer->Control)));
        if (peer->Kind == TPeerKind::ComboBox) {
            SendMessageW(peer->Window, CB_SETITEMHEIGHT, 0, Scale(ItemHeightOf(peer->Control)));
            SendMessageW(peer->Window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(ItemHeightOf(peer->Control)));
        }
        if (peer->Kind != TPeerKind::Form) peer->ApplyBounds();
    }
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void TSession::DestroyWindows() {
    Closing = true;
    for (auto& peer : Peers)
        if (peer->Window) RemovePropW(peer->Window, TESSARON_CONTROL_PROPERTY);
    if (Window) {
        RemovePropW(Window, TESSARON_PING_PROPERTY);
        DestroyWindow(Window);
    }
    // The peers go last: destroying the windows still sends their notifications.
    for (auto it = Peers.rbegin(); it != Peers.rend(); ++it) (*it)->Control.Peer = nullptr;
    Peers.clear();
    ById.clear();
    Window = nullptr;
}

}  // namespace win32ui
