#pragma once

#include <vector>

#include "demo/demo_installation.h"

// The UniEmens data of the demo: the company data files and the employee or collaborator data
// files that the payroll program prepares for a month, "una", "unb" and "unc" DDD MM of the
// demo's year.
// - March: the building firm (001) and the bakery (002), both of composition "FP", and a
//   training centre with collaborators only (005).
// - April: a restaurant (003) whose cook has every block of the employee element, a sport
//   and entertainment worker and an apprentice; a chemist's shop (004, "FP"); the training
//   centre's tutors (005); a coffee bar (006) that cancels its declaration.
namespace demo {

// Appends the monthly data files of March and April to the demo's files.
void addUniemensDemo(std::vector<DemoFile>& files);

} // namespace demo
