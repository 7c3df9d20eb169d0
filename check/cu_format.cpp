#include "check/cu_format.h"

#include <array>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace check::cu {

namespace {

using enum ValueForm;

constexpr const char* kRelationship = "F|A|D"; // son or daughter, first child in place of the spouse, other

constexpr const char* kDeductionPairs[6][2] = {{"341", "342"}, {"343", "344"}, {"345", "346"},
                                               {"347", "348"}, {"349", "350"}, {"351", "352"}};

// The elements of the format in their order. Each rule says where it comes from: the CU
// 2017 field list names the field and gives its format; the program's own layouts add the
// codes that the field list leaves out, with the form in which the program writes them.
class Table {
public:
    Table()
    {
        quadroCt();
        quadroDa();
        quadroDb();
        dependants();
        quadroDc();
        quadroDf();
        quadroDn();
        // An element the field list does not name is told by its quadro and point, as the
        // certification's printed form numbers them ("Dati fiscali, punto 3").
        for (ElementRule& rule : rules) {
            if (!rule.name)
                rule.name = m_names.emplace_back(pointName(rule.code)).c_str();
        }
    }

    std::vector<ElementRule> rules;

private:
    static std::string pointName(std::string_view code)
    {
        const std::string_view quadro = code.substr(0, 2);
        const std::string_view row = code.substr(2, 3);
        std::string column(code.substr(5, 3));
        const auto number = [](std::string_view digits) {
            const auto first = digits.find_first_not_of('0');
            return first == std::string_view::npos ? std::string("0") : std::string(digits.substr(first));
        };
        // Points written with a letter before their last two digits ("A35") are the columns
        // of the point of the row's hundreds ("835").
        std::string point = column;
        std::string part;
        if (column[0] >= 'A' && column[0] <= 'Z') {
            part = std::string(", colonna ") + static_cast<char>('1' + (column[0] - 'A'));
            point = "8" + column.substr(1);
        }
        if (quadro == "DB")
            return "Dati fiscali, punto " + number(point) + part;
        if (quadro == "DC")
            return "Dati previdenziali, punto " + number(point) + part;
        if (quadro == "DF")
            return "Quadro DF, punto " + number(point) + part;
        if (quadro == "DN")
            return "Annotazione " + number(point);
        return "Quadro " + std::string(quadro) + ", rigo " + number(row) + ", colonna " + number(column);
    }

    std::deque<std::string> m_names;

    ElementRule& add(std::string_view row, std::string_view column, ValueForm form,
                     RuleSource source = RuleSource::ProgramLayout, const char* name = nullptr)
    {
        ElementRule& rule = rules.emplace_back();
        std::memcpy(rule.code, row.data(), 5);
        std::memcpy(rule.code + 5, column.data(), 3);
        rule.form = form;
        rule.source = source;
        rule.name = name;
        return rule;
    }
    // Field list and layouts agree.
    ElementRule& both(std::string_view row, std::string_view column, ValueForm form, const char* name)
    {
        return add(row, column, form, RuleSource::Both, name);
    }
    // Only the field list names it: the program never writes it.
    ElementRule& listed(std::string_view row, std::string_view column, ValueForm form, const char* name)
    {
        return add(row, column, form, RuleSource::FieldList, name);
    }
    // Values from a code table of the Agency, as the field list gives it.
    static void codes(ElementRule& rule, const char* allowed)
    {
        rule.allowed = allowed;
        rule.codeTable = true;
    }
    void columns(std::string_view row, std::initializer_list<const char*> list, ValueForm form)
    {
        for (const char* column : list)
            add(row, column, form);
    }

    void quadroCt()
    {
        add("CT001", "001", FiscalCode).name = "Codice fiscale";
        add("CT001", "002", Text);
        add("CT001", "003", Text);
        add("CT002", "001", Flag);
        add("CT002", "002", Text);
        add("CT003", "001", FiscalCode).name = "Codice fiscale";
        add("CT003", "002", Text);
        add("CT003", "003", Text);
        add("CT003", "004", Text);
        add("CT003", "005", Flag);
    }

