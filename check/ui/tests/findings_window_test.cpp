#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <fstream>

#include "check/tests/check_test_support.h"
#include "check/ui/findings_window.h"
#include "cu/ui/createl.h"
#include "ui/text_viewer.h"
#include "uniemens/ui/inditta.h"

using check::FindingsWindow;
using check::testing::Office;
using records::testing::TempRoot;

namespace {

// A file chooser that answers with the file the test names, and remembers what it was asked.
class ChosenFile : public records::FileChooser {
public:
    std::string chooseFile(std::string_view title, std::string_view fileName, std::string_view filter,
                           const std::string& hostFolder) override
    {
        asked = {std::string(title), std::string(fileName), std::string(filter), hostFolder};
        return answer;
    }
    std::string answer;
    std::vector<std::string> asked;
};

std::string damaged(const std::string& file, const std::function<void(std::string&)>& damage)
{
    std::string bytes = TempRoot::readFile(file);
    damage(bytes);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return file;
}

// The columns of the list: level, record or line, position, field or element, person, message.
enum { Level, Place, Position, Element, Person, Message };

// A cell as the clerk reads it (element paths may break after each "/").
QString cell(const FindingsWindow& window, int row, int column)
{
    const auto* list = window.findChild<QTableView*>(QStringLiteral("findingsList"));
    return list->model()->data(list->model()->index(row, column)).toString().remove(QChar(0x200B));
}

QString label(const QWidget& window, const char* name)
{
    return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

// Double-clicks row `row` of the list, as the clerk does; the viewer it opened.
ui::TextFileViewer* doubleClick(FindingsWindow& window, int row)
{
    auto* list = window.findChild<QTableView*>(QStringLiteral("findingsList"));
    const QRect rect = list->visualRect(list->model()->index(row, Message));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    const auto viewers = window.findChildren<ui::TextFileViewer*>();
    return viewers.isEmpty() ? nullptr : viewers.back();
}

QString highlightedLine(const ui::TextFileViewer& viewer)
{
    const auto selections = viewer.textView()->extraSelections();
    return selections.isEmpty() ? QString() : selections.front().cursor.block().text();
}

} // namespace

class FindingsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theListShowsEveryFindingWithItsPlaceAndTheVerdict();
    void aDoubleClickShowsThePlaceInTheRecord();
    void aDoubleClickShowsTheLineOfAnXmlFile();
    void enterShowsThePlaceAndEscCloses();
    void longMessagesWrapWithinTheirRow();
    void thePersonStaysInSightAtAnyWidth();
    void theFindingsAreSavedAsTextAndShownForPrinting();
    void aFileDamagedAllThroughListsItsFirstFindingsAndCountsTheOthersByRule();
    void aCleanFileIsReadyToBeSentAndAMissingOneSaysWhy();
    void createlOffersTheCheckAfterARunAndChecksAChosenFile();
    void indittaOffersTheCheckOfTheStoredFile();
    void withoutTheCheckTheWindowsNeitherOfferNorEnableIt();
};

