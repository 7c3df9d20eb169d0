#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

#include "records/output_file.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "ui/window_list.h"
#include "uniemens/tests/uniemens_fixtures.h"
#include "uniemens/ui/inditta.h"

using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using uniemens::testing::addEmployeeCompany;
using uniemens::testing::companyHeader;

namespace {

constexpr const char* kStored = "Memorizzazione regolarmente effettuata";

// An installation with its own operator, and the window loaded on it; the operator's
// gestures on its controls.
struct Desk {
    uniemens::testing::Installation installation;
    records::testing::InstallationValues shared{installation.root.path()};
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    uniemens::testing::ScriptedFileChooser chooser;
    ui::WindowList windows;
    std::unique_ptr<uniemens::inditta> window;

    Desk() { shared.installation.drivePrefix = "C:"; } // as the createl window read it

    uniemens::inditta& load()
    {
        window = std::make_unique<uniemens::inditta>(shared.workplace(prompter, launcher), &windows, &chooser);
        window->show();
        return *window;
    }

    template <typename Control>
    Control* control(const QString& name) const
    {
        auto* found = window->findChild<Control*>(name);
        if (!found)
            throw std::runtime_error("no control " + name.toStdString());
        return found;
    }
    QListWidget* list() const { return control<QListWidget>(QStringLiteral("indit")); }
    QString listText() const { return control<QLabel>(QStringLiteral("inditText"))->text(); }
    QString text1() const { return control<QLineEdit>(QStringLiteral("Text1"))->text(); }
    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->item(i)->text();
        return texts;
    }

    // Opens the month list and clicks month `month` (1 = Gennaio).
    void chooseMonth(int month) const
    {
        auto* combo = control<QComboBox>(QStringLiteral("combo1"));
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const QRect item = view->visualRect(view->model()->index(month - 1, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    }
    // Clicks the company whose item starts with `code`.
    void clickCompany(const char* code) const
    {
        const auto found = list()->findItems(QString::fromLatin1(code), Qt::MatchStartsWith);
        if (found.isEmpty())
            throw std::runtime_error(std::string("company not listed: ") + code);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(found.front()).center());
    }
    void click(const char* name) const
    {
        QTest::mouseClick(control<QAbstractButton>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    // Month, company, "Conferma", with the answers to the questions that follow.
    void confirm(const char* code, std::initializer_list<bool> answers)
    {
        clickCompany(code);
        for (const bool answer : answers)
            prompter.answer(answer);
        click("Command1");
    }

    // The stored XML files of the checking program's folder, and the files being written there.
    std::vector<std::string> xmlFiles() const
    {
        std::vector<std::string> names = installation.xmlFolderNames();
        std::sort(names.begin(), names.end());
        return names;
    }
    bool writingSomething() const
    {
        const auto names = installation.xmlFolderNames();
        return std::any_of(names.begin(), names.end(), [](const std::string& n) { return records::OutputFile::isTemporaryName(n); });
    }
};

std::vector<std::string> texts(const std::string& xml, const char* element)
{
    std::string error;
    std::vector<std::string> found = uniemens::testing::elementTexts(xml, element, error);
    if (!error.empty())
        throw std::runtime_error("not well-formed XML: " + error);
    return found;
}

} // namespace

class IndittaWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aMonthListsItsFilesAndAMonthWithoutSaysSo();
    void eachKindOfCompanyGetsItsXml();
    void twoCompaniesChainIntoOneFileNamedAfterTheFirst();
    void afterACompanyNothingIsChosenAndRefusalsKeepTheSeries();
    void anAbandonedSeriesLeavesNoXml();
    void aHeaderCountingMissingRecordsStopsTheSeries();
    void theWindowShowsHowFarTheWritingHasGot();
    void theOtherOptionOpensTheEmployeeRegisterByName();
    void theChosenCompanyIsNamedAndTheWindowKeepsItsWidth();
    void typingFindsACompanyAndEscGoesBack();
    void aProgramNotInstalledDisablesItsButtonUntilItIsThere();
    void theStoredFileIsNamedAsAPathOfThisComputer();
};

void IndittaWindowTest::aMonthListsItsFilesAndAMonthWithoutSaysSo()
{
    Desk desk;
    desk.installation.addCompany("001", "03", companyHeader("001", "0", "EDILIZIA ROSSI COSTRUZIONI E RESTAURI SRL"));
    desk.installation.root.write("c/nolv/paghe/UNA00703.016",
                                 payroll::packCompanyHeader(companyHeader("007", "1", "CANNAV\xD2 & FIGLI")));
    uniemens::inditta& window = desk.load();

    QCOMPARE(window.windowTitle(), QStringLiteral("Selezione Ditta"));
    QCOMPARE(desk.control<QLineEdit>(QStringLiteral("Text2"))->text(), QStringLiteral("2016"));
    auto* option1 = desk.control<QRadioButton>(QStringLiteral("Option1"));
    auto* option2 = desk.control<QRadioButton>(QStringLiteral("Option2"));
    QCOMPARE(option1->text(), QStringLiteral(" Crea file Uniemens"));
    QCOMPARE(option2->text(), QStringLiteral(" Modifica/Visualizza  Dati "));
    QVERIFY(option1->isChecked() && !option2->isChecked());
    const std::pair<const char*, QString> captions[] = {
        {"Command1", QStringLiteral("Conferma")},        {"Command3", QStringLiteral("Indietro")},
        {"Command5", QStringLiteral("Sito INPS invio")}, {"Command6", QStringLiteral("Accedi a Paghe")},
        {"Command4", QStringLiteral("Visualizza XML")},  {"Command2", QStringLiteral("Controllo e validazione ")},
    };
    for (const auto& [name, caption] : captions)
        QCOMPARE(desk.control<QPushButton>(QString::fromLatin1(name))->text(), caption);
    QVERIFY(desk.items().isEmpty());

    // At 125% font scaling the window fits a 1280x800 screen with its title bar and a panel.
    const QSize needed = window.minimumSizeHint().expandedTo(window.size());
    QVERIFY2(needed.width() <= 1280 && needed.height() <= 800 - 70,
             qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));

