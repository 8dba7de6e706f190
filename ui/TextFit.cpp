#include "ui/TextFit.h"

#include <algorithm>
#include <functional>
#include <map>

#include "ui/Backend.h"

namespace {

// Rows of text that DrawText would make: words (runs without a blank) stay whole unless one
// alone is wider than the line; ideographs may break anywhere.
int WrappedLines(const TFont& font, const Wide& text, int width) {
    int lines = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == Wide::npos) end = text.size();
        Wide paragraph = text.substr(start, end - start);
        ++lines;
        Wide line;
        size_t i = 0;
        while (i < paragraph.size()) {
            // The next piece: a word with its blanks after it, or one ideograph.
            size_t j = i;
            if (paragraph[j] >= 0x2E80) {
                ++j;
            } else {
                while (j < paragraph.size() && paragraph[j] != u' ' && paragraph[j] < 0x2E80) ++j;
            }
            while (j < paragraph.size() && paragraph[j] == u' ') ++j;
            Wide piece = paragraph.substr(i, j - i);
            Wide trimmed = line + piece;
            while (!trimmed.empty() && trimmed.back() == u' ') trimmed.pop_back();
            if (!line.empty() && Backend().TextWidth(font, trimmed) > width) {
                ++lines;
                line = piece;
            } else {
                line += piece;
            }
            i = j;
        }
        if (end >= text.size()) break;
        // "\r\n" is one break.
        start = end + 1;
        if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
    }
    return lines;
}

// Room each kind of control needs around its text (96 dpi), as the system draws them.
constexpr int kEditFrame = 6;      // the sunken edge and the inner margins
constexpr int kButtonFrame = 6;    // the raised edge and the focus rectangle
constexpr int kButtonSides = 10;
constexpr int kCheckGap = 4;       // the box and the gap before the caption: the box's own height
constexpr int kRowTolerance = 3;   // a control this much below another's bottom lies below it
constexpr int kKeptGap = 4;        // the gap kept between a grown control and the one it pushes
constexpr int kBottomTolerance = 6;  // a control this close to its parent's bottom stretches

struct TFitted {
    TControl* control;
    TRect designed;  // left, top, right, bottom
    int top = 0, height = 0, width = 0;
};

TRect BoundsOf(const TControl& c) { return {c.Left(), c.Top(), c.Left() + c.Width(), c.Top() + c.Height()}; }

// What the control needs for its text: more height, and more width where it may take it.
void Need(const TControl& control, int roomRight, int* width, int* height) {
    const TFont& font = control.EffectiveFont();
    int ch = Backend().CharHeight(font);
    if (auto* label = As<TLabel>(&control)) {
        if (label->Caption().empty() || label->PathEllipsis) return;
        // A label sized to its text that no longer fits its row wraps within it.
        if (label->AutoSize && *width > roomRight) {
            *width = roomRight;
            *height = std::max(*height, WrappedTextHeight(font, label->Caption(), *width));
        }
        if (!label->AutoSize && label->WordWrap)
            *height = std::max(*height, WrappedTextHeight(font, label->Caption(), *width));
    } else if (As<TEdit>(&control)) {
        *height = std::max(*height, ch + kEditFrame);
    } else if (As<TCheckBox>(&control)) {
        if (control.Caption().empty()) return;
        int box = ch + kCheckGap;
        int text = Backend().TextWidth(font, control.Caption());
        *width = std::max(*width, std::min(box + text, roomRight));
        int lines = std::max(1, WrappedTextHeight(font, control.Caption(), *width - box) / std::max(ch, 1));
        *height = std::max(*height, lines * ch + 2);
    } else if (As<TButton>(&control)) {
        *height = std::max(*height, ch + kButtonFrame);
        int text = Backend().TextWidth(font, control.Caption()) + kButtonSides;
        *width = std::max(*width, std::min(text, roomRight));
    }
}

// Fits the children of parent; gives how much taller the parent must become.
int FitChildren(TWinControl& parent, std::map<const TControl*, TRect>& designs);

int FitOne(TControl& control, int shiftDown, int columnRight, int parentWidth,
           std::map<const TControl*, TRect>& designs, const std::vector<TRect>& siblings) {
    TRect d = designs[&control];
    int width = d.Right - d.Left, height = d.Bottom - d.Top;
    // Room to the right: up to the next control on the same rows, else to the right edge of the
    // column the controls of the parent share (a page may reach beyond the form's edge); the
    // last push button of a row may take the parent's margin.
    int roomRight = columnRight - d.Left;
    if (As<TButton>(&control)) roomRight = std::max(roomRight, parentWidth - kKeptGap - d.Left);
    for (const TRect& s : siblings)
        if (s.Left >= d.Right && s.Top < d.Bottom && s.Bottom > d.Top) roomRight = std::min(roomRight, s.Left - d.Left);
    if (roomRight > 0) Need(control, roomRight, &width, &height);
    int grow = 0;
    if (auto* container = As<TWinControl>(&control)) {
        control.SetBounds(d.Left, d.Top + shiftDown, width, height);
        grow = FitChildren(*container, designs);
        height += grow;
    }
    control.SetBounds(d.Left, d.Top + shiftDown, width, height);
    return height - (d.Bottom - d.Top);
}

