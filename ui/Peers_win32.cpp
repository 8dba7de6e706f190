// The control peers: each follows its control's state (bounds, text, visibility, items...) in
// the control's native window.
#include "base/Utf8.h"
#include "ui/Win32Backend.h"
#include "ui/Win32Internal.h"

namespace win32ui {

const TItemList* ItemsOf(TControl& control) {
    if (auto* combo = As<TComboBox>(&control)) return combo;
    if (auto* list = As<TListBox>(&control)) return list;
    return nullptr;
}

bool EnabledInTree(const TControl& control) {
    for (const TControl* c = &control; c; c = c->Parent())
        if (!c->Enabled()) return false;
    return true;
}

int ItemHeightOf(TControl& control) {
    if (auto* combo = As<TComboBox>(&control)) return combo->ItemHeight;
    if (auto* list = As<TListBox>(&control)) return list->ItemHeight;
    return 16;
}

int DropDownExtra(TControl& control) { return Scale(ItemHeightOf(control)) * 8 + 2; }

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
        // A longer text (another language) may need more room at the user's text size.
        if (Kind == TPeerKind::Label || Kind == TPeerKind::CheckBox || Kind == TPeerKind::Button)
            Session.PostRefit();
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

}  // namespace win32ui