void FindingsWindowTest::theListShowsEveryFindingWithItsPlaceAndTheVerdict()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(1, ordinary), [](std::string& b) {
        b[3 * 1900 + 458] = 'e';  // record 4, position 459: a lower-case letter in the surname
        b[11 * 1900 + 41] = '5';  // record Z counts 5 records D
    });
    FindingsWindow window(file);
    window.show();
    QTRY_VERIFY(window.finished());

    QCOMPARE(window.findChild<QTableView*>(QStringLiteral("findingsList"))->model()->rowCount(), 2);
    const QStringList first = {cell(window, 0, Level),   cell(window, 0, Place),  cell(window, 0, Position),
                               cell(window, 0, Element), cell(window, 0, Person), cell(window, 0, Message)};
    QCOMPARE(first, (QStringList{QStringLiteral("BLOCCANTE"), QStringLiteral("4"), QStringLiteral("459"),
                                 QStringLiteral("DA002002"), QStringLiteral("FRRLCU78E14L219A FeRRARI LUCA"),
                                 QStringLiteral("Lettera minuscola 'e' in posizione 459: i dati del file telematico si "
                                                "scrivono in maiuscolo")}));
    QCOMPARE(cell(window, 1, Place), QStringLiteral("12"));
    QCOMPARE(cell(window, 1, Element), QString());
    QCOMPARE(cell(window, 1, Person), QString()); // record Z belongs to nobody
    QCOMPARE(label(window, "verdictLabel"), QStringLiteral("2 errori bloccanti: il file sarebbe scartato"));
    QVERIFY(label(window, "countsLabel").startsWith(QStringLiteral("2 bloccanti, 0 avvisi")));
    QCOMPARE(label(window, "kindLabel"), QStringLiteral("File telematico della Certificazione Unica 2017"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Verifica file - TCU117"));
}

void FindingsWindowTest::aDoubleClickShowsThePlaceInTheRecord()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(1, ordinary), [](std::string& b) {
        b[3 * 1900 + 458] = 'e';
        b[11 * 1900 + 41] = '5';
    });
    FindingsWindow window(file);
    window.show();
    QTRY_VERIFY(window.finished());

    // The element: its line, and in it the character of position 459 that the finding names.
    ui::TextFileViewer* viewer = doubleClick(window, 0);
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Record 4 (D) di TCU117"));
    QCOMPARE(highlightedLine(*viewer), QStringLiteral("450        DA002002 FeRRARI         "));
    QCOMPARE(viewer->textView()->textCursor().selectedText(), QStringLiteral("e"));
    QCOMPARE(viewer->textView()->textCursor().selectionStart() - viewer->textView()->textCursor().block().position(),
             21); // "450" padded to 11, the code and a blank, then "F"
    QVERIFY(viewer->textView()->toPlainText().contains(QStringLiteral("26-41      Codice fiscale del percipiente")));

    // A positional field of record Z: its line, with positions, name and value.
    viewer = doubleClick(window, 1);
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Record 12 (Z) di TCU117"));
    QVERIFY2(highlightedLine(*viewer).startsWith(QStringLiteral("34-42      Numero record di tipo D")),
             qPrintable(highlightedLine(*viewer)));
    QCOMPARE(viewer->textView()->textCursor().selectedText(), QStringLiteral("000000005"));
}

void FindingsWindowTest::aDoubleClickShowsTheLineOfAnXmlFile()
{
    Office office;
    const std::string file = damaged(office.uniemensSeries(3, {"001"}), [](std::string& b) {
        b.replace(b.find("<NumDenIndiv>3<"), 15, "<NumDenIndiv>4<");
    });
    FindingsWindow window(file);
    window.show();
    QTRY_VERIFY(window.finished());
    QCOMPARE(cell(window, 0, Place), QStringLiteral("188"));
    QCOMPARE(cell(window, 0, Element),
             QStringLiteral("DenunceMensili/Azienda/PosContributiva/DenunciaAziendale/DatiQuadraturaRetrContr/NumDenIndiv"));
    QCOMPARE(label(window, "kindLabel"), QStringLiteral("Denuncia mensile UniEmens"));

    ui::TextFileViewer* viewer = doubleClick(window, 0);
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Riga 188 di fc0010316.xml"));
    QCOMPARE(highlightedLine(*viewer), QStringLiteral("    188 | <NumDenIndiv>4</NumDenIndiv>"));
    QCOMPARE(viewer->textView()->textCursor().selectedText(), QStringLiteral("<NumDenIndiv>4</NumDenIndiv>"));
    // Twelve lines before, and the seven up to the end of the file (195 lines).
    QCOMPARE(viewer->textView()->document()->blockCount(), 20 + 1);
}

void FindingsWindowTest::enterShowsThePlaceAndEscCloses()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(1, ordinary), [](std::string& b) {
        b.replace(6 * 1900 + 289, 16, "              19"); // Romano's record G: a deduction code 19
    });
    auto* window = new FindingsWindow(file);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FindingsWindow> alive(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTRY_VERIFY(window->finished());
    QCOMPARE(cell(*window, 0, Person), QStringLiteral("RMNGPP69S02G273A ROMANO GIUSEPPE"));

    auto* list = window->findChild<QTableView*>(QStringLiteral("findingsList"));
    QVERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Return);
    const auto viewers = window->findChildren<ui::TextFileViewer*>();
    QCOMPARE(viewers.size(), 1);
    QCOMPARE(viewers.front()->windowTitle(), QStringLiteral("Record 7 (G) di TCU117"));
    QCOMPARE(viewers.front()->textView()->textCursor().selectedText(), QStringLiteral("              19"));
    viewers.front()->close();

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(list, Qt::Key_Escape);
    QTRY_VERIFY(!alive);
}

