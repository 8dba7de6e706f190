// The dialog keys of a shown form: Tab, Enter, Escape and the "&" accelerators, handled before
// a message is dispatched, as a dialog box does.
#include "ui/Win32Internal.h"

namespace win32ui {

namespace {

// The character after a single "&" in the caption, upper-cased; 0 when there is none.
wchar_t AcceleratorOf(const Wide& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
            CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(caption[i + 1])))));
    }
    return 0;
}

void PressButton(TSession& session, TButton* button) {
    TWinPeer* peer = session.PeerOf(button);
    // As a user could: only a button on the screen and enabled.
    if (!peer || !peer->CanFocus()) return;
    button->Click();
}

}  // namespace

bool TSession::HandleDialogKey(const MSG& msg) {
    if (Closing || !Window || (msg.hwnd != Window && !IsChild(Window, msg.hwnd))) return false;
    // The control the key was meant for (the focused one, for keys the user typed).
    TWinPeer* focused = nullptr;
    for (HWND w = msg.hwnd; w && w != Window && !focused; w = GetParent(w)) {
        TWinPeer* peer = PeerOfWindow(w);
        if (peer && peer->Kind != TPeerKind::Container) focused = peer;
    }
    auto dropped = [&] {
        return focused && focused->Kind == TPeerKind::ComboBox &&
               SendMessageW(focused->Window, CB_GETDROPPEDSTATE, 0, 0);
    };
    bool editableMemo = focused && focused->Kind == TPeerKind::Memo &&
                        !static_cast<TMemo&>(focused->Control).ReadOnly;
    if (msg.message == WM_KEYDOWN) {
        bool control = GetKeyState(VK_CONTROL) < 0;
        switch (msg.wParam) {
        case VK_TAB:
            if (control || editableMemo) return false;
            FocusNext(GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_RETURN:
            if (dropped() || editableMemo) return false;
            // A focused push button is the default one while it has the focus.
            PressButton(*this, focused && focused->Kind == TPeerKind::Button
                                   ? static_cast<TButton*>(&focused->Control)
                                   : Form.DefaultButton());
            return true;
        case VK_ESCAPE:
            if (dropped()) return false;
            PressButton(*this, Form.CancelButton());
            return true;
        default:
            return false;
        }
    }
    bool plainChar = msg.message == WM_CHAR && focused &&
                     (focused->Kind == TPeerKind::Button || focused->Kind == TPeerKind::CheckBox) &&
                     msg.wParam > L' ';
    if (msg.message != WM_SYSCHAR && !plainChar) return false;
    wchar_t key = static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(msg.wParam)))));
    for (size_t i = 0; i < Peers.size(); ++i) {
        TWinPeer* peer = Peers[i].get();
        if (!peer->Window || !IsWindowVisible(peer->Window) || !EnabledInTree(peer->Control)) continue;
        if (AcceleratorOf(peer->Control.Caption()) != key) continue;
        switch (peer->Kind) {
        case TPeerKind::Button:
            FocusPeer(peer);
            PressButton(*this, static_cast<TButton*>(&peer->Control));
            return true;
        case TPeerKind::CheckBox: {
            FocusPeer(peer);
            auto& box = static_cast<TCheckBox&>(peer->Control);
            bool checked = !box.Checked();
            SendMessageW(peer->Window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            box.UserToggled(checked);
            return true;
        }
        case TPeerKind::Label:
            // A label's accelerator moves to the control after it.
            for (size_t j = i + 1; j < Peers.size(); ++j) {
                auto* next = As<TWinControl>(&Peers[j]->Control);
                if (next && next->TabStop && FocusPeer(Peers[j].get())) return true;
            }
            return true;
        default:
            break;
        }
    }
    return false;
}

}  // namespace win32ui
