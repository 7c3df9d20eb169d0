#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QtTest>

#include "demo/demo_installation.h"
#include "cu/ui/tests/createl_desk.h"

using cu::testing::Desk;

namespace {

const std::string kDataFolder = "c/nolv/nv770/2016/dati/";

// The records of a telematic file, checked for the frame that every record shares.
std::vector<std::string> telematicRecords(const std::string& bytes)
{
    std::vector<std::string> records;
    if (bytes.size() % 1900 != 0)
        throw std::runtime_error("file length " + std::to_string(bytes.size()) + " is not a multiple of 1900");
    for (std::size_t at = 0; at < bytes.size(); at += 1900) {
        const std::string record = bytes.substr(at, 1900);
        if (record.substr(1897) != "A\r\n")
            throw std::runtime_error("record " + std::to_string(at / 1900 + 1) + " does not end in A CR LF");
        records.push_back(record);
    }
    return records;
}

std::string recordTypes(const std::vector<std::string>& records)
{
    std::string types;
    for (const std::string& record : records)
        types.push_back(record[0]);
    return types;
}

// Record Z must count what the file holds: B, C, D and G records in positions 16-51.
void checkTrailerCounts(const std::vector<std::string>& records)
{
    std::map<char, int> counted;
    for (const std::string& record : records)
        ++counted[record[0]];
    const std::string& z = records.back();
    QCOMPARE(z[0], 'Z');
    QCOMPARE(std::stoi(z.substr(15, 9)), counted['B']);
    QCOMPARE(std::stoi(z.substr(24, 9)), counted['C']);
    QCOMPARE(std::stoi(z.substr(33, 9)), counted['D']);
    QCOMPARE(std::stoi(z.substr(42, 9)), counted['G']);
    QCOMPARE(z.substr(51, 9), std::string("000000000"));
}

struct DemoDesk : Desk {
    DemoDesk()
    {
        demo::writeDemoInstallation(root.path());
        load();
    }

    void open(const char* archive)
    {
        typeCode(QString::fromLatin1(archive));
        click("Command1");
    }

    // Chooses the kind of supply (Combo1 item: 1 annulment, 2 replacement) and types the
    // protocol numbers and the employee's record number.
    void chooseSupply(int kind, const char* id, const char* protocol, const char* record)
    {
        choose("Combo1", kind);
        type(2, QString::fromLatin1(id));
        type(3, QString::fromLatin1(protocol));
        type(4, QString::fromLatin1(record));
    }

    bool hasFile(const std::string& name) const { return std::filesystem::exists(root.path() / (kDataFolder + name)); }
    bool leftoverPartialFile() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(root.path() / kDataFolder)) {
            if (entry.path().extension() == ".tmp")
                return true;
        }
        return false;
    }
    std::vector<std::string> file(const std::string& name) const { return telematicRecords(root.read(kDataFolder + name)); }
    bool successShown() const
    {
        for (const auto& shown : prompter.shown) {
            if (shown.text == "Memorizazione regolarmente effettuata...")
                return true;
        }
        return false;
    }
};

} // namespace

class CreatelRunWindowTest : public QObject {
    Q_OBJECT

private slots:
    void ordinaryRunWritesACompleteFile();
    void annulmentWritesOnlyTheNamedCertificate();
    void declinedAnnulmentLeavesNoFileAndKeepsAnOlderOne();
    void replacementWritesTheNamedEmployeeWithRecordsG();
    void singleSupplyWritesTheNamedEmployeeWithoutAsking();
    void everyStopShowsItsMessageAndLeavesNoFile();
};

