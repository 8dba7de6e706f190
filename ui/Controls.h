// The standard controls the wizard is built from.
#pragma once

#include <memory>

#include "image/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Control.h"

class TLabel : public TControl {
    TSD_CLASS(TLabel, TControl)
    bool AutoSize = true;  // width and height follow the text
    bool WordWrap = false;
    // One line that shortens a long path in its middle ("ellipsis=path").
    bool PathEllipsis = false;
    bool SetProperty(const std::string& key, const std::string& value) override;
    // Re-measures an auto-sized label (also after a font change).
    void AdjustSize();

protected:
    void CaptionChanged() override { AdjustSize(); }
};

class TButton : public TWinControl {
    TSD_CLASS(TButton, TWinControl)
    TButton() { TabStop = true; }
    bool Default = false;  // pressed by Enter
    bool Cancel = false;   // pressed by Escape
    TNotifyEvent OnClick;
    // A press by the user or by the program: runs OnClick. (A user can only press an enabled
    // button; the program's presses are not held back by the button's state.)
    virtual void Click();
    bool SetProperty(const std::string& key, const std::string& value) override;
};

class TCheckBox : public TWinControl {
    TSD_CLASS(TCheckBox, TWinControl)
    TCheckBox() { TabStop = true; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TNotifyEvent OnClick;
    // The user toggled the box (the backend reports it).
    void UserToggled(bool checked);
    bool SetProperty(const std::string& key, const std::string& value) override;

private:
    bool checked_ = false;
};

class TEdit : public TWinControl {
    TSD_CLASS(TEdit, TWinControl)
    TEdit() { TabStop = true; }
    const Wide& Text() const { return Caption(); }
    void SetText(const Wide& text) { SetCaption(text); }
    TNotifyEvent OnChange;
    // The user typed (the backend reports the new text).
    void UserEdited(const Wide& text);
    bool SetProperty(const std::string& key, const std::string& value) override;
};

class TMemo : public TWinControl {
    TSD_CLASS(TMemo, TWinControl)
    TMemo() { TabStop = true; }
    bool ReadOnly = false;
    bool VerticalScrollBar = false;
    const std::vector<Wide>& Lines() const { return lines_; }
    void SetLines(const std::vector<Wide>& lines);
    // The lines joined with CR LF, as the window shows them.
    Wide Text() const;
    bool SetProperty(const std::string& key, const std::string& value) override;

private:
    std::vector<Wide> lines_;
};

// A list of items with one selected item (or none, -1): the base of the list box and the
// drop-down list, which differ only in how their window shows the items.
class TItemList : public TWinControl {
    TSD_CLASS(TItemList, TWinControl)
    TItemList() { TabStop = true; }
    const std::vector<Wide>& Items() const { return items_; }
    intptr_t ItemData(int index) const { return data_[static_cast<size_t>(index)]; }
    int Count() const { return static_cast<int>(items_.size()); }
    int ItemIndex() const { return itemIndex_; }

    // Items drawn by the control itself (DrawItem), all ItemHeight high.
    bool OwnerDraw = false;
    int ItemHeight = 16;
    void Clear();
    void AddItem(const Wide& text, intptr_t data = 0);
    void InsertItem(int index, const Wide& text, intptr_t data = 0);
    // A selection by the program: no change event.
    void SetItemIndex(int index);
    TNotifyEvent OnChange;
    // A selection by the user: the item becomes current, then the control reacts.
    void UserSelected(int index);
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state, TCanvas& canvas);
    // The window was created.
    virtual void WindowCreated() {}

protected:
    // Reaction to a user's selection; a plain list fires OnChange.
    virtual void Selected();

    std::vector<Wide> items_;
    std::vector<intptr_t> data_;
    int itemIndex_ = -1;
};

class TComboBox : public TItemList {
    TSD_CLASS(TComboBox, TItemList)
    bool SetProperty(const std::string& key, const std::string& value) override;
};

class TListBox : public TItemList {
    TSD_CLASS(TListBox, TItemList)
};

enum class TBevelCut { None, Lowered, Raised };

class TPanel : public TWinControl {
    TSD_CLASS(TPanel, TWinControl)
    TBevelCut BevelInner = TBevelCut::None;
    TBevelCut BevelOuter = TBevelCut::Raised;
    bool SetProperty(const std::string& key, const std::string& value) override;
};

enum class TBevelShape { Box, LeftLine };

class TBevel : public TControl {
    TSD_CLASS(TBevel, TControl)
    TBevelShape Shape = TBevelShape::Box;
    TBevelCut Style = TBevelCut::Lowered;
    bool SetProperty(const std::string& key, const std::string& value) override;
};

class TImage : public TControl {
    TSD_CLASS(TImage, TControl)
    const TBitmap& Picture() const { return picture_; }
    void SetPicture(const TBitmap& bitmap);

private:
    TBitmap picture_;
};

class TTabSheet;

// A container of pages of which only the active one is visible; it shows no tabs and no frame.
class TPageControl : public TWinControl {
    TSD_CLASS(TPageControl, TWinControl)
    int PageCount() const;
    TTabSheet* Page(int index) const;
    // -1 before a page was first shown.
    int ActivePageIndex() const { return active_; }
    void SetActivePageIndex(int index);

private:
    int active_ = -1;
};

// A page: fills its page control and is visible only while it is the active page.
class TTabSheet : public TWinControl {
    TSD_CLASS(TTabSheet, TWinControl)
    TTabSheet() { visible_ = false; }
    int PageIndex() const;
    void Loaded() override;
};