    void quadroDa()
    {
        both("DA001", "001", FiscalCode, "Codice fiscale del sostituto d'imposta");
        both("DA001", "002", Text, "Cognome o denominazione");
        both("DA001", "003", Text, "Nome");
        both("DA001", "004", Text, "Comune di residenza");
        both("DA001", "005", Province, "Provincia di residenza");
        both("DA001", "006", Text, "CAP");
        both("DA001", "007", Text, "Via e numero civico");
        both("DA001", "008", Text, "Telefono o fax");
        both("DA001", "009", Text, "Indirizzo di posta elettronica");
        both("DA001", "010", Text, "Codice attivita'");
        both("DA001", "011", Text, "Codice sede");
        both("DA002", "001", FiscalCode, "Codice fiscale del percipiente");
        both("DA002", "002", Text, "Cognome");
        both("DA002", "003", Text, "Nome");
        both("DA002", "004", Text, "Sesso").allowed = "M|F";
        both("DA002", "005", Date, "Data di nascita");
        both("DA002", "006", Text, "Comune (o Stato estero) di nascita");
        both("DA002", "007", BirthProvince, "Provincia di nascita");
        both("DA002", "008", Text, "Categorie particolari");
        both("DA002", "009", Whole, "Eventi eccezionali").digits = 1;
        both("DA002", "010", Whole, "Casi di esclusione dalla precompilata").digits = 1;
        both("DA002", "020", Text, "Comune del domicilio fiscale al 1/1/2016");
        both("DA002", "021", Province, "Provincia del domicilio fiscale al 1/1/2016");
        both("DA002", "022", Text, "Codice comune del domicilio fiscale al 1/1/2016");
        both("DA002", "023", Text, "Comune del domicilio fiscale al 1/1/2017");
        both("DA002", "024", Province, "Provincia del domicilio fiscale al 1/1/2017");
        both("DA002", "025", Text, "Codice comune del domicilio fiscale al 1/1/2017");
        listed("DA002", "030", FiscalCode, "Codice fiscale del rappresentante");
        both("DA002", "040", Text, "Codice di identificazione fiscale estero");
        both("DA002", "041", Text, "Localita' di residenza estera");
        both("DA002", "042", Text, "Via e numero civico all'estero");
        both("DA002", "043", Flag, "Non residenti Schumacker");
        ElementRule& state = both("DA002", "044", Whole, "Codice stato estero");
        state.maxValue = 999;
        add("DA003", "001", Date);
        add("DA003", "002", Flag);
    }

