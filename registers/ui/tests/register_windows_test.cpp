#include <memory>
#include <stdexcept>
#include <string>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>

#include "records/text.h"
#include "registers/questions.h"
#include "registers/ui/code_list_dialog.h"
#include "registers/ui/fditta.h"
#include "registers/ui/parteb1.h"
#include "registers/ui/register_choosers.h"
#include "registers/ui/register_windows.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"
#include "ui/ui_common.h"

using records::fitRight;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

const std::string kCompany7 = "c/nolv/nv770/2016/dati/7/dittg7.016";
const std::string kEmployees = "c/nolv/paghe/unb00903.016";

// A company record of 800 characters: an individual employer, his fiscal code, birth date,
// VAT number and legal form, the other fields blank.
std::string companyRecord()
{
    std::string record = "$0" + fitRight("VERDI-LUCIA", 34) + "VRDLCU80A41F205N" + "F" + "01011980"
        + fitRight("MILANO", 24) + fitRight("MERCERIA", 24) + "07643520567";
    return fitRight(record, 800);
}

// An employee record: fiscal code, surname, name, qualification 1 and a mark of another
// program's after the last entry.
std::string employeeRecord(const std::string& code, const std::string& surname, const std::string& name)
{
    const std::string record = "$" + code + fitRight(surname, 24) + fitRight(name, 20) + "1 F I     000 ";
    return fitRight(fitRight(record, 1381) + "MS", 1554) + std::string(446, '#');
}

const std::string kRossi = employeeRecord("RSSMRA85T10A562S", "ROSSI", "MARIO");
const std::string kBianchi = employeeRecord("BNCLRA90C52F205S", "BIANCHI", "LAURA");
const std::string kDeleted(2000, '\0');

// One installation with its own operator.
struct Desk {
    TempRoot root;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared{root.path()};
    records::Workplace workplace{shared.workplace(prompter, launcher)};

    Desk()
    {
        root.write("c/disco.ute", "C:        ");
        root.write("c/WNOLV/anno1.dat", "2016      ");
        root.write("c/tabcom/comuni.dat", fitRight("$F205     " + fitRight("MILANO", 24) + "MI20121", 200));
        root.write(kCompany7, companyRecord());
        root.write(kEmployees, kRossi + kDeleted + kBianchi);
    }
    // Company 9's employees of March, as the choice of company and month hands them over.
    registers::EmployeeFileChoice employees;

    void selectEmployees()
    {
        employees.selectedDataFile = "C:\\nolv\\paghe\\una00903.016";
        employees.recordCount = 3;
        employees.dataAreaSelector = registers::kPagheArea;
    }
};

template <typename Control> Control* control(QWidget* window, const QString& name)
{
    auto* found = window->findChild<Control*>(name);
    if (!found)
        throw std::runtime_error("no control " + name.toStdString());
    return found;
}

QLineEdit* tx(QWidget* window, int index)
{
    return control<QLineEdit>(window, QStringLiteral("Tx_%1").arg(index));
}

QString statusText(QWidget* window)
{
    return control<QStatusBar>(window, QStringLiteral("StatusBar1"))->findChild<QLabel*>()->text();
}

// Runs `act` on the modal window that the next step opens, once it is up.
void onModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

} // namespace

class RegisterWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void fDittaShowsTheRecord();
    void fDittaDerivesTheBirthDataAndKeepsTheFocusOnAWrongCode();
    void fDittaGivesTheFocusBackAfterTheMessageBoxOfAWrongCode();
    void fDittaKeysMoveSaveAndClose();
    void fDittaCodeListWindowFillsTheField();
    void fDittaCodeListsOpenFromTheKeyboard();
    void fDittaAsksBeforeEditsAreLeftBehindAndBeforeAWrongCodeIsSaved();
    void parteb1ShowsTheFirstEmployeeWithItsCodes();
    void parteb1SavesRestoresAndNavigatesThroughTheButtons();
    void parteb1DeletesAfterTwoAnswersAndSaysWhichRecordWent();
    void parteb1KeysAndTheOtherFieldsWindow();
    void parteb1InPagmarHidesTheOperatingUnit();
    void parteb1AsksBeforeEditsAreLeftBehind();
    void openingWithoutASelectionAsksOrSaysThereIsNothing();
    void typingFindsTheCompanyAndTheEmployee();
};

