#include "registers/ui/register_keys.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace registers {

int keyCodeOf(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_F9:
        return 0x78;
    default:
        return 0;
    }
}

bool isFieldFocusChange(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace registers
