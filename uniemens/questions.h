#pragma once

#include "records/prompter.h"

namespace uniemens {

// The questions of a UniEmens series, by identity: the command line and the tests answer
// them by these, never by their Italian text.

// "Inserisci altra Ditta ?", asked after each company written into the series' file: Yes
// keeps the file open for the next company, No stores it.
inline constexpr records::Question kAnotherCompany{"uniemens.another-company"};
// "Vuoi proseguire con il controllo del file ?", asked once the file is stored: Yes starts
// the INPS checking program.
inline constexpr records::Question kContinueWithCheck{"uniemens.continue-with-check"};

// Asks whether another company goes into the open file; true means Yes.
bool askForAnotherCompany(records::Prompter& prompter);
// Asks whether the stored file goes on to the INPS checking program; true means Yes.
bool askToContinueWithCheck(records::Prompter& prompter);

} // namespace uniemens
