#include <gtest/gtest.h>

#include <sstream>

#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/host_paths.h"
#include "records/record_file.h"
#include "testing/temp_root.h"
#include "uniemens/employee_block.h"
#include "uniemens/series_stop.h"
#include "uniemens/tests/uniemens_test_support.h"
#include "uniemens/xml_lines.h"

using payroll::CompanyHeaderFields;
using payroll::EmployeeEntries;
using uniemens::testing::crlf;

namespace {

CompanyHeaderFields header(const char* month = "03", const char* cancellation = "0")
{
    CompanyHeaderFields h = uniemens::testing::companyHeader("001", "0");
    h[2] = month;
    h[15] = cancellation;
    return h;
}

// The lines written for one employee record, as they stand in the file.
std::string blockText(const EmployeeEntries& employee, const CompanyHeaderFields& company)
{
    records::testing::TempRoot root;
    const records::PathMapper paths(root.path());
    records::NewFile file = records::NewFile::ofLines(paths, "C:\\block.xml");
    EXPECT_TRUE(file.create().ok());
    uniemens::XmlLines out(file);
    const std::string record = payroll::packEmployee(employee);
    const std::string headerRecord = payroll::packCompanyHeader(company);
    const payroll::RecordFields fields(payroll::employeeLayout(), record, payroll::kEmployeeFieldCount);
    const payroll::RecordFields headerFields(payroll::companyHeaderLayout(), headerRecord,
                                              payroll::kCompanyHeaderFieldCount);
    uniemens::writeEmployeeBlock(fields, headerFields, "2016", "03", out);
    out.flush();
    EXPECT_TRUE(file.commit().ok());
    const std::string text = root.read("c/block.xml");
    // One element: a well-formed document of its own.
    EXPECT_EQ(uniemens::testing::parsedTexts(text, "CFLavoratore").size(), 1u);
    return text;
}

// Compares line by line, naming the first line that differs.
void expectSameLines(const std::string& actual, const std::string& expected)
{
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    int number = 0;
    while (true) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreE = static_cast<bool>(std::getline(e, lineE));
        ++number;
        if (!moreA && !moreE)
            return;
        ASSERT_EQ(moreA ? lineA : "(end)", moreE ? lineE : "(end)") << "line " << number;
    }
}

EmployeeEntries minimalEmployee()
{
    EmployeeEntries f;
    f[1] = "RSSMRA80A01F205X";
    f[2] = "ROSSI";
    f[3] = "MARIO";
    f[4] = "1";
    f[5] = "F";
    f[6] = "I";
    f[9] = "F205";
    f[10] = "011";
    f[11] = "4000";
    f[13] = "1300";
    f[19] = "0";
    f[21] = "2000";
    f[22] = "0.00";
    f[63] = "2107.50";
    f[64] = "26";
    f[66] = "S";
    f[125] = "2107.69";
    return f;
}

} // namespace

TEST(EmployeeBlock, AnEmployeeWithNothingParticularGetsTheFixedElementsOnly)
{
    expectSameLines(blockText(minimalEmployee(), header()), crlf({
        "<DenunciaIndividuale>",
        "<CFLavoratore>RSSMRA80A01F205X</CFLavoratore>",
        "<Cognome>ROSSI</Cognome>",
        "<Nome>MARIO</Nome>",
        "<Qualifica1>1</Qualifica1>",
        "<Qualifica2>F</Qualifica2>",
        "<Qualifica3>I</Qualifica3>",
        "<Cittadinanza>000</Cittadinanza>",
        "<CodiceComune>F205</CodiceComune>",
        "<CodiceContratto>011</CodiceContratto>",
        "<TipoPaga>M</TipoPaga>",
        "<OrarioContrattuale>4000</OrarioContrattuale>",
        "<NumMensilita>1300</NumMensilita>",
        "<DatiRetributivi>",
        "<TipoLavoratore>0</TipoLavoratore>",
        "<Imponibile>2000</Imponibile>",
        "<Contributo>0</Contributo>",
        "<RetribTeorica>2108</RetribTeorica>",
        "<GiorniRetribuiti>26</GiorniRetribuiti>",
        "<GiorniContribuiti>26</GiorniContribuiti>",
        "<RispettoMinimale>S</RispettoMinimale>",
        "</DatiRetributivi>",
        "<GestioneTFR>",
        "<MeseTFR>",
        "<BaseCalcoloTFR>2107.69</BaseCalcoloTFR>",
        "</MeseTFR>",
        "</GestioneTFR>",
        "</DenunciaIndividuale>",
    }));
}

