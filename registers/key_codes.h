#pragma once

// Key codes of the keyboard events that the register forms handle, as the windowing system
// of the payroll suite numbers them.
namespace registers {

inline constexpr int kKeyEnter = 0x0D;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyF9 = 0x78;

} // namespace registers
