#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QString>
#include <QWidget>

#include "records/prompter.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace ui {

// The payroll suite's texts are Windows-1252 bytes; the windows show Unicode. Every text
// crosses between the two here and nowhere else. Characters that Windows-1252 cannot hold
// become "?".
QString toQt(std::string_view cp1252);
std::string fromQt(const QString& text);

// The default title of the program's message boxes.
QString programTitle();

// Message boxes and Yes/No questions of the core, shown modally over the active window.
class QtPrompter : public records::Prompter {
public:
    void message(std::string_view title, std::string_view text, records::Icon icon) override;
    bool askYesNo(records::Question question, std::string_view title, std::string_view text,
                  records::Icon icon) override;
    records::Answer askYesNoCancel(records::Question question, std::string_view title, std::string_view text,
                                   records::Icon icon) override;
};

// Starts programs without a shell, opens web pages with the desktop's URL opener, and
// shows text files (the run report) in a read-only viewer window. A program that cannot
// be found or started is reported to the operator through the prompter, by name.
class QtLauncher : public records::Launcher {
public:
    explicit QtLauncher(records::Prompter& prompter)
        : m_prompter(prompter)
    {
    }
    bool startProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                      const std::string& workingDirectory = {}) override;
    bool openUrl(const std::string& url) override;
    void showTextFile(const std::string& hostPath, std::string_view title) override;

private:
    records::Prompter& m_prompter;
};

// Limits what the operator may type into a box to `limit` characters without cutting the
// texts that the program itself puts in (QLineEdit::setMaxLength would cut them): an edit
// is refused when it makes the text longer than the limit and longer than it was. 0 means
// no limit.
void setTypingLimit(QLineEdit* box, int limit);
int typingLimit(const QLineEdit* box);

// A label that shows its text as plain text (never as markup), named `name` when given.
QLabel* plainLabel(const QString& text, QWidget* parent, const QString& name = {});

// The font of texts whose columns must line up (reports, listings, code lists): the
// system's fixed-width family, asked as fixed-pitch. At `pointSize` points when given.
QFont fixedWidthFont(qreal pointSize = 0);

// Width of a box that shows `characters` capital letters or digits, as codes are written.
int boxWidth(const QWidget* box, int characters);

// Gives a window the size it asks for, but never more than its screen offers (large
// fonts, small laptops), with room for its title bar: a window whose content scrolls
// (WindowScroll) then scrolls it.
void resizeWithinScreen(QWidget* window);
// The most a window of this screen may measure, without its title bar and borders.
QSize screenRoom(const QWidget* window);

} // namespace ui
