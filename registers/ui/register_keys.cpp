#include "registers/ui/register_keys.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace registers {

BoxKey boxKeyOf(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return BoxKey::Other;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return BoxKey::Enter;
    case Qt::Key_Escape:
        return BoxKey::Escape;
    case Qt::Key_Up:
        return BoxKey::Up;
    case Qt::Key_F9:
        return BoxKey::F9;
    default:
        return BoxKey::Other;
    }
}

BoxFocus::Change BoxFocus::change(const QObject* box, const QEvent* event)
{
    const bool entering = event->type() == QEvent::FocusIn;
    if (!entering && event->type() != QEvent::FocusOut)
        return Change::None;
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    const bool real = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    // A box that gets the focus back has not been left: neither its leaving nor its entering
    // runs again.
    if (entering ? (!real && box == m_entered) : !real)
        return Change::None;
    m_entered = entering ? box : nullptr;
    return entering ? Change::Entered : Change::Left;
}

} // namespace registers