void RegisterWindowsTest::fDittaShowsTheRecord()
{
    Desk desk;
    registers::fDitta window(desk.workplace, 7);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Gestione ditte"));
    QCOMPARE(tx(&window, 2)->text(), QStringLiteral("VERDI-LUCIA").leftJustified(34));
    QCOMPARE(control<QLabel>(&window, QStringLiteral("Label23"))->text(), QStringLiteral("Ditta individuale"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("ggn"))->text(), QStringLiteral("01"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("aan"))->text(), QStringLiteral("1980"));
    QVERIFY(!tx(&window, 5)->isVisible());
    // Every box is labelled by what it holds; the two flags whose meaning is recorded nowhere
    // by their place in the record, never by a word of one of their values.
    QStringList labels;
    for (const QLabel* label : window.findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains(QStringLiteral("Campo 32")) && labels.contains(QStringLiteral("Campo 34")));
    QVERIFY(!labels.contains(QStringLiteral("Gestite (campo 32)")));
    QCOMPARE(tx(&window, 32)->toolTip(), QStringLiteral("0= Non gestite; 1= Si"));
    // The code of a list in words beside its box, as it is typed.
    auto* legalFormWords = control<QLabel>(&window, QStringLiteral("legalFormWords"));
    QCOMPARE(legalFormWords->text(), QString());
    tx(&window, 11)->setFocus();
    tx(&window, 11)->selectAll();
    QTest::keyClicks(tx(&window, 11), QStringLiteral("3"));
    QCOMPARE(legalFormWords->text(), QStringLiteral("Società per azioni"));
    for (int i = 1; i <= 34; ++i) {
        if (i != 5)
            QVERIFY2(tx(&window, i)->isVisible(), qPrintable(QStringLiteral("Tx_%1").arg(i)));
    }
    QVERIFY(desk.prompter.shown.empty());

    // Typing a kind shows its description at once; a kind without one leaves it.
    tx(&window, 1)->setFocus();
    tx(&window, 1)->selectAll();
    QTest::keyClicks(tx(&window, 1), QStringLiteral("2"));
    QCOMPARE(control<QLabel>(&window, QStringLiteral("Label23"))->text(), QStringLiteral("Professionista"));
    tx(&window, 1)->selectAll();
    QTest::keyClicks(tx(&window, 1), QStringLiteral("5"));
    QCOMPARE(control<QLabel>(&window, QStringLiteral("Label23"))->text(), QStringLiteral("Professionista"));
}

void RegisterWindowsTest::fDittaDerivesTheBirthDataAndKeepsTheFocusOnAWrongCode()
{
    Desk desk;
    registers::fDitta window(desk.workplace, 7);
    window.show();
    QApplication::setActiveWindow(&window);
    QLineEdit* code = tx(&window, 3);
    code->setFocus();
    QCOMPARE(statusText(&window), QStringLiteral("Indicare il Codice Fiscale (se l'imprenditore è persona fisica)"));
    // A woman born on 12 March 1990 in Milan.
    code->selectAll();
    QTest::keyClicks(code, QStringLiteral("BNCLRA90C52F205S"));
    QTest::keyClick(code, Qt::Key_Tab);
    QVERIFY(desk.prompter.shown.empty());
    QCOMPARE(tx(&window, 4)->text(), QStringLiteral("F"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("ggn"))->text(), QStringLiteral("12"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("mmn"))->text(), QStringLiteral("03"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("aan"))->text(), QStringLiteral("1990"));
    QCOMPARE(tx(&window, 6)->text().trimmed(), QStringLiteral("MILANO"));

    // A wrong check letter: the message names the right one, and the focus comes back.
    code->setFocus();
    code->selectAll();
    QTest::keyClicks(code, QStringLiteral("BNCLRA90C52F205X"));
    QTest::keyClick(code, Qt::Key_Tab);
    QCOMPARE(QString::fromStdString(desk.prompter.last().text),
             QStringLiteral("Codice fiscale: il codice fiscale non e' corretto. Con i primi quindici caratteri "
                            "indicati, l'ultimo (il carattere di controllo) dovrebbe essere S."));
    QVERIFY(desk.prompter.last().icon == records::Icon::Warning);
    QTRY_VERIFY(code->hasFocus());
}