    desk.chooseMonth(3);
    const QStringList listed = {QStringLiteral("001 EDILIZIA ROSSI COSTRUZIONI E RESTA"),
                                QStringLiteral("007 CANNAV\u00D2 & FIGLI").leftJustified(38)};
    QCOMPARE(desk.items(), listed);
    QCOMPARE(desk.listText(), listed[0] + QStringLiteral(" Clicca per selezionare il file"));
    desk.clickCompany("007");
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00703.016"));

    desk.chooseMonth(4);
    QVERIFY(desk.items().isEmpty());
    QCOMPARE(desk.listText(), QStringLiteral("Nessun file predisposto per il mese e l'anno"));
    QVERIFY(desk.prompter.shown.empty());
}

void IndittaWindowTest::eachKindOfCompanyGetsItsXml()
{
    struct Case {
        const char* kind;
        const char* composition;
        const char* file;
        const char* element; // what the file holds one of per worker
        std::size_t totals;  // DenunciaAziendale blocks
    };
    const Case cases[] = {
        {"0", "", "uea0040316.xml", "DenunciaIndividuale", 1},
        {"0", "FP", "fp0040316.xml", "DenunciaIndividuale", 0},
        {"1", "FP", "uea0040316.xml", "Collaboratore", 0},
    };
    for (const Case& c : cases) {
        Desk desk;
        payroll::CompanyHeaderFields h = companyHeader("004", c.kind, "L'ANTICA PASTICCERIA & C.");
        h[13] = c.composition;
        h[20] = "1";
        desk.installation.addCompany("004", "03", h);
        desk.installation.addEmployees("004", "03",
                                       payroll::packEmployee(uniemens::testing::employee("RSSMRA80A01F205X", "ROSSI", "MARIO")));
        payroll::CollaboratorFields k;
        k[1] = "LMBGNN70A01A944S", k[2] = "LOMBARDI", k[3] = "GIOVANNI", k[5] = "07", k[7] = "1250";
        desk.installation.addCollaborators("004", "03", payroll::packCollaborator(k));
        uniemens::inditta& window = desk.load();
        desk.chooseMonth(3);
        desk.confirm("004", {false});

        QCOMPARE(desk.xmlFiles(), std::vector<std::string>{c.file});
        const std::string xml = desk.installation.readXml(c.file);
        QCOMPARE(texts(xml, c.element).size(), std::size_t{1});
        QCOMPARE(texts(xml, "RagSocAzienda"), std::vector<std::string>{"L'ANTICA PASTICCERIA & C."});
        QCOMPARE(texts(xml, "DenunciaAziendale").size(), c.totals);
        QCOMPARE(desk.prompter.shown.front().text, std::string(kStored));
        QVERIFY(!window.isVisible());
    }
}

