#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QtTest>

#include "app/first_start.h"
#include "check/ui/findings_window.h"
#include "cu/ui/createl.h"
#include "demo/demo_installation.h"
#include "payroll/company_code_lists.h"
#include "records/file_result.h"
#include "registers/company_files.h"
#include "registers/company_store.h"
#include "registers/employee_files.h"
#include "registers/ui/code_list_dialog.h"
#include "registers/ui/employee_record_view.h"
#include "registers/ui/fditta.h"
#include "registers/ui/parteb1.h"
#include "registers/ui/register_choosers.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"
#include "ui/text_viewer.h"
#include "ui/window_frame.h"
#include "uniemens/ui/inditta.h"

using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

// The screen of the offices' laptops, in device pixels, less a title bar and a task bar.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr int kTitleAndPanel = 60;

// The demo installation with its own operator, for every window of the program.
struct Office {
    TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    records::Workplace workplace{shared.workplace(prompter, launcher)};

    Office() { demo::writeDemoInstallation(root.path()); }
};

// The employee data file of the demo with the most employees.
const registers::EmployeeFileChoice& employeeFile(Office& office)
{
    static registers::EmployeeFileChoice chosen;
    records::showFailures(office.prompter,
                          registers::completeInstallation(office.shared.paths, office.shared.installation));
    const std::vector<registers::EmployeeFileChoice> files
        = registers::scanEmployeeFiles(office.shared.paths, office.shared.installation);
    chosen = *std::max_element(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return a.recordCount < b.recordCount;
    });
    return chosen;
}

template <typename Control> Control* control(const QWidget* window, const QString& name)
{
    auto* found = window->findChild<Control*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// The scale the test runs at, as the desktop sets it: QT_SCALE_FACTOR times the font
// resolution's share of 96 dots per inch. "125 %" is QT_SCALE_FACTOR 1.25 with QT_FONT_DPI
// 120: everything drawn 1.5625 times as large.
double scale()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

bool scrollingAllowed()
{
    // At 125 % (1.5625 times) a 1280x800 screen holds 819x512 pixels of the program's own, at
    // 150 % (2.25 times) 569x356: there the windows keep their status bar and their buttons
    // on the screen and scroll the fields that do not fit.
    return scale() > 1.01;
}

// Controls whose text the window shows cut: a label narrower (or, wrapped, lower) than its
// text, a button narrower than its caption.
QStringList cutTexts(const QWidget* window)
{
    QStringList cut;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        const bool whole = label->hasHeightForWidth() ? label->height() >= label->heightForWidth(label->width())
                                                      : label->width() >= label->sizeHint().width();
        if (!whole)
            cut << QStringLiteral("label \"%1\" %2x%3").arg(label->text().left(40)).arg(label->width()).arg(label->height());
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty())
            continue;
        // The caption and a little room either side.
        const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
        if (!qobject_cast<const QToolButton*>(button) && button->width() < needed)
            cut << QStringLiteral("button \"%1\" %2 < %3").arg(button->text().simplified()).arg(button->width()).arg(needed);
        if (qobject_cast<const QToolButton*>(button) && button->width() < button->minimumSizeHint().width())
            cut << QStringLiteral("button \"%1\" %2 < %3")
                       .arg(button->text().simplified())
                       .arg(button->width())
                       .arg(button->minimumSizeHint().width());
    }
    // The other fields of an employee show all their columns (a list of findings, whose
    // messages are long, may scroll them).
    for (const QTableView* table : window->findChildren<QTableView*>(QStringLiteral("fieldTable"))) {
        if (table->isVisibleTo(window) && table->horizontalScrollBar()->isVisible())
            cut << QStringLiteral("columns of %1").arg(table->objectName());
    }
    // Every item of a list, and every item of a combo box as it shows when chosen.
    for (const QListWidget* list : window->findChildren<QListWidget*>()) {
        if (!list->isVisibleTo(window))
            continue;
        for (int row = 0; row < list->count(); ++row) {
            const QListWidgetItem* item = list->item(row);
            const QRect rect = list->visualItemRect(item).adjusted(4, 0, -4, 0);
            const QRect needed = list->fontMetrics().boundingRect(
                QRect(0, 0, list->wordWrap() ? rect.width() : 100000, 100000), Qt::TextWordWrap, item->text());
            if (item->isHidden() || (needed.width() <= rect.width() && needed.height() <= rect.height()))
                continue;
            cut << QStringLiteral("item \"%1\" of %2").arg(item->text(), list->objectName());
        }
    }
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (!combo->isVisibleTo(window))
            continue;
        const auto* wrapping = dynamic_cast<const ui::WrappingComboBox*>(combo);
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QRect field = wrapping ? wrapping->textRect()
                                     : combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                      QStyle::SC_ComboBoxEditField, combo);
        for (int row = 0; row < combo->count(); ++row) {
            const QString text = combo->itemText(row);
            const QRect needed = wrapping ? combo->fontMetrics().boundingRect(field, wrapping->textFlags(), text)
                                          : combo->fontMetrics().boundingRect(text);
            if (needed.width() > field.width() || needed.height() > field.height())
                cut << QStringLiteral("item \"%1\" of %2").arg(text, combo->objectName());
        }
    }
    return cut;
}

