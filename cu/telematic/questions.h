#pragma once

#include <string_view>

#include "records/prompter.h"

namespace cu::telematic {

// The questions of a CU run, by identity: the command line and the tests answer them by
// these, never by their Italian text.

// "Vuoi creare un report della memorizzazione del file ?", asked before the run ("FASE 1").
inline constexpr records::Question kReportWanted{"cu.report-wanted"};
// "Confermi la funzione di Annul/Sostit. del dipendente ... ?", asked by an annulment or a
// replacement before the employee's certification is written.
inline constexpr records::Question kConfirmAnnulment{"cu.confirm-annulment"};

// Asks whether the run is to write its report too; true means Yes.
bool askForReport(records::Prompter& prompter);

// Asks whether the certification of the employee (surname and name as the archive stores
// them, blanks included) is to be cancelled or replaced; true means Yes.
bool confirmAnnulment(records::Prompter& prompter, std::string_view surname, std::string_view name);

} // namespace cu::telematic