    void quadroDb()
    {
        const char* row = "DB001";
        columns(row, {"001"}, Amount);
        both(row, "002", Amount, "Redditi di lavoro dipendente con contratto a tempo determinato");
        columns(row, {"003", "004", "005"}, Amount);
        both(row, "006", Whole, "Numero di giorni per i quali spettano le detrazioni");
        both(row, "008", Date, "Data inizio rapporto di lavoro");
        both(row, "009", Date, "Data fine rapporto di lavoro");
        both(row, "010", Flag, "In forza al 31/12");
        both(row, "011", Whole, "Periodi particolari");
        both(row, "021", Amount, "Ritenute IRPEF");
        both(row, "022", Amount, "Addizionale regionale all'IRPEF");
        columns(row, {"023"}, Amount);
        both(row, "024", Amount, "Addizionale regionale 2016 rapporti cessati");
        columns(row, {"025", "026"}, Amount);
        both(row, "027", Amount, "Addizionale comunale all'IRPEF - saldo 2016");
        both(row, "028", Amount, "Addizionale comunale all'IRPEF - rapporti cessati 2016");
        columns(row, {"029"}, Amount);
        columns(row, {"051"}, Text);
        columns(row, {"052"}, Flag);
        columns(row, {"061", "062", "063", "064", "071", "072", "073", "074"}, Amount);
        columns(row, {"075"}, Whole);
        columns(row, {"081", "082", "083", "084"}, Amount);
        columns(row, {"085"}, Text);
        columns(row, {"091", "092", "093", "094", "106", "107", "111", "112", "121", "122"}, Amount);
        columns(row, {"123"}, Flag);
        columns(row, {"124"}, Amount);
        columns(row, {"125"}, Text);
        columns(row, {"126", "127"}, Amount);
        columns(row, {"128"}, Flag);
        columns(row, {"141", "142", "143", "151", "152", "153", "261", "262", "263", "264", "271", "272", "273", "274"},
                Amount);
        columns(row, {"275"}, Whole);
        columns(row, {"281", "282", "283", "284"}, Amount);
        columns(row, {"285"}, Text);
        columns(row, {"291", "292", "293", "294", "306", "307", "311", "312", "321", "322"}, Amount);
        columns(row, {"323"}, Flag);
        columns(row, {"324"}, Amount);
        columns(row, {"325"}, Text);
        columns(row, {"326", "327"}, Amount);
        columns(row, {"328"}, Flag);
        // Deductible charges: a code and its amount, six times; the program writes the first two.
        for (int k = 0; k < 6; ++k) {
            const RuleSource source = k < 2 ? RuleSource::Both : RuleSource::FieldList;
            add(row, kDeductionPairs[k][0], Whole, source, "Codice onere detraibile");
            add(row, kDeductionPairs[k][1], Amount, source, "Importo onere detraibile");
        }
        both(row, "361", Amount, "Imposta lorda");
        both(row, "362", Amount, "Detrazioni per carichi di famiglia");
        both(row, "363", Amount, "Detrazioni per famiglie numerose");
        columns(row, {"364", "365", "366"}, Amount);
        both(row, "367", Amount, "Detrazione per lavoro dipendente, pensioni e redditi assimilati");
        both(row, "368", Amount, "Totale detrazioni per oneri");
        columns(row, {"369", "370", "371", "372"}, Amount);
        both(row, "373", Amount, "Totale detrazioni");
        columns(row, {"374"}, Amount);
        columns(row, {"375"}, Whole);
        columns(row, {"376", "377", "378"}, Amount);
        codes(both(row, "391", Whole, "Credito bonus IRPEF - codice bonus"), "1|2");
        both(row, "392", Amount, "Credito bonus IRPEF - bonus erogato");
        both(row, "393", Amount, "Credito bonus IRPEF - bonus non erogato");
        both(row, "394", Amount, "Credito bonus IRPEF - bonus recuperato");
        codes(both(row, "395", Whole, "Bonus erogato da altri soggetti - codice bonus"), "1|2");
        both(row, "396", Amount, "Bonus erogato da altri soggetti - bonus");
        both(row, "397", Amount, "Bonus erogato da altri soggetti - bonus non erogato");
        // The field list has a fiscal code here; the program writes an amount.
        add(row, "399", FiscalCode, RuleSource::Disputed, "Bonus erogato da altri soggetti - codice fiscale");
        columns(row, {"411"}, RightCode);
        columns(row, {"412", "413", "414"}, Amount);
        columns(row, {"415"}, Whole);
        columns(row, {"425"}, Text);
        both(row, "431", Amount, "Totale oneri deducibili esclusi dai redditi");
        both(row, "432", Whole, "Codice onere deducibile");
        both(row, "433", Amount, "Importo onere deducibile");
        listed(row, "434", Whole, "Codice onere deducibile");
        listed(row, "435", Amount, "Importo onere deducibile");
        listed(row, "436", Whole, "Codice onere deducibile");
        listed(row, "437", Amount, "Importo onere deducibile");
        both(row, "438", Amount, "Somme restituite nell'anno");
        both(row, "439", Amount, "Residuo anno precedente");
        both(row, "440", Amount, "Somme restituite non dedotte");
        both(row, "441", Amount, "Contributi a enti o casse con fini assistenziali dedotti");
        both(row, "442", Amount, "Contributi a enti o casse con fini assistenziali non dedotti");
        both(row, "443", FiscalCode, "Codice fiscale degli enti o casse");
        both(row, "444", Flag, "Assicurazioni sanitarie");
        columns(row, {"451", "453", "454"}, Amount);
        columns(row, {"460"}, Whole);
        listed(row, "468", Whole, "Redditi esenti - codice");
        listed(row, "469", Amount, "Redditi esenti - ammontare");
        columns(row, {"473", "474", "475"}, Amount);
        columns(row, {"476"}, Flag);
        add(row, "477", Text).allowed = "A|B";
        columns(row, {"478"}, Amount);
        both(row, "481", Amount, "Redditi a ritenuta a titolo d'imposta - totale redditi");
        both(row, "482", Amount, "Redditi a ritenuta a titolo d'imposta - totale ritenute IRPEF");
        listed(row, "483", Amount, "Redditi a ritenuta a titolo d'imposta - ritenute IRPEF sospese");
        columns(row, {"484"}, RightCode);
        both(row, "485", Amount, "Redditi a ritenuta a titolo d'imposta - totale redditi causale 2");
        columns(row, {"486"}, Text);
        both(row, "487", Amount, "Redditi a ritenuta a titolo d'imposta - ritenute IRPEF causale 2");
        columns(row, {"A89", "B89", "490"}, Whole);
        columns(row, {"491"}, Amount);
        columns(row, {"492"}, Text);
        columns(row, {"496", "497", "498", "499", "511", "512", "513"}, Amount);
        columns(row, {"515"}, Whole);
        columns(row, {"516", "517", "518", "520"}, Amount);
        columns(row, {"521"}, Whole);
        columns(row, {"522"}, Text);
        both(row, "531", Amount, "Totale redditi conguagliati gia' compresi nel punto 1");
        columns(row, {"532", "533", "534", "535"}, Amount);
        both(row, "536", FiscalCode, "Codice fiscale del sostituto del conguaglio");
        columns(row, {"537"}, Whole);
        both(row, "538", Amount, "Reddito conguagliato gia' compreso nel punto 1");
        columns(row, {"539", "540", "541", "542"}, Amount);
        both(row, "543", Amount, "Ritenute del conguaglio");
        both(row, "544", Amount, "Addizionale regionale del conguaglio");
        both(row, "545", Amount, "Addizionale comunale acconto 2016 del conguaglio");
        both(row, "546", Amount, "Addizionale comunale saldo 2016 del conguaglio");
        columns(row, {"551"}, Whole);
        columns(row, {"552"}, Amount);
        columns(row, {"553"}, Whole);
        columns(row, {"554", "561", "562", "563", "564"}, Amount);
        columns(row, {"601"}, Text);
        columns(row, {"602"}, Flag);
    }

