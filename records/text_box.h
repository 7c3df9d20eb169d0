#pragma once

#include <string>

namespace records {

// One input box of a form: its text, whether it takes input, and how many characters the
// operator may type (0 = no limit; the program itself may put longer texts in). Every
// window's form keeps its boxes as these, and its window shows them.
struct TextBox {
    std::string text;
    bool enabled = true;
    int maxLength = 0;
};

} // namespace records