// A message longer than its column is wrapped onto further lines of its row, whose height
// holds them all: nothing of it is cut, at any width the window takes.
void FindingsWindowTest::longMessagesWrapWithinTheirRow()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(1, ordinary), [](std::string& b) {
        b.replace(1 * 1900 + 309, 16, "08534210011     "); // a company as representative: a long message
    });
    FindingsWindow window(file);
    window.show();
    QTRY_VERIFY(window.finished());
    auto* list = window.findChild<QTableView*>(QStringLiteral("findingsList"));
    for (const int width : {1100, 700}) {
        window.resize(width, window.height());
        QTRY_COMPARE(window.width(), width);
        QApplication::processEvents();
        const int columnWidth = list->columnWidth(Message);
        const QString message = cell(window, 0, Message);
        const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, columnWidth - 8, 10000),
                                                              Qt::TextWordWrap, message);
        QVERIFY2(needed.height() > list->fontMetrics().lineSpacing(), "the message fits one line: no wrap to see");
        QVERIFY2(list->rowHeight(0) >= needed.height(),
                 qPrintable(QStringLiteral("row %1 high, message %2").arg(list->rowHeight(0)).arg(needed.height())));
    }
}

// Where the list has room, the person has a column of its own; where it has not (a narrow
// window, large type), the person goes on the first line of the message.
void FindingsWindowTest::thePersonStaysInSightAtAnyWidth()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(1, ordinary), [](std::string& b) {
        b.replace(6 * 1900 + 289, 16, "              19"); // Romano's record G: a deduction code 19
    });
    FindingsWindow window(file);
    window.show();
    QTRY_VERIFY(window.finished());
    auto* list = window.findChild<QTableView*>(QStringLiteral("findingsList"));
    const QString message = QStringLiteral("Codice onere detraibile '              19' sconosciuto: codici ammessi da 1 "
                                           "a 18, da 20 a 33, 35, 36, 37, 41, 42, 99 (codici dell'elenco dei campi CU "
                                           "2017 di un altro programma)");
    window.resize(1200, window.height());
    QTRY_VERIFY(!list->isColumnHidden(Person));
    QCOMPARE(cell(window, 0, Person), QStringLiteral("RMNGPP69S02G273A ROMANO GIUSEPPE"));
    QCOMPARE(cell(window, 0, Message), message);

    window.resize(560, window.height());
    QTRY_VERIFY(list->isColumnHidden(Person));
    QCOMPARE(cell(window, 0, Message), QStringLiteral("RMNGPP69S02G273A ROMANO GIUSEPPE\n") + message);
}

void FindingsWindowTest::theFindingsAreSavedAsTextAndShownForPrinting()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(7, ordinary), [](std::string& b) {
        b.replace(3 * 1900 + 649, 16, "          150,00"); // a percentage above 100
    });
    FindingsWindow window(file);
    QTRY_VERIFY(window.finished());
    const std::string expected = "BLOCCANTE record 4 posizione 650 elemento DB602A07 persona DRSSVT75C05F839P DE ROSA "
                                 "SALVATORE: Percentuale di detrazione spettante '          150,00' oltre il 100 per "
                                 "cento\r\n"
                                 "Verificato " + file + ": 1 bloccanti, 0 avvisi\r\n";
    TempRoot folder;
    const QString saved = QString::fromStdString((folder.path() / "rilievi.txt").string());
    QVERIFY(window.saveAsText(saved));
    QCOMPARE(TempRoot::readFile(saved.toStdString()), expected);

    ui::TextFileViewer* report = window.showReport();
    QCOMPARE(report->textView()->toPlainText().toStdString(),
             "BLOCCANTE record 4 posizione 650 elemento DB602A07 persona DRSSVT75C05F839P DE ROSA SALVATORE: Percentuale "
             "di detrazione spettante '          150,00' oltre il 100 per cento\nVerificato " + file
                 + ": 1 bloccanti, 0 avvisi\n");
    QVERIFY(report->findChild<QAbstractButton*>(QStringLiteral("pdfButton")));
}

