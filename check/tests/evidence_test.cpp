#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "check/tests/program_files.h"

// Files written as other software writes them, which the authorities accept (the facts
// gathered, with their sources, in the project's notes on the two formats): made from the
// program's own files with the one change each fact shows, they give nothing that blocks
// the sending. Where the check says something of them, it is a warning that names what it
// rests on.

using namespace check::testing;

namespace {

// The lines of a check but the twenty warnings that April's restaurant file has of its own:
// its entertainer's days without a coverage code.
std::vector<std::string> withoutTheEntertainersDays(const std::vector<std::string>& lines)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (line.find("FABBRI CHIARA: Elemento TipoCoperturaGiorn (copertura del giorno) vuoto") == std::string::npos)
            kept.push_back(line);
    }
    return kept;
}

// A line without its "riga N ", for files whose lines moved with the change.
std::string withoutLine(const std::string& line)
{
    return std::regex_replace(line, std::regex("^(BLOCCANTE|AVVISO) riga [0-9]+ "), "$1 ");
}

// Every amount of an XML file written with a decimal comma instead of the point.
void amountsWithAComma(std::string& bytes)
{
    bytes = std::regex_replace(bytes, std::regex(">([0-9]+)\\.([0-9]{1,2})<"), ">$1,$2<");
}

// The text from `from` up to and with the end of the first `to` after it.
std::string cut(std::string& bytes, const std::string& from, const std::string& to, int nth = 1)
{
    auto start = bytes.find(from);
    for (int k = 1; k < nth; ++k)
        start = bytes.find(from, start + 1);
    const auto end = bytes.find(to, start) + to.size();
    std::string part = bytes.substr(start, end - start);
    bytes.erase(start, end - start);
    return part;
}

// A day in a year far enough that nothing of the test files is in the future.
constexpr check::Day kLaterDay = 20270101;

} // namespace

// ------------------------------------------------------------------ UniEmens

// Amounts in accepted files have a decimal comma ("17,11"); a file that writes them so is
// fine, and so is one with points. Only a file that mixes the two is told, once.
TEST(OtherSoftwareUniemens, U1_AmountsWithADecimalComma)
{
    EXPECT_EQ(joined(checkDamaged("fc0010316.xml", amountsWithAComma).lines), "");
    const Checked mixed = checkDamaged("fc0010316.xml", all({amountsWithAComma, replace("868,23", "868.23")}));
    EXPECT_EQ(joined(mixed.lines),
              "AVVISO riga 82 elemento DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale/DatiRetributivi/"
              "Contributo persona RMNGPP69S02G273A ROMANO GIUSEPPE: Contributo (contributi dovuti) '868.23' con il "
              "punto, mentre l'importo della riga 33 ha la virgola: un file scrive gli importi in una forma sola (detto "
              "una volta per il file) (altri programmi scrivono la virgola, questo programma il punto; non e' nota una "
              "regola dell'INPS)\n");
}

// Imponibile is a whole number of euro: 1063 for 1062,61.
TEST(OtherSoftwareUniemens, U2_TaxablePayInWholeEuro)
{
    EXPECT_EQ(joined(checkDamaged("fc0010316.xml", replace("<Imponibile>2108<", "<Imponibile>1063<")).lines), "");
}

// IdSettimana numbers the week in the year: weeks run Sunday to Saturday, week 1 holds
// 1 January. December 2020 has weeks 49-53, January 2021 weeks 1-6 (the sixth holds only
// Sunday 31), October 2021 weeks 40-45, July 2026 weeks 27-31.
TEST(OtherSoftwareUniemens, U3_WeeksOfTheYear)
{
    struct Month {
        const char* month;
        std::vector<const char*> weeks; // in place of March 2016's 10 to 14
        const char* sixth;              // a sixth week for Ferrari, or nullptr
    };
    const Month months[] = {
        {"2020-12", {"49", "50", "51", "52", "53"}, nullptr},
        {"2021-01", {"1", "2", "3", "4", "5"}, "6"},
        {"2021-10", {"40", "41", "42", "43", "44"}, "45"},
        {"2026-07", {"27", "28", "29", "30", "31"}, nullptr},
    };
    for (const Month& m : months) {
        SCOPED_TRACE(m.month);
        std::vector<Damage> changes = {replace("2016-03", m.month)};
        for (int k = 0; k < 5; ++k)
            changes.push_back(replaceAll("<IdSettimana>" + std::to_string(10 + k) + "<",
                                         std::string("<IdSettimana>") + m.weeks[static_cast<std::size_t>(k)] + "<"));
        if (m.sixth)
            changes.push_back(replace("<GiorniRetribuiti>",
                                      std::string("<Settimana>\r\n<IdSettimana>") + m.sixth
                                          + "</IdSettimana>\r\n<TipoCopertura>X</TipoCopertura>\r\n</Settimana>\r\n"
                                            "<GiorniRetribuiti>"));
        EXPECT_EQ(joined(checkDamaged("fc0010316.xml", all(changes), kLaterDay).lines), "");
    }
}

