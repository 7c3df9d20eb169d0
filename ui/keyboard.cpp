#include "ui/keyboard.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace ui {

namespace {

class EnterPresses : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat())
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

class BlankSelection : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::FocusIn && box && onlyBlanks(box->text()))
            selectAllOnceFocused(box);
        return false;
    }

private:
    static bool onlyBlanks(const QString& text)
    {
        if (text.isEmpty())
            return false;
        for (const QChar c : text) {
            if (c != QLatin1Char(' '))
                return false;
        }
        return true;
    }
};

} // namespace

void pressOnEnter(QAbstractButton* button)
{
    button->installEventFilter(new EnterPresses(button));
}

void selectBlanksOnFocus(QLineEdit* box)
{
    box->installEventFilter(new BlankSelection(box));
}

void selectAllOnceFocused(QLineEdit* box)
{
    QTimer::singleShot(0, box, [box = QPointer<QLineEdit>(box)] {
        if (box && box->hasFocus())
            box->selectAll();
    });
}

} // namespace ui
