#pragma once

#include "records/workplace.h"
#include "ui/window_list.h"

namespace app {

// Fills `windows` with every window of the program, each opened as a top-level window over
// `workplace`: createl, inditta, fDitta, Parteb1. The list must outlive the windows, which
// offer it in their menus.
void addProgramWindows(ui::WindowList& windows, records::Workplace workplace);

} // namespace app