TEST(EmployeeBlock, APartTimeEmployeeHiredThisMonthWithEveryKindOfAmount)
{
    EmployeeEntries f = minimalEmployee();
    f[1] = "VRDLGU85C12F205Z";
    f[2] = "VERDI";
    f[3] = "LUIGI";
    f[5] = "P";
    f[7] = "0001";
    f[8] = "100";
    f[11] = "2000";
    f[12] = "5000";
    f[14] = "01";
    f[15] = "2";
    f[16] = "1234567890";
    f[153] = "x";
    f[17] = "31"; // terminated on the 31st, but not marked as terminated this month
    f[18] = "1A";
    f[20] = "NR00";
    f[21] = "1250";
    f[22] = "123.45";
    f[24] = "0";
    f[25] = "100.00";
    f[26] = "5.00";
    f[32] = "12.00";
    f[161] = "S110";
    f[33] = "10.00";
    f[34] = "M100";
    f[43] = "137.50";
    f[215] = "INC1";
    f[216] = "ENT";
    f[217] = "0";
    f[220] = "50.00";
    f[48] = "300.00";
    f[51] = "AUT1";
    f[52] = "8";
    f[166] = "AUT3";
    f[167] = "4";
    f[103] = "25.00";
    f[74] = "15.00";
    f[75] = "D100";
    f[76] = "0";
    f[77] = "12";
    f[63] = "1234.5005";
    f[81] = "1", f[82] = "X", f[83] = "MAL";
    f[84] = "2", f[85] = "X", f[86] = "MA"; // an event code of two characters is no code
    f[87] = "0", f[88] = "X", f[89] = "MAL";
    f[183] = "3";
    f[184] = "S", f[185] = "s", f[186] = "N", f[187] = "S";
    f[99] = "100.00", f[100] = "MB2", f[101] = "4";
    f[176] = "55.00", f[177] = "MAL";
    f[65] = "88";
    f[67] = "5";
    f[261] = "10.00", f[262] = "C1";
    f[265] = "5.00", f[266] = "C3";
    f[68] = "11", f[69] = "4", f[70] = "15";
    f[102] = "80.00"; // severance pay is declared in February only
    f[116] = "SC";
    f[117] = "20160315";
    f[118] = "PRE";
    f[119] = "SI";
    f[121] = "20160301";
    f[122] = "FPC1";
    f[123] = "TQ1";
    f[124] = "2.50";
    f[125] = "2000.00";
    f[126] = "1500.00";
    f[128] = "30.00"; // counts for MeseTesoreria, is not declared in it
    f[179] = "7.00", f[180] = "MC2";
    f[218] = "X";
    f[219] = "s";
    f[257] = "2";

    expectSameLines(blockText(f, header()), crlf({
        "<DenunciaIndividuale>",
        "<CFLavoratore>VRDLGU85C12F205Z</CFLavoratore>",
        "<Cognome>VERDI</Cognome>",
        "<Nome>LUIGI</Nome>",
        "<Qualifica1>1</Qualifica1>",
        "<Qualifica2>P</Qualifica2>",
        "<Qualifica3>I</Qualifica3>",
        "<TipoContribuzione>0001</TipoContribuzione>",
        "<RegimePost95>s</RegimePost95>",
        "<Cittadinanza>100</Cittadinanza>",
        "<UnitaOperativa>2</UnitaOperativa>",
        "<CodiceComune>F205</CodiceComune>",
        "<CodiceContratto>011</CodiceContratto>",
        "<TipoPaga>M</TipoPaga>",
        "<OrarioContrattuale>2000</OrarioContrattuale>",
        "<PercPartTime>5000</PercPartTime>",
        "<NumMensilita>1300</NumMensilita>",
        "<Assunzione>",
        "<GiornoAssunzione>01</GiornoAssunzione>",
        "<TipoAssunzione>2</TipoAssunzione>",
        "<MatricolaProvenienza>1234567890</MatricolaProvenienza>",
        "</Assunzione>",
        "<DatiRetributivi>",
        "<TipoLavoratore>0</TipoLavoratore>",
        "<TipoLavStat>NR00</TipoLavStat>",
        "<Imponibile>1250</Imponibile>",
        "<Contributo>123.45</Contributo>",
        "<ContribuzioneAggiuntiva>",
        "<Contrib1PerCento>",
        "<ImponibileCtrAgg>100.00</ImponibileCtrAgg>",
        "</Contrib1PerCento>",
        "<Regolarizz1PerCento>",
        "<ContribAggRegolarizz>5.00</ContribAggRegolarizz>",
        "</Regolarizz1PerCento>",
        "</ContribuzioneAggiuntiva>",
        "<Malattia>",
        "<MalACredito>",
        "<MalACredAltre>",
        "<CausaleRecMal>S110</CausaleRecMal>",
        "<ImportoRecMal>12.00</ImportoRecMal>",
        "</MalACredAltre>",
        "</MalACredito>",
        "</Malattia>",
        "<Maternita>",
        "<MatADebito>",
        "<CausaleVersMat>M100</CausaleVersMat>",
        "<ImportoVersMat>10.00</ImportoVersMat>",
        "</MatADebito>",
        "</Maternita>",
        "<GestioneANF>",
        "<ANFACredito>",
        "<AssegniCorrenti>137.50</AssegniCorrenti>",
        "</ANFACredito>",
        "</GestioneANF>",
        "<Incentivo>",
        "<TipoIncentivo>INC1</TipoIncentivo>",
        "<CodEnteFinanziatore>ENT</CodEnteFinanziatore>",
        "<ImportoArrIncentivo>50.00</ImportoArrIncentivo>",
        "</Incentivo>",
        "<GestioneCIG>",
        "<CIGOrdACredito>",
        "<IndOrdinaria>300.00</IndOrdinaria>",
        "<OreCongCIGO>",
        "<NumAutorizzCIGO>AUT1</NumAutorizzCIGO>",
        "<NumOreCIGO>8</NumOreCIGO>",
        "</OreCongCIGO>",
        "<OreCongCIGO>",
        "<NumAutorizzCIGO>AUT3</NumAutorizzCIGO>",
        "<NumOreCIGO>4</NumOreCIGO>",
        "</OreCongCIGO>",
        "</CIGOrdACredito>",
        "</GestioneCIG>",
        "<LavPensionato>",
        "<LavPensTrattenuta>",
        "<QuotaFPLD>25.00</QuotaFPLD>",
        "</LavPensTrattenuta>",
        "</LavPensionato>",
        "<AltreADebito>",
        "<CausaleADebito>D100</CausaleADebito>",
        "<NumOre>12</NumOre>",
        "<ImportoADebito>15.00</ImportoADebito>",
        "</AltreADebito>",
        "<RetribTeorica>1234</RetribTeorica>",
        "<Settimana>",
        "<IdSettimana>1</IdSettimana>",
        "<TipoCopertura>X</TipoCopertura>",
        "<CodiceEvento>MAL</CodiceEvento>",
        "</Settimana>",
        "<Settimana>",
        "<IdSettimana>2</IdSettimana>",
        "<TipoCopertura>X</TipoCopertura>",
        "</Settimana>",
        "<Giorno GG=\"1\">",
        "<Lavorato>S</Lavorato>",
        "</Giorno>",
        "<Giorno GG=\"3\">",
        "<Lavorato>N</Lavorato>",
        "</Giorno>",
        "<DifferenzeAccredito>",
        "<CodiceEvento>MB2</CodiceEvento>",
        "<SettAccredito>400</SettAccredito>",
        "</DifferenzeAccredito>",
        "<DifferenzeAccredito>",
        "<CodiceEvento>MAL</CodiceEvento>",
        "<DiffAccredito>55.00</DiffAccredito>",
        "</DifferenzeAccredito>",
        "<GiorniRetribuiti>26</GiorniRetribuiti>",
        "<OreContribuite>88</OreContribuite>",
        "<RispettoMinimale>S</RispettoMinimale>",
        "<SettimaneUtili>5</SettimaneUtili>",
        "<DatiParticolari>",
        "<ConvBilat>",
        "<Conv>",
        "<CodConv>C1</CodConv>",
        "<Importo Periodo=\"2016-03\">10.00</Importo>",
        "</Conv>",
        "<Conv>",
        "<CodConv>C3</CodConv>",
        "<Importo Periodo=\"2016-03\">5.00</Importo>",
        "</Conv>",
        "</ConvBilat>",
        "</DatiParticolari>",
        "</DatiRetributivi>",
        "<ANF>",
        "<TabANF>11</TabANF>",
        "<NumANF>4</NumANF>",
        "<ClasseANF>15</ClasseANF>",
        "</ANF>",
        "<GestioneTFR>",
        "<DestinazioneTFR>",
        "<TipoScelta>SC</TipoScelta>",
        "<DataScelta>2016-03-15</DataScelta>",
        "<ProfiloLav>",
        "<IscrizPrevObbl>PRE</IscrizPrevObbl>",
        "<IscrizPrevCompl>SI</IscrizPrevCompl>",
        "</ProfiloLav>",
        "<SceltaDest>",
        "<SceltaPrevCompl>",
        "<DataAdesione>2016-03-01</DataAdesione>",
        "<FormaPrevCompl>FPC1</FormaPrevCompl>",
        "<TipoQuotaPrevCompl>TQ1</TipoQuotaPrevCompl>",
        "<MisuraPercPrevCompl>2.50</MisuraPercPrevCompl>",
        "</SceltaPrevCompl>",
        "</SceltaDest>",
        "</DestinazioneTFR>",
        "<MeseTFR>",
        "<BaseCalcoloTFR>2000.00</BaseCalcoloTFR>",
        "<BaseCalcoloPrevCompl>1500.00</BaseCalcoloPrevCompl>",
        "<MeseTesoreria>",
        "<Contribuzione>",
        "</Contribuzione>",
        "</MeseTesoreria>",
        "<MisureCompensative>",
        "<MisCompACredito>",
        "<CausaleMCACred>MC2</CausaleMCACred>",
        "<ImportoMCACred>7.00</ImportoMCACred>",
        "</MisCompACredito>",
        "</MisureCompensative>",
        "</MeseTFR>",
        "</GestioneTFR>",
        "</DenunciaIndividuale>",
    }));
}