// The edges of the INPS checks of weeks against days: five covered weeks hold from five to
// thirty paid days, and a week paid in part (2) is covered.
TEST(OtherSoftwareUniemens, U4_PaidDaysWithinTheCoveredWeeks)
{
    const Checked checked = checkDamaged(
        "fp0040416.xml", all({replace("<GiorniRetribuiti>26<", "<GiorniRetribuiti>30<"),
                              replace("<GiorniRetribuiti>26<", "<GiorniRetribuiti>5<"),
                              replace("<TipoCopertura>X<", "<TipoCopertura>2<", 6)}));
    EXPECT_EQ(joined(checked.lines), "");
}

// A company holds one PosContributiva per INPS matricola, so it may have several, and its
// ListaCollaboratori may stand beside them.
TEST(OtherSoftwareUniemens, U5_PositionsAndCollaboratorsInOneCompany)
{
    const std::string list = [] {
        std::string collaborators = programFiles().at("uea0050316.xml");
        return cut(collaborators, "<ListaCollaboratori>", "</ListaCollaboratori>\r\n");
    }();
    const Damage twoPositions = [&](std::string& bytes) {
        std::string position = bytes.substr(bytes.find("<PosContributiva"));
        position = position.substr(0, position.find("</PosContributiva>\r\n") + 20);
        replace("<Matricola>8112345678<", "<Matricola>8112345679<")(position);
        replace("</Azienda>", position + list + "</Azienda>")(bytes);
    };
    EXPECT_EQ(joined(checkDamaged("fc0010316.xml", twoPositions).lines), "");

    // One matricola twice still blocks.
    const Damage samePosition = [](std::string& bytes) {
        std::string position = bytes.substr(bytes.find("<PosContributiva"));
        position = position.substr(0, position.find("</PosContributiva>\r\n") + 20);
        replace("</Azienda>", position + "</Azienda>")(bytes);
    };
    EXPECT_EQ(joined(checkDamaged("fc0010316.xml", samePosition).lines),
              "BLOCCANTE riga 195 elemento DenunceMensili/Azienda/PosContributiva/Matricola: La matricola '8112345678' "
              "dell'azienda '08534210011' compare due volte nel file: una posizione contributiva per matricola\n");
}

