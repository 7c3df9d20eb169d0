#pragma once

#include "check/values.h"

namespace check {

// What a check needs to know besides the file.
struct CheckOptions {
    // Today, for the dates in the future that are likely mistakes; 0 looks for none. The
    // command line and the windows give the day of the machine, the tests a day of their own.
    Day today = 0;
};

} // namespace check
