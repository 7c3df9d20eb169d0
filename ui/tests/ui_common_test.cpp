#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QFontDatabase>
#include <QtTest>

#include "ui/file_chooser.h"
#include "ui/keyboard.h"
#include "ui/text_viewer.h"
#include "ui/ui_common.h"
#include "ui/window_frame.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

// Questions as the features declare them: the box is the same whichever question it asks,
// but a question whose Yes stores what failed a check has No for its default.
constexpr records::Question kConfirmQuestion{"test.confirm"};
constexpr records::Question kSaveEditsQuestion{"test.save-edits"};
constexpr records::Question kSaveDespiteCheckQuestion{"test.save-despite-check", records::Question::Default::No};

} // namespace

class UiCommonTest : public QObject {
    Q_OBJECT

private slots:
    void cp1252TextsSurviveTheWindowBoundary();
    void prompterShowsAModalBoxAndReturnsTheAnswer();
    void prompterOffersAnnullaAndDefaultsToNoBeforeStoringAFailedCheck();
    void typingLimitKeepsTextsThatTheProgramPutsIn();
    void launcherNamesAMissingProgram();
    void launcherShowsAReportReadOnly();
    void fileChooserStartsInTheNearestFolderAndGivesTheHostPath();
    void fileChooserProposesTheNewestFileAndShowsItsColumnsWhole();
    void statusLineTakesTheLinesItsTextNeedsInANarrowWindow();
    void viewerFindsTextRoundTheEndAndSavesAPdf();
    void viewerClosesWithEsc();
    void enterPressesTheFocusedButton();
    void typingReplacesABoxOfBlanks();
};

void UiCommonTest::cp1252TextsSurviveTheWindowBoundary()
{
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte.push_back(static_cast<char>(byte));
    QCOMPARE(ui::fromQt(ui::toQt(everyByte)), everyByte);

    QCOMPARE(ui::toQt("\x80 Societ\xe0"), QStringLiteral("€ Società"));
    QCOMPARE(ui::fromQt(QStringLiteral("Caffè €")), std::string("Caff\xe8 \x80"));
    // Characters that the payroll files cannot hold become "?", one per character.
    QCOMPARE(ui::fromQt(QStringLiteral("Ω😀x")), std::string("??x"));
}

void UiCommonTest::prompterShowsAModalBoxAndReturnsTheAnswer()
{
    ui::QtPrompter prompter;
    QString seenTitle;
    QString seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    auto answerWith = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, this, [&, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            QVERIFY(box->button(button));
            box->button(button)->click();
        });
    };

    answerWith(QMessageBox::No);
    // The box is the same whichever question it asks.
    constexpr records::Question kAnyQuestion{"test.any-question"};
    QVERIFY(!prompter.askYesNo(kAnyQuestion, {}, "Vuoi creare un report della memorizzazione del file ?", records::Icon::None));
    QCOMPARE(seenTitle, QStringLiteral("telematico"));
    QCOMPARE(seenText, QStringLiteral("Vuoi creare un report della memorizzazione del file ?"));

    answerWith(QMessageBox::Yes);
    QVERIFY(prompter.askYesNo(kConfirmQuestion, "Accesso", "Confermi ?", records::Icon::Question));
    QCOMPARE(seenTitle, QStringLiteral("Accesso"));
    QCOMPARE(seenIcon, QMessageBox::Question);

    answerWith(QMessageBox::Ok);
    prompter.message("Accesso", "Archivio inesistente \xe0", records::Icon::Stop);
    QCOMPARE(seenText, QStringLiteral("Archivio inesistente à"));
    QCOMPARE(seenIcon, QMessageBox::Critical);

    // A short question under a longer title: the box is wide enough for the whole title, in
    // bold as title bars show it, and the title bar's buttons.
    int seenWidth = 0;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenTitle = box->windowTitle();
        seenWidth = box->width();
        box->button(QMessageBox::Yes)->click();
    });
    QVERIFY(prompter.askYesNo(kConfirmQuestion, "Modifica dei dati", "Conferma ", records::Icon::Question));
    QFont bold = QApplication::font();
    bold.setBold(true);
    QCOMPARE(seenTitle, QStringLiteral("Modifica dei dati"));
    QVERIFY2(seenWidth >= QFontMetrics(bold).horizontalAdvance(seenTitle) + 100, qPrintable(QString::number(seenWidth)));
}

