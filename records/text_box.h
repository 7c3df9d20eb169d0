#pragma once

#include <string>

namespace records {

// One input box of a form: its text, whether it takes input, and how many characters the
// operator may type (0 = no limit; the program itself may put longer texts in). Every
// window's form keeps its boxes as these, and its window shows them. A read-only box is
// enabled, so its text can be read, selected and copied, but takes no typing.
struct TextBox {
    std::string text;
    bool enabled = true;
    bool readOnly = false;
    int maxLength = 0;
};

} // namespace records
