#pragma once

#include "registers/box_keys.h"

class QEvent;
class QKeyEvent;
class QObject;

namespace registers {

// The key of the register boxes that a key press is (see box_keys.h): Enter (either key),
// Esc, Up, F9; Other for any other key, and for a key held with Ctrl or Alt, which belongs to
// the window's shortcuts.
BoxKey boxKeyOf(const QKeyEvent* event);

// Tells the focus events of a window's boxes that really enter or leave a box: the operator
// or the program moved the focus. A message box or another window that takes the focus for a
// while, and gives it back, is no leaving: a box's checks must not run again because a
// message appeared. The first box of a window that appears is entered all the same.
class BoxFocus {
public:
    enum class Change { None, Entered, Left };

    // What the focus event `event` of `box` does; None for any other event.
    Change change(const QObject* box, const QEvent* event);

private:
    const QObject* m_entered = nullptr; // the box the operator is in
};

} // namespace registers