// Ferrari's certification with a lower-case letter, written 6000 times more with his number:
// each copy has the letter and the number again, 12004 findings in all with the counts of
// records B and Z. The list holds the first 10000; the others are counted by their rule,
// in the window and in the text saved.
void FindingsWindowTest::aFileDamagedAllThroughListsItsFirstFindingsAndCountsTheOthersByRule()
{
    Office office;
    cu::SupplyOptions ordinary;
    ordinary.kind = 'N';
    const std::string file = damaged(office.cuRun(1, ordinary), [](std::string& b) {
        b[3 * 1900 + 458] = 'e'; // record 4, position 459
        const std::string certification = b.substr(3 * 1900, 2 * 1900);
        std::string copies;
        for (int k = 0; k < 6000; ++k)
            copies += certification;
        b.insert(5 * 1900, copies);
    });
    FindingsWindow window(file);
    QTRY_VERIFY_WITH_TIMEOUT(window.finished(), 30000);
    QCOMPARE(window.findings().size(), std::size_t{10000});
    // The first is the letter of record 4; each copy then has its number (position 42) and its
    // letter (459): the 10000th is the number of the 5000th copy, whose record D is 4 + 2 * 5000.
    QCOMPARE(cell(window, 9999, Place), QStringLiteral("10004"));
    QCOMPARE(cell(window, 9999, Position), QStringLiteral("42"));
    const QString notListed = QStringLiteral(
        "Nell'elenco i primi 10000 rilievi; gli altri 2004: 1001 (solo caratteri ASCII stampabili, lettere maiuscole); "
        "1000 (record D posizioni 42-46: un progressivo certificazione per certificazione); 2 (A, B e Z "
        "presenti, almeno un record D; il record Z conta i record B, C, D, G (posizioni 16-51) e H (posizioni "
        "52-60)); 1 (record B posizioni 402-409: il numero dei record D del file).");
    QCOMPARE(label(window, "countsLabel"),
             QStringLiteral("12004 bloccanti, 0 avvisi (AVVISO: il file sarebbe accettato, ma il valore e' "
                            "probabilmente un errore)\nNell'elenco i primi 10000 rilievi; gli altri, per regola, in "
                            "fondo all'elenco."));
    // The last row of the list, after the findings.
    QCOMPARE(window.findChild<QTableView*>(QStringLiteral("findingsList"))->model()->rowCount(), 10001);
    QCOMPARE(cell(window, 10000, Message), notListed);
    QCOMPARE(cell(window, 10000, Level), QString());
    const QStringList lines = window.reportText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 10003); // the findings, what is not listed, the verdict and the end
    QCOMPARE(lines[10000], notListed);
    QCOMPARE(lines[10001], QStringLiteral("Verificato ") + QString::fromStdString(file)
                               + QStringLiteral(": 12004 bloccanti, 0 avvisi"));
}

void FindingsWindowTest::aCleanFileIsReadyToBeSentAndAMissingOneSaysWhy()
{
    Office office;
    FindingsWindow clean(office.uniemensSeries(4, {"005"}));
    QTRY_VERIFY(clean.finished());
    QCOMPARE(label(clean, "verdictLabel"), QStringLiteral("Pronto per l'invio: nessun errore bloccante"));
    QVERIFY(!clean.findChild<QAbstractButton*>(QStringLiteral("showPlaceButton"))->isEnabled());
    QVERIFY(clean.findChild<QAbstractButton*>(QStringLiteral("saveTextButton"))->isEnabled());

    FindingsWindow missing((office.root.path() / "nessuno.xml").string());
    QTRY_VERIFY(missing.finished());
    QCOMPARE(label(missing, "verdictLabel"), QStringLiteral("Il file non si puo' verificare: il file non esiste"));
    QVERIFY(!missing.findChild<QAbstractButton*>(QStringLiteral("saveTextButton"))->isEnabled());
}