TEST(EmployeeBlock, ASportWorkerWithSeverancePayInHisPacketInACancellationForFebruary)
{
    EmployeeEntries f = minimalEmployee();
    f[1] = "BNCMRA90A41H501Y";
    f[2] = "BIANCHI";
    f[3] = "MARIA";
    f[4] = "S";
    f[6] = "D";
    f[9] = "H501";
    f[10] = "SPT";
    f[11] = "0";
    f[12] = "10000"; // full percentage: part time all the same, no PercPartTime
    f[13] = "1200";
    f[14] = "03"; // a hiring day without the hiring marker
    f[17] = "15";
    f[18] = "1B";
    f[154] = "X";
    f[19] = "sy";
    f[20] = "appb";
    f[219] = "S"; // apprentices declare no RegimePost95
    f[218] = "G";
    f[21] = "900";
    f[22] = "";
    f[63] = "1234.5";
    f[64] = "20";
    f[66] = "N";
    f[81] = "1", f[82] = "X"; // no weeks for sport workers
    f[183] = "2";
    f[184] = "S", f[185] = "N", f[186] = "S";
    f[221] = "A";
    f[252] = "101";
    f[102] = "80.00";
    f[116] = "iq";
    f[259] = "0";
    f[260] = "40.00";
    f[125] = "";
    f[126] = "100"; // no pension fund base for the QUIR choice

    expectSameLines(blockText(f, header("02", "1")), crlf({
        "<DenunciaIndividuale Elimina=\"S\">",
        "<CFLavoratore>BNCMRA90A41H501Y</CFLavoratore>",
        "<Cognome>BIANCHI</Cognome>",
        "<Nome>MARIA</Nome>",
        "<Qualifica1>S</Qualifica1>",
        "<Qualifica2>F</Qualifica2>",
        "<Qualifica3>D</Qualifica3>",
        "<TipoApprendistato>appb</TipoApprendistato>",
        "<Cittadinanza>000</Cittadinanza>",
        "<CodiceComune>H501</CodiceComune>",
        "<CodiceContratto>SPT</CodiceContratto>",
        "<TipoPaga>G</TipoPaga>",
        "<OrarioContrattuale>0</OrarioContrattuale>",
        "<NumMensilita>1200</NumMensilita>",
        "<Cessazione>",
        "<GiornoCessazione>15</GiornoCessazione>",
        "<TipoCessazione>1B</TipoCessazione>",
        "</Cessazione>",
        "<DatiRetributivi>",
        "<TipoLavoratore>sy</TipoLavoratore>",
        "<Imponibile>900</Imponibile>",
        "<Contributo>0</Contributo>",
        "<RetribTeorica>1235</RetribTeorica>",
        "<Giorno GG=\"1\">",
        "<Lavorato>S</Lavorato>",
        "<TipoCoperturaGiorn>A</TipoCoperturaGiorn>",
        "</Giorno>",
        "<Giorno GG=\"2\">",
        "<Lavorato>N</Lavorato>",
        "<TipoCoperturaGiorn></TipoCoperturaGiorn>",
        "</Giorno>",
        "<GiorniRetribuiti>20</GiorniRetribuiti>",
        "<OreContribuite></OreContribuite>",
        "<RispettoMinimale>N</RispettoMinimale>",
        "<DatiParticolari>",
        "<TipoLavSportSpet>",
        "<TipoRapportoLav>LA</TipoRapportoLav>",
        "<CodiceQualifica>101</CodiceQualifica>",
        "</TipoLavSportSpet>",
        "</DatiParticolari>",
        "</DatiRetributivi>",
        "<TFR>80.00</TFR>",
        "<GestioneTFR>",
        "<DestinazioneTFR>",
        "<TipoScelta>iq</TipoScelta>",
        "<DataScelta>--</DataScelta>",
        "<SceltaDest>",
        "<SceltaQUIR>S</SceltaQUIR>",
        "</SceltaDest>",
        "</DestinazioneTFR>",
        "<MeseTFR>",
        "<BaseCalcoloTFR></BaseCalcoloTFR>",
        "<MeseQUIR>",
        "<QUIRDaFinanziare>",
        "<QUIRFinMaturata>40.00</QUIRFinMaturata>",
        "</QUIRDaFinanziare>",
        "</MeseQUIR>",
        "</MeseTFR>",
        "</GestioneTFR>",
        "</DenunciaIndividuale>",
    }));
}

