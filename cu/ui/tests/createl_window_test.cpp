#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStatusBar>
#include <QToolButton>
#include <QProgressBar>
#include <QtTest>

#include "cu/telematic/questions.h"
#include "cu/ui/createl.h"
#include "cu/ui/tests/createl_desk.h"
#include "demo/demo_installation.h"
#include "records/file_chooser.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using cu::testing::Desk;


class CreatelWindowTest : public QObject {
    Q_OBJECT

private slots:
    void loadWithoutArchivesShowsTheInitialBoxes();
    void listShowsArchivesInNumberOrderAndPicksOne();
    void openingTrimsTheCodeAndRefusesBadOnes();
    void cancellationArchiveEnablesTheProtocolBoxes();
    void singleSupplyKeepsTheProtocolBoxesEnabled();
    void reportQuestionNoAfterYesClearsTheFlag();
    void typingLimitRefusesTypingButNeverCutsProgramTexts();
    void focusOnABoxShowsItsHelp();
    void runThatStopsKeepsTheWindowAndEndCloses();
    void completedRunLeavesAFreshlyLoadedWindow();
    void runWithReportShowsItAndKeepsTheWindowForTheNextRun();
    void enterOpensTheArchiveAndPressesTheFocusedButton();
    void typingReplacesACommitmentBoxOfBlanks();
    void theArchivesOwnCommitmentIsShownReadOnly();
    void aRunShowsHowFarItHasGot();
    void aStoppedRunClearsItsProgressText();
};

void CreatelWindowTest::loadWithoutArchivesShowsTheInitialBoxes()
{
    Desk desk;
    cu::createl& window = desk.load();
    QCOMPARE(window.windowTitle(), QStringLiteral("Seleziona CU 2016"));
    // The decree of the certification is of 1998.
    QCOMPARE(desk.control<QLabel>(QStringLiteral("titleLaw"))->text(),
             QStringLiteral("CERTIFICAZIONE DI CUI ALL'ART.4 COMMI 6-ter e 6-quater        DEL D.P.R. "
                            "22 LUGLIO 1998, n.322, RELATIVA ALL'ANNO"));
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("lista"))->count(), 0);
    QCOMPARE(desk.tx(5)->text(), QStringLiteral("C:\\nolv\\nv770\\2016\\dati\\"));
    QCOMPARE(desk.tx(1)->text(), QStringLiteral("N"));
    QCOMPARE(desk.tx(8)->text(), QString(17, QLatin1Char(' ')));
    QCOMPARE(desk.tx(10)->text(), QString(16, QLatin1Char(' ')));
    QVERIFY(desk.tx(11)->text().isEmpty());
    for (int i : {2, 3, 4, 7, 10, 11})
        QVERIFY2(!desk.tx(i)->isEnabled(), qPrintable(QStringLiteral("Tx_%1").arg(i)));
    QVERIFY(!desk.inputFrameShown());
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("Combo1"))->count(), 4);
    // The status line says what to do first; " FASE 3" has no archive yet to work on.
    QCOMPARE(desk.statusText(),
             QStringLiteral("Selezionare la CU dall'elenco oppure inserirne il codice, poi premere FASE 2 per aprirla"));
    QVERIFY(!desk.button("Command2")->isEnabled());
    QVERIFY(desk.prompter.shown.empty());
}

void CreatelWindowTest::listShowsArchivesInNumberOrderAndPicksOne()
{
    Desk desk;
    desk.addArchive(15, '0', "BIANCHI SPA");
    desk.addArchive(2);
    desk.load();
    auto* lista = desk.control<QComboBox>(QStringLiteral("lista"));
    QCOMPARE(lista->count(), 2);
    QCOMPARE(lista->itemText(0), QStringLiteral("2 ROSSI SRL-UFFICIO PAGHE"));
    QCOMPARE(lista->itemText(1), QStringLiteral("15 BIANCHI SPA-UFFICIO PAGHE"));

    desk.choose("lista", 1);
    QCOMPARE(desk.tx(0)->text(), QStringLiteral("15"));
    QCOMPARE(desk.tx(6)->text(), QStringLiteral("TCU1517"));
    QCOMPARE(lista->currentText(), QStringLiteral("15 BIANCHI SPA-UFFICIO PAGHE"));
    QCOMPARE(desk.statusText(), QStringLiteral("Selezionare la tipologia di trasmissione della CU"));
    QVERIFY(!desk.inputFrameShown());

    // Opening shows the frame; choosing again hides it until the archive is opened again.
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QVERIFY(desk.inputFrameShown());
    desk.choose("lista", 0);
    QVERIFY(!desk.inputFrameShown());
    QCOMPARE(desk.tx(0)->text(), QStringLiteral("2"));
}

