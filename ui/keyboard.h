#pragma once

class QAbstractButton;
class QLineEdit;

namespace ui {

// Enter (either key) on the focused button presses it, as Space does: the payroll offices
// come from a platform where Enter presses the button that has the focus.
void pressOnEnter(QAbstractButton* button);

// When the box gets the focus and its text is only blanks (a field of the payroll files
// that was never filled), the whole text is selected, so that typing replaces the blanks
// instead of being refused by a typing limit that the blanks already fill.
void selectBlanksOnFocus(QLineEdit* box);

// Selects the box's whole text as soon as the event that gave it the focus is over (a mouse
// click places the cursor after the focus arrives), if the box still has the focus.
void selectAllOnceFocused(QLineEdit* box);

} // namespace ui
