#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "payroll/code_tables.h"
#include "records/host_paths.h"
#include "testing/temp_root.h"

using namespace payroll;

namespace {

std::vector<std::string> codesOf(const CodeTable& table)
{
    std::vector<std::string> codes;
    for (const CodeEntry& entry : table.entries())
        codes.push_back(entry.heading ? "---" : entry.code);
    return codes;
}

std::string parseError(std::string_view text)
{
    try {
        CodeTable table("prova.txt", text);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "nessun errore";
}

} // namespace

// The worker types in the order of the payroll suite's list, as the employee register has
// always offered them; only the sport and entertainment codes have words of their own.
TEST(CodeTables, WorkerTypesKeepTheSuitesOrderAndSayWhatIsNotKnown)
{
    const CodeTables tables;
    const CodeTable& workerTypes = tables[Codes::WorkerType];
    EXPECT_EQ(codesOf(workerTypes),
              (std::vector<std::string>{"0",  "05", "AT", "B1", "B2", "B3", "B4", "BN", "CF", "CR", "D",  "DS",
                                        "DZ", "E1", "E2", "EM", "ES", "FS", "G",  "GA", "M",  "MF", "PM", "PR",
                                        "PT", "TF", "X1", "Z1", "X2", "Z2", "X3", "Y3", "Z3", "X4", "Z4", "SC",
                                        "SY", "SR", "SX", "SI", "ST", "SZ", "PA", "PB", "PC", "M1"}));
    EXPECT_EQ(workerTypes.describe("SC"), "Lavoratore dello spettacolo o dello sport");
    EXPECT_EQ(workerTypes.describe("SZ"), "Lavoratore dello spettacolo o dello sport");
    EXPECT_EQ(workerTypes.describe("05"), "(descrizione non disponibile)");
    // The field holds "0" followed by a blank.
    EXPECT_EQ(workerTypes.describe("0 "), "(descrizione non disponibile)");
    EXPECT_EQ(workerTypes.describe("QQ"), std::nullopt);
    EXPECT_EQ(workerTypes.describe("  "), std::nullopt);
}

// The contribution types have the words of the EMENS tables where those give them for
// certain, and none where the sources disagree or are not to be trusted.
TEST(CodeTables, ContributionTypesHaveTheirWordsWhereASourceGivesThemForCertain)
{
    const CodeTables tables;
    const CodeTable& types = tables[Codes::ContributionType];
    const std::vector<std::string> codes = codesOf(types);
    ASSERT_EQ(codes.size(), 152u);
    EXPECT_EQ(codes.front(), "A0");
    EXPECT_EQ(codes[29], "G0");
    EXPECT_EQ(codes[76], "V1");
    EXPECT_EQ(codes[83], "01");
    EXPECT_EQ(codes.back(), "99");
    const struct {
        const char* code;
        const char* words; // Windows-1252
    } cases[] = {
        {"A0  ", "Contratto di inserimento, et\xE0 18-29 anni, esclusi dai benefici D.Lgs 276/2003"},
        {"B4", "Contratto di inserimento, disoccupati di lunga durata 29-32 anni, riduzione 100%"},
        {"G0", "Lavoratore con contratto di lavoro intermittente a tempo indeterminato."},
        {"37", "Lavoratori richiamati alle armi"},
        {"96", "Riallineamento/gradualit\xE0, gi\xE0 denunciati (art.75 L.448/98)"},
        // Two sources, or two texts of one, that disagree.
        {"H0", "(descrizione non disponibile)"},
        {"F6", "(descrizione non disponibile)"},
        {"F7", "(descrizione non disponibile)"},
        {"72", "(descrizione non disponibile)"},
        {"99", "(descrizione non disponibile)"},
        // Words of little trust, and codes no source describes.
        {"77", "(descrizione non disponibile)"},
        {"63", "(descrizione non disponibile)"},
        {"J0", "(descrizione non disponibile)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(types.describe(c.code), c.words) << c.code;
    EXPECT_EQ(types.describe("    "), std::nullopt);
    EXPECT_EQ(types.describe("V2"), std::nullopt);
}

TEST(CodeTables, LegalFormsHaveTheRevenueAgencysWordsAndTheHeadingOfTheNonResidents)
{
    const CodeTables tables;
    const CodeTable& forms = tables[Codes::LegalForm];
    const std::vector<std::string> codes = codesOf(forms);
    ASSERT_EQ(codes.size(), 44u);
    EXPECT_EQ(codes[0], "0");
    EXPECT_EQ(codes[28], "28");
    EXPECT_EQ(codes[29], "---");
    EXPECT_EQ(codes[30], "30");
    EXPECT_EQ(codes[43], "43");
    EXPECT_EQ(forms.entries()[29].description, "---Soggetti non residenti----");
    EXPECT_EQ(forms.describe("0"), "Ditte individuali");
    // Windows-1252 bytes: a grave a is 0xE0.
    EXPECT_EQ(forms.describe("2"), "Societ\xE0 a responsabilit\xE0 limitata");
    EXPECT_EQ(forms.describe("28"), "Aziende coniugali");
    EXPECT_EQ(forms.describe("30"), "Societa semplici irreg.fatto");
    EXPECT_EQ(forms.describe("43"), "Altre organizz.di persone e beni");
    EXPECT_EQ(forms.describe("29"), std::nullopt);
    EXPECT_EQ(forms.describe("---Soggetti non residenti----"), std::nullopt);
    EXPECT_EQ(listEntries(forms, 3).at(1), "1  Societ\xE0 in accomandita per azioni");
    EXPECT_EQ(listEntries(forms, 3).at(29), "---Soggetti non residenti----");
}

// The employee register's lists as the payroll suite has always offered them, now tables.
TEST(CodeTables, TheEmployeeListsKeepTheSuitesCodesAndWords)
{
    const CodeTables tables;
    const struct {
        Codes table;
        std::size_t count;
        const char* first;
        const char* last;
        std::size_t width;
    } cases[] = {
        {Codes::Qualification1, 24, "1  Operaio", "U  Lavoratore autonomo sportivo professionista", 3},
        {Codes::Qualification2, 4, "F  Tempo pieno", "M  Tempo parziale misto", 3},
        {Codes::Qualification3, 6, "I  Tempo indeterminato", "G  Stagionale dal 1/1/2013 al 31/12/2015", 3},
        {Codes::Citizenship, 197, "000 Italia", "999 Apolide", 4},
        {Codes::HiringKind, 9, "1  Assunzione", "9  Altre motivazioni", 3},
        {Codes::TerminationReason, 11, "1A Licenziamento", "9  Altre motivazioni", 3},
        {Codes::WorkerKind, 14, "CS01 Lavoratore con indennita' art.80 L.388/2000",
         "APPC Apprendistato alta formazione e ricerca", 5},
        {Codes::Sector, 21, "A AGRICOLTURA, SILVICOLTURA E PESCA", "U ORGANIZZAZIONI ED ORGANISMI EXTRATERRITORIALI", 2},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> entries = listEntries(tables[c.table], c.width);
        ASSERT_EQ(entries.size(), c.count) << c.first;
        EXPECT_EQ(entries.front(), c.first);
        EXPECT_EQ(entries.back(), c.last);
    }
}

// An office's file of a table: the lines it can take change the table, each other line is
// named with what is wrong with it and changes nothing.
TEST(CodeTables, AnInstallationsFileAddsCodesReplacesWordsAndNamesTheLinesItCannotTake)
{
    const struct {
        const char* bytes;
        std::vector<std::string> codes;         // the table afterwards
        std::vector<std::string> descriptions;  // of those codes
        std::vector<std::string> problems;
    } cases[] = {
        {"# nostre correzioni\r\n\r\nB|Nuove parole\r\nC2|Codice nuovo\r\n",
         {"A", "B", "C2"}, {"Prima", "Nuove parole", "Codice nuovo"}, {}},
        // A line without words leaves the table's; blanks around the code do not count.
        {" A |\n", {"A", "B"}, {"Prima", ""}, {}},
        {"A Prima\nB|Due|Tre\n|Niente\nC D|Uno\nLUNGO|Troppo\nC|Uno\nC|Due\n",
         {"A", "B", "C"},
         {"Prima", "", "Uno"},
         {"riga 1: manca il separatore \"|\" tra codice e descrizione",
          "riga 2: piu' di un separatore \"|\" (attesi codice|descrizione)", "riga 3: codice vuoto",
          "riga 4: codice con spazi all'interno: \"C D\"", "riga 5: codice \"LUNGO\" piu' lungo di 2 caratteri",
          "riga 7: codice \"C\" gia' indicato alla riga 6"}},
        // The payroll suite's own Windows-1252, and a file saved as UTF-8, with or without its mark.
        {"A|Societ\xE0\n", {"A", "B"}, {"Societ\xE0", ""}, {}},
        {"A|Societ\xC3\xA0\n", {"A", "B"}, {"Societ\xE0", ""}, {}},
        {"\xEF\xBB\xBF" "A|Uno\n", {"A", "B"}, {"Uno", ""}, {}},
        {"A|\xCE\xA9\nB|Tab\tqui\n---Altri codici\nZ|Zeta\n",
         {"A", "B", "---", "Z"},
         {"Prima", "", "---Altri codici", "Zeta"},
         {"riga 1: testo non rappresentabile in Windows-1252", "riga 2: carattere di controllo nel testo"}},
    };
    for (const auto& c : cases) {
        CodeTable table("prova.txt", "A|Prima\nB|\n");
        EXPECT_EQ(table.join(c.bytes, 2), c.problems) << c.bytes;
        EXPECT_EQ(codesOf(table), c.codes) << c.bytes;
        std::vector<std::string> descriptions;
        for (const CodeEntry& entry : table.entries())
            descriptions.push_back(entry.description);
        EXPECT_EQ(descriptions, c.descriptions) << c.bytes;
    }
}

TEST(CodeTables, TheInstallationsFilesJoinTheirTablesAndTheirFaultsAreNamedOnce)
{
    records::testing::TempRoot root;
    const records::PathMapper paths(root.path());
    // No folder of tables: the tables as built, nothing to say.
    const CodeTables built(paths, "C:");
    EXPECT_TRUE(built.problems().empty());
    EXPECT_EQ(built.problemSummary(), "");
    EXPECT_EQ(built[Codes::WorkerType].describe("0"), "(descrizione non disponibile)");

    root.write("c/wnolv/tabcom/codici/TIPO_LAVORATORE.txt", "0|Dipendente senza tipo particolare\nQ9|Codice nuovo\n");
    root.write("c/wnolv/tabcom/codici/tipo_contribuzione.txt", "# ufficio\nJ0|Parole dell'ufficio\nJ1\n");
    std::filesystem::create_directories(root.path() / "c/wnolv/tabcom/codici/settore.txt");
    const CodeTables office(paths, "C:");
    EXPECT_EQ(office[Codes::WorkerType].describe("0"), "Dipendente senza tipo particolare");
    EXPECT_EQ(office[Codes::WorkerType].entries().back().code, "Q9");
    EXPECT_EQ(office[Codes::ContributionType].describe("J0"), "Parole dell'ufficio");
    EXPECT_EQ(office[Codes::ContributionType].describe("J1"), "(descrizione non disponibile)");
    // A table whose file cannot be read stays as built.
    EXPECT_EQ(office[Codes::Sector].entries().size(), 21u);
    EXPECT_EQ(office.problems(),
              (std::vector<std::string>{
                  "C:\\wnolv\\tabcom\\codici\\tipo_contribuzione.txt, riga 3: manca il separatore \"|\" tra codice e "
                  "descrizione; riga non usata",
                  "C:\\wnolv\\tabcom\\codici\\settore.txt: e' una cartella; vale la tabella del programma"}));
    EXPECT_EQ(office.problemSummary(),
              "Tabelle dei codici: C:\\wnolv\\tabcom\\codici\\tipo_contribuzione.txt, riga 3: manca il separatore "
              "\"|\" tra codice e descrizione; riga non usata (e un altro errore)");
}

TEST(CodeTables, EmployeeFieldsAreNamedWithTheirUniEmensElementAndKind)
{
    const std::vector<EmployeeFieldName>& names = employeeFieldNames();
    ASSERT_EQ(names.size(), 268u);
    const struct {
        int entry;
        FieldKind kind;
        const char* element;
        const char* description;
    } pinned[] = {
        {1, FieldKind::Text, "CFLavoratore", "Codice fiscale del lavoratore"},
        {21, FieldKind::Amount, "Imponibile", "Imponibile"},
        {23, FieldKind::Text, "", "Non usato nella denuncia UniEmens"},
        // An authorization number is a text, never a number with a comma.
        {51, FieldKind::Text, "NumAutorizzCIGO", "Cassa integrazione ordinaria: numero di autorizzazione (prima)"},
        {52, FieldKind::Number, "NumOreCIGO", "Cassa integrazione ordinaria: ore (prima autorizzazione)"},
        {63, FieldKind::Amount, "RetribTeorica", "Retribuzione teorica"},
        {83, FieldKind::Text, "CodiceEvento", "Settimana 1: codice evento"},
        {98, FieldKind::Text, "CodiceEvento", "Settimana 6: codice evento"},
        {117, FieldKind::Date, "DataScelta", "Destinazione del TFR: data della scelta (aaaammgg)"},
        {153, FieldKind::Text, "", "Assunzione nel mese (X)"},
        {184, FieldKind::Text, "Lavorato", "Giorno 1: lavorato (S o N)"},
        {214, FieldKind::Text, "Lavorato", "Giorno 31: lavorato (S o N)"},
        {218, FieldKind::Text, "TipoPaga", "Tipo di paga: M mensile, G giornaliera"},
        {251, FieldKind::Text, "TipoCoperturaGiorn", "Giorno 31: tipo di copertura"},
        {257, FieldKind::Text, "UnitaOperativa", "Unit\xE0 operativa"},
        {265, FieldKind::Amount, "Importo", "Convenzione bilaterale (terza): importo"},
        {266, FieldKind::Text, "CodConv", "Convenzione bilaterale (terza): codice"},
        {267, FieldKind::Text, "", ""},
    };
    for (const auto& field : pinned) {
        SCOPED_TRACE(field.entry);
        const EmployeeFieldName& name = names[static_cast<std::size_t>(field.entry)];
        EXPECT_EQ(name.entry, field.entry);
        EXPECT_EQ(name.kind, field.kind);
        EXPECT_EQ(name.element, field.element);
        EXPECT_EQ(name.description, field.description);
    }
}

TEST(CodeTables, AMalformedTableFileIsRefusedByLine)
{
    EXPECT_EQ(parseError("# titolo\nA1|Uno\n\nA2|Due\n"), "nessun errore");
    EXPECT_EQ(parseError("A1|Uno\nA2\n"), "prova.txt, riga 2: attesi codice|descrizione");
    EXPECT_EQ(parseError("A1|Uno\r\n A1 |Ancora\r\n"), "prova.txt, riga 2: codice ripetuto");
    EXPECT_EQ(parseError("|Niente\n"), "prova.txt, riga 1: codice vuoto");
    EXPECT_EQ(parseError("A1|Uno|Due\n"), "prova.txt, riga 1: attesi codice|descrizione");
    // The euro sign is in the code page, the Greek omega is not.
    EXPECT_EQ(parseError("E1|Dieci \xE2\x82\xAC\n"), "nessun errore");
    EXPECT_EQ(parseError("O1|\xCE\xA9\n"), "prova.txt, riga 1: testo non rappresentabile in Windows-1252");
    EXPECT_EQ(parseError("O1|\xC0\xAF\n"), "prova.txt, riga 1: testo non rappresentabile in Windows-1252");
}

TEST(CodeTables, StoredNumbersAreShownWithADecimalComma)
{
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"     1234.56", "1234,56"}, {"-12.5", "-12,5"}, {"  12  ", "12"},  {"0.00", "0,00"},
        {"1.2.3", "1.2.3"},         {"A1.0", "A1.0"},   {".", "."},        {"", ""},
        {"12-3.5", "12-3.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shownNumber(c.stored), c.shown) << c.stored;
}
