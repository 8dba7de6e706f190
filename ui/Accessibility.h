// What assistive technology reads of a form: each control's name, where groups of controls
// start, and the colours drawn when the user asked for high contrast.
//
// A screen reader names a button or a check box by its caption, and an edit box or a list by the
// label right before it (in creation order, which is also the tab order and the z-order). A
// control that has neither carries an explicit AccessibleName.
#pragma once

#include "ui/Controls.h"

// The text as read aloud: the "&" of an accelerator dropped ("&&" stays one "&"), blanks at
// both ends removed.
Wide WithoutAccelerator(const Wide& caption);

// The label created right before the control in the same parent, or none.
const TLabel* LabelBefore(const TControl& control);

// The name a screen reader reads: AccessibleName when set; for an edit box, a memo or a list,
// the label right before it; for any other control its caption. Empty when there is none.
Wide AccessibleNameOf(const TControl& control);

// True for a control that starts a group (WS_GROUP): a label, and a control the user operates
// that no label right before it has started a group for. The group ends at the next start.
bool StartsGroup(const TControl& control);

// The colours shown for a control's designed colours: with high contrast on, a fixed colour
// gives way to the system's (a fixed background to the window colour, a fixed text colour to
// the window text colour); otherwise the designed colour.
TColor ShownBackground(TColor designed, bool highContrast);
TColor ShownTextColor(TColor designed, bool highContrast);
