#pragma once

#include <vector>

#include "demo/demo_installation.h"

// The CU archives of the demo: three employers, each with the CU header file "FCU" n ".017"
// and the archive "DCU" n ".017" of its employees' certifications of the income year.
// - Archive 1: a building firm in Turin, sent by its payroll consultant, with record C; one
//   certification was cancelled in the payroll program.
// - Archive 2: a bar in Milan, an individual employer who sends for himself and has not yet
//   stated the transmission commitment, so the operator types it.
// - Archive 7: a bakery in Naples, sent by another consultant; nearly every quadro has content.
namespace demo {

// Appends the CU header file and the CU archive of archives 1, 2 and 7 to the demo's files.
void addCuDemo(std::vector<DemoFile>& files);

} // namespace demo