void CreatelRunWindowTest::ordinaryRunWritesACompleteFile()
{
    DemoDesk desk;
    desk.choose("lista", 0);
    desk.click("Command1");
    desk.click("Command2");

    QVERIFY(desk.successShown());
    QCOMPARE(desk.prompter.last().title, std::string("Creazione Telematico"));
    const auto records = desk.file("TCU117");
    // Archive 1 asks for record C and holds four employees to send (record 3 is cancelled).
    const std::string types = recordTypes(records);
    QVERIFY2(types.starts_with("ABCDG"), types.c_str());
    QCOMPARE(std::count(types.begin(), types.end(), 'D'), 4);
    checkTrailerCounts(records);
    QVERIFY(!desk.leftoverPartialFile());
    // Certification numbers 00001..00004 in positions 42-46 of the records D.
    int expected = 0;
    for (const std::string& record : records) {
        if (record[0] == 'D')
            QCOMPARE(std::stoi(record.substr(41, 5)), ++expected);
    }
}

void CreatelRunWindowTest::annulmentWritesOnlyTheNamedCertificate()
{
    DemoDesk desk;
    desk.open("7");
    desk.chooseSupply(1, "17020712345678901", "000123", "2"); // A=Annullamento
    desk.prompter.answer(true);
    desk.click("Command2");

    QVERIFY(desk.successShown());
    const auto records = desk.file("TCU717");
    QCOMPARE(recordTypes(records), std::string("ABDZ"));
    checkTrailerCounts(records);
    QCOMPARE(records[1][90], '1'); // annulment flag of record B
    QCOMPARE(records[1][91], '0');
    const std::string& d = records[2];
    QCOMPARE(d.substr(46, 17), std::string("17020712345678901"));
    QCOMPARE(d.substr(63, 6), std::string("000123"));
    QCOMPARE(d[83], 'A');
    const auto& question = desk.prompter.shown[desk.prompter.shown.size() - 2];
    QVERIFY(question.question);
    QVERIFY2(question.text.starts_with("Confermi la funzione di Annul/Sostit. del dipendente "), question.text.c_str());
}

void CreatelRunWindowTest::declinedAnnulmentLeavesNoFileAndKeepsAnOlderOne()
{
    DemoDesk desk;
    desk.root.write(kDataFolder + "TCU717", "an earlier file");
    desk.open("7");
    desk.chooseSupply(1, "17020712345678901", "000123", "1");
    desk.prompter.answer(false);
    desk.click("Command2");

    QVERIFY(!desk.successShown());
    QVERIFY(desk.prompter.last().question);
    QCOMPARE(desk.root.read(kDataFolder + "TCU717"), std::string("an earlier file"));
    QVERIFY(!desk.leftoverPartialFile());
}

void CreatelRunWindowTest::replacementWritesTheNamedEmployeeWithRecordsG()
{
    DemoDesk desk;
    desk.open("7");
    desk.chooseSupply(2, "17020712345678901", "000123", "1"); // S=Sostituzione
    desk.prompter.answer(true);
    desk.click("Command2");

    const auto records = desk.file("TCU717");
    const std::string types = recordTypes(records);
    QVERIFY2(types.starts_with("ABDG") && types.ends_with("GZ"), types.c_str());
    QCOMPARE(std::count(types.begin(), types.end(), 'D'), 1);
    checkTrailerCounts(records);
    QCOMPARE(records[1][91], '1'); // replacement flag of record B
    QCOMPARE(records[2][83], 'S');
    QCOMPARE(records[2].substr(63, 6), std::string("000123"));
}

void CreatelRunWindowTest::singleSupplyWritesTheNamedEmployeeWithoutAsking()
{
    DemoDesk desk;
    desk.open("1");
    desk.choose("Combo1", 3); // T=Normale SINGOLA
    QCOMPARE(desk.tx(1)->text(), QStringLiteral("N"));
    desk.type(4, QStringLiteral("4"));
    desk.click("Command2");

    QVERIFY(desk.successShown());
    for (const auto& shown : desk.prompter.shown)
        QVERIFY(!shown.question);
    const auto records = desk.file("TCU117");
    const std::string types = recordTypes(records);
    QVERIFY2(types.starts_with("ABCDG") && types.ends_with("GZ"), types.c_str());
    QCOMPARE(std::count(types.begin(), types.end(), 'D'), 1);
    checkTrailerCounts(records);
    QCOMPARE(records[3][83], ' ');
    QCOMPARE(records[3].substr(41, 5), std::string("00001"));
}

