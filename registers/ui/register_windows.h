#pragma once

#include <string>

#include "records/workplace.h"

class QWidget;

// How the program opens the two register windows.
namespace registers {

// Asks for the company (the companies of the company scan, or the number of a new one) and
// opens "Gestione ditte" on its master record; nothing opens when the operator cancels.
// The window lives until the operator closes it.
void openFDitta(records::Workplace workplace, QWidget* parent = nullptr);

// Asks for the company and month among the employee data files of the working year (says so
// when there is none) and opens "Dati Dipendenti - Parte anagrafica" on the employees
// chosen; nothing opens when the operator cancels. The window lives until the operator
// closes it.
void openParteb1(records::Workplace workplace, QWidget* parent = nullptr);

// Opens "Dati Dipendenti - Parte anagrafica" on the employees of the company and month that
// another window chose, handed over as their company data file ("C:\nolv\paghe\una00103.016"):
// the employee data file beside it, as many records as its header states. False, after the
// window said why, when there is nothing to show (no employee data file).
bool openParteb1OnCompany(records::Workplace workplace, const std::string& companyDataFile);

} // namespace registers