void RegisterWindowsTest::fDittaGivesTheFocusBackAfterTheMessageBoxOfAWrongCode()
{
    // The message in a real box, which takes the focus while it is open.
    Desk desk;
    ui::QtPrompter boxes;
    const records::Workplace workplace{desk.shared.paths, desk.shared.installation, boxes, desk.launcher};
    registers::fDitta window(workplace, 7);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLineEdit* vat = tx(&window, 8);
    vat->setFocus();
    QTRY_VERIFY(vat->hasFocus());
    vat->selectAll();
    QTest::keyClicks(vat, QStringLiteral("07643520560"));
    QString shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    onModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        shown = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    QTest::keyClick(vat, Qt::Key_Tab);
    QCOMPARE(shown, QStringLiteral("Partita IVA: la partita IVA non e' corretta. Con le prime dieci cifre indicate, "
                                   "l'ultima (la cifra di controllo) dovrebbe essere 7."));
    QCOMPARE(icon, QMessageBox::Warning);
    // The window active again, as the desktop makes it once the box is gone: the focus is in
    // the box whose code is wrong, not in the one after it.
    QApplication::setActiveWindow(&window);
    QTRY_VERIFY(vat->hasFocus());
    QTest::qWait(50);
    QVERIFY(vat->hasFocus());
}

void RegisterWindowsTest::fDittaKeysMoveSaveAndClose()
{
    Desk desk;
    auto* window = new registers::fDitta(desk.workplace, 7);
    QPointer<registers::fDitta> alive = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QApplication::setActiveWindow(window);
    tx(window, 2)->setFocus();
    QTest::keyClick(tx(window, 2), Qt::Key_Return);
    QTRY_VERIFY(tx(window, 3)->hasFocus());
    QTest::keyClick(tx(window, 3), Qt::Key_Up);
    QTRY_VERIFY(tx(window, 2)->hasFocus());
    // Field 5 is the three date boxes.
    tx(window, 4)->setFocus();
    QTest::keyClick(tx(window, 4), Qt::Key_Return);
    QTRY_VERIFY(control<QLineEdit>(window, QStringLiteral("ggn"))->hasFocus());

    // F9 saves without a question; Esc closes without saving.
    tx(window, 7)->setFocus();
    tx(window, 7)->selectAll();
    QTest::keyClicks(tx(window, 7), QStringLiteral("MERCERIA E FILATI"));
    QTest::keyClick(tx(window, 7), Qt::Key_F9);
    QVERIFY(desk.prompter.shown.empty());
    QCOMPARE(desk.root.read(kCompany7).substr(85, 24), fitRight("MERCERIA E FILATI", 24));
    QTest::keyClicks(tx(window, 7), QStringLiteral(" X"));
    desk.prompter.answer(records::Answer::No);
    QTest::keyClick(tx(window, 7), Qt::Key_Escape);
    QCOMPARE(desk.prompter.last().asked, registers::kSaveEdits);
    QTRY_VERIFY(!alive);
    QCOMPARE(desk.root.read(kCompany7).substr(85, 24), fitRight("MERCERIA E FILATI", 24));
}

