#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "payroll/code_tables.h"

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
    EXPECT_EQ(codesOf(workerTypes()),
              (std::vector<std::string>{"0",  "05", "AT", "B1", "B2", "B3", "B4", "BN", "CF", "CR", "D",  "DS",
                                        "DZ", "E1", "E2", "EM", "ES", "FS", "G",  "GA", "M",  "MF", "PM", "PR",
                                        "PT", "TF", "X1", "Z1", "X2", "Z2", "X3", "Y3", "Z3", "X4", "Z4", "SC",
                                        "SY", "SR", "SX", "SI", "ST", "SZ", "PA", "PB", "PC", "M1"}));
    EXPECT_EQ(workerTypes().describe("SC"), "Lavoratore dello spettacolo o dello sport");
    EXPECT_EQ(workerTypes().describe("SZ"), "Lavoratore dello spettacolo o dello sport");
    EXPECT_EQ(workerTypes().describe("05"), "(descrizione non disponibile)");
    // The field holds "0" followed by a blank.
    EXPECT_EQ(workerTypes().describe("0 "), "(descrizione non disponibile)");
    EXPECT_EQ(workerTypes().describe("QQ"), std::nullopt);
    EXPECT_EQ(workerTypes().describe("  "), std::nullopt);
}

TEST(CodeTables, ContributionTypesHoldTheCodesOfTheListWithoutTheOrdinaryContribution)
{
    const std::vector<std::string> codes = codesOf(contributionTypes());
    ASSERT_EQ(codes.size(), 152u);
    EXPECT_EQ(codes.front(), "A0");
    EXPECT_EQ(codes[29], "G0");
    EXPECT_EQ(codes[76], "V1");
    EXPECT_EQ(codes[83], "01");
    EXPECT_EQ(codes.back(), "99");
    EXPECT_EQ(contributionTypes().describe("J0  "), "(descrizione non disponibile)");
    EXPECT_EQ(contributionTypes().describe("    "), std::nullopt);
    EXPECT_EQ(contributionTypes().describe("V2"), std::nullopt);
}

TEST(CodeTables, LegalFormsHaveTheRevenueAgencysWordsAndTheHeadingOfTheNonResidents)
{
    const CodeTable& forms = legalForms();
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
