// The base of the window framework: components with names, controls with their state, and the
// peer through which a control's native window (when there is one) follows that state.
//
// Every control keeps its whole state in its object. Native windows exist only while a form is
// shown: the backend then gives each control a peer, the control tells the peer what changed,
// and the backend writes the user's input back into the control and fires its events. A silent
// run and every host test use the same controls without any window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/ClassType.h"

using plat::Wide;

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Colours are COLORREF values (0x00BBGGRR), or one of the system colours below.
using TColor = uint32_t;
constexpr TColor kSystemColor = 0x80000000u;
constexpr TColor clWindow = kSystemColor | 5;
constexpr TColor clWindowText = kSystemColor | 8;
constexpr TColor clBtnFace = kSystemColor | 15;
constexpr TColor clHighlight = kSystemColor | 13;
constexpr TColor clHighlightText = kSystemColor | 14;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clDefault = 0x1FFFFFFF;  // the control's ordinary colour

// A font. An empty name is the system's message font, which every control uses unless told.
struct TFont {
    Wide Name;
    int Height = 0;  // character height in pixels at 96 dots per inch; 0 with the system font
    bool Bold = false;
    TColor Color = clWindowText;
    bool IsSystem() const { return Name.empty(); }
    bool operator==(const TFont& o) const {
        return Name == o.Name && Height == o.Height && Bold == o.Bold && Color == o.Color;
    }
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

enum class TAlign { None, Top, Right };

// What changed in a control, for its peer.
enum class TChange { Bounds, Text, Visible, Enabled, Checked, Items, ItemIndex, ActivePage, Picture };

class TControl;

// A control's native window.
class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    virtual void Changed(TChange what) = 0;
    virtual void Focus() = 0;
};

class TWinControl;
class TForm;

class TComponent : public TObject {
public:
    std::string Name;
};

class TControl : public TComponent {
public:
    using ClassSelf = TControl;
    static constexpr TClass Class{nullptr};
    virtual const TClass& ClassType() const { return Class; }
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    // Puts the control into a parent, which then owns it.
    void SetParent(TWinControl* parent);
    TForm* OwningForm();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Visible itself and all its parents.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The caption or text. The peer hears of it only when it really changes.
    const Wide& Caption() const { return caption_; }
    void SetCaption(const Wide& caption);

    // The name a screen reader reads for the control when neither its caption nor the label
    // before it says what it is (see AccessibleNameOf); empty when they do.
    Wide AccessibleName;

    TFont Font;  // used when ParentFont is false
    bool ParentFont = true;
    const TFont& EffectiveFont() const;
    TColor Color = clDefault;

    // The native window, while the form is shown.
    TControlPeer* Peer = nullptr;
    // Tells the peer, if any.
    void Changed(TChange what);

    // One property from the form description; false when the control has no such property or
    // the value does not fit it.
    virtual bool SetProperty(const std::string& key, const std::string& value);
    // Called once the whole form has been loaded (links between controls are resolved then).
    virtual void Loaded() {}

protected:
    // Label-like controls adjust their size to their text.
    virtual void CaptionChanged() {}

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::None;
    bool visible_ = true;
    bool enabled_ = true;
    Wide caption_;
};

class TWinControl : public TControl {
    TSD_CLASS(TWinControl, TControl)
    const std::vector<std::unique_ptr<TControl>>& Children() const { return children_; }
    void Adopt(TControl* child);
    void Release(TControl* child);
    // Places aligned children: Top along the top edge at full width, Right along the right edge
    // at full height.
    void AlignControls();
    // Gives the keyboard focus to the control (when its window exists) and remembers it.
    void SetFocus();
    bool TabStop = false;

private:
    std::vector<std::unique_ptr<TControl>> children_;
};

// Parses the form description's value forms.
bool ParseInt(const std::string& text, int* value);
bool ParseBool(const std::string& text, bool* value);
bool ParseColor(const std::string& text, TColor* value);  // "#RRGGBB"