void RegisterWindowsTest::fDittaCodeListWindowFillsTheField()
{
    Desk desk;
    registers::fDitta window(desk.workplace, 7);
    window.show();
    onModal([](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), QStringLiteral("Natura giuridica"));
        auto* list = control<QListWidget>(modal, QStringLiteral("codeList"));
        QCOMPARE(list->count(), 44);
        // The heading of the non-resident subjects cannot be chosen.
        QVERIFY(!(list->item(29)->flags() & Qt::ItemIsSelectable));
        QTest::keyClicks(control<QLineEdit>(modal, QStringLiteral("filterBox")), QStringLiteral("nome collettivo"));
        QCOMPARE(list->currentItem()->text(), QStringLiteral("24 Società in nome collettivo"));
        QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Choose")), Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>(&window, QStringLiteral("Command13")), Qt::LeftButton);
    QCOMPARE(tx(&window, 11)->text(), QStringLiteral("24"));

    // Closing the list leaves the field as it was.
    onModal([](QWidget* modal) {
        QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Cancel")), Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>(&window, QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(tx(&window, 9)->text(), QStringLiteral("  "));
}

void RegisterWindowsTest::fDittaCodeListsOpenFromTheKeyboard()
{
    Desk desk;
    registers::fDitta window(desk.workplace, 7);
    window.show();
    QApplication::setActiveWindow(&window);
    const auto openedWith = [&](int box, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QString title;
        onModal([&title](QWidget* modal) {
            title = modal->windowTitle();
            QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Cancel")), Qt::LeftButton);
        });
        tx(&window, box)->setFocus();
        QTest::keyClick(tx(&window, box), key, modifiers);
        QCoreApplication::processEvents();
        return title;
    };
    QCOMPARE(openedWith(11, Qt::Key_F4, Qt::NoModifier), QStringLiteral("Natura giuridica"));
    QCOMPARE(openedWith(9, Qt::Key_Down, Qt::AltModifier), QStringLiteral("Settore di attività"));
    QCOMPARE(openedWith(33, Qt::Key_F4, Qt::NoModifier), QStringLiteral("Intermediari"));

    // Tab goes from a box to its list button, and Enter there opens the list.
    QApplication::setActiveWindow(&window);
    tx(&window, 11)->setFocus();
    QTest::keyClick(tx(&window, 11), Qt::Key_Tab);
    auto* legalForms = control<QPushButton>(&window, QStringLiteral("Command13"));
    QTRY_VERIFY(legalForms->hasFocus());
    QString title;
    onModal([&title](QWidget* modal) {
        title = modal->windowTitle();
        QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Cancel")), Qt::LeftButton);
    });
    QTest::keyClick(legalForms, Qt::Key_Return);
    QCOMPARE(title, QStringLiteral("Natura giuridica"));
    QApplication::setActiveWindow(&window);
    QTest::keyClick(legalForms, Qt::Key_Tab);
    QTRY_VERIFY(tx(&window, 12)->hasFocus());
    // A box without a list keeps F4 for itself.
    QTest::keyClick(tx(&window, 12), Qt::Key_F4);
    QVERIFY(!QApplication::activeModalWidget());
}

void RegisterWindowsTest::fDittaAsksBeforeEditsAreLeftBehindAndBeforeAWrongCodeIsSaved()
{
    Desk desk;
    auto* window = new registers::fDitta(desk.workplace, 7);
    QPointer<registers::fDitta> alive = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QApplication::setActiveWindow(window);
    QLineEdit* phone = tx(window, 24);
    phone->setFocus();
    QTest::keyClicks(phone, QStringLiteral("0698765432"));

    // Annulla to Esc, to the exit button, to the close button and to the program's end: the
    // window stays with what was typed.
    for (int i = 0; i < 4; ++i)
        desk.prompter.answer(records::Answer::Cancel);
    QTest::keyClick(phone, Qt::Key_Escape);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command3")), Qt::LeftButton);
    QVERIFY(!window->close());
    QApplication::closeAllWindows();
    QCOMPARE(desk.prompter.shown.size(), std::size_t{4});
    for (const auto& shown : desk.prompter.shown) {
        QCOMPARE(shown.text, std::string("Salvare le modifiche al record ?"));
        QVERIFY(shown.asked == registers::kSaveEdits);
    }
    QVERIFY(alive && window->isVisible());
    QCOMPARE(phone->text().trimmed(), QStringLiteral("0698765432"));
    QCOMPARE(desk.root.read(kCompany7), companyRecord());

    // A wrong VAT number: its message on leaving the box, the question instead of "Conferma ".
    QLineEdit* vat = tx(window, 8);
    vat->setFocus();
    vat->selectAll();
    QTest::keyClicks(vat, QStringLiteral("07643520560"));
    QTest::keyClick(vat, Qt::Key_Tab);
    QCOMPARE(QString::fromStdString(desk.prompter.last().text),
             QStringLiteral("Partita IVA: la partita IVA non e' corretta. Con le prime dieci cifre indicate, "
                            "l'ultima (la cifra di controllo) dovrebbe essere 7."));
    desk.prompter.answer(false);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(desk.prompter.last().text),
             QStringLiteral("Il campo Partita IVA non ha superato il controllo (Codice errato: il cin e'    7). "
                            "Salvare comunque ?"));
    // F9 asks it too.
    desk.prompter.answer(false);
    QTest::keyClick(tx(window, 2), Qt::Key_F9);
    QVERIFY(desk.prompter.last().asked == registers::kSaveDespiteCheck);
    QCOMPARE(desk.prompter.shown.size(), std::size_t{7});
    QCOMPARE(desk.root.read(kCompany7), companyRecord());

    // The close button, Si', and Yes for the VAT number: stored, and the window goes.
    desk.prompter.answer(records::Answer::Yes);
    desk.prompter.answer(true);
    QVERIFY(window->close());
    QTRY_VERIFY(!alive);
    std::string stored = companyRecord();
    stored.replace(109, 11, "07643520560");
    stored.replace(252, 12, "0698765432  ");
    QCOMPARE(desk.root.read(kCompany7), stored);
}

void RegisterWindowsTest::parteb1ShowsTheFirstEmployeeWithItsCodes()
{
    Desk desk;
    desk.selectEmployees();
    registers::Parteb1 window(desk.workplace, desk.employees);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Dati Dipendenti - Parte anagrafica"));
    auto* lista = control<QComboBox>(&window, QStringLiteral("lista"));
    QCOMPARE(lista->count(), 2);
    // A blank between the record number and the name, on the screen only.
    QCOMPARE(lista->itemText(1), QStringLiteral("3 BIANCHI LAURA"));
    QCOMPARE(lista->currentIndex(), 0);
    QCOMPARE(tx(&window, 1)->text(), QStringLiteral("RSSMRA85T10A562S"));
    QCOMPARE(tx(&window, 21)->text(), QStringLiteral("S"));
    QCOMPARE(tx(&window, 23)->text(), QStringLiteral("M"));
    QCOMPARE(control<QComboBox>(&window, QStringLiteral("Combo1"))->currentText(), QStringLiteral("1  Operaio"));
    QCOMPARE(control<QComboBox>(&window, QStringLiteral("Combo4"))->currentText(), QStringLiteral("Normale"));
    QCOMPARE(control<QComboBox>(&window, QStringLiteral("Combo5"))->currentText(), QStringLiteral("000 Italia"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("Tx0"))->text(), QStringLiteral("009"));
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("Text2"))->text(), QStringLiteral("2016"));
    QCOMPARE(statusText(&window), QStringLiteral(" Seleziona l'azione tramite i pulsanti"));
    QVERIFY(tx(&window, 22)->isVisible());
}

