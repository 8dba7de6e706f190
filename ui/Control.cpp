#include "ui/Control.h"

#include <algorithm>
#include <cstdlib>

#include "base/Utf8.h"
#include "ui/Backend.h"
#include "ui/Form.h"

TControl::~TControl() = default;

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent) return;
    if (parent_) parent_->Release(this);
    parent_ = parent;
    if (parent_) parent_->Adopt(this);
}

TForm* TControl::OwningForm() {
    TControl* c = this;
    while (c->parent_) c = c->parent_;
    return As<TForm>(c);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Changed(TChange::Bounds);
    if (auto* self = As<TWinControl>(this)) self->AlignControls();
    if (align_ != TAlign::None && parent_) parent_->AlignControls();
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed(TChange::Visible);
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed(TChange::Enabled);
}

void TControl::SetCaption(const Wide& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    CaptionChanged();
    Changed(TChange::Text);
}

const TFont& TControl::EffectiveFont() const {
    const TControl* c = this;
    while (c->ParentFont && c->parent_) c = c->parent_;
    return c->Font;
}

void TControl::Changed(TChange what) {
    if (Peer) Peer->Changed(what);
}

bool TControl::SetProperty(const std::string& key, const std::string& value) {
    int n;
    bool b;
    if (key == "left" && ParseInt(value, &n)) return SetLeft(n), true;
    if (key == "top" && ParseInt(value, &n)) return SetTop(n), true;
    if (key == "width" && ParseInt(value, &n)) return SetWidth(n), true;
    if (key == "height" && ParseInt(value, &n)) return SetHeight(n), true;
    if (key == "visible" && ParseBool(value, &b)) return SetVisible(b), true;
    if (key == "enabled" && ParseBool(value, &b)) return SetEnabled(b), true;
    if (key == "caption") return SetCaption(WideOfUtf8(value)), true;
    if (key == "color") return ParseColor(value, &Color);
    if (key == "align") {
        if (value == "top") return SetAlign(TAlign::Top), true;
        if (value == "right") return SetAlign(TAlign::Right), true;
        if (value == "none") return SetAlign(TAlign::None), true;
        return false;
    }
    if (key == "font") {
        // font=Name,height[,bold][,#RRGGBB]
        size_t comma = value.find(',');
        if (comma == std::string::npos) return false;
        TFont font;
        font.Name = WideOfUtf8(value.substr(0, comma));
        std::string rest = value.substr(comma + 1);
        size_t next = rest.find(',');
        if (!ParseInt(rest.substr(0, next), &font.Height)) return false;
        while (next != std::string::npos) {
            rest = rest.substr(next + 1);
            next = rest.find(',');
            std::string part = rest.substr(0, next);
            if (part == "bold")
                font.Bold = true;
            else if (!ParseColor(part, &font.Color))
                return false;
        }
        Font = font;
        ParentFont = false;
        return true;
    }
    return false;
}

void TWinControl::Adopt(TControl* child) {
    children_.emplace_back(child);
    if (child->Align() != TAlign::None) AlignControls();
}

void TWinControl::Release(TControl* child) {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i].get() == child) {
            children_[i].release();
            children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TWinControl::AlignControls() {
    int top = 0, right = width_;
    for (auto& c : children_) {
        if (!c->Visible()) continue;
        if (c->Align() == TAlign::Top) {
            c->SetBounds(0, top, width_, c->Height());
            top += c->Height();
        } else if (c->Align() == TAlign::Right) {
            right -= c->Width();
            c->SetBounds(right, 0, c->Width(), height_);
        }
    }
}

void TWinControl::SetFocus() {
    if (TForm* form = OwningForm()) form->ActiveControl = this;
    if (Peer) Peer->Focus();
}

bool ParseInt(const std::string& text, int* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return false;
    *value = static_cast<int>(v);
    return true;
}

bool ParseBool(const std::string& text, bool* value) {
    if (text == "true") return *value = true, true;
    if (text == "false") return *value = false, true;
    return false;
}

bool ParseColor(const std::string& text, TColor* value) {
    if (text.size() != 7 || text[0] != '#') return false;
    char* end = nullptr;
    unsigned long rgb = std::strtoul(text.c_str() + 1, &end, 16);
    if (*end != '\0') return false;
    // #RRGGBB to 0x00BBGGRR.
    *value = static_cast<TColor>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    return true;
}