void IndittaWindowTest::twoCompaniesChainIntoOneFileNamedAfterTheFirst()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 1);
    addEmployeeCompany(desk.installation, "002", "", 2, "BIANCHI SPA");
    addEmployeeCompany(desk.installation, "003", "", 1, "VERDI SNC");
    uniemens::inditta& window = desk.load();
    desk.chooseMonth(3);
    desk.confirm("001", {true});

    // The company written is off the list; the others still open their own files.
    QVERIFY(window.isVisible());
    QCOMPARE(desk.items().size(), 2);
    QVERIFY(desk.items()[0].startsWith(QStringLiteral("002 BIANCHI SPA")));
    QCOMPARE(desk.listText(), desk.items()[0] + QStringLiteral(" Clicca per selezionare il file"));
    desk.clickCompany("003");
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00303.016"));
    desk.clickCompany("002");
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00203.016"));
    QVERIFY(desk.writingSomething());
    QVERIFY(!std::filesystem::exists(desk.installation.xmlFile("fc0010316.xml")));
    QCOMPARE(desk.control<QStatusBar>(QStringLiteral("StatusBar1"))->findChild<QLabel*>()->text(),
             QStringLiteral("Il file fc0010316.xml resta aperto: cliccare sulla ditta da aggiungere e premere Conferma"));

    desk.confirm("003", {false});
    QCOMPARE(desk.xmlFiles(), std::vector<std::string>{"fc0010316.xml"});
    const std::string xml = desk.installation.readXml("fc0010316.xml");
    QCOMPARE(texts(xml, "RagSocAzienda"), (std::vector<std::string>{"ROSSI SRL", "VERDI SNC"}));
    QCOMPARE(uniemens::testing::occurrences(xml, "<DatiMittente"), std::size_t{1});
    QCOMPARE(uniemens::testing::occurrences(xml, "<DenunceMensili>"), std::size_t{1});
    QCOMPARE(desk.prompter.texts()[4],
             std::string("Il file :C:\\Program Files\\INPS\\INPS uniEmens individuale\\fc0010316.xml e' stato memorizzato"));
    QVERIFY(!window.isVisible());
}