void FindingsWindowTest::createlOffersTheCheckAfterARunAndChecksAChosenFile()
{
    Office office;
    records::testing::ScriptedPrompter prompter;
    records::testing::RecordingLauncher launcher;
    records::testing::InstallationValues shared(office.root.path());
    cu::createl window(shared.workplace(prompter, launcher));
    ChosenFile chooser;
    std::vector<std::string> checked;
    window.setFileCheck([&](const std::string& path) { checked.push_back(path); }, &chooser);
    window.show();

    auto* code = window.findChild<QLineEdit*>(QStringLiteral("Tx_0"));
    QTest::keyClicks(code, QStringLiteral("1"));
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    prompter.answer(true); // "Verificare il file adesso ?"
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("Command2")), Qt::LeftButton);

    const std::string written = (office.root.path() / "c/nolv/nv770/2016/dati/TCU117").string();
    QCOMPARE(checked, std::vector<std::string>{written});
    const auto& asked = prompter.last();
    QVERIFY(asked.question);
    QCOMPARE(asked.asked, records::Question::CheckFileNow);
    QCOMPARE(asked.title, std::string("Verifica file"));
    QCOMPARE(asked.text, std::string("Verificare il file adesso ?"));
    QCOMPARE(asked.icon, records::Icon::Question);

    // "Verifica file" proposes the file just written, in its folder, and checks the one chosen.
    chooser.answer = (office.root.path() / "c/nolv/nv770/2016/dati/ALTRO").string();
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("checkFile")), Qt::LeftButton);
    QCOMPARE(chooser.asked, (std::vector<std::string>{"Verifica file", "TCU117", "",
                                                       (office.root.path() / "c/nolv/nv770/2016/dati").string()}));
    QCOMPARE(checked.back(), chooser.answer);

    // Declined: nothing is checked.
    prompter.answer(false);
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("Tx_0")), QStringLiteral("7"));
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(checked.size(), std::size_t(2));
    QCOMPARE(prompter.last().asked, records::Question::CheckFileNow);
}

void FindingsWindowTest::indittaOffersTheCheckOfTheStoredFile()
{
    Office office;
    records::testing::ScriptedPrompter prompter;
    records::testing::RecordingLauncher launcher;
    records::testing::InstallationValues shared(office.root.path());
    cu::CreatelForm(shared.workplace(prompter, launcher)).load(); // the drive, as the program's start reads it
    ChosenFile chooser;
    auto* window = new uniemens::inditta(shared.workplace(prompter, launcher), nullptr, &chooser);
    window->setAttribute(Qt::WA_DeleteOnClose);
    std::vector<std::string> checked;
    window->setFileCheck([&](const std::string& path) { checked.push_back(path); });
    window->show();

    // "Verifica file" looks in the checking program's folder, for XML files.
    chooser.answer = (office.root.path() / "scelto.xml").string();
    QTest::mouseClick(window->findChild<QAbstractButton*>(QStringLiteral("checkFile")), Qt::LeftButton);
    QCOMPARE(chooser.asked, (std::vector<std::string>{
                                "Verifica file", "*.xml", ".xml",
                                (office.root.path() / "c/Program Files/INPS/INPS uniEmens individuale").string()}));
    QCOMPARE(checked, std::vector<std::string>{chooser.answer});

    window->form().chooseMonth(2); // March
    window->form().chooseCompany(window->form().findCompany("001"));
    prompter.answer(false); // "Inserisci altra Ditta ?"
    prompter.answer(true);  // "Verificare il file adesso ?"
    QPointer<uniemens::inditta> alive(window);
    QTest::mouseClick(window->findChild<QAbstractButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(checked.back(),
             (office.root.path() / "c/Program Files/INPS/INPS uniEmens individuale/fc0010316.xml").string());
    QCOMPARE(prompter.last().asked, records::Question::CheckFileNow);
    QTRY_VERIFY(!alive); // the window closes as after every stored file; the check's window stays
}

void FindingsWindowTest::withoutTheCheckTheWindowsNeitherOfferNorEnableIt()
{
    Office office;
    records::testing::ScriptedPrompter prompter; // no answer queued: a question would fail the test
    records::testing::RecordingLauncher launcher;
    records::testing::InstallationValues shared(office.root.path());
    cu::createl window(shared.workplace(prompter, launcher));
    window.show();
    QVERIFY(!window.findChild<QToolButton*>(QStringLiteral("checkFile"))->isEnabled());
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("Tx_0")), QStringLiteral("1"));
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QToolButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(prompter.last().text, std::string("Memorizazione regolarmente effettuata..."));

    records::NoFileChooser chooser;
    uniemens::inditta inditta(shared.workplace(prompter, launcher), nullptr, &chooser);
    QVERIFY(!inditta.findChild<QAbstractButton*>(QStringLiteral("checkFile"))->isEnabled());
}

QTEST_MAIN(FindingsWindowTest)
#include "findings_window_test.moc"
