// The messages that every window holding controls answers for its children: their
// notifications become the controls' events, and owner-drawn items and static colours are
// given here.
#include <algorithm>

#include "ui/Win32Internal.h"

namespace win32ui {

namespace {

Wide WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    Wide buffer(static_cast<size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(window, reinterpret_cast<wchar_t*>(&buffer[0]), length + 1);
    buffer.resize(static_cast<size_t>(std::max(got, 0)));
    return buffer;
}

void OnCommand(TWinPeer& peer, int code) {
    TSession& session = peer.Session;
    switch (peer.Kind) {
    case TPeerKind::Button:
        if (code == BN_CLICKED) {
            auto& button = static_cast<TButton&>(peer.Control);
            button.Click();
        }
        break;
    case TPeerKind::CheckBox:
        if (code == BN_CLICKED) {
            bool checked = SendMessageW(peer.Window, BM_GETCHECK, 0, 0) == BST_CHECKED;
            auto& box = static_cast<TCheckBox&>(peer.Control);
            box.UserToggled(checked);
        }
        break;
    case TPeerKind::Edit:
        if (code == EN_CHANGE && !peer.SettingText) {
            Wide text = WindowText(peer.Window);
            auto& edit = static_cast<TEdit&>(peer.Control);
            edit.UserEdited(text);
        }
        break;
    case TPeerKind::ComboBox:
        if (code == CBN_SELCHANGE) {
            int index = static_cast<int>(SendMessageW(peer.Window, CB_GETCURSEL, 0, 0));
            auto& combo = static_cast<TComboBox&>(peer.Control);
            combo.UserSelected(index);
        }
        break;
    case TPeerKind::ListBox:
        if (code == LBN_SELCHANGE) {
            int index = static_cast<int>(SendMessageW(peer.Window, LB_GETCURSEL, 0, 0));
            auto& list = static_cast<TListBox&>(peer.Control);
            list.UserSelected(index);
        }
        break;
    default:
        break;
    }
    // Every control reports getting the focus; the form remembers it as its active control.
    bool gotFocus = false;
    switch (peer.Kind) {
    case TPeerKind::Button:
    case TPeerKind::CheckBox: gotFocus = code == BN_SETFOCUS; break;
    case TPeerKind::Edit:
    case TPeerKind::Memo: gotFocus = code == EN_SETFOCUS; break;
    case TPeerKind::ComboBox: gotFocus = code == CBN_SETFOCUS; break;
    case TPeerKind::ListBox: gotFocus = code == LBN_SETFOCUS; break;
    default: break;
    }
    if (gotFocus) {
        if (auto* control = As<TWinControl>(&peer.Control)) session.Form.ActiveControl = control;
        session.UpdateDefaultLook();
    } else if (peer.Kind == TPeerKind::Button && code == BN_KILLFOCUS) {
        session.UpdateDefaultLook();
    }
}

}  // namespace

bool HandleParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_COMMAND: {
        TWinPeer* peer = PeerOfWindow(reinterpret_cast<HWND>(lParam));
        if (!peer || peer->Session.Closing) return false;
        OnCommand(*peer, HIWORD(wParam));
        *result = 0;
        return true;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        TWinPeer* peer = PeerOfWindow(item->hwndItem);
        if (!peer) return false;
        DrawListItem(*peer, *item);
        *result = TRUE;
        return true;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        TSession* session = SessionOfWindow(window);
        if (!session) return false;
        TWinPeer* peer = session->PeerById(static_cast<int>(item->CtlID));
        if (!peer) return false;
        item->itemHeight = static_cast<UINT>(Scale(ItemHeightOf(peer->Control)));
        *result = TRUE;
        return true;
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        TWinPeer* peer = PeerOfWindow(reinterpret_cast<HWND>(lParam));
        if (!peer) return false;
        if (peer->Kind == TPeerKind::Edit || peer->Kind == TPeerKind::Memo) {
            // A read-only text keeps the window colour.
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            *result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            return true;
        }
        // Labels and check boxes show their parent's colour behind them.
        COLORREF back = BackgroundOf(peer->Control.Parent());
        if (IsWindowEnabled(peer->Window)) SetTextColor(dc, TextColorOf(peer->Control.EffectiveFont().Color));
        SetBkColor(dc, back);
        SetBkMode(dc, TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(BrushOf(back));
        return true;
    }
    default:
        return false;
    }
}

}  // namespace win32ui
