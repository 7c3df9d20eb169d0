#pragma once

#include <functional>

#include <QStringList>

class QAbstractButton;
class QLineEdit;
class QString;
class QWidget;

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

// Typing in a list or a combo box jumps to an item: `find` is given what was typed so far
// (the keys of a quick succession, as a list does with the start of its texts) and answers
// the row to go to, or -1 to stay; `go` moves there as the operator's own choice would. Keys
// that type nothing (arrows, Enter, shortcuts) keep their usual meaning.
void typeToFind(QWidget* control, std::function<int(const QString& typed)> find, std::function<void(int row)> go);

// The row of the first of `texts` that a company chooser matches with what was typed:
// digits find the company code whatever its leading zeros or blanks ("7" and "007" find
// "007 ..." and "  7  ..."), letters find the start of the name after the code.
int findCompanyRow(const QString& typed, const QStringList& texts);

} // namespace ui