// The window as shown fits the screen whole, status bar included, and cuts no text; below
// 150 % nothing of it needs scrolling either.
void verifyFits(QWidget* window, const char* what)
{
    window->show();
    QCoreApplication::processEvents();
    QVERIFY2(QTest::qWaitForWindowExposed(window), what);
    QCoreApplication::processEvents();
    const QSize shown = window->frameGeometry().size();
    const int width = static_cast<int>(std::ceil(shown.width() * scale()));
    const int height = static_cast<int>(std::ceil(shown.height() * scale()));
    qInfo("%s at %.4f: %dx%d device pixels (%dx%d), needs %dx%d", what, scale(), width, height, shown.width(),
          shown.height(), window->minimumSizeHint().width(), window->minimumSizeHint().height());
    QVERIFY2(width <= kScreenWidth, qPrintable(QStringLiteral("%1: %2 pixels wide").arg(QLatin1String(what)).arg(width)));
    QVERIFY2(height <= kScreenHeight - kTitleAndPanel,
             qPrintable(QStringLiteral("%1: %2 pixels high").arg(QLatin1String(what)).arg(height)));
    // A window smaller than its layout needs overlaps or cuts its controls.
    const QSize needed = window->minimumSizeHint();
    QVERIFY2(shown.width() >= needed.width() && shown.height() >= needed.height(),
             qPrintable(QStringLiteral("%1: shown %2x%3, needs %4x%5")
                            .arg(QLatin1String(what))
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(needed.width())
                            .arg(needed.height())));
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        const QStatusBar* status = main->statusBar();
        QVERIFY2(status->isVisible() && main->rect().contains(status->geometry()), what);
    }
    // A window's fields scroll down where the screen is too low for them, never sideways, and
    // not at all at 100 %.
    for (const QAbstractScrollArea* area : window->findChildren<QAbstractScrollArea*>()) {
        if (area->objectName() != QStringLiteral("windowScroll"))
            continue;
        QVERIFY2(!area->horizontalScrollBar()->isVisible(), qPrintable(QLatin1String(what) + QStringLiteral(" sideways")));
        QVERIFY2(scrollingAllowed() || !area->verticalScrollBar()->isVisible(), what);
    }
    const QStringList cut = cutTexts(window);
    QVERIFY2(cut.isEmpty(), qPrintable(QLatin1String(what) + QStringLiteral(": ") + cut.join(QStringLiteral("; "))));
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void createlAfterARunWithItsReport();
    void indittaWithACompanyChosen();
    void fDittaOnACompany();
    void parteb1OnAnEmployee();
    void theDialogsOfTheRegisters();
    void firstStartWithItsErrorLine();
    void theTextViewer();
    void theFindingsOfACheck();
};

void WindowFitTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The sizes are those of the fonts that the installation script puts on every machine,
    // whatever else the machine has: the desktop's usual 9 points, DejaVu Sans and, for the
    // fixed-width font the offscreen platform asks for as "monospace", DejaVu Sans Mono.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QFont::insertSubstitution(QStringLiteral("monospace"), QStringLiteral("DejaVu Sans Mono"));
    QVERIFY2(QFontInfo(QApplication::font()).family() == QStringLiteral("DejaVu Sans"),
             "the measurements need the DejaVu fonts (fonts-dejavu-core)");
    QVERIFY2(QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family()
                 == QStringLiteral("DejaVu Sans Mono"),
             "the measurements need the DejaVu fonts (fonts-dejavu-core)");
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The screen of 1280x800 device pixels, as many as the scale leaves whole.
    QVERIFY(std::abs(screen->geometry().width() * scale() - kScreenWidth) < scale());
    QVERIFY(std::abs(screen->geometry().height() * scale() - kScreenHeight) < scale());
    qInfo("scale %.4f, screen %dx%d", scale(), screen->geometry().width(), screen->geometry().height());
}