// Theoretical pay in whole euros, and weeks in hundredths: computed numbers are plain digits.
TEST(EmployeeBlock, ComputedNumbers)
{
    struct Case {
        const char* stored;
        const char* pay;
    };
    const Case cases[] = {
        {"1234.5", "1235"}, {"1234.49", "1234"}, {"1234.5005", "1234"}, {"-2.5", "-2"},
        {"", "0"},          {"1E15", "1000000000000000"},
    };
    for (const Case& c : cases) {
        EmployeeEntries f = minimalEmployee();
        f[63] = c.stored;
        const std::string text = blockText(f, header());
        EXPECT_NE(text.find(std::string("\r\n<RetribTeorica>") + c.pay + "</RetribTeorica>\r\n"), std::string::npos)
            << c.stored;
    }

    EmployeeEntries weeks = minimalEmployee();
    weeks[100] = "MB5";
    weeks[101] = "0"; // weeks not above zero: written as stored
    weeks[99] = "3.00";
    EXPECT_NE(blockText(weeks, header()).find("<CodiceEvento>MB5</CodiceEvento>\r\n<SettAccredito>0</SettAccredito>\r\n</DifferenzeAccredito>"),
              std::string::npos);
}

TEST(EmployeeBlock, AnAmountNoNumberCanHoldStopsTheSeries)
{
    EmployeeEntries f = minimalEmployee();
    f[63] = "1E999";
    try {
        blockText(f, header());
        FAIL() << "no stop";
    } catch (const uniemens::SeriesStopped& stop) {
        EXPECT_STREQ(stop.what(), "Importo non rappresentabile nell'elemento RetribTeorica ");
    }
}
