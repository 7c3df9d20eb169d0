#include "ui/keyboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStringList>
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

class TypeToFind : public QObject {
public:
    TypeToFind(QObject* parent, std::function<int(const QString&)> find, std::function<void(int)> go)
        : QObject(parent)
        , m_find(std::move(find))
        , m_go(std::move(go))
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        if (!m_typed.isValid() || m_typed.elapsed() > QApplication::keyboardInputInterval())
            m_search.clear();
        m_typed.start();
        m_search += text;
        const int row = m_find(m_search);
        if (row >= 0)
            m_go(row);
        return true;
    }

private:
    std::function<int(const QString&)> m_find;
    std::function<void(int)> m_go;
    QElapsedTimer m_typed;
    QString m_search;
};

} // namespace

void typeToFind(QWidget* control, std::function<int(const QString& typed)> find, std::function<void(int row)> go)
{
    control->installEventFilter(new TypeToFind(control, std::move(find), std::move(go)));
}

int findCompanyRow(const QString& typed, const QStringList& texts)
{
    static const QRegularExpression codeAndName(QStringLiteral("^\\s*(\\d+)\\s*(.*)$"));
    const QString wanted = typed.trimmed();
    if (wanted.isEmpty())
        return -1;
    bool digits = true;
    for (const QChar c : wanted)
        digits = digits && c.isDigit();
    for (int row = 0; row < texts.size(); ++row) {
        const QRegularExpressionMatch match = codeAndName.match(texts[row]);
        if (!match.hasMatch())
            continue;
        if (digits) {
            // "7" and "007" both name company 7; "1" finds 1 before 10.
            QString code = match.captured(1);
            while (code.size() > 1 && code.startsWith(QLatin1Char('0')))
                code.remove(0, 1);
            QString number = wanted;
            while (number.size() > 1 && number.startsWith(QLatin1Char('0')))
                number.remove(0, 1);
            if (code.startsWith(number))
                return row;
        } else if (match.captured(2).startsWith(wanted, Qt::CaseInsensitive)) {
            return row;
        }
    }
    return -1;
}

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
