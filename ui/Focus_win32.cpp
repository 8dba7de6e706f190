// The keyboard focus in a shown form: tab order, moving and repairing the focus, and the
// default button's look that follows it.
#include <algorithm>

#include "ui/Win32Internal.h"

namespace win32ui {

std::vector<TWinPeer*> TSession::TabStops() const {
    std::vector<TWinPeer*> stops;
    for (auto& peer : Peers) {
        auto* control = As<TWinControl>(&peer->Control);
        if (control && control->TabStop && peer->Kind != TPeerKind::Form && peer->CanFocus())
            stops.push_back(peer.get());
    }
    return stops;
}

TWinPeer* TSession::FocusedPeer() const {
    for (HWND w = GetFocus(); w && w != Window; w = GetParent(w)) {
        TWinPeer* peer = PeerOfWindow(w);
        if (peer && &peer->Session == this && peer->Kind != TPeerKind::Container) return peer;
    }
    return nullptr;
}

bool TSession::FocusPeer(TWinPeer* peer) {
    if (!peer || !peer->CanFocus()) return false;
    SetFocus(peer->Window);
    return GetFocus() == peer->Window || IsChild(peer->Window, GetFocus());
}

void TSession::FocusFirst() {
    std::vector<TWinPeer*> stops = TabStops();
    if (!stops.empty() && FocusPeer(stops.front())) return;
    SetFocus(Window);
}

void TSession::FocusNext(bool backward) {
    std::vector<TWinPeer*> stops = TabStops();
    if (stops.empty()) return;
    TWinPeer* current = FocusedPeer();
    auto at = std::find(stops.begin(), stops.end(), current);
    int n = static_cast<int>(stops.size());
    int next;
    if (at == stops.end())
        next = backward ? n - 1 : 0;
    else
        next = (static_cast<int>(at - stops.begin()) + (backward ? n - 1 : 1)) % n;
    TWinPeer* target = stops[static_cast<size_t>(next)];
    if (FocusPeer(target) && target->Kind == TPeerKind::Edit)
        SendMessageW(target->Window, EM_SETSEL, 0, -1);  // as dialog boxes do
}

void TSession::PostRepairFocus() {
    if (RepairPosted || Closing || !Window) return;
    RepairPosted = true;
    PostMessageW(Window, kRepairFocusMessage, 0, 0);
}

void TSession::PostRefit() {
    if (RefitPosted || Closing || !Window) return;
    RefitPosted = true;
    PostMessageW(Window, kRefitMessage, 0, 0);
}

void TSession::RepairFocus() {
    RepairPosted = false;
    if (Closing || GetActiveWindow() != Window) return;
    TWinPeer* focused = FocusedPeer();
    if (focused && focused->CanFocus()) return;
    if (FocusPeer(PeerOf(Form.ActiveControl))) return;
    FocusFirst();
}

void TSession::RestoreFocus() {
    if (LastFocus && IsWindow(LastFocus) && IsChild(Window, LastFocus)) {
        TWinPeer* peer = PeerOfWindow(LastFocus);
        if (peer && FocusPeer(peer)) return;
    }
    if (FocusPeer(PeerOf(Form.ActiveControl))) return;
    FocusFirst();
}

void TSession::UpdateDefaultLook() {
    if (Closing) return;
    TWinPeer* focused = FocusedPeer();
    TWinPeer* defaultPeer = PeerOf(Form.DefaultButton());
    TWinPeer* look = focused && focused->Kind == TPeerKind::Button ? focused : defaultPeer;
    for (auto& peer : Peers) {
        if (peer->Kind != TPeerKind::Button || !peer->Window) continue;
        LONG style = GetWindowLongW(peer->Window, GWL_STYLE);
        LONG type = style & BS_TYPEMASK;
        LONG wanted = peer.get() == look ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (type != wanted)
            SendMessageW(peer->Window, BM_SETSTYLE,
                         static_cast<WPARAM>((style & 0xFFFF & ~BS_TYPEMASK) | wanted), TRUE);
    }
}

}  // namespace win32ui