    // The spouse (DB601) and up to nine other dependants (DB602 to DB610).
    void dependants()
    {
        both("DB601", "001", Flag, "Relazione di parentela (coniuge)");
        both("DB601", "004", FiscalCode, "Codice fiscale del familiare");
        ElementRule& months = both("DB601", "005", Whole, "Mesi a carico");
        months.digits = 2;
        months.maxValue = 12;
        for (int group = 602; group <= 610; ++group) {
            const std::string row = "DB" + std::to_string(group);
            // The program writes the dependants of groups 602 to 608; 609 and 610 come from
            // the field list alone.
            const RuleSource source = group <= 608 ? RuleSource::Both : RuleSource::FieldList;
            // The program writes an amount (the gross tax) as "DB610001".
            codes(add(row, "001", Text, group == 610 ? RuleSource::Disputed : source, "Relazione di parentela"),
                  kRelationship);
            add(row, "004", FiscalCode, source, "Codice fiscale del familiare");
            ElementRule& dependantMonths = add(row, "005", Whole, source, "Mesi a carico");
            dependantMonths.digits = 2;
            dependantMonths.maxValue = 12;
            ElementRule& underThree = add(row, "006", Whole, source, "Minore di tre anni (mesi)");
            underThree.digits = 2;
            underThree.maxValue = 12;
            add(row, "A07", Percent, source, "Percentuale di detrazione spettante");
            codes(add(row, "B07", Text, source, "Percentuale di detrazione spettante (lettera C)"), "C");
            add(row, "008", Flag, source, "Detrazione 100% affidamento figli");
        }
    }

