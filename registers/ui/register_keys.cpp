#include "registers/ui/register_keys.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "registers/key_codes.h"

namespace registers {

int keyCodeOf(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_F9:
        return kKeyF9;
    default:
        return 0;
    }
}

bool isFieldFocusChange(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace registers