void RegisterWindowsTest::parteb1SavesRestoresAndNavigatesThroughTheButtons()
{
    Desk desk;
    desk.selectEmployees();
    registers::Parteb1 window(desk.workplace, desk.employees);
    window.show();
    QApplication::setActiveWindow(&window);

    QLineEdit* surname = tx(&window, 2);
    surname->setFocus();
    QCOMPARE(surname->text(), QStringLiteral("ROSSI"));
    QCOMPARE(statusText(&window), QStringLiteral(" Cognome"));
    surname->selectAll();
    QTest::keyClicks(surname, QStringLiteral("verdi"));
    QTest::keyClick(surname, Qt::Key_Tab);
    QCOMPARE(surname->text(), QStringLiteral("verdi").leftJustified(24));
    desk.prompter.answer(true);
    QTest::mouseClick(control<QPushButton>(&window, QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(desk.prompter.last().asked, registers::kConfirmChange);
    std::string saved = kRossi;
    saved.replace(17, 24, fitRight("VERDI", 24));
    saved.replace(1554, 446, std::string(446, '\0'));
    QCOMPARE(desk.root.read(kEmployees), saved + kDeleted + kBianchi);
    QCOMPARE(surname->text(), QStringLiteral("VERDI").leftJustified(24));
    QTRY_VERIFY(control<QPushButton>(&window, QStringLiteral("Command6"))->hasFocus());

    // Restore takes back what is stored; next and previous stay within the three records.
    surname->setText(QStringLiteral("NERI"));
    QTest::keyClicks(surname, QStringLiteral("X"));
    QTest::mouseClick(control<QPushButton>(&window, QStringLiteral("Command5")), Qt::LeftButton);
    QCOMPARE(surname->text(), QStringLiteral("VERDI").leftJustified(24));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(control<QPushButton>(&window, QStringLiteral("Command6")), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(&window, QStringLiteral("reco"))->text(), QStringLiteral("3"));
    QCOMPARE(surname->text().trimmed(), QStringLiteral("BIANCHI"));
    QCOMPARE(control<QComboBox>(&window, QStringLiteral("lista"))->currentIndex(), 1);

    // Choosing the first item of the contribution types puts four blanks into box 7.
    auto* combo4 = control<QComboBox>(&window, QStringLiteral("Combo4"));
    combo4->showPopup();
    QAbstractItemView* view = combo4->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
    QCOMPARE(tx(&window, 7)->text(), QStringLiteral("    "));
    QCOMPARE(combo4->currentIndex(), -1);
}

void RegisterWindowsTest::parteb1DeletesAfterTwoAnswersAndSaysWhichRecordWent()
{
    Desk desk;
    desk.selectEmployees();
    auto* window = new registers::Parteb1(desk.workplace, desk.employees);
    QPointer<registers::Parteb1> alive = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    control<QComboBox>(window, QStringLiteral("lista"))->setCurrentIndex(1);
    emit control<QComboBox>(window, QStringLiteral("lista"))->activated(1);
    QCOMPARE(tx(window, 2)->text().trimmed(), QStringLiteral("BIANCHI"));

    desk.prompter.answer(false);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(alive);
    QCOMPARE(desk.root.read(kEmployees), kRossi + kDeleted + kBianchi);
    desk.prompter.answer(true);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(desk.prompter.last().asked, registers::kConfirmDelete);
    QCOMPARE(desk.root.read(kEmployees), kRossi + kDeleted + kDeleted);
    // The window stays on the employee left; its status bar names the record deleted.
    QVERIFY(alive && window->isVisible());
    QCOMPARE(statusText(window), QStringLiteral("Cancellato il record 3 (BIANCHI LAURA)"));
    QCOMPARE(control<QComboBox>(window, QStringLiteral("lista"))->count(), 1);
    QCOMPARE(tx(window, 2)->text().trimmed(), QStringLiteral("ROSSI"));
    window->close();
    QTRY_VERIFY(!alive);
}

void RegisterWindowsTest::parteb1KeysAndTheOtherFieldsWindow()
{
    Desk desk;
    desk.selectEmployees();
    // The first employee with a taxable amount, the number of a wage-guarantee authorization
    // and its hours.
    std::string rossi = kRossi;
    rossi.replace(125, 12, "     2107.69").replace(429, 12, "12.345      ").replace(441, 6, "  8.50");
    desk.root.write(kEmployees, rossi + kDeleted + kBianchi);
    auto* window = new registers::Parteb1(desk.workplace, desk.employees);
    QPointer<registers::Parteb1> alive = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QApplication::setActiveWindow(window);

    tx(window, 20)->setFocus();
    QTest::keyClick(tx(window, 20), Qt::Key_Return);
    QTRY_VERIFY(tx(window, 1)->hasFocus());
    QTest::keyClick(tx(window, 1), Qt::Key_Return);
    QTRY_VERIFY(tx(window, 2)->hasFocus());
    QTest::keyClick(tx(window, 2), Qt::Key_Up);
    QTRY_VERIFY(tx(window, 1)->hasFocus());

    // F4 or Alt+Down in a coded box opens the list of its codes, as in fDitta; a box without
    // a list keeps the keys for itself.
    const struct {
        int box;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* list;
    } listKeys[] = {
        {19, Qt::Key_F4, Qt::NoModifier, "Combo8"},
        {7, Qt::Key_Down, Qt::AltModifier, "Combo4"},
        {4, Qt::Key_F4, Qt::NoModifier, "Combo1"},
    };
    for (const auto& pressed : listKeys) {
        auto* codes = control<QComboBox>(window, QString::fromLatin1(pressed.list));
        tx(window, pressed.box)->setFocus();
        QTest::keyClick(tx(window, pressed.box), pressed.key, pressed.modifiers);
        QTRY_VERIFY2(codes->view()->isVisible(), pressed.list);
        codes->hidePopup();
        QTRY_VERIFY(!codes->view()->isVisible());
    }
    tx(window, 2)->setFocus();
    QTest::keyClick(tx(window, 2), Qt::Key_F4);
    for (QComboBox* codes : window->findChildren<QComboBox*>())
        QVERIFY(!codes->view()->isVisible());

    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command8")), Qt::LeftButton);
    auto* view = window->findChild<QDialog*>(QStringLiteral("employeeRecordView"));
    QVERIFY(view && view->isVisible());
    auto* table = control<QTableWidget>(view, QStringLiteral("fieldTable"));
    QCOMPARE(table->rowCount(), 244); // entries 21 to 267 but for 218, 219 and 257
    // Each field by its words and its UniEmens element, amounts and hours with a decimal
    // comma, an authorization number as it is stored; fields left blank hidden.
    const auto row = [table](int entry) {
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->item(r, 0)->text() == QString::number(entry))
                return QStringList{table->item(r, 1)->text(), table->item(r, 2)->text(), table->item(r, 3)->text(),
                                   table->isRowHidden(r) ? QStringLiteral("nascosto") : QStringLiteral("visibile")};
        }
        return QStringList();
    };
    QCOMPARE(row(21), (QStringList{QStringLiteral("Imponibile"), QStringLiteral("Imponibile"), QStringLiteral("2107,69"),
                                   QStringLiteral("visibile")}));
    QCOMPARE(row(51), (QStringList{QStringLiteral("Cassa integrazione ordinaria: numero di autorizzazione (prima)"),
                                   QStringLiteral("NumAutorizzCIGO"), QStringLiteral("12.345"),
                                   QStringLiteral("visibile")}));
    QCOMPARE(row(52), (QStringList{QStringLiteral("Cassa integrazione ordinaria: ore (prima autorizzazione)"),
                                   QStringLiteral("NumOreCIGO"), QStringLiteral("8,50"), QStringLiteral("visibile")}));
    QCOMPARE(row(23), (QStringList{QStringLiteral("Non usato nella denuncia UniEmens"), QString(), QString(),
                                   QStringLiteral("nascosto")}));
    QCOMPARE(row(267), (QStringList{QStringLiteral("(descrizione non disponibile)"), QString(), QString(),
                                    QStringLiteral("nascosto")}));
    QVERIFY(table->item(0, 1)->toolTip().contains(QStringLiteral("126-137")));
    view->close();

    QTest::keyClick(tx(window, 1), Qt::Key_Escape);
    QTRY_VERIFY(!alive);
    QCOMPARE(desk.root.read(kEmployees), rossi + kDeleted + kBianchi);
}