// Files of later releases carry elements the 2016 layout does not have: each is named as a
// warning and the rest is checked. TipoPaga "H" (hourly) is known; SedeINPS and GestioneTFR
// may be left out.
TEST(OtherSoftwareUniemens, U6_ElementsOfLaterReleases)
{
    const Damage later = all({
        replace("<SedeINPS>7001</SedeINPS>\r\n", ""),
        replace("<TipoPaga>M<", "<TipoPaga>H<"),
        replace("<CodiceContratto>TU01</CodiceContratto>\r\n",
                "<CodiceContratto>TU01</CodiceContratto>\r\n<TipoCodiceContratto>CCNL</TipoCodiceContratto>\r\n"
                "<UnitaProduttiva>1</UnitaProduttiva>\r\n<QualProf>512</QualProf>\r\n"
                "<DivisoreOrarioContr>173</DivisoreOrarioContr>\r\n"
                "<OrarioGiornMedioContrattuale>480</OrarioGiornMedioContrattuale>\r\n"
                "<TipoApplCongedoParOre>1</TipoApplCongedoParOre>\r\n"),
        replace("<Contributo>", "<TipoRetrMal>1</TipoRetrMal>\r\n<PercPartTimeMese>7500</PercPartTimeMese>\r\n"
                                "<OreLavorabili>120</OreLavorabili>\r\n<Contributo>"),
        replace("<AltreADebito>", "<InfoAggCausaliContrib>\r\n<CodiceCausale>M100</CodiceCausale>\r\n"
                                  "</InfoAggCausaliContrib>\r\n<AltreADebito>"),
        replace("<Lavorato>S</Lavorato>", "<Lavorato>S</Lavorato>\r\n<EventoGiorn>MAL</EventoGiorn>"),
        replace("<CodiceEvento>MAL</CodiceEvento>\r\n<DiffAccredito>",
                "<CodiceEvento>MAL</CodiceEvento>\r\n<InfoEvento>X</InfoEvento>\r\n<DiffAccredito>"),
        [](std::string& bytes) { cut(bytes, "<GestioneTFR>", "</GestioneTFR>\r\n", 3); },
    });
    const Checked checked = checkDamaged("fc0030416.xml", later);
    std::string lines;
    for (const std::string& line : withoutTheEntertainersDays(checked.lines))
        lines += withoutLine(line) + "\n";
    const std::string cook = "DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale";
    const std::string person = " persona DNGNDR84P27H501H D'ANGELO ANDREA: Elemento ";
    const std::string unknown = " nel tracciato noto al programma: non controllato\n";
    EXPECT_EQ(lines,
              "AVVISO elemento " + cook + person + "TipoCodiceContratto non previsto in DenunciaIndividuale (denuncia "
              "individuale)" + unknown
              + "AVVISO elemento " + cook + person + "UnitaProduttiva non previsto in DenunciaIndividuale (denuncia "
              "individuale)" + unknown
              + "AVVISO elemento " + cook + person + "QualProf non previsto in DenunciaIndividuale (denuncia "
              "individuale)" + unknown
              + "AVVISO elemento " + cook + person + "DivisoreOrarioContr non previsto in DenunciaIndividuale (denuncia "
              "individuale)" + unknown
              + "AVVISO elemento " + cook + person + "OrarioGiornMedioContrattuale non previsto in DenunciaIndividuale "
              "(denuncia individuale)" + unknown
              + "AVVISO elemento " + cook + person + "TipoApplCongedoParOre non previsto in DenunciaIndividuale "
              "(denuncia individuale)" + unknown
              + "AVVISO elemento " + cook + "/DatiRetributivi" + person + "TipoRetrMal non previsto in DatiRetributivi "
              "(dati retributivi)" + unknown
              + "AVVISO elemento " + cook + "/DatiRetributivi" + person + "PercPartTimeMese non previsto in "
              "DatiRetributivi (dati retributivi)" + unknown
              + "AVVISO elemento " + cook + "/DatiRetributivi" + person + "OreLavorabili non previsto in "
              "DatiRetributivi (dati retributivi)" + unknown
              + "AVVISO elemento " + cook + "/DatiRetributivi" + person + "InfoAggCausaliContrib non previsto in "
              "DatiRetributivi (dati retributivi)" + unknown
              + "AVVISO elemento " + cook + "/DatiRetributivi/Giorno" + person + "EventoGiorn non previsto in Giorno "
              "(giorno del mese)" + unknown
              + "AVVISO elemento " + cook + "/DatiRetributivi/DifferenzeAccredito" + person + "InfoEvento non previsto "
              "in DifferenzeAccredito (differenze di accredito)" + unknown);
}

// In a real file Cessazione comes before Assunzione.
TEST(OtherSoftwareUniemens, U7_EndOfEmploymentBeforeHiring)
{
    const Damage swapped = [](std::string& bytes) {
        const std::string hiring = cut(bytes, "<Assunzione>", "</Assunzione>\r\n");
        replace("</Cessazione>\r\n", "</Cessazione>\r\n" + hiring)(bytes);
    };
    EXPECT_EQ(joined(withoutTheEntertainersDays(checkDamaged("fc0030416.xml", swapped).lines)), "");
}

// A collaborators' writer puts CodCalamita and CodCertificazione directly under
// Collaboratore, and an ATECO 2002 activity code of five digits.
TEST(OtherSoftwareUniemens, U8_CollaboratorsAsAnotherWriterWritesThem)
{
    const Damage other = all({
        replace("<CodCalamita>07</CodCalamita>\r\n<CodCertificazione>123</CodCertificazione>\r\n", ""),
        replace("<Agevolazione>",
                "<CodCalamita>07</CodCalamita>\r\n<CodCertificazione>123</CodCertificazione>\r\n<Agevolazione>"),
        replace("<ISTAT>037006<", "<ISTAT>80301<"),
    });
    EXPECT_EQ(joined(checkDamaged("uea0050416.xml", other).lines), "");
}