    void quadroDc()
    {
        const char* row = "DC001";
        ElementRule& number = both(row, "001", Whole, "Matricola azienda (INPS)");
        number.digits = 10;
        columns(row, {"002", "003"}, Flag);
        columns(row, {"004", "005", "006"}, Amount);
        columns(row, {"007"}, Flag);
        columns(row, {"008"}, Months);
        listed(row, "009", FiscalCode, "Codice fiscale dell'amministrazione");
        listed(row, "010", Text, "Progressivo azienda");
        listed(row, "012", Whole, "Gestione pensionistica");
        listed(row, "014", Whole, "Gestione credito");
        listed(row, "017", Whole, "Anno di riferimento").digits = 4;
        listed(row, "018", Amount, "Imponibile pensionistico");
        listed(row, "019", Amount, "Contributi pensionistici dovuti");
        listed(row, "020", Amount, "Contributi pensionistici a carico del lavoratore trattenuti");
        listed(row, "026", Amount, "Imponibile gestione credito");
        listed(row, "027", Amount, "Contributo gestione credito dovuto");
        listed(row, "028", Amount, "Contributo gestione credito trattenuto");
        listed(row, "035", Flag, "Mesi con denuncia UniEmens - Tutti");
        listed(row, "036", Months, "Mesi - Tutti con esclusione di");
        listed(row, "037", FiscalCode, "Codice fiscale del soggetto che ha presentato la denuncia");
        listed(row, "038", Months, "Periodi retributivi del soggetto della denuncia");
        both(row, "041", Amount, "Compensi corrisposti al parasubordinato");
        both(row, "042", Amount, "Contributi dovuti");
        both(row, "043", Amount, "Contributi a carico del lavoratore");
        both(row, "044", Amount, "Contributi versati");
        both(row, "045", Flag, "Mesi con denuncia UniEmens - Tutti");
        both(row, "046", Months, "Mesi con denuncia UniEmens - tutti con esclusione di");
        both(row, "047", Text, "Tipo rapporto (Emens)");
        columns(row, {"048"}, Text);
        codes(both(row, "071", Text, "Qualifica"), "B|C|D|E|F|G|H|L|M|N|P|Q|Z");
        ElementRule& position = both(row, "072", Whole, "Posizione assicurativa territoriale");
        position.digits = 11;
        both(row, "073", DayMonth, "Data inizio");
        both(row, "074", DayMonth, "Data fine");
        both(row, "075", Text, "Codice comune");
        both(row, "076", Flag, "Personale viaggiante");
    }

    void quadroDf()
    {
        const char* row = "DF001";
        columns(row, {"801", "802", "803", "804", "806"}, Amount);
        columns(row, {"808"}, Whole);
        columns(row, {"809", "810", "811", "812", "813"}, Amount);
        columns(row, {"814", "815"}, Date);
        columns(row, {"816"}, Amount);
        columns(row, {"817"}, Whole);
        columns(row, {"818"}, Flag);
        columns(row, {"819"}, Text);
        // Points 835 to 837 have two columns each, written "A35" and "B35".
        for (const char* point : {"35", "36", "37"}) {
            add(row, std::string("A") + point, Whole);
            add(row, std::string("B") + point, Whole).digits = 2;
        }
        columns(row, {"838", "839", "840"}, Amount);
        add(row, "841", Text).allowed = "A|B|C";
        columns(row, {"842", "843"}, Whole);
        columns(row, {"844"}, Amount);
        columns(row, {"845"}, Whole);
        columns(row, {"846", "847", "848", "849"}, Amount);
        add(row, "850", Text).allowed = "A|B|C";
        columns(row, {"851"}, Amount);
        columns(row, {"852"}, Whole);
        columns(row, {"853"}, Text);
        columns(row, {"854", "855"}, Flag);
        columns(row, {"856"}, Text);
        add(row, "A57", Whole);
        add(row, "B57", Whole).digits = 2;
        add(row, "A58", Whole);
        add(row, "B58", Whole).digits = 2;
        add(row, "A59", Whole).digits = 2;
        add(row, "B59", Whole).digits = 2;
        columns(row, {"860", "861", "862"}, Amount);
        add(row, "863", Text).allowed = "A|B|C";
        columns(row, {"864", "865"}, Whole);
        columns(row, {"866"}, Amount);
        columns(row, {"867"}, Whole);
        columns(row, {"868", "869"}, Amount);
        add(row, "870", Text).allowed = "A|B|C";
        columns(row, {"871"}, Amount);
        columns(row, {"872"}, Whole);
        columns(row, {"873"}, Text);
        columns(row, {"894"}, Amount);
        columns(row, {"895"}, Flag);
        add(row, "A96", Amount);
        add(row, "B96", Text).allowed = "A|B";
        add(row, "A97", Amount);
        add(row, "B97", Text).allowed = "A|B";
        columns(row, {"898", "899", "900", "901", "902", "903", "905", "907", "908", "909", "910", "911", "914", "915"},
                Amount);
        columns(row, {"916"}, Whole);
        columns(row, {"920"}, Amount);
    }