void RegisterWindowsTest::parteb1InPagmarHidesTheOperatingUnit()
{
    Desk desk;
    desk.selectEmployees();
    desk.employees.dataAreaSelector = registers::kPagmarArea;
    // In "pagmar" positions 1363-1374 hold entry 216, which box 21 shows.
    desk.root.write("c/nolv/pagmar/unb00903.016", std::string(kBianchi).replace(1362, 12, "N2015       "));
    registers::Parteb1 window(desk.workplace, desk.employees);
    window.show();
    QVERIFY(!tx(&window, 22)->isVisible());
    QVERIFY(!control<QLabel>(&window, QStringLiteral("Label22"))->isVisible());
    QVERIFY(!tx(&window, 23)->isEnabled());
    QCOMPARE(tx(&window, 21)->text(), QStringLiteral("N2015       "));
}

void RegisterWindowsTest::parteb1AsksBeforeEditsAreLeftBehind()
{
    Desk desk;
    desk.selectEmployees();
    auto* window = new registers::Parteb1(desk.workplace, desk.employees);
    QPointer<registers::Parteb1> alive = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QApplication::setActiveWindow(window);
    auto* lista = control<QComboBox>(window, QStringLiteral("lista"));
    QLineEdit* reco = control<QLineEdit>(window, QStringLiteral("reco"));
    QLineEdit* surname = tx(window, 2);
    surname->setFocus();
    surname->selectAll();
    QTest::keyClicks(surname, QStringLiteral("VERDI"));

    // Annulla to next, to a list choice, to a record number and to the close button: the
    // record, its boxes, the list and the number stay as they were.
    for (int i = 0; i < 4; ++i)
        desk.prompter.answer(records::Answer::Cancel);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command6")), Qt::LeftButton);
    lista->setCurrentIndex(1);
    emit lista->activated(1);
    reco->setFocus();
    reco->selectAll();
    QTest::keyClicks(reco, QStringLiteral("3"));
    QVERIFY(!window->close());
    QCOMPARE(desk.prompter.shown.size(), std::size_t{4});
    QVERIFY(alive && window->isVisible());
    QCOMPARE(reco->text(), QStringLiteral("1"));
    QCOMPARE(lista->currentIndex(), 0);
    QCOMPARE(surname->text().trimmed(), QStringLiteral("VERDI"));
    // Previous on the first record moves nowhere: nothing to ask, nothing lost.
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command7")), Qt::LeftButton);
    QCOMPARE(desk.prompter.shown.size(), std::size_t{4});
    QCOMPARE(surname->text().trimmed(), QStringLiteral("VERDI"));

    // No: the next record is shown and nothing is stored.
    desk.prompter.answer(records::Answer::No);
    QTest::mouseClick(control<QPushButton>(window, QStringLiteral("Command6")), Qt::LeftButton);
    QCOMPARE(reco->text(), QStringLiteral("2"));
    QCOMPARE(desk.root.read(kEmployees), kRossi + kDeleted + kBianchi);

    // Si' on the way out of the third record saves it without "Conferma ".
    emit lista->activated(1);
    QCOMPARE(reco->text(), QStringLiteral("3"));
    surname->setFocus();
    surname->selectAll();
    QTest::keyClicks(surname, QStringLiteral("NERI"));
    desk.prompter.answer(records::Answer::Yes);
    QTest::keyClick(surname, Qt::Key_Escape);
    QTRY_VERIFY(!alive);
    QCOMPARE(desk.prompter.shown.size(), std::size_t{6});
    std::string saved = kBianchi;
    saved.replace(17, 24, fitRight("NERI", 24));
    saved.replace(1554, 446, std::string(446, '\0'));
    QCOMPARE(desk.root.read(kEmployees), kRossi + kDeleted + saved);
}

