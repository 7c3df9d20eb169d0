#include "registers/ui/register_windows.h"

#include <QApplication>
#include <QDialog>

#include "records/file_result.h"
#include "records/installation.h"
#include "records/prompter.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/company_store.h"
#include "registers/employee_files.h"
#include "registers/ui/fditta.h"
#include "registers/ui/parteb1.h"
#include "registers/ui/register_choosers.h"

namespace registers {

namespace {

QWidget* ownerOf(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

void showOwnWindow(QWidget* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void openFDitta(records::Workplace workplace, QWidget* parent)
{
    const records::PathMapper& paths = workplace.paths;
    records::Installation& installation = workplace.installation;
    records::showFailures(workplace.prompter, completeInstallation(paths, installation));
    CompanyChooser chooser(CompanyStore(paths, installation).choices(),
                           std::string(records::trim(installation.dataDirectory)), ownerOf(parent));
    if (chooser.exec() != QDialog::Accepted || chooser.company() == 0)
        return;
    showOwnWindow(new fDitta(workplace, chooser.company()));
}

namespace {

// The window on `employees`, unless it has nothing to show (it said why).
bool showParteb1(records::Workplace workplace, const EmployeeFileChoice& employees)
{
    auto* window = new Parteb1(workplace, employees);
    if (window->wantsToClose()) {
        delete window;
        return false;
    }
    showOwnWindow(window);
    return true;
}

} // namespace

void openParteb1(records::Workplace workplace, QWidget* parent)
{
    const records::PathMapper& paths = workplace.paths;
    records::Installation& installation = workplace.installation;
    records::showFailures(workplace.prompter, completeInstallation(paths, installation));
    const std::vector<EmployeeFileChoice> files = scanEmployeeFiles(paths, installation);
    if (files.empty()) {
        workplace.prompter.message("Dati Dipendenti",
                                   "Nessun archivio dei dipendenti per l'anno " + installation.workingYear + " in "
                                       + installation.drivePrefix + "\\nolv\\paghe ",
                                   records::Icon::Information);
        return;
    }
    EmployeeFileChooser chooser(files, ownerOf(parent));
    if (chooser.exec() != QDialog::Accepted || chooser.chosen() < 0)
        return;
    showParteb1(workplace, files[static_cast<std::size_t>(chooser.chosen())]);
}

bool openParteb1OnCompany(records::Workplace workplace, const std::string& companyDataFile)
{
    records::showFailures(workplace.prompter, completeInstallation(workplace.paths, workplace.installation));
    return showParteb1(workplace, employeesOfCompany(workplace.paths, workplace.installation, companyDataFile));
}

} // namespace registers
