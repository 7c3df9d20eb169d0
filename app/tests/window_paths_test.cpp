#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "app/windows.h"
#include "demo/demo_installation.h"
#include "registers/questions.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"
#include "ui/window_list.h"

using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

// The demo installation with the program's list of windows over it, as the program makes it.
struct Program {
    TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues values{root.path()};
    ui::WindowList windows;

    Program()
    {
        demo::writeDemoInstallation(root.path());
        app::addProgramWindows(windows, values.workplace(prompter, launcher));
        // The program starts with createl, which reads the drive file.
        windows.open(QStringLiteral("createl"));
    }
    ~Program()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

// The visible top-level window of that name opened last, or null.
QWidget* shownWindow(const QString& name)
{
    QWidget* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            found = window;
    }
    return found;
}

template <typename Control> Control* control(QWidget* window, const QString& name)
{
    auto* found = window->findChild<Control*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

void click(QWidget* window, const char* button)
{
    QTest::mouseClick(control<QAbstractButton>(window, QString::fromLatin1(button)), Qt::LeftButton);
}

// Chooses month `month` (1 to 12) and company `code` in inditta.
void chooseCompany(QWidget* inditta, int month, const QString& code)
{
    auto* months = control<QComboBox>(inditta, QStringLiteral("combo1"));
    months->setCurrentIndex(month - 1);
    QMetaObject::invokeMethod(months, "activated", Q_ARG(int, month - 1));
    auto* companies = control<QListWidget>(inditta, QStringLiteral("indit"));
    for (int row = 0; row < companies->count(); ++row) {
        if (companies->item(row)->text().startsWith(code + QLatin1Char(' ')))
            companies->setCurrentRow(row);
    }
    QVERIFY(!companies->selectedItems().isEmpty());
}

// Answers the choice of company and month that opens the employee register: the employee
// file whose line starts with `starts`.
void chooseEmployeeFileOnceAsked(const QString& starts)
{
    QTimer::singleShot(0, [starts] {
        QWidget* chooser = QApplication::activeModalWidget();
        QVERIFY(chooser && chooser->objectName() == QStringLiteral("employeeFileChooser"));
        auto* files = control<QListWidget>(chooser, QStringLiteral("fileList"));
        for (int row = 0; row < files->count(); ++row) {
            if (files->item(row)->text().startsWith(starts))
                files->setCurrentRow(row);
        }
        QVERIFY(files->currentRow() >= 0);
        click(chooser, "Open");
    });
}

} // namespace

class WindowPathsTest : public QObject {
    Q_OBJECT

private slots:
    void parteb1ShowsTheCompanyChosenByEveryPathAfterADeclaration();

private:
    // Parteb1 on company 001's employees of March 2016: records 1 (FERRARI), 2 (ROMANO), 3
    // (COLOMBO, who left: not in the list) and 4 (RICCI); moves through them and leaves edits
    // only after the question.
    void browseCompany001(Program& program, QWidget* window);
};

void WindowPathsTest::browseCompany001(Program& program, QWidget* window)
{
    QVERIFY(window);
    QCOMPARE(control<QLineEdit>(window, QStringLiteral("Tx0"))->text(), QStringLiteral("001"));
    auto* employees = control<QComboBox>(window, QStringLiteral("lista"));
    QCOMPARE(employees->count(), 3);
    QCOMPARE(employees->itemText(0), QStringLiteral("1 FERRARI LUCA"));
    QCOMPARE(employees->itemText(2), QStringLiteral("4 RICCI ELENA"));
    auto* record = control<QLineEdit>(window, QStringLiteral("reco"));
    auto* surname = control<QLineEdit>(window, QStringLiteral("Tx_2"));
    QCOMPARE(record->text(), QStringLiteral("1"));
    QCOMPARE(surname->text().trimmed(), QStringLiteral("FERRARI"));

    click(window, "Command6"); // "Successivo"
    QCOMPARE(record->text(), QStringLiteral("2"));
    QCOMPARE(surname->text().trimmed(), QStringLiteral("ROMANO"));
    click(window, "Command6");
    click(window, "Command6");
    QCOMPARE(record->text(), QStringLiteral("4"));
    QCOMPARE(surname->text().trimmed(), QStringLiteral("RICCI"));
    click(window, "Command7"); // "Precedente"
    QCOMPARE(record->text(), QStringLiteral("3"));
    QCOMPARE(surname->text().trimmed(), QStringLiteral("COLOMBO"));
    QVERIFY(program.prompter.shown.empty());

    // An edit is never dropped without the question: Annulla stays, No goes on without it.
    surname->setFocus();
    surname->selectAll();
    QTest::keyClicks(surname, QStringLiteral("X"));
    program.prompter.answer(records::Answer::Cancel);
    click(window, "Command7");
    QCOMPARE(program.prompter.shown.size(), std::size_t{1});
    QVERIFY(program.prompter.last().asked == registers::kSaveEdits);
    QCOMPARE(record->text(), QStringLiteral("3"));
    program.prompter.answer(records::Answer::No);
    click(window, "Command7");
    QCOMPARE(program.prompter.shown.size(), std::size_t{2});
    QCOMPARE(record->text(), QStringLiteral("2"));
    QCOMPARE(surname->text().trimmed(), QStringLiteral("ROMANO"));
    program.prompter.shown.clear();
    window->close();
}

void WindowPathsTest::parteb1ShowsTheCompanyChosenByEveryPathAfterADeclaration()
{
    Program program;
    QWidget* createl = shownWindow(QStringLiteral("createl"));
    QVERIFY(createl);
    const auto menu = [&](const char* window) {
        control<QAction>(createl, QStringLiteral("open_") + QString::fromLatin1(window))->trigger();
    };

    // "Crea file" for company 002 of March: the file is stored and inditta closes.
    menu("inditta");
    QPointer<QWidget> inditta = shownWindow(QStringLiteral("inditta"));
    QVERIFY(inditta);
    chooseCompany(inditta, 3, QStringLiteral("002"));
    program.prompter.answer(false); // "Inserisci altra Ditta ?"
    program.prompter.answer(false); // "Verificare il file adesso ?"
    click(inditta, "Command1");
    QTRY_VERIFY(!inditta || !inditta->isVisible());
    QVERIFY(std::filesystem::exists(program.root.path()
                                    / "c/Program Files/INPS/INPS uniEmens individuale/fp0020316.xml"));
    program.prompter.shown.clear();

    // From the menu of createl: the company and month are asked for, never taken from the
    // declaration just made.
    chooseEmployeeFileOnceAsked(QStringLiteral("001"));
    menu("Parteb1");
    browseCompany001(program, shownWindow(QStringLiteral("Parteb1")));

    // By name, as "--window Parteb1" opens it.
    chooseEmployeeFileOnceAsked(QStringLiteral("001"));
    QVERIFY(program.windows.open(QStringLiteral("Parteb1")));
    browseCompany001(program, shownWindow(QStringLiteral("Parteb1")));

    // From inditta, " Modifica/Visualizza  Dati " on the company chosen there.
    menu("inditta");
    inditta = shownWindow(QStringLiteral("inditta"));
    QVERIFY(inditta);
    chooseCompany(inditta, 3, QStringLiteral("001"));
    click(inditta, "Option2");
    click(inditta, "Command1");
    browseCompany001(program, shownWindow(QStringLiteral("Parteb1")));
    inditta->close();
}

QTEST_MAIN(WindowPathsTest)
#include "window_paths_test.moc"
