#include "app/windows.h"

#include <QWidget>

#include "check/ui/findings_window.h"
#include "cu/ui/createl.h"
#include "records/cu_edition.h"
#include "registers/ui/register_windows.h"
#include "uniemens/ui/inditta.h"

namespace app {

namespace {

// A window that lives until the operator closes it.
void showOwnWindow(QWidget* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

// The check before sending, in a window of its own that outlives the one that asked for it.
void openFileCheck(const std::string& hostPath)
{
    check::openFindingsWindow(hostPath);
}

} // namespace

void addProgramWindows(ui::WindowList& windows, records::Workplace workplace)
{
    const QString createlTitle = QStringLiteral("Seleziona CU ") + QString::fromLatin1(records::kCuIncomeYear);
    windows.add(QStringLiteral("createl"), createlTitle,
                [workplace, &windows] {
                    auto* window = new cu::createl(workplace, &windows);
                    window->setFileCheck(openFileCheck);
                    showOwnWindow(window);
                });
    windows.add(QStringLiteral("inditta"), QStringLiteral("Selezione Ditta"),
                [workplace, &windows] {
                    auto* window = new uniemens::inditta(workplace, &windows);
                    window->setFileCheck(openFileCheck);
                    showOwnWindow(window);
                });
    windows.add(QStringLiteral("fDitta"), QStringLiteral("Gestione ditte"),
                [workplace] { registers::openFDitta(workplace); });
    // The employee register asks for the company and month when opened by name; the UniEmens
    // window hands over the company and month chosen there.
    windows.add(
        QStringLiteral("Parteb1"), QStringLiteral("Dati Dipendenti - Parte anagrafica"),
        [workplace] { registers::openParteb1(workplace); },
        [workplace](const std::string& companyDataFile) {
            return registers::openParteb1OnCompany(workplace, companyDataFile);
        });
}

} // namespace app
