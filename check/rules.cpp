#include "check/rules.h"

#include <map>

#include "check/cu_format.h"
#include "check/cu_rules.h"
#include "check/uniemens_format.h"
#include "check/uniemens_rules.h"
#include "check/values.h"

namespace check {

Level levelOf(Ground ground)
{
    return ground == Ground::Framing || ground == Ground::Authority ? Level::Blocking : Level::Warning;
}

std::string_view groundText(Ground ground)
{
    switch (ground) {
    case Ground::Framing: return "tracciato del formato";
    case Ground::Authority: return "regola dell'ente (codice noto)";
    case Ground::OtherSoftware: return "altri programmi";
    case Ground::ThisProgram: return "solo questo programma";
    case Ground::Plausibility: return "coerenza dei dati";
    case Ground::Unknown: return "non noto al programma";
    }
    return {};
}

std::string Rule::said(std::string message) const
{
    if (restsOn)
        message += std::string(" (") + restsOn + ")";
    return message;
}

namespace {

std::string cuForm(const cu::ElementRule& rule)
{
    using cu::ValueForm;
    switch (rule.form) {
    case ValueForm::Text: return "testo allineato a sinistra";
    case ValueForm::FiscalCode: return "codice fiscale con il carattere di controllo";
    case ValueForm::Amount: return "importo con la virgola e due decimali, allineato a destra";
    case ValueForm::Whole:
        return "numero intero allineato a destra"
            + (rule.digits != 0 ? ", di " + std::to_string(rule.digits) + " cifre" : std::string())
            + (rule.maxValue != 0 ? ", al piu' " + std::to_string(rule.maxValue) : std::string());
    case ValueForm::Flag: return "casella barrata: '1' allineato a destra";
    case ValueForm::Date: return "data ggmmaaaa esistente, allineata a destra";
    case ValueForm::DayMonth: return "giorno e mese ggmm esistenti, allineati a destra";
    case ValueForm::Months: return "dodici caratteri 0 o 1, uno per mese";
    case ValueForm::Province:
    case ValueForm::BirthProvince: return "sigla di due lettere della provincia, EE per uno Stato estero";
    case ValueForm::Percent: return "percentuale fino a 100, allineata a destra";
    case ValueForm::RightCode: return "codice di lettere maiuscole o cifre, allineato a destra";
    }
    return {};
}

std::string positionalForm(const cu::PositionalField& field)
{
    using cu::PositionalForm;
    const std::string allowed = field.allowed ? field.allowed : "";
    switch (field.form) {
    case PositionalForm::Blank: return "spazi";
    case PositionalForm::Fixed: return "'" + allowed + "'";
    case PositionalForm::Choice: return "uno tra " + shownList(allowed);
    case PositionalForm::Digits: return "cifre, con gli zeri a sinistra";
    case PositionalForm::Flag01: return "0 o 1";
    case PositionalForm::FlagBlank01: return "0, 1 o spazio";
    case PositionalForm::FiscalCode: return "codice fiscale con il carattere di controllo";
    case PositionalForm::FiscalCodeOrBlank: return "codice fiscale con il carattere di controllo, o spazi";
    case PositionalForm::CompanyCode: return "codice fiscale di 11 cifre, o zeri";
    case PositionalForm::Text: return "testo allineato a sinistra";
    case PositionalForm::Phone: return "cifre allineate a sinistra";
    case PositionalForm::DateOrEmpty: return "data ggmmaaaa esistente, o spazi o zeri";
    }
    return {};
}

Ground groundOf(cu::RuleSource source)
{
    switch (source) {
    case cu::RuleSource::FieldList:
    case cu::RuleSource::Both: return Ground::Framing;
    case cu::RuleSource::ProgramLayout: return Ground::ThisProgram;
    case cu::RuleSource::Disputed: return Ground::OtherSoftware;
    }
    return Ground::Framing;
}

std::string uniemensForm(const uniemens::ElementRow& row)
{
    using uniemens::TextForm;
    switch (row.form) {
    case TextForm::Container:
    case TextForm::Text: return {};
    case TextForm::FiscalCode: return "codice fiscale con il carattere di controllo";
    case TextForm::SoftwareCode: return "codice fiscale di 11 cifre o di 16 caratteri";
    case TextForm::Integer: return "numero intero";
    case TextForm::Amount: return "importo, con al piu' due decimali dopo la virgola o il punto";
    case TextForm::Digits:
        return row.minLength != 0 ? "da " + std::to_string(row.minLength) + " a " + std::to_string(row.length) + " cifre"
                                  : std::to_string(row.length) + " cifre";
    case TextForm::Code: return "codice di lettere maiuscole e cifre";
    case TextForm::KnownCode: return {};
    case TextForm::Flag: return "uno tra " + shownList(row.allowed);
    case TextForm::YearMonth: return "anno e mese aaaa-mm";
    case TextForm::Date: return "data esistente aaaa-mm-gg";
    case TextForm::Day: return "giorno del mese";
    case TextForm::Municipality: return "codice del comune, una lettera e tre cifre";
    case TextForm::Week: return "numero di settimana dell'anno, da 1 a 53";
    }
    return {};
}

} // namespace

std::vector<RuleRow> ruleTable()
{
    std::vector<RuleRow> rows;
    const auto add = [&](std::string format, std::string subject, std::string what, Ground ground, const char* source,
                         bool grouped = false) {
        rows.push_back({std::move(format), std::move(subject), std::move(what), ground, source ? source : "", grouped});
    };

    for (const Rule& rule : cu::rules())
        add("CU", rule.id, rule.what, rule.ground, rule.source);
    for (const char type : {'A', 'B', 'C', 'D', 'G', 'Z'}) {
        for (const cu::PositionalField& field : cu::recordFields(type)) {
            const int last = field.from + field.length - 1;
            add("CU",
                std::string("record ") + type + " " + std::to_string(field.from)
                    + (last != field.from ? "-" + std::to_string(last) : std::string()),
                std::string(field.name) + ": " + positionalForm(field), field.ground, nullptr);
        }
    }
    for (const cu::ElementRule& rule : cu::elements()) {
        add("CU", rule.code, "elemento: " + cuForm(rule), groundOf(rule.source), nullptr, true);
        if (rule.allowed)
            add("CU", rule.code, "elemento: valori ammessi " + shownList(rule.allowed),
                rule.codeTable ? Ground::OtherSoftware : groundOf(rule.source), nullptr, true);
    }

    for (const Rule& rule : uniemens::rules())
        add("UniEmens", rule.id, rule.what, rule.ground, rule.source);
    const auto elementRows = uniemens::elementRows();
    std::vector<const char*> parents(16, "");
    for (const uniemens::ElementRow& row : elementRows) {
        parents[row.depth] = row.name;
        const std::string subject = row.depth == 0 ? row.name : std::string(parents[row.depth - 1u]) + "/" + row.name;
        using uniemens::Presence;
        if (row.presence == Presence::Required)
            add("UniEmens", subject, "elemento obbligatorio", Ground::Framing, nullptr, true);
        else if (row.presence == Presence::Usual)
            add("UniEmens", subject, "elemento che questo programma scrive sempre", Ground::ThisProgram, nullptr, true);
        if (const std::string form = uniemensForm(row); !form.empty())
            add("UniEmens", subject, "forma: " + form, Ground::Framing, nullptr, true);
        if ((row.form == uniemens::TextForm::Code || row.form == uniemens::TextForm::KnownCode) && row.length != 0)
            add("UniEmens", subject, "lunghezza del codice", Ground::ThisProgram, nullptr, true);
        if (row.form == uniemens::TextForm::KnownCode)
            add("UniEmens", subject, "valori noti " + shownList(row.allowed), Ground::OtherSoftware, "U6", false);
        if (row.max > 1)
            add("UniEmens", subject, "al piu' " + std::to_string(row.max) + " volte", Ground::Framing, nullptr, true);
    }
    for (const uniemens::AttributeRule& attribute : uniemens::attributeRules()) {
        add("UniEmens", std::string(attribute.element) + " @" + attribute.name,
            attribute.required ? "attributo obbligatorio" : "attributo facoltativo",
            attribute.required ? Ground::Framing : Ground::ThisProgram, nullptr);
    }
    return rows;
}

std::string ruleTableText()
{
    // Rows of one table row's kind (the same words, the same ground) are told once, with the
    // fields or elements they hold for.
    struct Group {
        const RuleRow* first = nullptr;
        std::string subjects;
    };
    const std::vector<RuleRow> rows = ruleTable();
    std::vector<Group> groups;
    std::map<std::string, std::size_t> byKey;
    for (const RuleRow& row : rows) {
        if (!row.grouped) {
            groups.push_back({&row, row.subject});
            continue;
        }
        const std::string key = row.format + "\n" + row.what + "\n" + std::string(groundText(row.ground));
        const auto [at, added] = byKey.try_emplace(key, groups.size());
        if (added)
            groups.push_back({&row, row.subject});
        else
            groups[at->second].subjects += ", " + row.subject;
    }
    std::string text = "| Formato | Regola o campo | Che cosa | Fondamento | Livello | Fonte |\n|---|---|---|---|---|---|\n";
    for (const Group& group : groups) {
        const RuleRow& row = *group.first;
        text += "| " + row.format + " | " + group.subjects + " | " + row.what + " | " + std::string(groundText(row.ground))
            + " | " + std::string(levelText(levelOf(row.ground))) + " | " + row.source + " |\n";
    }
    return text;
}

} // namespace check
