#include "ui/ui_common.h"

#include <cmath>

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QValidator>
#include <QVBoxLayout>

#include "records/cp1252.h"
#include "ui/text_viewer.h"

namespace ui {

QString toQt(std::string_view cp1252)
{
    QString text;
    text.reserve(static_cast<qsizetype>(cp1252.size()));
    for (const char byte : cp1252)
        text.append(QChar(static_cast<char16_t>(records::cp1252ToUnicode(static_cast<unsigned char>(byte)))));
    return text;
}

std::string fromQt(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t codePoint : text.toUcs4()) {
        const int byte = records::unicodeToCp1252(codePoint);
        bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

QString programTitle()
{
    return QStringLiteral("telematico");
}

namespace {

QMessageBox::Icon boxIcon(records::Icon icon)
{
    switch (icon) {
    case records::Icon::Information: return QMessageBox::Information;
    case records::Icon::Question: return QMessageBox::Question;
    case records::Icon::Stop: return QMessageBox::Critical;
    case records::Icon::Warning: return QMessageBox::Warning;
    case records::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

int showBox(std::string_view title, std::string_view text, records::Icon icon, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(boxIcon(icon), title.empty() ? programTitle() : toQt(title), toQt(text), buttons,
                    QApplication::activeWindow());
    // Texts such as "Premere <ok>" or file names must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    // The window manager cuts a title longer than its box ("Modi... i dati" over "Conferma "):
    // the box is as wide as its title, in the bold of title bars, and the title bar's buttons.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics titleMetrics(titleFont);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = titleMetrics.horizontalAdvance(box.windowTitle()) + titleMetrics.height() * 8;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box.exec();
}

std::string hostToCp1252(const std::string& hostText)
{
    return records::utf8ToCp1252(hostText);
}

} // namespace

void QtPrompter::message(std::string_view title, std::string_view text, records::Icon icon)
{
    showBox(title, text, icon, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompter::askYesNo(records::Question question, std::string_view title, std::string_view text,
                          records::Icon icon)
{
    const QMessageBox::StandardButton preset = question.noIsTheDefault() ? QMessageBox::No : QMessageBox::Yes;
    return showBox(title, text, icon, QMessageBox::Yes | QMessageBox::No, preset) == QMessageBox::Yes;
}

records::Answer QtPrompter::askYesNoCancel(records::Question question, std::string_view title, std::string_view text,
                                           records::Icon icon)
{
    // "Sì", "No" and "Annulla" with the Italian translation of the standard buttons; Esc and
    // the box's close button are Annulla.
    const QMessageBox::StandardButton preset = question.noIsTheDefault() ? QMessageBox::No : QMessageBox::Yes;
    switch (showBox(title, text, icon, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, preset)) {
    case QMessageBox::Yes: return records::Answer::Yes;
    case QMessageBox::No: return records::Answer::No;
    default: return records::Answer::Cancel;
    }
}

bool QtLauncher::startProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                              const std::string& workingDirectory)
{
    const QString program = QString::fromStdString(hostProgram);
    // A bare name is looked up on the search path, as a shell would; a path must exist as it is.
    const bool found = program.contains(QLatin1Char('/')) ? QFileInfo(program).isFile()
                                                          : !QStandardPaths::findExecutable(program).isEmpty();
    if (!found) {
        m_prompter.message({}, "Programma non trovato: " + hostToCp1252(hostProgram), records::Icon::Stop);
        return false;
    }
    QStringList argumentList;
    for (const std::string& argument : arguments)
        argumentList.append(QString::fromStdString(argument));
    const QString folder = QString::fromStdString(workingDirectory);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        m_prompter.message({}, "Cartella di lavoro non trovata: " + hostToCp1252(workingDirectory), records::Icon::Stop);
        return false;
    }
    if (!QProcess::startDetached(program, argumentList, folder)) {
        m_prompter.message({}, "Impossibile avviare il programma " + hostToCp1252(hostProgram), records::Icon::Stop);
        return false;
    }
    return true;
}

bool QtLauncher::openUrl(const std::string& url)
{
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtLauncher::showTextFile(const std::string& hostPath, std::string_view title)
{
    QFile file(QString::fromStdString(hostPath));
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompter.message({}, "Impossibile leggere il file " + hostToCp1252(hostPath), records::Icon::Stop);
        return;
    }
    const QByteArray bytes = file.readAll();
    const QString windowTitle = title.empty() ? QFileInfo(file.fileName()).fileName() : toQt(title);
    auto* viewer = new TextFileViewer(windowTitle, toQt(std::string_view(bytes.constData(), bytes.size())));
    viewer->show();
}

namespace {

// The typing limit of a box. QLineEdit asks its validator about every change, its own
// setText() included; a change that is not an operator's edit (the box is not marked
// modified) is always accepted, so texts that the program puts in are never cut.
class TypingLimit : public QValidator {
public:
    TypingLimit(int limit, QLineEdit* box)
        : QValidator(box)
        , m_limit(limit)
        , m_box(box)
        , m_accepted(box->text())
    {
    }

    int limit() const { return m_limit; }

    State validate(QString& input, int&) const override
    {
        if (m_box->isModified() && input.size() > m_limit && input.size() > m_accepted.size())
            return Invalid;
        m_accepted = input;
        return Acceptable;
    }

private:
    int m_limit;
    QLineEdit* m_box;
    mutable QString m_accepted; // the box's text after the last change that was let through
};

} // namespace

void setTypingLimit(QLineEdit* box, int limit)
{
    if (auto* old = dynamic_cast<TypingLimit*>(const_cast<QValidator*>(box->validator()))) {
        box->setValidator(nullptr);
        delete old;
    }
    if (limit > 0)
        box->setValidator(new TypingLimit(limit, box));
}

int typingLimit(const QLineEdit* box)
{
    const auto* limit = dynamic_cast<const TypingLimit*>(box->validator());
    return limit ? limit->limit() : 0;
}

QLabel* plainLabel(const QString& text, QWidget* parent, const QString& name)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QFont fixedWidthFont(qreal pointSize)
{
    // The system's fixed-width family, asked as fixed-pitch with the typewriter hint: should
    // the system name no family, the font matching still picks a fixed-width face.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

int boxWidth(const QWidget* box, int characters)
{
    const QFontMetrics metrics(box->font());
    return metrics.horizontalAdvance(QLatin1Char('N')) * characters + 14;
}

void resizeWithinScreen(QWidget* window)
{
    window->ensurePolished();
    QSize size = window->sizeHint();
    if (const auto* main = qobject_cast<const QMainWindow*>(window); main && main->centralWidget()) {
        // A main window needs its content, its menu bar and the lines of its status bar at
        // that width (the window's own hint counts one line for a status bar).
        size = main->centralWidget()->sizeHint().expandedTo(main->centralWidget()->minimumSizeHint());
        if (const QWidget* menu = main->menuWidget())
            size.rheight() += menu->sizeHint().height();
        if (const auto* status = main->findChild<const QStatusBar*>(QString(), Qt::FindDirectChildrenOnly)) {
            const int lines = status->hasHeightForWidth() ? status->heightForWidth(size.width()) : 0;
            size.rheight() += std::max(status->sizeHint().height(), lines);
        }
    }
    window->resize(size.boundedTo(screenRoom(window)).expandedTo(window->minimumSizeHint()));
}

QSize screenRoom(const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    // Room for the borders and the title bar that the window manager adds, and for a panel of
    // the desktop that the screen's available area does not always leave out: 8 and 72
    // screen pixels.
    const double ratio = screen->devicePixelRatio();
    const QSize frame(static_cast<int>(std::ceil(8 / ratio)), static_cast<int>(std::ceil(72 / ratio)));
    return screen->availableGeometry().size() - frame;
}

} // namespace ui
