#pragma once

#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QString>

class QListWidget;
class QMainWindow;
class QStatusBar;

namespace ui {

// The content of a window inside a frameless scroll area (object name "windowScroll"): the
// window asks for the size its content needs, and on a screen too small for it (a laptop at
// a large scale) it takes what the screen has and the content scrolls, while the status bar
// and what lies outside the area stay in view.
//
// When the content comes to need more room (a frame shown, a longer text), the window grows
// in height as far as the screen allows, and keeps its width.
class WindowScroll : public QScrollArea {
public:
    explicit WindowScroll(QWidget* content, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void growWindow();

    bool m_growPending = false;
};

// Puts `content` into a WindowScroll as the central widget of `window`.
WindowScroll* setScrollingCentralWidget(QMainWindow* window, QWidget* content);

// The status line of a window: plain text that wraps onto further lines instead of widening
// the window, at blanks where it can and anywhere else where it must (a long host path).
class StatusLine : public QLabel {
public:
    explicit StatusLine(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int textHeight(int width) const;
    int twoLines() const;
};

// A combo box whose chosen item, a code and its description, is shown on up to `lines` lines
// instead of being cut: wide enough for `characters` average characters on a line. Its list
// opens as wide as its longest item (as far as the screen allows).
class WrappingComboBox : public QComboBox {
public:
    explicit WrappingComboBox(int characters, QWidget* parent = nullptr, int lines = 2);

    void setLines(int lines);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void showPopup() override;

    // Where the chosen item's text is drawn, and how it is broken into lines there.
    QRect textRect() const;
    static int textFlags() { return Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_characters;
    int m_lines;
};

// Keeps a window as high as the wrapped texts of its layout need at its width (a dialog whose
// error line appears, a label that wraps onto one more line), within the screen: top-level
// windows do not follow their labels' heights by themselves. `preferred` is the size it
// opens at, as far as the screen allows.
void keepWholeHeight(QWidget* window, QSize preferred);

// A list whose items are shown whole: as wide as its longest item as far as `most`
// characters go, the longer ones wrapped onto further lines instead of cut with "...".
void showItemsWhole(QListWidget* list, int most);

// A status bar named StatusBar1 with a StatusLine named StatusBar1Text, set on `window`.
StatusLine* addStatusLine(QMainWindow* window);

} // namespace ui