int FitChildren(TWinControl& parent, std::map<const TControl*, TRect>& designs) {
    const TRect pd = designs[&parent];
    const int designedHeight = pd.Bottom - pd.Top;
    std::vector<TControl*> children;
    std::vector<TRect> rects;
    for (auto& child : parent.Children()) {
        children.push_back(child.get());
        rects.push_back(designs[child.get()]);
    }
    // Pages fill their container and grow as one: the tallest page decides.
    bool pages = !children.empty() && std::all_of(children.begin(), children.end(), [](TControl* c) {
        return As<TTabSheet>(c) != nullptr;
    });
    if (pages) {
        int grow = 0;
        for (TControl* page : children) grow = std::max(grow, FitChildren(*static_cast<TWinControl*>(page), designs));
        for (TControl* page : children) page->SetBounds(0, 0, pd.Right - pd.Left, designedHeight + grow);
        return grow;
    }
    // The column: as far right as the controls of fixed width reach, within the parent.
    int columnRight = 0;
    for (size_t j = 0; j < children.size(); ++j) {
        auto* label = As<TLabel>(children[j]);
        if ((label && label->AutoSize) || children[j]->Align() != TAlign::None) continue;
        columnRight = std::max(columnRight, rects[j].Right);
    }
    if (columnRight == 0) columnRight = pd.Right - pd.Left;
    columnRight = std::min(columnRight, pd.Right - pd.Left);
    std::vector<int> oldBottom(children.size()), newBottom(children.size());
    int designedExtent = 0, extent = 0;
    for (size_t j = 0; j < children.size(); ++j) {
        const TRect& d = rects[j];
        // Aligned children follow their parent by themselves.
        if (children[j]->Align() != TAlign::None) continue;
        // Pushed down by a control above it only as far as that one's growth takes the gap.
        int shift = 0;
        for (size_t k = 0; k < j; ++k) {
            if (!oldBottom[k] || oldBottom[k] > d.Top + kRowTolerance) continue;
            // A designed overlap stays (a bevel over a panel's edge); text never overlaps.
            int gap = d.Top - oldBottom[k];
            bool text = As<TLabel>(children[k]) || As<TCheckBox>(children[k]);
            int keep = gap < 0 ? (text ? 0 : gap) : std::min(gap, kKeptGap);
            shift = std::max(shift, newBottom[k] + keep - d.Top);
        }
        // A control reaching beyond the column keeps its width; a label sized to its text does not.
        auto* label = As<TLabel>(children[j]);
        int right = label && label->AutoSize ? columnRight : std::max(columnRight, rects[j].Right);
        int grow = FitOne(*children[j], shift, right, pd.Right - pd.Left, designs, rects);
        oldBottom[j] = d.Bottom;
        newBottom[j] = d.Bottom + shift + grow;
        designedExtent = std::max(designedExtent, d.Bottom);
        extent = std::max(extent, newBottom[j]);
    }
    // The parent grows when its children pass its bottom (keeping a small margin they had).
    int margin = std::max(0, std::min(designedHeight - designedExtent, kKeptGap));
    int grow = std::max(0, extent + margin - designedHeight);
    // Controls that reach down to the parent's bottom stretch with it.
    for (size_t j = 0; j < children.size(); ++j) {
        const TRect& d = rects[j];
        if (grow == 0 || children[j]->Align() != TAlign::None) continue;
        if (newBottom[j] == d.Bottom && d.Bottom >= designedHeight - kBottomTolerance && d.Top < designedHeight / 2)
            children[j]->SetHeight(children[j]->Height() + grow);
    }
    return grow;
}

void Collect(TControl& control, std::map<const TControl*, TRect>& designs) {
    if (!designs.count(&control)) designs[&control] = BoundsOf(control);
    if (auto* container = As<TWinControl>(&control))
        for (auto& child : container->Children()) Collect(*child, designs);
}

}  // namespace

int TBackend::WrappedTextHeight(const TFont& font, const Wide& text, int width) {
    return WrappedLines(font, text, width) * CharHeight(font);
}

int WrappedTextHeight(const TFont& font, const Wide& text, int width) {
    return Backend().WrappedTextHeight(font, text, width);
}

void FitToText(TForm& form) {
    std::map<const TControl*, TRect>& designs = form.DesignedBounds;
    // The program may have placed a control itself since the last fit: that is its design now.
    for (auto& [control, fitted] : form.FittedBounds) {
        TRect now = BoundsOf(*control);
        if (now.Left != fitted.Left || now.Top != fitted.Top || now.Right != fitted.Right || now.Bottom != fitted.Bottom)
            designs[control] = now;
    }
    Collect(form, designs);
    TRect fd = designs[&form];
    int grow = FitChildren(form, designs);
    form.SetBounds(fd.Left, fd.Top, fd.Right - fd.Left, fd.Bottom - fd.Top + grow);
    form.FittedBounds.clear();
    std::function<void(TControl&)> remember = [&](TControl& c) {
        form.FittedBounds[&c] = BoundsOf(c);
        if (auto* container = As<TWinControl>(&c))
            for (auto& child : container->Children()) remember(*child);
    };
    remember(form);
}
