#include "app/windows.h"

#include <QWidget>

#include "cu/ui/createl.h"
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

} // namespace

void addProgramWindows(ui::WindowList& windows, records::Workplace workplace)
{
    windows.add(QStringLiteral("createl"), QStringLiteral("Seleziona CU 2016"),
                [workplace, &windows] { showOwnWindow(new cu::createl(workplace, &windows)); });
    windows.add(QStringLiteral("inditta"), QStringLiteral("Selezione Ditta"),
                [workplace, &windows] { showOwnWindow(new uniemens::inditta(workplace, &windows)); });
    windows.add(QStringLiteral("fDitta"), QStringLiteral("Gestione ditte"),
                [workplace] { registers::openFDitta(workplace); });
    windows.add(QStringLiteral("Parteb1"), QStringLiteral("Dati Dipendenti - Parte anagrafica"),
                [workplace] { registers::openParteb1(workplace); });
}

} // namespace app
