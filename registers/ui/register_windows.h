#pragma once

#include "records/shared_values.h"

class QWidget;

// How the program opens the two register windows.
namespace registers {

// Asks for the company (the companies of the company scan, or the number of a new one) and
// opens "Gestione ditte" on its master record; nothing opens when the operator cancels.
// The window lives until the operator closes it.
void openFDitta(records::Workplace workplace, QWidget* parent = nullptr);

// Opens "Dati Dipendenti - Parte anagrafica" on the employees that the shared values name
// (the company data file chosen in inditta, with its employee record count and data-area
// selector); when they name none, first asks for the company and month among the employee
// data files of the working year, and says so when there is none. The window lives until
// the operator closes it.
void openParteb1(records::Workplace workplace, QWidget* parent = nullptr);

} // namespace registers