void CreatelWindowTest::openingTrimsTheCodeAndRefusesBadOnes()
{
    Desk desk;
    desk.addArchive(3);
    desk.load();

    desk.typeCode(QStringLiteral("abc"));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QCOMPARE(desk.prompter.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(desk.prompter.last().text),
             QStringLiteral("Certificazione non ancora selezionata "));
    QCOMPARE(QString::fromStdString(desk.prompter.last().title), QStringLiteral("Accesso"));
    QVERIFY(desk.prompter.last().icon == records::Icon::Stop);
    QVERIFY(!desk.inputFrameShown());

    desk.typeCode(QStringLiteral(" 3 "));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QCOMPARE(desk.prompter.shown.size(), std::size_t{1});
    QVERIFY(desk.inputFrameShown());
    QCOMPARE(desk.tx(6)->text(), QStringLiteral("TCU317"));
    QCOMPARE(desk.tx(7)->text(), QStringLiteral("TRMNTN70A01F205X"));
    QCOMPARE(desk.tx(9)->text(), QStringLiteral("15022017"));
    QCOMPARE(desk.tx(11)->text(), QStringLiteral("paghe@studiorossi.it").leftJustified(45));
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("lista"))->currentText(),
             QStringLiteral("3 ROSSI SRL-UFFICIO PAGHE"));

    // The number is used as typed: "003" names FCU003.017, which does not exist. The frame
    // stays visible, without the data of archive 3 opened before.
    desk.typeCode(QStringLiteral("003"));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(desk.prompter.last().text), QStringLiteral("Archivio inesistente "));
    QVERIFY(desk.inputFrameShown());
    QVERIFY(desk.tx(6)->text().isEmpty());
    QVERIFY(desk.tx(7)->text().isEmpty());
    QCOMPARE(desk.tx(8)->text(), QString(17, QLatin1Char(' ')));
    QCOMPARE(desk.tx(9)->text(), QString(17, QLatin1Char(' ')));
    QVERIFY(!desk.tx(8)->isReadOnly() && !desk.tx(9)->isReadOnly());
    QCOMPARE(desk.tx(10)->text(), QString(16, QLatin1Char(' ')));
    QVERIFY(desk.tx(11)->text().isEmpty());
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("lista"))->currentIndex(), -1);
}

void CreatelWindowTest::cancellationArchiveEnablesTheProtocolBoxes()
{
    Desk desk;
    desk.addArchive(1, '1');
    desk.addArchive(4, '0');
    desk.load();
    desk.typeCode(QStringLiteral("1"));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QCOMPARE(desk.tx(1)->text(), QStringLiteral("A"));
    for (int i : {2, 3, 4})
        QVERIFY(desk.tx(i)->isEnabled());

    // A normal archive opened afterwards disables them again.
    desk.typeCode(QStringLiteral("4"));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QCOMPARE(desk.tx(1)->text(), QStringLiteral("N"));
    for (int i : {2, 3, 4})
        QVERIFY(!desk.tx(i)->isEnabled());
}

void CreatelWindowTest::singleSupplyKeepsTheProtocolBoxesEnabled()
{
    Desk desk;
    desk.addArchive(1);
    cu::createl& window = desk.load();
    desk.choose("lista", 0);
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);

    desk.choose("Combo1", 3);
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("Combo1"))->currentText(), QStringLiteral("T=Normale SINGOLA"));
    QCOMPARE(desk.tx(1)->text(), QStringLiteral("N"));
    for (int i : {2, 3, 4})
        QVERIFY(desk.tx(i)->isEnabled());

    desk.choose("Combo1", 0);
    QCOMPARE(desk.tx(1)->text(), QStringLiteral("N"));
    for (int i : {2, 3, 4})
        QVERIFY(desk.tx(i)->isEnabled());
    QVERIFY(window.form().singleEmployee);

    // Reopening the archive keeps them enabled while the single-employee flag is set.
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QVERIFY(desk.tx(2)->isEnabled());

    // What the operator types reaches the form that the writer reads.
    QTest::keyClicks(desk.tx(4), QStringLiteral("12"));
    QCOMPARE(window.form().employeeRecord.text, std::string("12"));
}

