#include "ui/Form.h"

#include "ui/Backend.h"

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (form_ && form_->Shown()) Backend().TimerChanged(*this);
}

void TTimer::Tick() {
    if (enabled_ && OnTimer) OnTimer(this);
}

void TForm::SetShown(bool shown, plat::WindowHandle handle) {
    shown_ = shown;
    handle_ = shown ? handle : 0;
    ShownChanged();
}

int TForm::ShowModal() {
    ModalResult = mrNone;
    return Backend().RunModal(*this);
}

void TForm::Close() { ModalResult = mrCancel; }

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

bool TForm::ModalEnded() {
    if (ModalResult == mrNone) return false;
    if (CloseQuery()) return true;
    ModalResult = mrNone;
    return false;
}

namespace {

template <class Pred>
TControl* FindIn(TWinControl& parent, Pred pred) {
    for (auto& child : parent.Children()) {
        if (pred(child.get())) return child.get();
        if (auto* container = As<TWinControl>(child.get()))
            if (TControl* found = FindIn(*container, pred)) return found;
    }
    return nullptr;
}

}  // namespace

TButton* TForm::DefaultButton() {
    return As<TButton>(FindIn(*this, [](TControl* c) {
        auto* b = As<TButton>(c);
        return b && b->Default;
    }));
}

TButton* TForm::CancelButton() {
    return As<TButton>(FindIn(*this, [](TControl* c) {
        auto* b = As<TButton>(c);
        return b && b->Cancel;
    }));
}

TControl* TForm::FindControl(const std::string& name) {
    return FindIn(*this, [&](TControl* c) { return c->Name == name; });
}

TTimer* TForm::AddTimer(int id) {
    Timers.push_back(std::make_unique<TTimer>(this, id));
    return Timers.back().get();
}

bool TForm::SetProperty(const std::string& key, const std::string& value) {
    int n;
    if (key == "clientwidth" && ParseInt(value, &n)) return SetWidth(n), true;
    if (key == "clientheight" && ParseInt(value, &n)) return SetHeight(n), true;
    if (key == "onclosequery") {
        auto handler = CloseQueryHandlers.find(value);
        if (handler == CloseQueryHandlers.end()) return false;
        OnCloseQuery = handler->second;
        return true;
    }
    return TWinControl::SetProperty(key, value);
}