void RegisterWindowsTest::openingWithoutASelectionAsksOrSaysThereIsNothing()
{
    Desk desk;
    // The company chooser lists company 7; choosing it opens the window on its record.
    onModal([](QWidget* modal) {
        auto* list = control<QListWidget>(modal, QStringLiteral("companyList"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("  7  VERDI-LUCIA"));
        list->setCurrentRow(0);
        QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Open")), Qt::LeftButton);
    });
    registers::openFDitta(desk.workplace);
    QPointer<QWidget> company;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("fDitta") && widget->isVisible())
            company = widget;
    }
    QVERIFY(company);
    QCOMPARE(tx(company, 2)->text().trimmed(), QStringLiteral("VERDI-LUCIA"));
    company->close();

    // Without companies the chooser says so and takes the number of a new one.
    std::filesystem::remove(desk.root.path() / kCompany7);
    onModal([](QWidget* modal) {
        QVERIFY(control<QLabel>(modal, QStringLiteral("emptyNote"))->isVisible());
        QVERIFY(control<QLabel>(modal, QStringLiteral("emptyNote"))->text().startsWith(QStringLiteral("Nessuna ditta")));
        QVERIFY(!control<QPushButton>(modal, QStringLiteral("Open"))->isEnabled());
        QTest::keyClicks(control<QLineEdit>(modal, QStringLiteral("companyCode")), QStringLiteral("12"));
        QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Open")), Qt::LeftButton);
    });
    registers::openFDitta(desk.workplace);
    QWidget* fresh = QApplication::activeWindow();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("fDitta") && widget->isVisible())
            fresh = widget;
    }
    QVERIFY(fresh && fresh != company);
    QCOMPARE(tx(fresh, 2)->text(), QString());
    QVERIFY(desk.prompter.shown.empty());
    fresh->close();

    // No company data file is selected: the month is asked for among the employee files.
    onModal([](QWidget* modal) {
        auto* list = control<QListWidget>(modal, QStringLiteral("fileList"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("009  (ditta senza nome) - marzo, 3 record"));
        QTest::mouseClick(control<QPushButton>(modal, QStringLiteral("Cancel")), Qt::LeftButton);
    });
    registers::openParteb1(desk.workplace);
    QVERIFY(desk.prompter.shown.empty());

    std::filesystem::remove(desk.root.path() / kEmployees);
    registers::openParteb1(desk.workplace);
    QCOMPARE(QString::fromStdString(desk.prompter.last().text),
             QStringLiteral("Nessun archivio dei dipendenti per l'anno 2016 in C:\\nolv\\paghe "));
}

