// The native windows of the controls: made when a form is shown, following the controls' state
// through their peers, and passing the user's input back into the controls.
#include <algorithm>
#include <functional>
#include <unordered_map>

#include "install/Utf8.h"
#include "ui/Win32Backend.h"
#include "ui/Win32Internal.h"

namespace win32ui {

namespace {

std::unordered_map<HWND, TWinPeer*> g_peers;

TPeerKind KindOf(TControl& control) {
    if (dynamic_cast<TForm*>(&control)) return TPeerKind::Form;
    if (dynamic_cast<TLabel*>(&control)) return TPeerKind::Label;
    if (dynamic_cast<TButton*>(&control)) return TPeerKind::Button;
    if (dynamic_cast<TCheckBox*>(&control)) return TPeerKind::CheckBox;
    if (dynamic_cast<TEdit*>(&control)) return TPeerKind::Edit;
    if (dynamic_cast<TMemo*>(&control)) return TPeerKind::Memo;
    if (dynamic_cast<TComboBox*>(&control)) return TPeerKind::ComboBox;
    if (dynamic_cast<TListBox*>(&control)) return TPeerKind::ListBox;
    if (dynamic_cast<TBevel*>(&control)) return TPeerKind::Bevel;
    if (dynamic_cast<TWinControl*>(&control)) return TPeerKind::Container;
    return TPeerKind::Image;  // any other graphic control: drawn by PaintGraphic
}

bool OwnerDrawn(TControl& control) {
    if (auto* combo = dynamic_cast<TComboBox*>(&control)) return combo->OwnerDraw;
    if (auto* list = dynamic_cast<TListBox*>(&control)) return list->OwnerDraw;
    return false;
}

}  // namespace

const TItemList* ItemsOf(TControl& control) {
    if (auto* combo = dynamic_cast<TComboBox*>(&control)) return combo;
    if (auto* list = dynamic_cast<TListBox*>(&control)) return list;
    return nullptr;
}

bool EnabledInTree(const TControl& control) {
    for (const TControl* c = &control; c; c = c->Parent())
        if (!c->Enabled()) return false;
    return true;
}

int ItemHeightOf(TControl& control) {
    if (auto* combo = dynamic_cast<TComboBox*>(&control)) return combo->ItemHeight;
    if (auto* list = dynamic_cast<TListBox*>(&control)) return list->ItemHeight;
    return 16;
}

int DropDownExtra(TControl& control) { return Scale(ItemHeightOf(control)) * 8 + 2; }

// ---- TWinPeer ----

TWinPeer::TWinPeer(TSession& session, TControl& control, TPeerKind kind, int id)
    : Session(session), Control(control), Kind(kind), Id(id) {}

TWinPeer::~TWinPeer() {
    if (Window) g_peers.erase(Window);
    if (Control.Peer == this) Control.Peer = nullptr;
    if (NameAtom) GlobalDeleteAtom(NameAtom);
}

bool TWinPeer::CanFocus() const {
    return Window && IsWindowVisible(Window) && IsWindowEnabled(Window) && EnabledInTree(Control);
}

void TWinPeer::ApplyBounds() {
    if (!Window) return;
    if (Kind == TPeerKind::Form) {
        RECT r = {0, 0, Scale(Control.Width()), Scale(Control.Height())};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(Window, GWL_EXSTYLE)));
        SetWindowPos(Window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    int height = ScaleSpan(Control.Top(), Control.Height());
    if (Kind == TPeerKind::ComboBox) height += DropDownExtra(Control);
    SetWindowPos(Window, nullptr, Scale(Control.Left()), Scale(Control.Top()),
                 ScaleSpan(Control.Left(), Control.Width()), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinPeer::SyncItems() {
    const TItemList* list = ItemsOf(Control);
    if (!list || !Window) return;
    bool combo = Kind == TPeerKind::ComboBox;
    const std::vector<Wide>& items = list->Items();
    if (items.empty()) {
        SendMessageW(Window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    } else {
        // Only the run that differs changes: adding or inserting one line costs one message.
        size_t shown = ShownItems.size(), wanted = items.size();
        size_t prefix = 0;
        while (prefix < shown && prefix < wanted && ShownItems[prefix] == items[prefix]) ++prefix;
        size_t suffix = 0;
        while (suffix < shown - prefix && suffix < wanted - prefix &&
               ShownItems[shown - 1 - suffix] == items[wanted - 1 - suffix])
            ++suffix;
        for (size_t i = prefix; i < shown - suffix; ++i)
            SendMessageW(Window, combo ? CB_DELETESTRING : LB_DELETESTRING, prefix, 0);
        for (size_t i = prefix; i < wanted - suffix; ++i)
            SendMessageW(Window, combo ? CB_INSERTSTRING : LB_INSERTSTRING, i,
                         reinterpret_cast<LPARAM>(W(items[i])));
    }
    ShownItems = items;
    SyncItemIndex();
}

void TWinPeer::SyncItemIndex() {
    const TItemList* list = ItemsOf(Control);
    if (!list || !Window) return;
    bool combo = Kind == TPeerKind::ComboBox;
    WPARAM index = static_cast<WPARAM>(list->ItemIndex());
    SendMessageW(Window, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
}

void TWinPeer::Initialize() {
    NameAtom = GlobalAddAtomW(W(WideOfUtf8(Control.Name)));
    if (NameAtom)
        SetPropW(Window, TESSARON_CONTROL_PROPERTY,
                 reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(NameAtom)));
    if (Kind != TPeerKind::Form)
        SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(Control.EffectiveFont())), FALSE);
    switch (Kind) {
    case TPeerKind::CheckBox:
        SendMessageW(Window, BM_SETCHECK,
                     static_cast<TCheckBox&>(Control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case TPeerKind::Edit:
    case TPeerKind::Memo:
        SendMessageW(Window, EM_SETLIMITTEXT, 0, 0);  // no 30000-character limit
        if (Kind == TPeerKind::Memo) {
            SettingText = true;
            SetWindowTextW(Window, W(static_cast<TMemo&>(Control).Text()));
            SettingText = false;
        }
        break;
    case TPeerKind::ComboBox:
    case TPeerKind::ListBox:
        SyncItems();
        break;
    default:
        break;
    }
}

void TWinPeer::Changed(TChange what) {
    if (!Window) return;
    switch (what) {
    case TChange::Bounds:
        ApplyBounds();
        break;
    case TChange::Text:
        SettingText = true;
        if (Kind == TPeerKind::Memo)
            SetWindowTextW(Window, W(static_cast<TMemo&>(Control).Text()));
        else
            SetWindowTextW(Window, W(Control.Caption()));
        SettingText = false;
        if (Kind == TPeerKind::Container) InvalidateRect(Window, nullptr, TRUE);
        break;
    case TChange::Visible:
        ShowWindow(Window, Control.Visible() ? SW_SHOWNA : SW_HIDE);
        Session.PostRepairFocus();
        break;
    case TChange::Enabled:
        EnableWindow(Window, Control.Enabled());
        Session.PostRepairFocus();
        break;
    case TChange::Checked:
        if (Kind == TPeerKind::CheckBox)
            SendMessageW(Window, BM_SETCHECK,
                         static_cast<TCheckBox&>(Control).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case TChange::Items:
        SyncItems();
        break;
    case TChange::ItemIndex:
        SyncItemIndex();
        break;
    case TChange::ActivePage:
        Session.PostRepairFocus();
        break;
    case TChange::Picture:
        InvalidateRect(Window, nullptr, TRUE);
        break;
    }
}

void TWinPeer::Focus() {
    // Before the form is on the screen the focus is only remembered (TWinControl::SetFocus
    // sets the form's active control); the modal loop gives it once the form shows.
    if (!IsWindowVisible(Session.Window)) return;
    Session.FocusPeer(this);
}

// ---- TSession ----

namespace {

struct TChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

TChildClass ChildClassOf(TWinPeer& peer) {
    TControl& c = peer.Control;
    switch (peer.Kind) {
    case TPeerKind::Label:
        return {L"STATIC",
                static_cast<DWORD>(static_cast<TLabel&>(c).WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP), 0};
    case TPeerKind::Button:
        return {L"BUTTON",
                static_cast<DWORD>(WS_TABSTOP | BS_NOTIFY |
                                   (static_cast<TButton&>(c).Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
                0};
    case TPeerKind::CheckBox:
        return {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX), 0};
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

}  // namespace

TWinPeer* PeerOfWindow(HWND window) {
    auto found = g_peers.find(window);
    return found == g_peers.end() ? nullptr : found->second;
}

TSession* SessionOfWindow(HWND window) {
    TWinPeer* peer = PeerOfWindow(window);
    return peer ? &peer->Session : nullptr;
}

TWinPeer* TSession::PeerOf(HWND window) const { return PeerOfWindow(window); }

TWinPeer* TSession::PeerOf(const TControl* control) const {
    for (auto& peer : Peers)
        if (&peer->Control == control) return peer.get();
    return nullptr;
}

bool TSession::CreateWindows() {
    if (!RegisterWindowClasses()) return false;
    HINSTANCE instance = GetModuleHandleW(nullptr);

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
    g_peers[Window] = formPeer.get();
    Form.Peer = formPeer.get();
    formPeer->Initialize();
    ApplyApplicationIcons(Window);
    Peers.push_back(std::move(formPeer));

    // Depth first in creation order: tab order and z-order follow it.
    std::function<void(TWinControl&, HWND)> createChildren = [&](TWinControl& parent, HWND parentWindow) {
        for (auto& child : parent.Children()) {
            TControl& control = *child;
            int id = static_cast<int>(Peers.size()) + 100;
            auto peer = std::make_unique<TWinPeer>(*this, control, KindOf(control), id);
            // Known by its identifier before the window exists: owner-drawn lists ask their
            // item height while they are being created.
            ById[id] = peer.get();
            TChildClass cls = ChildClassOf(*peer);
            DWORD childStyle = WS_CHILD | WS_CLIPSIBLINGS | cls.style;
            if (control.Visible()) childStyle |= WS_VISIBLE;
            if (!control.Enabled()) childStyle |= WS_DISABLED;
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
                ById.erase(id);
                continue;
            }
            raw->Window = window;
            g_peers[window] = raw;
            control.Peer = raw;
            // A later sibling lies above an earlier one.
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            raw->Initialize();
            if (auto* combo = dynamic_cast<TComboBox*>(&control)) Guarded([&] { combo->WindowCreated(); });
            if (auto* list = dynamic_cast<TListBox*>(&control)) Guarded([&] { list->WindowCreated(); });
            if (auto* container = dynamic_cast<TWinControl*>(&control);
                container && raw->Kind == TPeerKind::Container)
                createChildren(*container, window);
        }
    };
    createChildren(Form, Window);
    return true;
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