void IndittaWindowTest::afterACompanyNothingIsChosenAndRefusalsKeepTheSeries()
{
    struct Case {
        const char* first;
        std::vector<std::pair<const char*, std::string>> refused; // company, message
        const char* last;
        const char* file;
        int listedAfterFirst; // employees leave the list, collaborators stay
    };
    const std::string otherKind = " ha una denuncia di altro tipo: va inviata in un file a parte ";
    const Case cases[] = {
        {"001", {{"005", "La ditta 005" + otherKind}}, "002", "uea0010316.xml", 3},
        {"005", {{"005", "La ditta 005 e' gia' nel file "}, {"001", "La ditta 001" + otherKind}}, "006",
         "uea0050316.xml", 4},
    };
    for (const Case& c : cases) {
        Desk desk;
        addEmployeeCompany(desk.installation, "001", "", 1, "ROSSI 001");
        addEmployeeCompany(desk.installation, "002", "", 1, "ROSSI 002");
        for (const char* code : {"005", "006"}) {
            payroll::CompanyHeaderFields h = companyHeader(code, "1", std::string("AURORA ") + code);
            h[20] = "1";
            desk.installation.addCompany(code, "03", h);
            payroll::CollaboratorFields k;
            k[1] = "LMBGNN70A01A944S", k[2] = "LOMBARDI", k[3] = "GIOVANNI", k[5] = "07", k[7] = "1250";
            desk.installation.addCollaborators(code, "03", payroll::packCollaborator(k));
        }
        uniemens::inditta& window = desk.load();
        desk.chooseMonth(3);
        // The window active, as it is on a desktop, so that the list takes the focus for real.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        desk.confirm(c.first, {true});

        // Nothing is chosen any more; "Conferma" leads to the list and chooses nothing.
        const QStringList listed = desk.items();
        QCOMPARE(listed.size(), c.listedAfterFirst);
        QVERIFY(desk.list()->selectedItems().isEmpty());
        QCOMPARE(desk.list()->currentRow(), -1);
        QCOMPARE(desk.text1(), QString());
        const std::size_t shown = desk.prompter.shown.size();
        desk.click("Command1");
        QCOMPARE(window.focusWidget(), desk.list());
        QVERIFY(desk.list()->hasFocus());
        QCOMPARE(desk.list()->currentRow(), -1);
        QCOMPARE(desk.text1(), QString());
        QCOMPARE(desk.prompter.shown.size(), shown);
        desk.click("Command1");
        QCOMPARE(desk.prompter.shown.size(), shown);
        // From the keyboard the arrows choose.
        QTest::keyClick(desk.list(), Qt::Key_Down);
        QCOMPARE(desk.text1(), QString::fromStdString(desk.window->form().dataFiles.front()));

        for (const auto& [code, message] : c.refused) {
            desk.confirm(code, {});
            QCOMPARE(desk.prompter.last().text, message);
            QVERIFY(desk.prompter.last().icon == records::Icon::Information);
            QVERIFY(window.isVisible());
            QCOMPARE(desk.items(), listed);
            QVERIFY(desk.writingSomething());
        }

        desk.confirm(c.last, {false});
        QCOMPARE(desk.xmlFiles(), std::vector<std::string>{c.file});
        QCOMPARE(texts(desk.installation.readXml(c.file), "Azienda").size(), std::size_t{2});
        QVERIFY(!window.isVisible());
    }
}

void IndittaWindowTest::anAbandonedSeriesLeavesNoXml()
{
    for (const bool byEnter : {true, false}) {
        Desk desk;
        addEmployeeCompany(desk.installation, "001", "FC", 1);
        uniemens::inditta& window = desk.load();
        desk.chooseMonth(3);
        desk.confirm("001", {true});
        QVERIFY(desk.writingSomething());
        if (byEnter) {
            // "Indietro" from the keyboard: Enter presses the button that has the focus.
            auto* back = desk.control<QPushButton>(QStringLiteral("Command3"));
            back->setFocus();
            QTest::keyClick(back, Qt::Key_Return);
        } else {
            window.close(); // the window's close box
        }
        QVERIFY(!window.isVisible());
        QVERIFY(desk.xmlFiles().empty());
    }
}

void IndittaWindowTest::aHeaderCountingMissingRecordsStopsTheSeries()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 1);
    addEmployeeCompany(desk.installation, "002", "", 2, "BIANCHI SPA");
    payroll::CompanyHeaderFields h = companyHeader("002", "0", "BIANCHI SPA");
    h[20] = "3"; // the data file holds two
    desk.installation.addCompany("002", "03", h);
    uniemens::inditta& window = desk.load();
    desk.chooseMonth(3);
    desk.confirm("001", {true});
    desk.confirm("002", {});

    const auto& stop = desk.prompter.last();
    QCOMPARE(stop.text, std::string("L'archivio dei dipendenti non contiene il record 3 "));
    QCOMPARE(stop.title, std::string("Accesso"));
    QVERIFY(stop.icon == records::Icon::Stop);
    QVERIFY(desk.xmlFiles().empty());
    // The window stays, with every company of the month listed again for a new series.
    QVERIFY(window.isVisible());
    QCOMPARE(desk.items().size(), 2);
}