void WindowFitTest::createlAfterARunWithItsReport()
{
    Office office;
    cu::createl window(office.workplace);
    window.show();
    office.prompter.answer(true);
    QTest::mouseClick(control<QAbstractButton>(&window, QStringLiteral("Command5")), Qt::LeftButton);
    window.form().openArchive("1");
    // While the run works, its progress text and bar are in view whole, however small the
    // screen: never below the frames that scroll.
    QStringList hidden;
    const auto shownWhole = [&window](const QWidget* part) {
        return part->isVisible() && part->visibleRegion().boundingRect().size() == part->size()
            && window.rect().contains(QRect(part->mapTo(&window, QPoint(0, 0)), part->size()));
    };
    const auto advanced = window.form().advanced;
    window.form().advanced = [&](std::int64_t done, double total) {
        advanced(done, total);
        for (const char* name : {"Label17", "progressBar"}) {
            const auto* part = control<QWidget>(&window, QString::fromLatin1(name));
            if (!shownWhole(part) && !hidden.contains(QLatin1String(name)))
                hidden << QString::fromLatin1(name);
        }
    };
    QTest::mouseClick(control<QAbstractButton>(&window, QStringLiteral("Command2")), Qt::LeftButton);
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QStringLiteral(", "))));
    QVERIFY(window.isVisible());
    // Every frame shown again, with the status line of the run.
    QTest::keyClicks(control<QLineEdit>(&window, QStringLiteral("Tx_0")), QStringLiteral("1"));
    QTest::mouseClick(control<QAbstractButton>(&window, QStringLiteral("Command1")), Qt::LeftButton);
    verifyFits(&window, "createl");
}

void WindowFitTest::indittaWithACompanyChosen()
{
    Office office;
    office.shared.installation.drivePrefix = "C:";
    uniemens::inditta window(office.workplace);
    window.show();
    auto* month = control<QComboBox>(&window, QStringLiteral("combo1"));
    month->setCurrentIndex(3);
    QMetaObject::invokeMethod(month, "activated", Q_ARG(int, 3));
    auto* list = control<QListWidget>(&window, QStringLiteral("indit"));
    QVERIFY(list->count() > 0);
    list->setCurrentRow(list->count() - 1);
    verifyFits(&window, "inditta");
}

void WindowFitTest::fDittaOnACompany()
{
    Office office;
    registers::fDitta window(office.workplace, 9);
    control<QLineEdit>(&window, QStringLiteral("Tx_2"))->setFocus();
    verifyFits(&window, "fDitta");
}

void WindowFitTest::parteb1OnAnEmployee()
{
    Office office;
    registers::Parteb1 window(office.workplace, employeeFile(office));
    QVERIFY(!window.wantsToClose());
    verifyFits(&window, "Parteb1");
}

void WindowFitTest::theDialogsOfTheRegisters()
{
    Office office;
    records::showFailures(office.prompter,
                          registers::completeInstallation(office.shared.paths, office.shared.installation));

    registers::CodeListDialog lists;
    const payroll::CodeTables tables;
    lists.showList(registers::CodeList::Sector, payroll::sectorEntries(tables));
    verifyFits(&lists, "sector list");
    lists.showList(registers::CodeList::LegalForm, payroll::legalFormEntries(tables));
    verifyFits(&lists, "legal-form list");

    registers::Parteb1 employees(office.workplace, employeeFile(office));
    registers::EmployeeRecordView others(employees.form().otherFields(), QStringLiteral("Altri dati"));
    verifyFits(&others, "other fields");

    const registers::CompanyStore store(office.shared.paths, office.shared.installation);
    registers::CompanyChooser companies(store.choices(), office.shared.installation.dataDirectory);
    verifyFits(&companies, "company chooser");
    registers::EmployeeFileChooser files(registers::scanEmployeeFiles(office.shared.paths, office.shared.installation));
    verifyFits(&files, "employee file chooser");
}

void WindowFitTest::firstStartWithItsErrorLine()
{
    TempRoot base;
    std::filesystem::create_directories(base.path() / "altro");
    app::FirstStartDialog dialog(base.path() / "telematico");
    dialog.chooseFolder = [&] { return QString::fromStdString((base.path() / "altro").string()); };
    dialog.show();
    QTest::mouseClick(control<QPushButton>(&dialog, QStringLiteral("chooseFolder")), Qt::LeftButton);
    QVERIFY(control<QLabel>(&dialog, QStringLiteral("problem"))->isVisible());
    verifyFits(&dialog, "first start");
}

void WindowFitTest::theTextViewer()
{
    QString report;
    for (int line = 1; line <= 40; ++line)
        report += QStringLiteral("Riga %1 del report ").arg(line) + QString(60, QLatin1Char('-')) + QStringLiteral("\r\n");
    ui::TextFileViewer viewer(QStringLiteral("Creazione Telematico"), report);
    verifyFits(&viewer, "text viewer");
}

void WindowFitTest::theFindingsOfACheck()
{
    Office office;
    cu::createl window(office.workplace);
    window.form().openArchive("1");
    QCOMPARE(window.form().run().outcome, cu::telematic::RunOutcome::Completed);
    QPointer<check::FindingsWindow> findings
        = check::openFindingsWindow((office.root.path() / "c/nolv/nv770/2016/dati/TCU117").string());
    QTRY_VERIFY(findings->finished());
    verifyFits(findings, "findings");
    findings->close();
}

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
