#pragma once

class QFocusEvent;
class QKeyEvent;

namespace registers {

// The key code that the register forms compare, as the windowing system of the payroll
// suite numbers it: Enter 0x0D, Esc 0x1B, Up 0x26, F9 0x78; 0 for any other key (and for a
// key held with Ctrl or Alt, which belongs to the window's shortcuts).
int keyCodeOf(const QKeyEvent* event);

// True when the focus really enters or leaves a box: the operator or the program moved it.
// A message box or another window that takes the focus for a while, and gives it back, is
// no leaving: the box's checks must not run again because a message appeared.
bool isFieldFocusChange(const QFocusEvent* event);

} // namespace registers