void UiCommonTest::viewerClosesWithEsc()
{
    auto* viewer = new ui::TextFileViewer(QStringLiteral("report.txt"), QStringLiteral("Totale Redditi  1200\r\n"));
    QPointer<ui::TextFileViewer> alive = viewer;
    viewer->show();
    QApplication::setActiveWindow(viewer);
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    // Esc closes the find bar first, then the viewer.
    QTest::keySequence(viewer, QKeySequence::Find);
    auto* findText = viewer->findChild<QLineEdit*>(QStringLiteral("findText"));
    QVERIFY(findText->hasFocus());
    QTest::keyClick(findText, Qt::Key_Escape);
    QVERIFY(!viewer->findChild<QWidget*>(QStringLiteral("findBar"))->isVisible());
    QVERIFY(alive);
    QTest::keyClick(viewer->textView(), Qt::Key_Escape);
    QTRY_VERIFY(!alive);
}

void UiCommonTest::prompterOffersAnnullaAndDefaultsToNoBeforeStoringAFailedCheck()
{
    ui::QtPrompter prompter;
    QMessageBox::StandardButtons seenButtons;
    QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
    QString seenTitle;
    auto answerWith = [&](std::function<void(QMessageBox*)> act) {
        QTimer::singleShot(0, this, [&, act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenButtons = box->standardButtons();
            seenDefault = box->standardButton(box->defaultButton());
            seenTitle = box->windowTitle();
            act(box);
        });
    };
    const auto click = [](QMessageBox::StandardButton button) {
        return [button](QMessageBox* box) { box->button(button)->click(); };
    };

    const auto ask = [&] {
        return prompter.askYesNoCancel(kSaveEditsQuestion, "Modifica dei dati",
                                       "Salvare le modifiche al record ?", records::Icon::Question);
    };
    answerWith(click(QMessageBox::Yes));
    QCOMPARE(ask(), records::Answer::Yes);
    QCOMPARE(seenButtons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(seenDefault, QMessageBox::Yes);
    QCOMPARE(seenTitle, QStringLiteral("Modifica dei dati"));
    answerWith(click(QMessageBox::No));
    QCOMPARE(ask(), records::Answer::No);
    answerWith(click(QMessageBox::Cancel));
    QCOMPARE(ask(), records::Answer::Cancel);
    // Esc leaves everything as it was.
    answerWith([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(ask(), records::Answer::Cancel);

    // Enter on the question about a code that failed its check does not store it.
    answerWith([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    QVERIFY(!prompter.askYesNo(kSaveDespiteCheckQuestion, "Modifica dei dati",
                               "Il campo Partita IVA non ha superato il controllo (Codice FORMALMENTE errato). "
                               "Salvare comunque ?",
                               records::Icon::Question));
    QCOMPARE(seenButtons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seenDefault, QMessageBox::No);
}

void UiCommonTest::typingLimitKeepsTextsThatTheProgramPutsIn()
{
    QLineEdit box;
    ui::setTypingLimit(&box, 3);
    QCOMPARE(ui::typingLimit(&box), 3);

    box.setText(QStringLiteral("ABCDEFGH"));
    QCOMPARE(box.text(), QStringLiteral("ABCDEFGH"));
    box.end(false);
    QTest::keyClicks(&box, QStringLiteral("I"));
    QCOMPARE(box.text(), QStringLiteral("ABCDEFGH"));
    // Overtyping a selection may keep the length; it may not grow past it.
    box.setSelection(0, 1);
    QTest::keyClicks(&box, QStringLiteral("Z"));
    QCOMPARE(box.text(), QStringLiteral("ZBCDEFGH"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("BCDEFGH"));
    box.clear();
    QTest::keyClicks(&box, QStringLiteral("12345"));
    QCOMPARE(box.text(), QStringLiteral("123"));
    // The program's texts are never cut, even after the operator has typed.
    box.setText(QStringLiteral("1234567"));
    QCOMPARE(box.text(), QStringLiteral("1234567"));

    ui::setTypingLimit(&box, 0);
    QCOMPARE(ui::typingLimit(&box), 0);
    QTest::keyClicks(&box, QStringLiteral("89"));
    QCOMPARE(box.text(), QStringLiteral("123456789"));
}

void UiCommonTest::launcherNamesAMissingProgram()
{
    ScriptedPrompter prompter;
    ui::QtLauncher launcher(prompter);
    QVERIFY(!launcher.startProgram("/nessuna/cartella/wnolv/wordpad", {"report.txt"}));
    QVERIFY(!launcher.startProgram("UniEMensIndiv-non-installato.exe", {}));
    QCOMPARE(prompter.shown.size(), std::size_t{2});
    QCOMPARE(prompter.shown[0].text, std::string("Programma non trovato: /nessuna/cartella/wnolv/wordpad"));
    QVERIFY(prompter.shown[1].text.find("UniEMensIndiv-non-installato.exe") != std::string::npos);
    QVERIFY(prompter.shown[0].icon == records::Icon::Stop);

    // A program whose working folder is missing is not started either.
    QVERIFY(!launcher.startProgram("/bin/true", {}, "/nessuna/cartella/nolv"));
    QCOMPARE(prompter.last().text, std::string("Cartella di lavoro non trovata: /nessuna/cartella/nolv"));
}

void UiCommonTest::fileChooserStartsInTheNearestFolderAndGivesTheHostPath()
{
    TempRoot root;
    const auto xml = root.write("c/Program Files/INPS/uea0010316.xml", "<DenunceMensili/>");
    ui::QtFileChooser chooser;
    QString startFolder;
    const auto chooseWith = [&](bool accept) {
        QTimer::singleShot(0, this, [&, accept] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            startFolder = dialog->directory().absolutePath();
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Apri"));
            if (accept) {
                dialog->selectFile(QString::fromStdString(xml.string()));
                static_cast<QDialog*>(dialog)->accept(); // as its Open button does
            } else {
                dialog->reject();
            }
        });
    };
    // The checking program's own folder does not exist yet: the dialog starts above it.
    const std::string missing = (root.path() / "c/Program Files/INPS/INPS uniEmens individuale").string();
    chooseWith(true);
    QCOMPARE(chooser.chooseFile("Apri", "*.xml", ".xml", missing), xml.string());
    QCOMPARE(startFolder, QString::fromStdString((root.path() / "c/Program Files/INPS").string()));
    chooseWith(false);
    QCOMPARE(chooser.chooseFile("Apri", "*.xml", ".xml", missing), std::string());
}

void UiCommonTest::fileChooserProposesTheNewestFileAndShowsItsColumnsWhole()
{
    TempRoot root;
    const auto older = root.write("c/inps/fc0010316.xml", "<DenunceMensili/>");
    const auto newer = root.write("c/inps/fc0030416.xml", "<DenunceMensili/>");
    const auto other = root.write("c/inps/emens.tmp", "listato");
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(older, now - std::chrono::hours(48));
    std::filesystem::last_write_time(newer, now - std::chrono::hours(1));
    std::filesystem::last_write_time(other, now);
    const std::string folder = (root.path() / "c/inps").string();

    ui::QtFileChooser chooser;
    QString proposed;
    QStringList cut;
    const auto look = [&] {
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            const auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            QVERIFY(details && details->isVisible());
            const QHeaderView* header = details->header();
            if (header->sectionSize(0) < details->fontMetrics().horizontalAdvance(proposed) + 24)
                cut << QStringLiteral("Nome");
            for (int column = 1; column < header->count(); ++column) {
                if (header->sectionSize(column) < header->sectionSizeHint(column))
                    cut << header->model()->headerData(column, Qt::Horizontal).toString();
            }
            dialog->reject();
        });
    };
    // In place of a pattern, the newest file that the filter lists.
    look();
    QCOMPARE(chooser.chooseFile("Apri", "*.xml", ".xml", folder), std::string());
    QCOMPARE(proposed, QStringLiteral("fc0030416.xml"));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    // A name asked for is proposed as it is; without a filter nothing is guessed.
    look();
    chooser.chooseFile("Verifica file", "TCU117", "", folder);
    QCOMPARE(proposed, QStringLiteral("TCU117"));
    look();
    chooser.chooseFile("Verifica file", "", "", folder);
    QCOMPARE(proposed, QString());
}

void UiCommonTest::statusLineTakesTheLinesItsTextNeedsInANarrowWindow()
{
    // A window as narrow as a laptop's screen at 150 %, and a status line naming two long paths.
    QMainWindow window;
    window.setCentralWidget(new QWidget(&window));
    ui::StatusLine* status = ui::addStatusLine(&window);
    const int narrow = status->fontMetrics().averageCharWidth() * 60;
    status->setText(QStringLiteral("File telematico creato: ") + QString(50, QLatin1Char('x'))
                    + QStringLiteral("/TCU117; report: ") + QString(50, QLatin1Char('y')) + QStringLiteral("/report.txt"));
    window.resize(narrow, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect needed = status->fontMetrics().boundingRect(status->contentsRect(), Qt::TextWrapAnywhere, status->text());
    QVERIFY2(needed.height() > 2 * status->fontMetrics().lineSpacing(), "the text needs a third line");
    QTRY_VERIFY2(status->contentsRect().height() >= needed.height(),
                 qPrintable(QStringLiteral("%1 < %2").arg(status->contentsRect().height()).arg(needed.height())));
}

void UiCommonTest::launcherShowsAReportReadOnly()
{
    TempRoot root;
    const auto report = root.write("c/nolv/NV770/2016/dati/report.txt", "Totale \x80  1234,56\r\nSociet\xe0\r\n");
    ScriptedPrompter prompter;
    ui::QtLauncher launcher(prompter);
    launcher.showTextFile(report.string(), "report.txt");

    ui::TextFileViewer* viewer = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<ui::TextFileViewer*>(top); candidate && candidate->isVisible())
            viewer = candidate;
    }
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("report.txt"));
    QVERIFY(viewer->textView()->isReadOnly());
    QCOMPARE(viewer->textView()->toPlainText(), QStringLiteral("Totale €  1234,56\nSocietà\n"));
    // What the viewer asks for, not what this machine's fonts answer: the system's
    // fixed-width family, asked as fixed-pitch.
    const QFont asked = viewer->textView()->font();
    QCOMPARE(asked.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    QVERIFY(asked.fixedPitch());
    QCOMPARE(asked.styleHint(), QFont::TypeWriter);
    viewer->close();

    launcher.showTextFile((root.path() / "manca.txt").string(), "manca.txt");
    QCOMPARE(prompter.shown.size(), std::size_t{1});
    QVERIFY(prompter.last().text.find("manca.txt") != std::string::npos);
}

void UiCommonTest::viewerFindsTextRoundTheEndAndSavesAPdf()
{
    ui::TextFileViewer viewer(QStringLiteral("report.txt"),
                              QStringLiteral("Totale Redditi  1200\r\nRitenute  300\r\nTotale detrazioni  90\r\n"));
    viewer.show();
    QApplication::setActiveWindow(&viewer);
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    QTest::keySequence(&viewer, QKeySequence::Find);
    auto* findText = viewer.findChild<QLineEdit*>(QStringLiteral("findText"));
    QVERIFY(findText && findText->isVisible() && findText->hasFocus());

    QVERIFY(viewer.find(QStringLiteral("Totale")));
    QCOMPARE(viewer.textView()->textCursor().blockNumber(), 0);
    QVERIFY(viewer.find(QStringLiteral("Totale")));
    QCOMPARE(viewer.textView()->textCursor().blockNumber(), 2);
    QVERIFY(viewer.find(QStringLiteral("Totale"))); // round the end, back to the first line
    QCOMPARE(viewer.textView()->textCursor().blockNumber(), 0);
    QVERIFY(viewer.find(QStringLiteral("Totale"), true));
    QCOMPARE(viewer.textView()->textCursor().blockNumber(), 2);
    QVERIFY(!viewer.find(QStringLiteral("Bonus")));
    QCOMPARE(viewer.textView()->textCursor().blockNumber(), 2); // left where it was
    QTest::keyClicks(findText, QStringLiteral("Bonus"));
    QTest::keyClick(findText, Qt::Key_Return);
    QCOMPARE(viewer.findChild<QLabel*>(QStringLiteral("findResult"))->text(), QStringLiteral("Testo non trovato"));

    TempRoot folder;
    const QString pdf = QString::fromStdString((folder.path() / "report.pdf").string());
    QVERIFY(viewer.saveAsPdf(pdf));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(5), QByteArray("%PDF-"));
    QVERIFY(!viewer.saveAsPdf(QString::fromStdString((folder.path() / "manca" / "report.pdf").string())));
    QVERIFY(viewer.findChild<QPushButton*>(QStringLiteral("printButton")));
}

void UiCommonTest::enterPressesTheFocusedButton()
{
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Conferma"), &window);
    auto* disabled = new QPushButton(QStringLiteral("Indietro"), &window);
    ui::pressOnEnter(button);
    ui::pressOnEnter(disabled);
    disabled->setEnabled(false);
    int pressed = 0;
    connect(button, &QPushButton::clicked, [&] { ++pressed; });
    connect(disabled, &QPushButton::clicked, [&] { pressed += 100; });
    window.show();
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter);
    QTest::keyClick(disabled, Qt::Key_Return);
    QCOMPARE(pressed, 2);
}

void UiCommonTest::typingReplacesABoxOfBlanks()
{
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* blanks = new QLineEdit(QString(17, QLatin1Char(' ')), &window);
    auto* text = new QLineEdit(QStringLiteral("2 "), &window);
    for (QLineEdit* box : {blanks, text}) {
        ui::setTypingLimit(box, 1);
        ui::selectBlanksOnFocus(box);
    }
    window.show();
    first->setFocus();

    // The operator clicks into the box of blanks and types the commitment type.
    QTest::mouseClick(blanks, Qt::LeftButton, {}, QPoint(blanks->width() - 4, blanks->height() / 2));
    QTRY_VERIFY(blanks->hasSelectedText());
    QTest::keyClicks(blanks, QStringLiteral("1"));
    QCOMPARE(blanks->text(), QStringLiteral("1"));

    // A box with a text keeps the cursor where the click put it.
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(text->width() - 4, text->height() / 2));
    QTest::qWait(10);
    QVERIFY(!text->hasSelectedText());
}

QTEST_MAIN(UiCommonTest)
#include "ui_common_test.moc"
