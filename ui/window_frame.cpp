#include "ui/window_frame.h"

#include <algorithm>
#include <cmath>

#include <QMainWindow>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QAbstractItemView>
#include <QLayout>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTextLayout>
#include <QTimer>

#include "ui/ui_common.h"

namespace ui {

WindowScroll::WindowScroll(QWidget* content, QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(QStringLiteral("windowScroll"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(content);
    // The window's own background, not the scroll area's.
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    content->installEventFilter(this);
}

bool WindowScroll::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        // The content's needs changed: the layouts around the area learn it, and the window
        // grows once the event is over.
        updateGeometry();
        if (!m_growPending) {
            m_growPending = true;
            QTimer::singleShot(0, this, [this] { growWindow(); });
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void WindowScroll::growWindow()
{
    m_growPending = false;
    QWidget* window = this->window();
    const QWidget* content = widget();
    if (!content || !window->isVisible())
        return;
    int needed = content->minimumSizeHint().height();
    if (content->hasHeightForWidth())
        needed = std::max(needed, content->heightForWidth(viewport()->width()));
    const int missing = needed - viewport()->height();
    if (missing <= 0)
        return;
    const int height = std::min(window->height() + missing, screenRoom(window).height());
    if (height > window->height())
        window->resize(window->width(), height);
}

QSize WindowScroll::sizeHint() const
{
    // All of the content, without scroll bars; a screen too small gets less (resizeWithinScreen).
    const QWidget* content = widget();
    if (!content)
        return QScrollArea::sizeHint();
    QSize size = content->sizeHint().expandedTo(content->minimumSizeHint());
    if (content->hasHeightForWidth())
        size.setHeight(std::max(size.height(), content->heightForWidth(size.width())));
    // Room for the vertical scroll bar too, so that a window whose fields scroll down never
    // has to scroll them sideways as well.
    const int frame = 2 * frameWidth();
    return size + QSize(frame + style()->pixelMetric(QStyle::PM_ScrollBarExtent), frame);
}

QSize WindowScroll::minimumSizeHint() const
{
    // Room for a little of the content and both scroll bars.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {bar * 6, bar * 4};
}

WindowScroll* setScrollingCentralWidget(QMainWindow* window, QWidget* content)
{
    auto* scroll = new WindowScroll(content, window);
    window->setCentralWidget(scroll);
    return scroll;
}

namespace {

QTextOption wrapping(Qt::Alignment alignment)
{
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

} // namespace

StatusLine::StatusLine(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int StatusLine::textHeight(int width) const
{
    const QMargins margins = contentsMargins();
    const int available = std::max(1, width - margins.left() - margins.right());
    QTextLayout layout(text(), font());
    layout.setTextOption(wrapping(alignment()));
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(available);
        height += line.height();
    }
    layout.endLayout();
    return std::max(static_cast<int>(std::ceil(height)) + margins.top() + margins.bottom(), twoLines());
}

int StatusLine::twoLines() const
{
    // Room for two lines at least, so that the window keeps its height for the usual texts.
    const QMargins margins = contentsMargins();
    return fontMetrics().lineSpacing() * 2 + margins.top() + margins.bottom();
}

QSize StatusLine::sizeHint() const
{
    // Narrow, so that a long text never widens the window: it wraps instead, and the status
    // bar takes the lines its width needs.
    return {fontMetrics().averageCharWidth() * 20, twoLines()};
}

QSize StatusLine::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 10, twoLines()};
}

int StatusLine::heightForWidth(int width) const
{
    // Layouts also ask about the narrow width of the label's hint, which no window shows it
    // at: the height at the window's own width is told instead. Any wider width is the one
    // the line is shown at, however narrow the screen (a laptop at 150 %): a long path takes
    // a third line there rather than being cut.
    const int hint = sizeHint().width();
    if (width <= hint)
        width = window()->width() > hint ? window()->width() : fontMetrics().averageCharWidth() * 100;
    return textHeight(width);
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), text(), wrapping(alignment() | Qt::AlignVCenter));
}

WrappingComboBox::WrappingComboBox(int characters, QWidget* parent, int lines)
    : QComboBox(parent)
    , m_characters(characters)
    , m_lines(lines)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(characters);
}