// TotaleADebito written as a whole number, the rounded sum of the Contributo amounts
// (695.64 + 868.23 + 453.09 = 2016.96); a total that is not that sum is told as a warning.
TEST(OtherSoftwareUniemens, U9_TotalDueInWholeEuro)
{
    EXPECT_EQ(joined(checkDamaged("fc0010316.xml", replace("<TotaleADebito>2016.96<", "<TotaleADebito>2017<")).lines),
              "");
    EXPECT_EQ(joined(checkDamaged("fc0010316.xml", replace("<TotaleADebito>2016.96<", "<TotaleADebito>2100<")).lines),
              "AVVISO riga 189 elemento DenunceMensili/Azienda/PosContributiva/DenunciaAziendale/DatiQuadraturaRetrContr/"
              "TotaleADebito: TotaleADebito '2100' diverso dalla somma dei Contributo delle denunce individuali della "
              "posizione contributiva: 2016,96 (secondo i file di altri programmi, non secondo una regola nota "
              "dell'INPS)\n");
}

// ------------------------------------------------------------------ CU

// Record B as other writers of the format fill it: 402-409 the number of records D in the
// file, whatever the archive held (here three of four certifications), 410 the quadro CT
// box, 411 and 437 the two signatures, the intermediary with commitment and date.
TEST(OtherSoftwareCu, C1_RecordBCountsTheCertificationsOfTheFile)
{
    const Checked checked = checkDamaged(
        "TCU117", all({removeRecord(11), removeRecord(10), put(2, 402, "00000003"),
                       put(10, 34, "000000003000000003")})); // record Z, counts of D and G
    EXPECT_EQ(joined(checked.lines), "");
}

// Without an intermediary a writer puts "0" at 428, "00000000" at 429-436 and "0" at 437,
// and the withholding agent sends its own certifications (supplier type 01).
TEST(OtherSoftwareCu, C2_NoIntermediaryWrittenWithZeros)
{
    const Checked checked = checkDamaged(
        "TCU117", all({put(1, 21, "0108534210011     "), put(2, 412, std::string(16, ' ') + "0000000000")}));
    EXPECT_EQ(joined(checked.lines), "");
}

// A file may hold certifications of self-employment in records H beside those of records D
// and G; record Z counts them in positions 52-60. Their quadri are named once as not checked.
TEST(OtherSoftwareCu, C3_RecordsHOfSelfEmployment)
{
    const Damage selfEmployment = [](std::string& bytes) {
        std::string d = bytes.substr(9 * kRecord, kRecord); // Rossi's record D, certification 00005
        d.replace(41, 5, "00005");
        std::string h = "H" + d.substr(1, 45) + std::string(43, ' ');
        for (const char* element : {"AU001001A               ", "AU001004         1000,00", "AU001008         1000,00",
                                    "AU001009          200,00"})
            h += element;
        h += std::string(kRecord - 3 - h.size(), ' ') + "A\r\n";
        bytes.insert(11 * kRecord, d + h);
        put(2, 402, "00000005")(bytes);
        put(14, 34, "000000005")(bytes);
        put(14, 52, "000000001")(bytes);
    };
    EXPECT_EQ(joined(checkDamaged("TCU117", selfEmployment).lines),
              "AVVISO record 13 posizione 90 persona RSSLRT58P08L219B ROSSI ALBERTO: Record H (lavoro autonomo, "
              "provvigioni, redditi diversi: quadri AU): il programma ne controlla l'intestazione e il posto, non i "
              "quadri; detto una volta per il file\n");
}

// A province field takes "EE" for a foreign country.
TEST(OtherSoftwareCu, C4_ForeignCountryAsProvince)
{
    EXPECT_EQ(joined(checkDamaged("TCU117", put(4, 218, "EE")).lines), "");
}

// The signer's codice carica from the Agency's table (12 is its last code), the
// representative a person.
TEST(OtherSoftwareCu, C5_SignerOfTheTable)
{
    EXPECT_EQ(joined(checkDamaged("TCU117", put(2, 326, "12")).lines), "");
}

// Amounts with a decimal comma, however small: five cents are not zero.
TEST(OtherSoftwareCu, C6_AmountsWithADecimalComma)
{
    EXPECT_EQ(joined(checkDamaged("TCU117", put(5, 170, "            0,05")).lines), "");
}