void CreatelWindowTest::reportQuestionNoAfterYesClearsTheFlag()
{
    Desk desk;
    cu::createl& window = desk.load();
    desk.prompter.answer(true);
    QTest::mouseClick(desk.button("Command5"), Qt::LeftButton);
    QVERIFY(window.form().reportWanted);
    QCOMPARE(QString::fromStdString(desk.prompter.last().text),
             QStringLiteral("Vuoi creare un report della memorizzazione del file ?"));
    QVERIFY(desk.prompter.last().title.empty());
    QVERIFY(desk.prompter.last().question);

    desk.prompter.answer(false);
    QTest::mouseClick(desk.button("Command5"), Qt::LeftButton);
    QVERIFY(!window.form().reportWanted);
}

void CreatelWindowTest::typingLimitRefusesTypingButNeverCutsProgramTexts()
{
    Desk desk;
    cu::createl& window = desk.load();
    // An archive that does not exist shows the frame with the boxes as loaded: the
    // commitment type (one character typed) and date (eight) hold 17 blanks.
    desk.typeCode(QStringLiteral("7"));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    QVERIFY(desk.inputFrameShown());
    QLineEdit* type = desk.tx(8);
    QCOMPARE(type->text(), QString(17, QLatin1Char(' ')));
    QCOMPARE(desk.tx(9)->text(), QString(17, QLatin1Char(' ')));

    type->end(false);
    QTest::keyClicks(type, QStringLiteral("2"));
    QCOMPARE(type->text(), QString(17, QLatin1Char(' ')));
    type->selectAll();
    QTest::keyClicks(type, QStringLiteral("21"));
    QCOMPARE(type->text(), QStringLiteral("2"));
    QCOMPARE(window.form().commitmentType.text, std::string("2"));

    // Deleting inside a text longer than the limit is allowed.
    desk.tx(9)->end(false);
    QTest::keyClick(desk.tx(9), Qt::Key_Backspace);
    QCOMPARE(desk.tx(9)->text(), QString(16, QLatin1Char(' ')));

    // The protocol identifier takes 17 characters typed, no more.
    desk.choose("Combo1", 1);
    QTest::keyClicks(desk.tx(2), QStringLiteral("17020812345678901XYZ"));
    QCOMPARE(desk.tx(2)->text(), QStringLiteral("17020812345678901"));
    QCOMPARE(window.form().protocolId.text, std::string("17020812345678901"));
}

void CreatelWindowTest::focusOnABoxShowsItsHelp()
{
    Desk desk;
    cu::createl& window = desk.load();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    desk.tx(0)->setFocus();
    QCOMPARE(desk.statusText(), QStringLiteral("Inserire il codice della CU"));
    window.showHelp(99);
    QCOMPARE(desk.statusText(), QStringLiteral("Inserire il codice della CU"));
    window.showHelp(8);
    QCOMPARE(desk.statusText(), QStringLiteral("1=Dichiarazione predisposta dal Sostituto, 2=Da chi effettua l'invio"));
}

void CreatelWindowTest::runThatStopsKeepsTheWindowAndEndCloses()
{
    Desk desk;
    cu::createl& window = desk.load();
    QTest::mouseClick(desk.button("Command2"), Qt::LeftButton);
    QVERIFY(window.isVisible());
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        windows += qobject_cast<cu::createl*>(top) && top->isVisible() ? 1 : 0;
    QCOMPARE(windows, 1);

    QTest::mouseClick(desk.button("Command3"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void CreatelWindowTest::completedRunLeavesAFreshlyLoadedWindow()
{
    Desk desk;
    demo::writeDemoInstallation(desk.root.path());
    cu::createl& window = desk.load();
    desk.choose("lista", 0);
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);
    desk.choose("Combo1", 0);
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("Combo1"))->currentText(), QStringLiteral("N=Normale"));

    QTest::mouseClick(desk.button("Command2"), Qt::LeftButton);
    QVERIFY(std::filesystem::exists(desk.root.path() / "c/nolv/nv770/2016/dati/TCU117"));
    QVERIFY(window.isVisible());
    QVERIFY(!desk.inputFrameShown());
    QVERIFY(desk.tx(0)->text().isEmpty());
    QVERIFY(desk.tx(6)->text().isEmpty());
    QVERIFY(!desk.tx(2)->isEnabled());
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("Combo1"))->currentIndex(), -1);
    QCOMPARE(desk.control<QComboBox>(QStringLiteral("lista"))->currentIndex(), -1);
    QVERIFY(desk.control<QLabel>(QStringLiteral("Label17"))->text().isEmpty());
    QVERIFY(desk.launcher.shownFiles.empty());
    // The status line says where the file went.
    const QString written = QString::fromStdString((desk.root.path() / "c/nolv/nv770/2016/dati/TCU117").string());
    QCOMPARE(desk.statusText(), QStringLiteral("File telematico creato: ") + written);
}

