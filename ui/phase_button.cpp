#include "ui/phase_button.h"

#include "ui/keyboard.h"

#include <algorithm>

#include <QIcon>
#include <QRegularExpression>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace ui {

PhaseButton::PhaseButton(const QString& name, const QString& caption, const QString& icon, const QString& toolTip,
                         QWidget* parent)
    : QToolButton(parent)
{
    setObjectName(name);
    setText(caption);
    setIcon(QIcon(icon));
    setIconSize(QSize(48, 48));
    setToolTip(toolTip);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(shownText());
    pressOnEnter(this);
}

QString PhaseButton::shownText() const
{
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    return text().trimmed().split(blanks, Qt::SkipEmptyParts).join(QLatin1Char('\n'));
}

QSize PhaseButton::sizeHint() const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    QSize textSize = metrics.size(Qt::TextShowMnemonic, shownText());
    textSize.setWidth(textSize.width() + metrics.horizontalAdvance(QLatin1Char(' ')) * 4);
    const QSize contents(std::max(option.iconSize.width(), textSize.width()),
                         option.iconSize.height() + 6 + textSize.height());
    option.rect.setSize(contents);
    return style()->sizeFromContents(QStyle::CT_ToolButton, &option, contents, this);
}

void PhaseButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

} // namespace ui
