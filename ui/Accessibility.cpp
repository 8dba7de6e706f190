#include "ui/Accessibility.h"

Wide WithoutAccelerator(const Wide& caption) {
    Wide out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
        else if (caption[i] == u'&') continue;
        out += caption[i];
    }
    size_t first = out.find_first_not_of(u' ');
    if (first == Wide::npos) return Wide();
    size_t last = out.find_last_not_of(u' ');
    return out.substr(first, last - first + 1);
}

const TLabel* LabelBefore(const TControl& control) {
    const TWinControl* parent = control.Parent();
    if (!parent) return nullptr;
    const auto& siblings = parent->Children();
    for (size_t i = 1; i < siblings.size(); ++i)
        if (siblings[i].get() == &control) return As<TLabel>(siblings[i - 1].get());
    return nullptr;
}

namespace {

// Controls whose own text is their content, not their name.
bool NamedByLabel(const TControl& control) {
    return As<TEdit>(&control) || As<TMemo>(&control) ||
           As<TItemList>(&control);
}

}  // namespace

Wide AccessibleNameOf(const TControl& control) {
    if (!control.AccessibleName.empty()) return control.AccessibleName;
    if (NamedByLabel(control)) {
        const TLabel* label = LabelBefore(control);
        return label ? WithoutAccelerator(label->Caption()) : Wide();
    }
    return WithoutAccelerator(control.Caption());
}

bool StartsGroup(const TControl& control) {
    if (As<TLabel>(&control)) return true;
    auto* operated = As<TWinControl>(&control);
    if (!operated || !operated->TabStop) return false;
    return !LabelBefore(control);
}

TColor ShownBackground(TColor designed, bool highContrast) {
    if (!highContrast || designed == clDefault || (designed & kSystemColor)) return designed;
    return clWindow;
}

TColor ShownTextColor(TColor designed, bool highContrast) {
    if (!highContrast || (designed & kSystemColor)) return designed;
    return clWindowText;
}