void WrappingComboBox::setLines(int lines)
{
    m_lines = lines;
    updateGeometry();
}

QSize WrappingComboBox::sizeHint() const
{
    // The lines of text in the frame of a combo box of one line.
    QSize size = QComboBox::sizeHint();
    size.rheight() += fontMetrics().lineSpacing() * (m_lines - 1);
    return size;
}

QSize WrappingComboBox::minimumSizeHint() const
{
    return sizeHint();
}

QRect WrappingComboBox::textRect() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).adjusted(2, 0, -2, 0);
}

void WrappingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // Nothing chosen: the placeholder, in its paler colour, as a combo box shows it.
    const bool placeholder = currentIndex() < 0 && !placeholderText().isEmpty();
    const QString text = placeholder ? placeholderText() : option.currentText;
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(palette().color(group, placeholder ? QPalette::PlaceholderText : QPalette::ButtonText));
    painter.drawText(textRect(), textFlags(), text);
}

void WrappingComboBox::showPopup()
{
    // The list as wide as its longest item, within the screen.
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view()->setMinimumWidth(std::min(widest + scrollBar + 24, screenRoom(this).width()));
    QComboBox::showPopup();
}

namespace {

class WholeHeight : public QObject {
public:
    explicit WholeHeight(QWidget* window)
        : QObject(window)
        , m_window(window)
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show
            || event->type() == QEvent::Resize) {
            if (!m_pending) {
                m_pending = true;
                QTimer::singleShot(0, this, [this] { fit(); });
            }
        }
        return false;
    }

    void fit()
    {
        m_pending = false;
        QLayout* layout = m_window->layout();
        if (!layout || !layout->hasHeightForWidth())
            return;
        const int height = std::min(layout->totalHeightForWidth(m_window->width()), screenRoom(m_window).height());
        if (height != m_window->minimumHeight())
            m_window->setMinimumHeight(height);
        if (m_window->height() < height)
            m_window->resize(m_window->width(), height);
    }

private:
    QWidget* m_window;
    bool m_pending = false;
};

} // namespace

void keepWholeHeight(QWidget* window, QSize preferred)
{
    window->installEventFilter(new WholeHeight(window));
    const QSize room = screenRoom(window);
    QSize size = preferred.boundedTo(room).expandedTo(window->minimumSizeHint()).boundedTo(room);
    if (QLayout* layout = window->layout(); layout && layout->hasHeightForWidth())
        size.setHeight(std::max(size.height(), std::min(layout->totalHeightForWidth(size.width()), room.height())));
    window->resize(size);
}

void showItemsWhole(QListWidget* list, int most)
{
    list->setTextElideMode(Qt::ElideNone);
    list->setWordWrap(true);
    list->setUniformItemSizes(false);
    list->setResizeMode(QListView::Adjust);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int widest = 0;
    for (int row = 0; row < list->count(); ++row)
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->item(row)->text()));
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Never wider than the screen leaves for a dialog's list.
    const int limit = std::min(list->fontMetrics().averageCharWidth() * most, screenRoom(list).width() - 80);
    list->setMinimumWidth(std::min(widest, limit) + scrollBar + 2 * list->frameWidth() + 12);
}

StatusLine* addStatusLine(QMainWindow* window)
{
    auto* status = new QStatusBar(window);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    auto* line = new StatusLine(status);
    line->setObjectName(QStringLiteral("StatusBar1Text"));
    line->setContentsMargins(4, 0, 4, 0);
    status->addWidget(line, 1);
    window->setStatusBar(status);
    return line;
}

} // namespace ui
