// Text that fits at the user's text size. The form describes its layout for the system's usual
// message font; when the user makes text bigger, a control whose text no longer fits its box
// grows (a label or check box taller by the lines it wraps to, a check box or push button wider
// where its row leaves room, an edit box taller), what lies below it in its parent moves down by
// as much, the parent grows with it, and so on up to the form. At the usual text size nothing
// moves. Fitting starts again from the designed layout each time, so a change of language or of
// text size fits afresh instead of adding up.
#pragma once

#include "ui/Form.h"

// The height of the text wrapped at words into lines of at most width pixels (96 dpi), as a
// word-wrapped label shows it; "\r" and "\n" break lines.
int WrappedTextHeight(const TFont& font, const Wide& text, int width);

// Fits the whole form to its texts (see above).
void FitToText(TForm& form);