void IndittaWindowTest::theWindowShowsHowFarTheWritingHasGot()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 300);
    uniemens::inditta& window = desk.load();
    auto* bar = desk.control<QProgressBar>(QStringLiteral("progressBar"));
    std::vector<int> values;
    int maximum = 0;
    bool shown = true;
    bool inputTaken = false;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
        values.push_back(value);
        maximum = bar->maximum();
        shown = shown && bar->isVisible();
        inputTaken = inputTaken || window.centralWidget()->isEnabled();
    });
    desk.chooseMonth(3);
    QVERIFY(!bar->isVisible());
    desk.confirm("001", {true});

    QCOMPARE(maximum, 300);
    QVERIFY(!values.empty());
    QCOMPARE(values.back(), 300);
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QVERIFY(shown);
    QVERIFY(!inputTaken);
    QCOMPARE(bar->format(), QStringLiteral("%v di %m"));
    QVERIFY(!bar->isVisible());
    QVERIFY(window.centralWidget()->isEnabled());
}

void IndittaWindowTest::theOtherOptionOpensTheEmployeeRegisterByName()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 4);
    desk.load();
    desk.chooseMonth(3);
    desk.click("Option2");
    QVERIFY(desk.window->form().action == uniemens::ConfirmAction::EditEmployees);

    // A program without the employee register says so.
    desk.confirm("001", {});
    QCOMPARE(desk.prompter.last().text,
             std::string("La finestra \"Dati Dipendenti - Parte anagrafica\" non e' disponibile in questa versione del programma"));

    // The window opens on the company and month chosen here, never by name alone.
    int openedByName = 0;
    std::vector<std::string> handedOver;
    desk.windows.add(
        QStringLiteral("Parteb1"), QStringLiteral("Dati Dipendenti - Parte anagrafica"), [&] { ++openedByName; },
        [&](const std::string& companyDataFile) {
            handedOver.push_back(companyDataFile);
            return true;
        });
    desk.click("Command1");
    QCOMPARE(openedByName, 0);
    QCOMPARE(handedOver, std::vector<std::string>{"C:\\nolv\\paghe\\una00103.016"});
    QCOMPARE(desk.prompter.shown.size(), std::size_t{1});
    QVERIFY(desk.xmlFiles().empty());
}

void IndittaWindowTest::theChosenCompanyIsNamedAndTheWindowKeepsItsWidth()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 1, "EDILIZIA ROSSI COSTRUZIONI E RESTAURI SRL");
    addEmployeeCompany(desk.installation, "007", "", 1, "AURORA");
    uniemens::inditta& window = desk.load();
    QCoreApplication::processEvents();
    const int width = window.width();
    auto* company = desk.control<QLabel>(QStringLiteral("selectedCompany"));
    QVERIFY(company->text().isEmpty());

    desk.chooseMonth(3);
    QCOMPARE(desk.listText(), desk.items()[0] + QStringLiteral(" Clicca per selezionare il file"));
    // The list's heading and the box beside the file name follow the company chosen.
    desk.clickCompany("007");
    QCOMPARE(desk.listText(), QStringLiteral("007 AURORA").leftJustified(38));
    QCOMPARE(company->text(), QStringLiteral("007 AURORA"));
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00703.016"));
    desk.clickCompany("001");
    QCOMPARE(company->text(), QStringLiteral("001 EDILIZIA ROSSI COSTRUZIONI E RESTA"));
    desk.click("Option2");
    QCoreApplication::processEvents();
    // Whatever the help line and the heading say, the window keeps its width.
    QCOMPARE(window.width(), width);
    desk.chooseMonth(4);
    QCoreApplication::processEvents();
    QVERIFY(company->text().isEmpty());
    QCOMPARE(window.width(), width);
}