    // Codes of two characters, numbered from 001; the program writes up to 019.
    void quadroDn()
    {
        for (int column = 1; column <= 99; ++column) {
            const std::string text = (column < 10 ? "00" : "0") + std::to_string(column);
            add("DN001", text, Text, column <= 19 ? RuleSource::Both : RuleSource::FieldList);
        }
    }
};

const Table& table()
{
    static const Table instance;
    return instance;
}

// Codes are found in two steps: the quadro and row ("DB001") pick a row of columns, the
// column ("004", or "A89" for the lettered columns) the element within it. Both steps are
// plain array indexing, as every element of a large file goes through here.
class Index {
public:
    Index()
    {
        m_rows.assign(26 * 26 * 1000, 0);
        const auto& rules = table().rules;
        for (std::size_t rank = 0; rank < rules.size(); ++rank) {
            const int row = rowKey(rules[rank].code);
            const int column = columnKey(rules[rank].code + 5);
            std::uint16_t& slot = m_rows[static_cast<std::size_t>(row)];
            if (slot == 0) {
                m_columns.emplace_back();
                m_columns.back().fill(-1);
                slot = static_cast<std::uint16_t>(m_columns.size());
            }
            m_columns[slot - 1u][static_cast<std::size_t>(column)] = static_cast<std::int16_t>(rank);
        }
    }

    int rank(std::string_view code) const
    {
        if (code.size() != kCodeLength)
            return -1;
        const int row = rowKey(code.data());
        const int column = columnKey(code.data() + 5);
        if (row < 0 || column < 0)
            return -1;
        const std::uint16_t slot = m_rows[static_cast<std::size_t>(row)];
        return slot == 0 ? -1 : m_columns[slot - 1u][static_cast<std::size_t>(column)];
    }

private:
    static constexpr int kColumns = 3600; // 000-999, then A00-Z99 as 1000 + letter * 100 + number

    static bool digit(char c) { return c >= '0' && c <= '9'; }
    static bool letter(char c) { return c >= 'A' && c <= 'Z'; }

    static int rowKey(const char* code)
    {
        if (!letter(code[0]) || !letter(code[1]) || !digit(code[2]) || !digit(code[3]) || !digit(code[4]))
            return -1;
        return ((code[0] - 'A') * 26 + (code[1] - 'A')) * 1000 + (code[2] - '0') * 100 + (code[3] - '0') * 10
            + (code[4] - '0');
    }
    static int columnKey(const char* column)
    {
        if (!digit(column[1]) || !digit(column[2]))
            return -1;
        const int number = (column[1] - '0') * 10 + (column[2] - '0');
        if (digit(column[0]))
            return (column[0] - '0') * 100 + number;
        if (letter(column[0]) && column[0] <= 'Z' && 1000 + (column[0] - 'A') * 100 + number < kColumns)
            return 1000 + (column[0] - 'A') * 100 + number;
        return -1;
    }

