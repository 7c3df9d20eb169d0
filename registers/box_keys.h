#pragma once

// The keyboard of the register windows' boxes, said once for the company and the employee
// register: Esc leaves the window, F9 saves without "Conferma ", Enter goes on to the next
// box (from the last back to the first) and Up to the one before (staying on the first).
namespace registers {

// The keys that a register box handles; Other for every other key (and for a key held with
// Ctrl or Alt, which belongs to the window's shortcuts).
enum class BoxKey { Other, Enter, Escape, Up, F9 };

// What a key pressed in a box asks for.
struct BoxKeyAction {
    enum class Kind { Nothing, Leave, Save, MoveFocus };
    Kind kind = Kind::Nothing;
    int box = 0; // the box the focus goes to, for MoveFocus
};

// The action of `key` pressed in box `box` (1 to `boxCount`) of a window whose keyboard
// covers `boxCount` boxes. Enter in a box beyond them goes back to the first too.
BoxKeyAction boxKeyAction(BoxKey key, int box, int boxCount);

} // namespace registers