void CreatelWindowTest::runWithReportShowsItAndKeepsTheWindowForTheNextRun()
{
    Desk desk;
    demo::writeDemoInstallation(desk.root.path());
    cu::createl& window = desk.load();
    std::vector<std::string> checked;
    records::NoFileChooser chooser;
    window.setFileCheck([&](const std::string& hostPath) { checked.push_back(hostPath); }, &chooser);
    desk.prompter.answer(true);
    QTest::mouseClick(desk.button("Command5"), Qt::LeftButton);
    desk.typeCode(QStringLiteral("1"));
    QTest::mouseClick(desk.button("Command1"), Qt::LeftButton);

    desk.prompter.answer(true); // "Verificare il file adesso ?"
    QTest::mouseClick(desk.button("Command2"), Qt::LeftButton);
    const std::filesystem::path data = desk.root.path() / "c/nolv/nv770/2016/dati";
    QCOMPARE(desk.launcher.shownFiles, std::vector<std::string>{(data / "report.txt").string()});
    // The file just written is offered for its check, after a run with its report as after one
    // without.
    QVERIFY(desk.prompter.last().asked == records::Question::CheckFileNow);
    QCOMPARE(checked, std::vector<std::string>{(data / "TCU117").string()});
    // The clerk is back in a freshly loaded window whose status line names both files.
    QVERIFY(window.isVisible());
    QVERIFY(!desk.inputFrameShown());
    QVERIFY(desk.tx(0)->text().isEmpty());
    QVERIFY(!window.form().reportWanted);
    QCOMPARE(desk.statusText(), QStringLiteral("File telematico creato: %1; report: %2")
                                    .arg(QString::fromStdString((data / "TCU117").string()),
                                         QString::fromStdString((data / "report.txt").string())));
}

void CreatelWindowTest::enterOpensTheArchiveAndPressesTheFocusedButton()
{
    Desk desk;
    desk.addArchive(3);
    desk.addArchive(5, '0', "BIANCHI SPA");
    desk.load();
    // Enter on "Certificazione" opens the archive chosen there.
    auto* lista = desk.control<QComboBox>(QStringLiteral("lista"));
    lista->setFocus();
    QTest::keyClick(lista, Qt::Key_Down);
    QCOMPARE(lista->currentIndex(), 0);
    QTest::keyClick(lista, Qt::Key_Return);
    QVERIFY(desk.inputFrameShown());
    QCOMPARE(desk.tx(0)->text(), QStringLiteral("3"));
    QCOMPARE(desk.tx(6)->text(), QStringLiteral("TCU317"));
    QTest::keyClick(lista, Qt::Key_Down);
    QTest::keyClick(lista, Qt::Key_Enter);
    QCOMPARE(desk.tx(0)->text(), QStringLiteral("5"));
    QCOMPARE(desk.tx(6)->text(), QStringLiteral("TCU517"));
    QVERIFY(desk.inputFrameShown());
    QVERIFY(desk.prompter.shown.empty());

    desk.typeCode(QStringLiteral("3"));
    QTest::keyClick(desk.tx(0), Qt::Key_Return);
    QVERIFY(desk.inputFrameShown());
    QCOMPARE(desk.tx(6)->text(), QStringLiteral("TCU317"));

    // Enter on the focused "FASE 1" button asks the report question, as Space would.
    desk.prompter.answer(true);
    desk.button("Command5")->setFocus();
    QTest::keyClick(desk.button("Command5"), Qt::Key_Enter);
    QCOMPARE(desk.prompter.last().text, std::string("Vuoi creare un report della memorizzazione del file ?"));
    QVERIFY(desk.prompter.last().asked == cu::telematic::kReportWanted);
}

void CreatelWindowTest::typingReplacesACommitmentBoxOfBlanks()
{
    Desk desk;
    demo::writeDemoInstallation(desk.root.path());
    desk.load();
    desk.typeCode(QStringLiteral("2")); // the bar has not stated its commitment
    desk.click("Command1");
    QCOMPARE(desk.tx(8)->text(), QStringLiteral(" "));
    QCOMPARE(desk.tx(9)->text(), QString(8, QLatin1Char(' ')));

    QTest::mouseClick(desk.tx(8), Qt::LeftButton, {}, QPoint(desk.tx(8)->width() - 5, desk.tx(8)->height() / 2));
    QTRY_VERIFY(desk.tx(8)->hasSelectedText());
    QTest::keyClicks(desk.tx(8), QStringLiteral("1"));
    QCOMPARE(desk.tx(8)->text(), QStringLiteral("1"));
    QTest::keyClick(desk.tx(8), Qt::Key_Tab);
    QTRY_VERIFY(desk.tx(9)->hasFocus());
    QTest::keyClicks(desk.tx(9), QStringLiteral("28022017"));
    QCOMPARE(desk.tx(9)->text(), QStringLiteral("28022017"));
    QCOMPARE(desk.window->form().commitmentDate.text, std::string("28022017"));

    desk.click("Command2");
    QVERIFY(std::filesystem::exists(desk.root.path() / "c/nolv/nv770/2016/dati/TCU217"));
}

