#pragma once

#include <vector>

#include "demo/demo_installation.h"

// The registers of the demo installation: the company register of the payroll office's
// clients with the code lists of its coded fields, and the employee data of one more client
// for the month of the UniEmens data. A few identification data are wrong, as they are in
// every real office, so that the checks of the company register and of the command
// "telematico-cli anagrafiche" have something to find:
// - company 4 (a professional) has a VAT number whose check digit is wrong;
// - company 9 (an individual employer) has the impossible birth date 30 February 1975;
// - record 2 of company 9's employee data of March 2016 has a fiscal code whose check letter
//   is wrong.
namespace demo {

// Appends the register files to the demo's files: the company files "dittgN.016" of
// companies 1, 2, 3, 4, 5, 7 and 9, the activity, intermediary and account-personalization
// lists, and company 9's employee data file of March 2016 (which has no company data file
// beside it, so the UniEmens declaration of March does not list it).
void addRegisterDemo(std::vector<DemoFile>& files);

} // namespace demo