    std::vector<std::uint16_t> m_rows;
    std::vector<std::array<std::int16_t, kColumns>> m_columns;
};

const Index& index()
{
    static const Index instance;
    return instance;
}

using P = PositionalForm;

const PositionalField kRecordA[] = {
    {2, 14, P::Blank, "Spazio non utilizzato"},
    {16, 5, P::Fixed, "Codice fornitura", "CUR17"},
    {21, 2, P::Choice, "Tipo fornitore", "01|10"},
    {23, 16, P::FiscalCode, "Codice fiscale del fornitore"},
};

const PositionalField kRecordB[] = {
    {2, 16, P::FiscalCode, "Codice fiscale del soggetto dichiarante"},
    {18, 8, P::Fixed, "Progressivo modulo", "00000001"},
    {26, 48, P::Blank, "Spazio non utilizzato"},
    {74, 16, P::Text, "Identificativo del produttore del software"},
    {90, 1, P::Blank, "Spazio non utilizzato"},
    {91, 1, P::Flag01, "Comunicazione annullativa"},
    {92, 1, P::Flag01, "Comunicazione sostitutiva"},
    {93, 24, P::Text, "Cognome del dichiarante"},
    {117, 20, P::Text, "Nome del dichiarante"},
    {137, 60, P::Text, "Denominazione del dichiarante"},
    {197, 35, P::Text, "Indirizzo di posta elettronica"},
    {232, 65, P::Blank, "Spazio non utilizzato"},
    {297, 12, P::Phone, "Telefono o fax"},
    {309, 1, P::Flag01, "Casella della posizione 309", nullptr, Ground::ThisProgram},
    {310, 16, P::FiscalCodeOrBlank, "Codice fiscale del rappresentante"},
    {326, 2, P::Digits, "Codice carica del rappresentante"},
    {328, 24, P::Text, "Cognome del rappresentante"},
    {352, 20, P::Text, "Nome del rappresentante"},
    {372, 11, P::CompanyCode, "Codice fiscale della societa' o ente dichiarante"},
    {383, 19, P::Blank, "Spazio non utilizzato"},
    {402, 8, P::Digits, "Numero comunicazioni relative a certificazioni"},
    {410, 1, P::Flag01, "Casella quadro CT"},
    {411, 1, P::Flag01, "Firma del dichiarante"},
    {412, 16, P::FiscalCodeOrBlank, "Codice fiscale dell'intermediario"},
    // Without an intermediary the commitment is left empty: blanks, or zeros as the
    // Agency's kinds of number, date and box fields are filled when empty.
    {428, 1, P::Choice, "Impegno a presentare in via telematica", "1|2|0| "},
    {429, 8, P::DateOrEmpty, "Data dell'impegno"},
    {437, 1, P::Flag01, "Firma dell'intermediario"},
};

const PositionalField kRecordC[] = {
    {2, 16, P::FiscalCode, "Codice fiscale del soggetto dichiarante"},
    {18, 8, P::Fixed, "Progressivo modulo", "00000001"},
    {26, 64, P::Blank, "Spazio non utilizzato"},
};

const PositionalField kRecordD[] = {
    {2, 16, P::FiscalCode, "Codice fiscale del sostituto d'imposta"},
    {18, 8, P::Digits, "Progressivo modulo"},
    {26, 16, P::FiscalCode, "Codice fiscale del percipiente"},
    {42, 5, P::Digits, "Progressivo certificazione"},
    {47, 17, P::Digits, "Identificativo dell'invio da sostituire o annullare"},
    {64, 6, P::Digits, "Progressivo della certificazione da sostituire o annullare"},
    {70, 14, P::Blank, "Spazio non utilizzato"},
    {84, 1, P::Choice, "Tipo di operazione", " |A|S"},
    {85, 4, P::Blank, "Spazio non utilizzato"},
    {89, 1, P::FlagBlank01, "Flag conferma singola certificazione"},
};

// The fields of positions 2-46 repeat those of the certification's record D; they are
// compared with it rather than checked again.
const PositionalField kRecordG[] = {
    {47, 43, P::Blank, "Spazio non utilizzato"},
};

const PositionalField kRecordZ[] = {
    {2, 14, P::Blank, "Spazio non utilizzato"},
    {16, 9, P::Digits, "Numero record di tipo B"},
    {25, 9, P::Digits, "Numero record di tipo C"},
    {34, 9, P::Digits, "Numero record di tipo D"},
    {43, 9, P::Digits, "Numero record di tipo G"},
    {52, 9, P::Digits, "Numero record di tipo H"},
    {61, 1837, P::Blank, "Spazio non utilizzato"},
};

} // namespace

std::span<const ElementRule> elements()
{
    return table().rules;
}

std::span<const std::uint64_t> elementCodeWords()
{
    static const std::vector<std::uint64_t> words = [] {
        std::vector<std::uint64_t> result;
        for (const ElementRule& rule : table().rules) {
            std::uint64_t word;
            std::memcpy(&word, rule.code, sizeof word);
            result.push_back(word);
        }
        return result;
    }();
    return words;
}

int elementRank(std::string_view code)
{
    return index().rank(code);
}

bool isDeductionCode(int code)
{
    // Codes 1-18, 20-33, 35, 36, 37, 41, 42 and 99.
    return (code >= 1 && code <= 18) || (code >= 20 && code <= 33) || code == 35 || code == 36 || code == 37
        || code == 41 || code == 42 || code == 99;
}

std::span<const PositionalField> recordFields(char type)
{
    switch (type) {
    case 'A': return kRecordA;
    case 'B': return kRecordB;
    case 'C': return kRecordC;
    case 'D': return kRecordD;
    case 'G': return kRecordG;
    case 'Z': return kRecordZ;
    default: return {};
    }
}

} // namespace check::cu