void CreatelWindowTest::theArchivesOwnCommitmentIsShownReadOnly()
{
    Desk desk;
    demo::writeDemoInstallation(desk.root.path());
    // Archive 1 states its commitment: 2 of 27 February 2017. What the operator would type
    // into its boxes is never used, so the boxes take no typing.
    desk.load();
    desk.typeCode(QStringLiteral("1"));
    desk.click("Command1");
    for (int i : {8, 9}) {
        QLineEdit* box = desk.tx(i);
        QVERIFY(box->isEnabled());
        QVERIFY(box->isReadOnly());
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("1"));
    }
    QCOMPARE(desk.tx(8)->text(), QStringLiteral("2"));
    QCOMPARE(desk.tx(9)->text(), QStringLiteral("27022017"));
    QCOMPARE(desk.window->form().commitmentDate.text, std::string("27022017"));

    // Half a commitment: the archive gives the type only, the date is typed.
    desk.patch("c/nolv/nv770/2016/dati/FCU1.017", 224, "00000000");
    desk.typeCode(QStringLiteral("1"));
    desk.click("Command1");
    QVERIFY(desk.tx(8)->isReadOnly());
    QVERIFY(!desk.tx(9)->isReadOnly());

    // An archive that states none: both boxes are the operator's.
    desk.typeCode(QStringLiteral("2"));
    desk.click("Command1");
    QVERIFY(!desk.tx(8)->isReadOnly());
    QVERIFY(!desk.tx(9)->isReadOnly());
}

void CreatelWindowTest::aRunShowsHowFarItHasGot()
{
    Desk desk;
    demo::writeDemoInstallation(desk.root.path());
    // Archive 1 grown to 300 employees: its first record again and again.
    const std::string data = "c/nolv/nv770/2016/dati/";
    const std::string employee = desk.root.read(data + "DCU1.017").substr(0, 6000);
    std::string archive;
    for (int k = 0; k < 300; ++k)
        archive += employee;
    desk.root.write(data + "DCU1.017", archive);
    desk.patch(data + "FCU1.017", 1200 + 3, " 300");
    desk.load();

    auto* bar = desk.control<QProgressBar>(QStringLiteral("progressBar"));
    QVERIFY(!bar->isVisible());
    std::vector<int> values;
    int maximum = 0;
    bool shownDuringRun = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        maximum = bar->maximum();
        shownDuringRun = shownDuringRun || bar->isVisible();
    });
    desk.typeCode(QStringLiteral("1"));
    desk.click("Command1");
    desk.click("Command2");

    QVERIFY(std::filesystem::exists(desk.root.path() / (data + "TCU117")));
    QCOMPARE(maximum, 300);
    QVERIFY(shownDuringRun);
    QVERIFY(!values.empty());
    QCOMPARE(values.back(), 300);
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QCOMPARE(bar->format(), QStringLiteral("%v di %m"));
    QVERIFY(!bar->isVisible());
}

void CreatelWindowTest::aStoppedRunClearsItsProgressText()
{
    Desk desk;
    demo::writeDemoInstallation(desk.root.path());
    std::filesystem::remove(desk.root.path() / "c/nolv/nv770/2016/dati/DCU1.017");
    desk.load();
    desk.typeCode(QStringLiteral("1"));
    desk.click("Command1");
    QString shownDuringRun;
    auto* label = desk.control<QLabel>(QStringLiteral("Label17"));
    desk.prompter.onMessage = [&] { shownDuringRun = label->text(); };
    desk.click("Command2");
    QCOMPARE(desk.prompter.last().text, std::string("Archivio Dipendenti inesistente "));
    QVERIFY(shownDuringRun.startsWith(QStringLiteral("Memorizzazione in corso......della CU di ")));
    QVERIFY(label->text().isEmpty());
}

QTEST_MAIN(CreatelWindowTest)
#include "createl_window_test.moc"