void CreatelRunWindowTest::everyStopShowsItsMessageAndLeavesNoFile()
{
    struct Case {
        const char* message;
        const char* archive;
        std::function<void(DemoDesk&)> prepare;
    };
    const auto annulment = [](const char* id, const char* protocol, const char* record) {
        return [=](DemoDesk& desk) { desk.chooseSupply(1, id, protocol, record); };
    };
    const std::vector<Case> cases = {
        {"Manca il numero Identificativo Entratel ", "7", annulment("   ", "000123", "1")},
        {"Manca il numero di Protocollo Sostituz/Annullamento ", "7", annulment("17020712345678901", "", "1")},
        {"Manca il numero di Record del dipendente da Annullare o Sostituire ", "7",
         annulment("17020712345678901", "000123", "")},
        // Protocol numbers that are no numbers, after the three checks of their presence.
        {"Manca il numero di Protocollo Sostituz/Annullamento ", "7", annulment("abc", "", "1")},
        {"Il numero Identificativo Entratel deve avere 17 cifre ", "7", annulment("abc", "xyz", "1")},
        {"Il numero Identificativo Entratel deve avere 17 cifre ", "7", annulment("1702071234567890", "000123", "1")},
        {"Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre ", "7",
         annulment("17020712345678901", "xyz", "1")},
        {"Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre ", "7",
         annulment("17020712345678901", "123", "1")},
        {"Archivio inesistente ", "9", [](DemoDesk&) {}},
        {"La CU deve essere per LD, quella selezionata e' per LA ", "7",
         [](DemoDesk& desk) { desk.patch(kDataFolder + "FCU7.017", 1200 + 2, "2"); }},
        {"Manca la data dell'impegno alla trasmissione ", "2", [](DemoDesk&) {}},
        {"Manca la tipologia dell'impegno alla trasmissione ", "2",
         [](DemoDesk& desk) { desk.type(9, QStringLiteral("28022017")); }},
        // A commitment the archive lacks, typed wrong: the date is looked at before the type.
        {"La data dell'impegno alla trasmissione e' errata ", "2",
         [](DemoDesk& desk) {
             desk.type(8, QStringLiteral("7"));
             desk.type(9, QStringLiteral("31022017"));
         }},
        {"La tipologia dell'impegno alla trasmissione deve essere 1 o 2 ", "2",
         [](DemoDesk& desk) {
             desk.type(8, QStringLiteral("7"));
             desk.type(9, QStringLiteral("28022017"));
         }},
        {"Grave !! Numero dipendenti pari a zero ", "7",
         [](DemoDesk& desk) { desk.patch(kDataFolder + "FCU7.017", 193, "    "); }},
        {"Archivio Dipendenti inesistente ", "7",
         [](DemoDesk& desk) { std::filesystem::remove(desk.root.path() / (kDataFolder + "DCU7.017")); }},
        {"Il record indicato non contiene un dipendente da trasmettere ", "1",
         [](DemoDesk& desk) {
             desk.choose("Combo1", 3);
             desk.type(4, QStringLiteral("3")); // the cancelled record
         }},
    };

    for (const Case& c : cases) {
        DemoDesk desk;
        desk.open(c.archive);
        c.prepare(desk);
        desk.prompter.shown.clear();
        desk.click("Command2");

        QVERIFY2(!desk.prompter.shown.empty(), c.message);
        const auto& last = desk.prompter.last();
        QCOMPARE(QString::fromStdString(last.text), QString::fromLatin1(c.message));
        QCOMPARE(last.title, std::string("Accesso"));
        QVERIFY(last.icon == records::Icon::Stop);
        QVERIFY2(!desk.successShown(), c.message);
        const std::string name = std::string("TCU") + c.archive + "17";
        QVERIFY2(!desk.hasFile(name), c.message);
        QVERIFY2(!desk.leftoverPartialFile(), c.message);
        QVERIFY2(desk.window->isVisible(), c.message);
    }
}

QTEST_MAIN(CreatelRunWindowTest)
#include "createl_run_window_test.moc"
