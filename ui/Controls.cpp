#include "ui/Controls.h"

#include "base/Utf8.h"
#include "ui/Backend.h"

// ---- TLabel ----

bool TLabel::SetProperty(const std::string& key, const std::string& value) {
    if (key == "autosize") return ParseBool(value, &AutoSize) && (AdjustSize(), true);
    if (key == "wordwrap") return ParseBool(value, &WordWrap);
    if (key == "ellipsis") return value == "path" && (PathEllipsis = true);
    bool ok = TControl::SetProperty(key, value);
    if (ok && key == "font") AdjustSize();
    return ok;
}

void TLabel::AdjustSize() {
    if (!AutoSize) return;
    SetBounds(left_, top_, Backend().TextWidth(EffectiveFont(), caption_),
              Backend().CharHeight(EffectiveFont()));
}

// ---- TButton ----

void TButton::Click() {
    if (OnClick) OnClick(this);
}

bool TButton::SetProperty(const std::string& key, const std::string& value) {
    if (key == "default") return ParseBool(value, &Default);
    if (key == "cancel") return ParseBool(value, &Cancel);
    return TWinControl::SetProperty(key, value);
}

// ---- TCheckBox ----

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Changed(TChange::Checked);
}

void TCheckBox::UserToggled(bool checked) {
    checked_ = checked;
    if (OnClick) OnClick(this);
}

bool TCheckBox::SetProperty(const std::string& key, const std::string& value) {
    bool b;
    if (key == "checked" && ParseBool(value, &b)) return SetChecked(b), true;
    return TWinControl::SetProperty(key, value);
}

// ---- TEdit ----

void TEdit::UserEdited(const Wide& text) {
    caption_ = text;  // the window has it already
    if (OnChange) OnChange(this);
}

bool TEdit::SetProperty(const std::string& key, const std::string& value) {
    if (key == "text") return SetText(WideOfUtf8(value)), true;
    return TWinControl::SetProperty(key, value);
}

// ---- TMemo ----

void TMemo::SetLines(const std::vector<Wide>& lines) {
    if (lines == lines_) return;
    lines_ = lines;
    Changed(TChange::Text);
}

Wide TMemo::Text() const {
    Wide text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i) text += u"\r\n";
        text += lines_[i];
    }
    return text;
}

bool TMemo::SetProperty(const std::string& key, const std::string& value) {
    if (key == "readonly") return ParseBool(value, &ReadOnly);
    if (key == "scrollbars") {
        if (value == "vertical") return VerticalScrollBar = true, true;
        if (value == "none") return VerticalScrollBar = false, true;
        return false;
    }
    return TWinControl::SetProperty(key, value);
}

// ---- Lists ----

void TItemList::Clear() {
    items_.clear();
    data_.clear();
    itemIndex_ = -1;
    Changed(TChange::Items);
}

void TItemList::AddItem(const Wide& text, intptr_t data) { InsertItem(Count(), text, data); }

void TItemList::InsertItem(int index, const Wide& text, intptr_t data) {
    items_.insert(items_.begin() + index, text);
    data_.insert(data_.begin() + index, data);
    if (itemIndex_ >= index) ++itemIndex_;
    Changed(TChange::Items);
}

void TItemList::SetItemIndex(int index) {
    if (index < -1 || index >= Count()) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Changed(TChange::ItemIndex);
}

void TItemList::UserSelected(int index) {
    if (index < -1 || index >= Count()) index = -1;
    itemIndex_ = index;
    Selected();
}

void TItemList::Selected() {
    if (OnChange) OnChange(this);
}

void TItemList::DrawItem(int index, const TRect& rect, TOwnerDrawState, TCanvas& canvas) {
    canvas.FillRect(rect);
    canvas.DrawTextLine({rect.Left + 2, rect.Top, rect.Right, rect.Bottom},
                        items_[static_cast<size_t>(index)]);
}

bool TComboBox::SetProperty(const std::string& key, const std::string& value) {
    // Only drop-down lists (no typing) exist here.
    if (key == "style") return value == "dropdownlist";
    return TItemList::SetProperty(key, value);
}

// ---- TPanel, TBevel, TImage ----

namespace {

bool ParseCut(const std::string& value, TBevelCut* cut) {
    if (value == "none") return *cut = TBevelCut::None, true;
    if (value == "lowered") return *cut = TBevelCut::Lowered, true;
    if (value == "raised") return *cut = TBevelCut::Raised, true;
    return false;
}

}  // namespace

bool TPanel::SetProperty(const std::string& key, const std::string& value) {
    if (key == "bevelinner") return ParseCut(value, &BevelInner);
    if (key == "bevelouter") return ParseCut(value, &BevelOuter);
    return TWinControl::SetProperty(key, value);
}

bool TBevel::SetProperty(const std::string& key, const std::string& value) {
    if (key == "shape") {
        if (value == "box") return Shape = TBevelShape::Box, true;
        if (value == "leftline") return Shape = TBevelShape::LeftLine, true;
        return false;
    }
    if (key == "style") return ParseCut(value, &Style);
    return TControl::SetProperty(key, value);
}

void TImage::SetPicture(const TBitmap& bitmap) {
    picture_ = bitmap;
    Changed(TChange::Picture);
}

// ---- Pages ----

int TPageControl::PageCount() const {
    int n = 0;
    for (auto& c : Children())
        if (As<TTabSheet>(c.get())) ++n;
    return n;
}

TTabSheet* TPageControl::Page(int index) const {
    for (auto& c : Children())
        if (auto* page = As<TTabSheet>(c.get()))
            if (index-- == 0) return page;
    return nullptr;
}

void TPageControl::SetActivePageIndex(int index) {
    if (index == active_) return;
    TTabSheet* old = Page(active_);
    TTabSheet* now = Page(index);
    active_ = now ? index : -1;
    if (now) now->SetVisible(true);
    if (old) old->SetVisible(false);
    Changed(TChange::ActivePage);
}

int TTabSheet::PageIndex() const {
    auto* pages = As<TPageControl>(Parent());
    if (!pages) return -1;
    for (int i = 0; i < pages->PageCount(); ++i)
        if (pages->Page(i) == this) return i;
    return -1;
}

void TTabSheet::Loaded() {
    if (Parent()) SetBounds(0, 0, Parent()->Width(), Parent()->Height());
}