void IndittaWindowTest::typingFindsACompanyAndEscGoesBack()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 1, "EDILIZIA ROSSI");
    addEmployeeCompany(desk.installation, "007", "", 1, "AURORA");
    addEmployeeCompany(desk.installation, "012", "", 1, "BAR CENTRALE");
    uniemens::inditta& window = desk.load();
    desk.chooseMonth(3);
    // Tab into the list marks its first company without choosing it: the first arrow key
    // chooses that one, the next moves on.
    QApplication::setActiveWindow(&window);
    desk.control<QComboBox>(QStringLiteral("combo1"))->setFocus();
    QTest::keyClick(desk.control<QComboBox>(QStringLiteral("combo1")), Qt::Key_Tab);
    QTRY_VERIFY(desk.list()->hasFocus());
    QCOMPARE(desk.text1(), QString());
    QTest::keyClick(desk.list(), Qt::Key_Down);
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00103.016"));
    QTest::keyClick(desk.list(), Qt::Key_Down);
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00703.016"));
    // A company's number, with or without its zeros, or the start of its name.
    QTest::keyClicks(desk.list(), QStringLiteral("7"));
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00703.016"));
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(desk.list(), QStringLiteral("bar"));
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una01203.016"));
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(desk.list(), QStringLiteral("001"));
    QCOMPARE(desk.text1(), QStringLiteral("C:\\nolv\\paghe\\una00103.016"));

    // Esc is "Indietro".
    QTest::keyClick(desk.list(), Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(window.form().closeRequested);
}

void IndittaWindowTest::aProgramNotInstalledDisablesItsButtonUntilItIsThere()
{
    Desk desk;
    desk.load();
    auto* check = desk.control<QPushButton>(QStringLiteral("Command2"));
    auto* menu = desk.control<QPushButton>(QStringLiteral("Command6"));
    // Neither program is installed: the buttons say what to install and where.
    QVERIFY(!check->isEnabled());
    QVERIFY(!menu->isEnabled());
    const QString folder = QString::fromStdString((desk.installation.root.path() / uniemens::testing::kXmlFolder).string());
    QCOMPARE(check->toolTip(), QStringLiteral("Non installato: installare il programma di controllo UniEmens dell'INPS "
                                              "(\"UniEMensIndiv.exe\") in ")
                                   + folder);
    QVERIFY(menu->toolTip().startsWith(QStringLiteral("Non installato: installare il menu del programma paghe")));

    desk.installation.root.write(std::string(uniemens::testing::kXmlFolder) + "/UniEMensIndiv.exe", "");
    QTRY_VERIFY_WITH_TIMEOUT(check->isEnabled(), 5000);
    QCOMPARE(check->toolTip(), QStringLiteral("Avvia il programma di controllo UniEmens dell'INPS"));
    QVERIFY(!menu->isEnabled());
    desk.click("Command2");
    QCOMPARE(desk.launcher.started.size(), std::size_t{1});
    QVERIFY(desk.prompter.shown.empty());
}

void IndittaWindowTest::theStoredFileIsNamedAsAPathOfThisComputer()
{
    Desk desk;
    addEmployeeCompany(desk.installation, "001", "FC", 1);
    desk.load();
    desk.chooseMonth(3);
    QString shownWithTheMessage;
    desk.prompter.onMessage = [&] {
        if (desk.prompter.last().text.starts_with("Il file :"))
            shownWithTheMessage = desk.control<QStatusBar>(QStringLiteral("StatusBar1"))->findChild<QLabel*>()->text();
    };
    desk.confirm("001", {false});
    QCOMPARE(QString::fromStdString(desk.prompter.shown[2].text),
             QStringLiteral("Il file :C:\\Program Files\\INPS\\INPS uniEmens individuale\\fc0010316.xml e' stato memorizzato"));
    // While the message names the installation's folder, the status line names this computer's.
    QCOMPARE(shownWithTheMessage, QStringLiteral("Il file UniEmens si trova su questo computer in ")
                                      + QString::fromStdString(desk.installation.xmlFile("fc0010316.xml").string()));
}

QTEST_MAIN(IndittaWindowTest)
#include "inditta_window_test.moc"