void RegisterWindowsTest::typingFindsTheCompanyAndTheEmployee()
{
    // A company number, with or without its zeros, or the start of a name.
    const std::vector<registers::CompanyChoice> companies = {
        {3, "ALFA SRL"}, {7, "VERDI-LUCIA"}, {12, "BETA SNC"}, {120, "GAMMA SPA"}};
    registers::CompanyChooser chooser(companies, "C:\\nolv\\nv770\\2016\\dati");
    chooser.show();
    auto* list = control<QListWidget>(&chooser, QStringLiteral("companyList"));
    const auto typed = [list](const QString& keys) {
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(list, keys);
    };
    typed(QStringLiteral("12"));
    QCOMPARE(chooser.company(), 12);
    typed(QStringLiteral("0120"));
    QCOMPARE(chooser.company(), 120);
    typed(QStringLiteral("al"));
    QCOMPARE(chooser.company(), 3);
    typed(QStringLiteral("v"));
    QCOMPARE(chooser.company(), 7);

    Desk desk;
    desk.selectEmployees();
    registers::Parteb1 window(desk.workplace, desk.employees);
    window.show();
    auto* lista = control<QComboBox>(&window, QStringLiteral("lista"));
    lista->setFocus();
    QTest::keyClicks(lista, QStringLiteral("3"));
    QCOMPARE(tx(&window, 2)->text().trimmed(), QStringLiteral("BIANCHI"));
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(lista, QStringLiteral("ros"));
    QCOMPARE(tx(&window, 2)->text().trimmed(), QStringLiteral("ROSSI"));
    QCOMPARE(lista->currentIndex(), 0);
}

QTEST_MAIN(RegisterWindowsTest)
#include "register_windows_test.moc"
