#include "check/cu_checker.h"

#include <bit>
#include <cstring>
#include <utility>

#include "check/cu_format.h"
#include "check/values.h"
#include "records/cu_edition.h"
#include "records/text.h"

namespace check::cu {

namespace {

// A day and month ggmm is a day of the year whose income the certification states (29
// February exists in a leap year).
constexpr int kIncomeYear = records::cu_edition::yearNumber(records::cu_edition::incomeYear.view());

using records::isDigit;
using records::allDigits;



// Eight bytes at a time: most of a record is blanks, and every element of a large file
// passes here.
bool blank(std::string_view text)
{
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020ull;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word != kEightBlanks)
            return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] != ' ')
            return false;
    }
    return true;
}

// The first byte of a 16-byte value that is not a blank (16 when there is none), eight
// bytes at a time: amounts and numbers are right-aligned behind up to fifteen blanks.
std::size_t firstNonBlank(std::string_view value)
{
    if constexpr (std::endian::native != std::endian::little) {
        std::size_t first = 0;
        while (first < 16 && value[first] == ' ')
            ++first;
        return first;
    }
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020ull;
    for (std::size_t i = 0; i < 16; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, value.data() + i, 8);
        if (const std::uint64_t differ = word ^ kEightBlanks; differ != 0)
            return i + static_cast<std::size_t>(__builtin_ctzll(differ) / 8); // bytes in memory order: little-endian
    }
    return 16;
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

long long number(std::string_view digits)
{
    long long value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

std::string positions(int from, int length)
{
    return length == 1 ? "posizione " + std::to_string(from)
                       : "posizioni " + std::to_string(from) + "-" + std::to_string(from + length - 1);
}

std::string_view at(std::string_view record, int from, int length)
{
    return record.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(length));
}

// Bytes of the file as a finding names them: control characters as "?".
std::string printable(std::string_view text)
{
    std::string shown(text);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    }
    return shown;
}

// An element's code with what it means: "DB001021 (Ritenute IRPEF)".
std::string named(const ElementRule& rule)
{
    return std::string(rule.code) + " (" + rule.name + ")";
}

// The payee's name as a record D holds it: the surname (DA002002), then the name
// (DA002003); a text longer than one element goes on in elements of the same code whose
// value starts with "+".
std::string payeeName(std::string_view record)
{
    std::string surname;
    std::string name;
    const std::string* last = nullptr;
    for (int k = 0; k < kFieldsPerRecord; ++k) {
        const std::string_view slot = at(record, kFieldArea + k * kFieldLength, kFieldLength);
        const std::string_view code = slot.substr(0, kCodeLength);
        const std::string_view value = slot.substr(kCodeLength);
        std::string* part = code == "DA002002" ? &surname : code == "DA002003" ? &name : nullptr;
        if (!part) {
            last = nullptr;
            continue;
        }
        if (value[0] != '+')
            *part = std::string(value);
        else if (part == last)
            *part += value.substr(1);
        last = part;
    }
    std::string whole(records::trim(surname));
    if (const std::string_view first = records::trim(name); !first.empty())
        whole += (whole.empty() ? "" : " ") + std::string(first);
    return printable(whole);
}

// True when every byte is a printable ASCII character other than a lower-case letter, as
// the records of the file must be. Sixteen bytes at a time: a file of a hundred thousand
// certifications is a gigabyte.
bool cleanCharacters(std::string_view text)
{
    using Bytes = signed char __attribute__((vector_size(16)));
    using Words = unsigned long long __attribute__((vector_size(16)));
    std::size_t i = 0;
    for (; i + 16 <= text.size(); i += 16) {
        Bytes x;
        std::memcpy(&x, text.data() + i, 16);
        // Bytes from 0x80 on are negative, so "below blank" catches them too.
        const Bytes bad = (x < ' ') | (x == 127) | ((x >= 'a') & (x <= 'z'));
        Words words;
        std::memcpy(&words, &bad, 16);
        if ((words[0] | words[1]) != 0)
            return false;
    }
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 32 || c >= 127 || (c >= 'a' && c <= 'z'))
            return false;
    }
    return true;
}

std::string characterProblem(unsigned char c, int position)
{
    const std::string where = " in posizione " + std::to_string(position);
    if (c >= 'a' && c <= 'z')
        return std::string("Lettera minuscola '") + static_cast<char>(c) + "'" + where
            + ": i dati del file telematico si scrivono in maiuscolo";
    if (c < 32 || c == 127)
        return "Carattere di controllo (codice " + std::to_string(c) + ")" + where
            + ": il file telematico ammette solo caratteri stampabili";
    return std::string("Carattere '") + static_cast<char>(c) + "' (codice " + std::to_string(c) + ")" + where
        + " non ammesso: il file telematico ammette solo caratteri ASCII; le lettere accentate si scrivono con "
          "l'apostrofo (NICOLO')";
}

const std::string kAmountExample = "'         1234,50'";

int rankOf(const char* code)
{
    return elementRank(code);
}

// The elements that the end of a certification looks at again, by rank.
enum Role : std::uint8_t { kNone, kAgent, kPayee, kSex, kBirth, kStart, kEnd, kInForce };

const std::vector<std::uint8_t>& roles()
{
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> roles(elements().size(), kNone);
        const std::pair<const char*, Role> named[] = {{"DA001001", kAgent}, {"DA002001", kPayee}, {"DA002004", kSex},
                                                      {"DA002005", kBirth}, {"DB001008", kStart}, {"DB001009", kEnd},
                                                      {"DB001010", kInForce}};
        for (const auto& [code, role] : named)
            roles[static_cast<std::size_t>(elementRank(code))] = role;
        return roles;
    }();
    return table;
}

// "DB001341", "DB001343", ... "DB001351": the codes of the deductible charges.
bool deductionCodeRank(int rank)
{
    static const int first = rankOf("DB001341");
    static const int last = rankOf("DB001351");
    return rank >= first && rank <= last && (rank - first) % 2 == 0;
}

} // namespace

FileChecker::FileChecker(FindingSink& sink, const CheckOptions& options)
    : m_order(sink)
    , m_options(options)
    , m_numbers(100000, false)
    , m_seenIn(cu::elements().size(), -1)
    , m_rules(cu::elements())
    , m_codeWords(elementCodeWords())
    , m_roles(roles().data())
{
}

void FileChecker::emitAt(long long record, RuleId id, int position, std::string element, std::string message)
{
    const Rule& found = rule(id);
    Finding finding;
    finding.level = found.level();
    finding.record = record;
    finding.position = position;
    finding.element = std::move(element);
    finding.personCode = m_personCode;
    finding.personName = m_personName;
    finding.message = found.said(std::move(message));
    finding.rule = &found;
    m_order.hold(std::move(finding));
}

void FileChecker::emit(RuleId id, int position, std::string element, std::string message)
{
    emitAt(m_number, id, position, std::move(element), std::move(message));
}

void FileChecker::record(std::string_view bytes)
{
    if (m_stopped)
        return;
    // What is found goes on in the order of the records and of the positions in them; a
    // certification's findings wait for its end, where its payee is checked against its
    // record D.
    m_order.passOnBefore(m_cert.open ? m_cert.record : m_number + 1);
    ++m_number;
    if (!framing(bytes))
        return;
    const char type = bytes[0];
    // A certification runs from its record D to the next record of another heading or of
    // the file's other parts; what is found in it names its payee.
    if (type == 'D')
        openCertification(bytes);
    else if (type == 'A' || type == 'B' || type == 'C' || type == 'Z')
        closeCertification();
    order(type);
    if (type != 'A' && type != 'B' && type != 'C' && type != 'D' && type != 'G' && type != 'H' && type != 'Z')
        return;
    ++m_counts[static_cast<unsigned char>(type)];
    characters(bytes, type);
    positional(bytes, type);
    switch (type) {
    case 'A': recordA(bytes); break;
    case 'B': recordB(bytes); break;
    case 'C': recordC(bytes); break;
    case 'D': recordD(bytes); break;
    case 'G': recordG(bytes); break;
    case 'H': recordH(bytes); break;
    case 'Z': recordZ(bytes); break;
    default: break;
    }
    m_previousType = type;
}

bool FileChecker::framing(std::string_view bytes)
{
    // A record that has lost its framing belongs to no certification that can be told.
    struct Unnamed {
        std::string& code;
        std::string& name;
        std::string savedCode = std::exchange(code, {});
        std::string savedName = std::exchange(name, {});
        ~Unnamed()
        {
            code = std::move(savedCode);
            name = std::move(savedName);
        }
    } unnamed{m_personCode, m_personName};
    if (bytes.size() < static_cast<std::size_t>(kRecordLength)) {
        emit(RuleId::RecordFraming, 1, {},
             "Ultimo record di " + std::to_string(bytes.size())
                 + " byte: ogni record del file telematico e' lungo 1900 byte (il file e' troncato o ha byte in "
                   "piu')");
        return false;
    }
    const auto code = [](char c) { return std::to_string(static_cast<unsigned char>(c)); };
    const std::string found = "Il record non termina con 'A', ritorno a capo e nuova riga (codici 65, 13, 10) nelle "
                              "posizioni 1898-1900: trovati i codici "
        + code(bytes[kEndMarker - 1]) + ", " + code(bytes[kEndMarker]) + ", " + code(bytes[kEndMarker + 1]);
    if (bytes[kEndMarker - 1] == 'A' && bytes[kEndMarker] == '\r' && bytes[kEndMarker + 1] == '\n') {
        m_badFraming = 0;
        return true;
    }
    // The record still ends where records end: only its marker is damaged, and it is read
    // where it stands.
    if (bytes[kEndMarker] == '\r' && bytes[kEndMarker + 1] == '\n') {
        m_badFraming = 0;
        emit(RuleId::RecordFraming, kEndMarker, {}, found);
        return true;
    }
    // Two records in a row out of step: the file is no longer cut where records end, and
    // whatever follows would be read out of place.
    if (++m_badFraming >= 2) {
        emit(RuleId::RecordFraming, 1, {},
             "Dal record " + std::to_string(m_number - 1)
                 + " il file non e' piu' diviso in record di 1900 byte (manca o avanza qualche byte): i record "
                   "seguenti non sono stati controllati");
        m_stopped = true;
        return false;
    }
    emit(RuleId::RecordFraming, kEndMarker, {}, found);
    return false;
}

void FileChecker::order(char type)
{
    const auto count = [this](char t) { return m_counts[static_cast<unsigned char>(t)]; };
    if (count('Z') > 0) {
        if (!m_afterZReported)
            emit(RuleId::RecordOrder, 1, {}, "Record dopo il record Z: il record Z chiude il file");
        m_afterZReported = true;
        return;
    }
    if (m_number == 1 && type != 'A') {
        emit(RuleId::RecordOrder, 1, {}, "Il file telematico inizia con il record A; il primo record e' di tipo "
                                   + quoted(std::string(1, type)));
    }
    switch (type) {
    case 'A':
        if (count('A') > 0)
            emit(RuleId::RecordOrder, 1, {}, "Record A ripetuto: il file ne ha uno solo, il primo");
        break;
    case 'B':
        if (count('B') > 0)
            emit(RuleId::RecordOrder, 1, {}, "Record B ripetuto: il file ha un solo frontespizio");
        else if (m_previousType != 'A')
            emit(RuleId::RecordOrder, 1, {}, "Il record B (frontespizio) va subito dopo il record A");
        break;
    case 'C':
        if (count('C') > 0)
            emit(RuleId::RecordOrder, 1, {}, "Record C ripetuto: il quadro CT si indica una volta sola");
        else if (m_previousType != 'B')
            emit(RuleId::RecordOrder, 1, {}, "Il record C va subito dopo il record B");
        break;
    case 'D':
        if (count('B') == 0)
            emit(RuleId::RecordOrder, 1, {}, "Record D prima del frontespizio: manca il record B");
        break;
    case 'G':
    case 'H':
        if (!m_cert.open)
            emit(RuleId::RecordOrder, 1, {},
                 std::string("Record ") + type + " senza il record D della sua certificazione");
        break;
    case 'Z':
        break;
    case 'E':
        // Other software writes records E; what they hold is not known here.
        if (!m_recordsENamed)
            emit(RuleId::RecordKindNotChecked, 1, {},
                 "Record di tipo E, non previsto nel tracciato noto al programma: i record E del file non sono "
                 "controllati (detto una volta per il file)");
        m_recordsENamed = true;
        break;
    default:
        emit(RuleId::RecordKind, 1, {},
             "Tipo record " + quoted(std::string(1, type)) + " sconosciuto: i record sono di tipo A, B, C, D, G, H, Z");
        break;
    }
}

void FileChecker::characters(std::string_view bytes, char type)
{
    const std::string_view body = bytes.substr(1, kEndMarker - 2);
    if (cleanCharacters(body))
        return;
    // One finding for each field or element that holds a character out of place.
    const bool fieldArea = type == 'C' || type == 'D' || type == 'G' || type == 'H';
    const auto fields = recordFields(type);
    int reportedZone = -1;
    for (int position = 2; position < kEndMarker; ++position) {
        const auto c = static_cast<unsigned char>(bytes[static_cast<std::size_t>(position - 1)]);
        if (c >= 32 && c < 127 && !(c >= 'a' && c <= 'z'))
            continue;
        int zone = 0;
        std::string element;
        if (fieldArea && position >= kFieldArea && position <= kFieldAreaEnd) {
            const int slot = (position - kFieldArea) / kFieldLength;
            zone = 10000 + slot;
            element = std::string(bytes.substr(static_cast<std::size_t>(kFieldArea - 1 + slot * kFieldLength),
                                               kCodeLength));
        } else {
            for (std::size_t k = 0; k < fields.size(); ++k) {
                if (position >= fields[k].from && position < fields[k].from + fields[k].length)
                    zone = static_cast<int>(k) + 1;
            }
        }
        if (zone == reportedZone && zone != 0)
            continue;
        reportedZone = zone;
        for (char& e : element) {
            if (static_cast<unsigned char>(e) < 32)
                e = '?';
        }
        emit(RuleId::Characters, position, element, characterProblem(c, position));
    }
}

void FileChecker::positional(std::string_view bytes, char type)
{
    for (const PositionalField& field : recordFields(type))
        positionalField(bytes, field);
}

void FileChecker::positionalField(std::string_view bytes, const PositionalField& field)
{
    const std::string_view text = at(bytes, field.from, field.length);
    const RuleId id = field.ground == Ground::ThisProgram ? RuleId::PositionalFieldOfThisProgram : RuleId::PositionalField;
    const auto problem = [&](std::string message) { emit(id, field.from, {}, std::move(message)); };
    // Made only for a message: every field of every record passes here.
    const auto where = [&] { return " (" + positions(field.from, field.length) + ")"; };
    switch (field.form) {
    case PositionalForm::Blank:
        if (!blank(text))
            problem("Le " + positions(field.from, field.length) + " non sono utilizzate e devono contenere spazi");
        break;
    case PositionalForm::Fixed:
        if (text != field.allowed)
            problem(std::string(field.name) + where() + " " + quoted(text) + ": atteso '" + field.allowed + "'");
        break;
    case PositionalForm::Choice:
        if (!allowedValue(field.allowed, text))
            problem(std::string(field.name) + where() + " " + quoted(text) + " non ammesso: valori ammessi "
                    + shownList(field.allowed));
        break;
    case PositionalForm::Digits:
        if (!allDigits(text))
            problem(std::string(field.name) + where() + " " + quoted(text) + ": atteso un numero di "
                    + std::to_string(field.length) + " cifre, con gli zeri a sinistra");
        break;
    case PositionalForm::Flag01:
        if (text != "0" && text != "1")
            problem(std::string(field.name) + where() + " " + quoted(text) + ": attesi 0 o 1");
        break;
    case PositionalForm::FlagBlank01:
        if (text != "0" && text != "1" && text != " ")
            problem(std::string(field.name) + where() + " " + quoted(text) + ": attesi 0, 1 o uno spazio");
        break;
    case PositionalForm::FiscalCodeOrBlank:
        if (blank(text))
            break;
        [[fallthrough]];
    case PositionalForm::FiscalCode:
        if (const std::string fault = fiscalCodeFault(fiscalCodePart(text)); !fault.empty())
            problem(std::string(field.name) + where() + " " + quoted(text) + fault);
        break;
    case PositionalForm::CompanyCode:
        if (text != "00000000000")
            if (const std::string fault = fiscalCodeFault(text); !fault.empty())
                problem(std::string(field.name) + where() + " " + quoted(text) + fault + " (00000000000 quando manca)");
        break;
    case PositionalForm::Text:
        if (!text.empty() && text[0] == ' ' && !blank(text))
            problem(std::string(field.name) + where() + " " + quoted(records::trim(text))
                    + " non allineato a sinistra: i testi iniziano dalla prima posizione del campo");
        break;
    case PositionalForm::Phone: {
        const std::string_view digits = records::trim(text);
        if (!digits.empty() && (text[0] == ' ' || !allDigits(digits)))
            problem(std::string(field.name) + where() + " " + quoted(text)
                    + ": attese solo cifre, allineate a sinistra, senza spazi o altri segni");
        break;
    }
    case PositionalForm::DateOrEmpty:
        if (!blank(text) && text != std::string_view("00000000").substr(0, text.size())) {
            const auto day = dayOfDdmmyyyy(text);
            if (!day)
                problem(std::string(field.name) + where() + " " + quoted(text)
                        + " errata: attesa una data ggmmaaaa esistente");
            else if (m_options.today != 0 && *day > m_options.today)
                emit(RuleId::FutureDate, field.from, {},
                     std::string(field.name) + where() + " " + dayText(*day) + " successiva alla data di oggi");
        }
        break;
    }
}

// ------------------------------------------------------------------ records A, B, C, Z

void FileChecker::recordA(std::string_view bytes)
{
    m_supplierType = std::string(at(bytes, 21, 2));
    m_supplierCode = std::string(at(bytes, 23, 16));
}

void FileChecker::recordB(std::string_view bytes)
{
    m_recordB = m_number;
    m_agentCode = std::string(at(bytes, 2, 16));
    m_annulment = bytes[90];
    m_replacement = bytes[91];
    m_quadroCt = bytes[409];
    const std::string_view declared = at(bytes, 402, 8);
    m_declared = allDigits(declared) ? number(declared) : -1;

    if (m_annulment == '1' && m_replacement == '1')
        emit(RuleId::Operation, 91, {},
             "Comunicazione annullativa (posizione 91) e sostitutiva (posizione 92) insieme: una fornitura e' "
             "l'una o l'altra");
    // The withholding agent is named either as a person (surname, name) or as a company.
    const bool person = !blank(at(bytes, 93, 44));
    const bool company = !blank(at(bytes, 137, 60));
    if (person && company)
        emit(RuleId::DeclarantName, 93, {},
             "Il frontespizio indica sia cognome e nome (posizioni 93-136) sia la denominazione (posizioni 137-196) "
             "del dichiarante: solo gli uni o l'altra");
    else if (!person && !company)
        emit(RuleId::DeclarantName, 93, {},
             "Manca il dichiarante: ne' cognome e nome (posizioni 93-136) ne' denominazione (posizioni 137-196)");
    else if (person && blank(at(bytes, 93, 24)))
        emit(RuleId::DeclarantName, 93, {}, "Manca il cognome del dichiarante (posizioni 93-116)");

    // The intermediary and its commitment to send go together; without an intermediary the
    // commitment is left empty, as blanks or as zeros.
    const bool intermediary = !blank(at(bytes, 412, 16));
    const bool commitment = bytes[427] != ' ' && bytes[427] != '0';
    const bool commitmentDate = !blank(at(bytes, 429, 8)) && at(bytes, 429, 8) != "00000000";
    if (m_supplierType == "10" && !intermediary)
        emit(RuleId::Intermediary, 412, {},
             "Il fornitore e' un intermediario (tipo 10 nel record A) ma manca il codice fiscale dell'intermediario "
             "(posizioni 412-427)");
    if (intermediary && !commitment)
        emit(RuleId::Intermediary, 428, {},
             "Manca l'impegno a presentare in via telematica (posizione 428): 1 se la dichiarazione e' predisposta "
             "dal dichiarante, 2 se da chi la trasmette");
    if (intermediary && !commitmentDate)
        emit(RuleId::Intermediary, 429, {}, "Manca la data dell'impegno a presentare in via telematica (posizioni 429-436)");
    if (!intermediary && (commitment || commitmentDate))
        emit(RuleId::Intermediary, 412, {},
             "Impegno a presentare in via telematica senza il codice fiscale dell'intermediario (posizioni 412-427)");
    if (bytes[410] == '0')
        emit(RuleId::DeclarantSignature, 411, {},
             "Firma del dichiarante (posizione 411) '0': il frontespizio firmato porta 1");
    if (intermediary && bytes[436] == '0')
        emit(RuleId::IntermediarySignature, 437, {},
             "Firma dell'intermediario (posizione 437) '0' con l'intermediario indicato (posizioni 412-427): "
             "l'intermediario firma con 1");
    representative(bytes);
    if (m_supplierType == "01" && m_supplierCode != m_agentCode && m_counts['A'] > 0)
        emit(RuleId::SupplierIsDeclarant, 2, {},
             "Il record A indica un fornitore di tipo 01 (chi invia le proprie certificazioni) con un codice fiscale "
             + quoted(m_supplierCode) + " diverso da quello del dichiarante " + quoted(m_agentCode));
}

// Who signs for the withholding agent: a person, with the code of the office held.
void FileChecker::representative(std::string_view bytes)
{
    const std::string_view code = at(bytes, 310, 16);
    if (blank(code))
        return;
    const std::string_view part = fiscalCodePart(code);
    if (part.size() == 11 && allDigits(part))
        emit(RuleId::RepresentativePerson, 310, {},
             "Codice fiscale del rappresentante (posizioni 310-325) " + quoted(part)
                 + " di una societa' o di un ente: il rappresentante che firma e' una persona (codice fiscale di 16 "
                   "caratteri); il codice della societa' dichiarante va nelle posizioni 372-382");
    const std::string_view role = at(bytes, 326, 2);
    if (allDigits(role) && (number(role) < 1 || number(role) > 12))
        emit(RuleId::SignerRole, 326, {},
             "Codice carica del rappresentante (posizioni 326-327) " + quoted(role)
                 + " fuori dalla tabella dei codici carica (da 01 a 12)");
}

void FileChecker::recordC(std::string_view bytes)
{
    if (m_counts['B'] > 0 && at(bytes, 2, 16) != m_agentCode)
        emit(RuleId::SameDeclarant, 2, {},
             "Codice fiscale del dichiarante " + quoted(at(bytes, 2, 16)) + " diverso da quello del record B "
                 + quoted(m_agentCode));
    elements(bytes, 'C', m_chainC);
}

void FileChecker::recordZ(std::string_view bytes)
{
    closeCertification();
    m_recordZ = m_number;
    struct Count {
        int from;
        char type;
    };
    for (const Count count : {Count{16, 'B'}, Count{25, 'C'}, Count{34, 'D'}, Count{43, 'G'}, Count{52, 'H'}}) {
        const std::string_view text = at(bytes, count.from, 9);
        if (!allDigits(text))
            continue; // already reported as a positional field
        const long long present = m_counts[static_cast<unsigned char>(count.type)];
        if (number(text) != present)
            emit(RuleId::RecordCounts, count.from, {},
                 std::string("Il record Z conta ") + std::to_string(number(text)) + " record di tipo " + count.type
                     + " (" + positions(count.from, 9) + "), il file ne contiene " + std::to_string(present));
    }
}

// ------------------------------------------------------------------ certifications

void FileChecker::openCertification(std::string_view bytes)
{
    const std::string_view header = at(bytes, 2, 45);
    // Elements beyond the 75 of one record continue in a record D with the same heading.
    if (m_cert.open && m_previousType == 'D' && header == m_cert.header)
        return;
    closeCertification();
    ++m_certifications;
    m_cert = Certification{};
    m_cert.open = true;
    m_cert.record = m_number;
    m_cert.header = std::string(header);
    m_cert.operation = bytes[83];
    m_chainD = Chain{};
    m_chainG = Chain{};
    m_personCode = printable(records::trimRight(at(bytes, 26, 16)));
    m_personName = payeeName(bytes);
}

void FileChecker::recordD(std::string_view bytes)
{
    if (m_cert.record == m_number)
        certificationHeading(bytes);
    elements(bytes, 'D', m_chainD);
}

void FileChecker::certificationHeading(std::string_view bytes)
{
    const std::string_view numberText = at(bytes, 42, 5);
    if (allDigits(numberText)) {
        // Each certification has a number of its own, by which the Agency names it; this
        // program numbers them from 00001 without gaps.
        const auto certificate = static_cast<std::size_t>(number(numberText));
        const std::string expected = records::padLeft(std::to_string(m_lastNumber + 1), 5, '0');
        if (m_numbers[certificate])
            emit(RuleId::CertificationNumber, 42, {},
                 "Progressivo certificazione " + quoted(numberText)
                     + " ripetuto: ogni certificazione del file ha un progressivo suo");
        else if (static_cast<long long>(certificate) != m_lastNumber + 1)
            emit(RuleId::CertificationSequence, 42, {},
                 "Progressivo certificazione " + quoted(numberText) + " fuori sequenza: atteso " + quoted(expected));
        m_numbers[certificate] = true;
        m_lastNumber = static_cast<long long>(certificate);
    } else {
        ++m_lastNumber;
    }
    if (m_counts['B'] > 0 && at(bytes, 2, 16) != m_agentCode)
        emit(RuleId::SameDeclarant, 2, {},
             "Codice fiscale del sostituto " + quoted(at(bytes, 2, 16)) + " diverso da quello del frontespizio "
                 + quoted(m_agentCode) + " (record B)");

    // The kind of supply of record B and the operation of each certification agree, and
    // only cancellations and replacements name the certification they replace.
    const char operation = bytes[83];
    const std::string_view submission = at(bytes, 47, 17);
    const std::string_view replaced = at(bytes, 64, 6);
    const bool protocol = submission != "00000000000000000" || replaced != "000000";
    if (m_counts['B'] > 0) {
        const char expected = m_annulment == '1' ? 'A' : m_replacement == '1' ? 'S' : ' ';
        if (operation != expected && (operation == ' ' || operation == 'A' || operation == 'S')) {
            const auto shown = [](char c) { return c == ' ' ? std::string("uno spazio") : quoted(std::string(1, c)); };
            const std::string kind = expected == 'A' ? "annullativa" : expected == 'S' ? "sostitutiva" : "ordinaria";
            emit(RuleId::Operation, 84, {},
                 "Tipo di operazione (posizione 84) " + shown(operation) + " in una fornitura " + kind + ": atteso "
                     + shown(expected) + ", come dicono le caselle delle posizioni 91 e 92 del record B");
        }
    }
    if ((operation == 'A' || operation == 'S') && (submission == "00000000000000000" || replaced == "000000"))
        emit(RuleId::Operation, submission == "00000000000000000" ? 47 : 64, {},
             std::string(operation == 'A' ? "Annullamento" : "Sostituzione")
                 + " senza il protocollo della certificazione da " + (operation == 'A' ? "annullare" : "sostituire")
                 + ": servono l'identificativo dell'invio (posizioni 47-63) e il progressivo della certificazione "
                   "(posizioni 64-69)");
    if (operation == ' ' && protocol)
        emit(RuleId::Operation, 47, {},
             "Certificazione ordinaria con il protocollo di una certificazione da sostituire o annullare "
             "(posizioni 47-69): nelle forniture ordinarie vale zero");
}

// What records G and H share: their place in the certification and its heading.
bool FileChecker::incomeRecord(std::string_view bytes, char type, long long count)
{
    if (!m_cert.open)
        return false;
    if (m_cert.operation == 'A' && count == 1)
        emit(RuleId::Annulment, 1, {},
             std::string("Record ") + type + " in una certificazione annullata: l'annullamento ha solo il record D");
    if (at(bytes, 2, 45) != m_cert.header)
        emit(RuleId::Heading, 2, {},
             std::string("L'intestazione del record ") + type
                 + " (posizioni 2-46: sostituto, modulo, percipiente, progressivo) non e' quella del record D della "
                   "sua certificazione (record "
                 + std::to_string(m_cert.record) + ")");
    return true;
}

void FileChecker::recordG(std::string_view bytes)
{
    if (incomeRecord(bytes, 'G', m_cert.open ? ++m_cert.recordsG : 0))
        elements(bytes, 'G', m_chainG);
}

// Records H certify self-employment, commissions and other income. The check knows their
// heading and their place; what their quadri hold it does not check, and says so once.
void FileChecker::recordH(std::string_view bytes)
{
    if (!m_recordsHNamed) {
        m_recordsHNamed = true;
        std::string quadri;
        for (int k = 0; k < kFieldsPerRecord; ++k) {
            const std::string_view quadro = at(bytes, kFieldArea + k * kFieldLength, 2);
            if (isUpper(quadro[0]) && isUpper(quadro[1]) && quadri.find(quadro) == std::string::npos)
                quadri += (quadri.empty() ? "" : ", ") + std::string(quadro);
        }
        emit(RuleId::RecordsHNotChecked, kFieldArea, {},
             "Record H (lavoro autonomo, provvigioni, redditi diversi"
                 + (quadri.empty() ? std::string() : ": quadri " + quadri)
                 + "): il programma ne controlla l'intestazione e il posto, non i quadri; detto una volta per il file");
    }
    incomeRecord(bytes, 'H', m_cert.open ? ++m_cert.recordsH : 0);
}

void FileChecker::closeCertification()
{
    if (!m_cert.open)
        return;
    Certification& cert = m_cert;
    cert.open = false;
    const auto atD = [&](RuleId id, std::string element, std::string message) {
        emitAt(cert.record, id, kFieldArea, std::move(element), std::move(message));
    };
    const std::string payee = cert.header.substr(24, 16);
    if (cert.agentCode.empty())
        atD(RuleId::Identity, "DA001001", "Manca l'elemento DA001001, codice fiscale del sostituto d'imposta");
    else if (cert.agentCode.substr(0, 16) != cert.header.substr(0, 16))
        atD(RuleId::Identity, "DA001001",
            "Il codice fiscale del sostituto in DA001001 " + quoted(cert.agentCode)
                + " e' diverso da quello delle posizioni 2-17 del record D " + quoted(cert.header.substr(0, 16)));
    if (cert.payeeCode.empty())
        atD(RuleId::Identity, "DA002001", "Manca l'elemento DA002001, codice fiscale del percipiente");
    else if (cert.payeeCode.substr(0, 16) != payee)
        atD(RuleId::Identity, "DA002001",
            "Il codice fiscale del percipiente in DA002001 " + quoted(cert.payeeCode)
                + " e' diverso da quello delle posizioni 26-41 del record D " + quoted(payee));

    if (cert.operation != 'A' && cert.recordsG == 0 && cert.recordsH == 0)
        atD(RuleId::NoIncome, {},
            "Certificazione senza record G: non riporta alcun reddito, ritenuta o dato previdenziale del percipiente");
    else if (cert.operation != 'A' && cert.recordsG > 0 && cert.elementsG == 0)
        atD(RuleId::NoIncome, {}, "Certificazione con record G vuoti: non riporta alcun reddito, ritenuta o dato previdenziale");

    // The birth date and sex against what the fiscal code carries.
    if (const auto birth = birthOfFiscalCode(payee); birth && payee[15] != ' ') {
        if (cert.sex != 0 && cert.sex != birth->sex)
            atD(RuleId::BirthAndSex, "DA002004",
                std::string("Sesso ") + quoted(std::string(1, cert.sex)) + " diverso da quello del codice fiscale "
                    + quoted(payee) + " (" + (birth->sex == 'F' ? "F" : "M") + ")");
        if (cert.birthDate.size() == 8 && allDigits(cert.birthDate)) {
            const int day = static_cast<int>(number(cert.birthDate.substr(0, 2)));
            const int month = static_cast<int>(number(cert.birthDate.substr(2, 2)));
            const int year2 = static_cast<int>(number(cert.birthDate.substr(6, 2)));
            if (day != birth->day || month != birth->month || year2 != birth->year2)
                atD(RuleId::BirthAndSex, "DA002005",
                    "Data di nascita " + quoted(cert.birthDate) + " diversa da quella del codice fiscale "
                        + quoted(payee));
        }
    }
    if (cert.start != 0 && cert.end != 0 && cert.start > cert.end)
        emitAt(cert.endRecord, RuleId::EmploymentDates, cert.endPosition, "DB001009",
               "Data fine rapporto " + dayText(cert.end) + " precedente alla data di inizio " + dayText(cert.start));
    if (cert.end != 0 && cert.inForce)
        emitAt(cert.endRecord, RuleId::EmploymentDates, cert.endPosition, "DB001009",
               "Data fine rapporto insieme alla casella 'in forza al 31/12' (DB001010): si indica l'una o l'altra");
    m_personCode.clear();
    m_personName.clear();
}

// ------------------------------------------------------------------ elements

void FileChecker::elements(std::string_view bytes, char type, Chain& chain)
{
    bool gap = false;
    bool gapReported = false;
    for (int k = 0; k < kFieldsPerRecord; ++k) {
        const int position = kFieldArea + k * kFieldLength;
        const std::string_view slot(bytes.data() + position - 1, kFieldLength);
        if (blank(slot)) {
            gap = true;
            continue;
        }
        if (gap && !gapReported) {
            emit(RuleId::ElementLayout, position, std::string(slot.substr(0, kCodeLength)),
                 "Elemento dopo uno spazio vuoto: gli elementi di un record sono consecutivi dalla posizione 90");
            gapReported = true;
        }
        element(slot, position, type, chain);
    }
    if (!blank(at(bytes, kFieldAreaEnd + 1, kEndMarker - kFieldAreaEnd - 1)))
        emit(RuleId::ElementLayout, kFieldAreaEnd + 1, {},
             "Le posizioni 1890-1897 non sono utilizzate e devono contenere spazi");
}

void FileChecker::element(std::string_view slot, int position, char type, Chain& chain)
{
    const std::string_view code(slot.data(), kCodeLength);
    const std::string_view text(slot.data() + kCodeLength, kValueLength);
    std::uint64_t codeBytes;
    std::memcpy(&codeBytes, code.data(), sizeof codeBytes);
    // The codes of a record ascend: the next one is mostly a few places after the last.
    int rank = -1;
    const std::size_t from = static_cast<std::size_t>(chain.lastRank + 1);
    for (std::size_t r = from; r < from + 16 && r < m_codeWords.size(); ++r) {
        if (m_codeWords[r] == codeBytes) {
            rank = static_cast<int>(r);
            break;
        }
    }
    if (rank < 0)
        rank = elementRank(code);
    if (rank < 0) {
        const bool wellFormed = isUpper(code[0]) && isUpper(code[1]) && allDigits(code.substr(2, 3))
            && (isDigit(code[5]) || isUpper(code[5])) && allDigits(code.substr(6, 2));
        std::string shown(code);
        for (char& c : shown) {
            if (static_cast<unsigned char>(c) < 32)
                c = '?';
        }
        if (wellFormed)
            emit(RuleId::ElementUnknown, position, shown,
                 "Elemento " + shown + " non previsto nel tracciato noto al programma: il suo valore non e' controllato");
        else
            emit(RuleId::ElementLayout, position, shown,
                 "Codice elemento " + quoted(code)
                     + " non valido: atteso un codice di 8 caratteri (quadro, rigo e colonna, es. DB001001)");
        chain.lastCode = 0;
        return;
    }
    const ElementRule& rule = m_rules[static_cast<std::size_t>(rank)];

    // Each record holds the elements of its own part of the certification.
    const bool quadroCt = code[0] == 'C' && code[1] == 'T';
    const bool quadroDa = code[0] == 'D' && code[1] == 'A';
    const bool belongs = type == 'C' ? quadroCt : type == 'D' ? quadroDa : !quadroDa && !quadroCt;
    if (!belongs) {
        emit(RuleId::ElementLayout, position, rule.code,
             "Elemento " + named(rule) + " fuori posto nel record " + type
                 + (type == 'C'   ? ": il record C porta il quadro CT"
                    : type == 'D' ? ": il record D porta il quadro DA, i dati anagrafici"
                                  : ": il record G porta i quadri dal DB in poi"));
    }

    // A text longer than 16 characters continues in the next element, with the same code
    // and a value that starts with "+".
    if (text[0] == '+') {
        if (chain.lastCode != codeBytes)
            emit(RuleId::ElementLayout, position, rule.code,
                 "Continuazione '+' senza l'elemento che continua: un valore che inizia con '+' segue un elemento "
                 "con lo stesso codice");
        else if (!chain.lastIsText)
            emit(RuleId::ElementLayout, position, rule.code, "Continuazione '+' di un elemento che non e' un testo");
        return;
    }
    // Each element is compared with the one before it, so that one element out of place is
    // named once and the ones after it are not.
    if (rank <= chain.lastRank) {
        if (rank == chain.lastRank || m_seenIn[static_cast<std::size_t>(rank)] == m_certifications) {
            emit(RuleId::ElementLayout, position, rule.code,
                 "Elemento " + named(rule)
                     + " ripetuto nella certificazione: ogni codice compare una volta sola (un testo che continua "
                       "il precedente inizia con '+')");
        } else {
            char last[kCodeLength + 1] = {};
            std::memcpy(last, &chain.lastCode, kCodeLength);
            emit(RuleId::ElementLayout, position, rule.code,
                 "Elemento " + named(rule) + " fuori ordine dopo " + last
                     + ": gli elementi vanno in ordine crescente di codice");
        }
    }
    chain.lastRank = rank;
    m_seenIn[static_cast<std::size_t>(rank)] = m_certifications;
    chain.lastCode = codeBytes;
    chain.lastIsText = rule.form == ValueForm::Text;
    if (type == 'G')
        ++m_cert.elementsG;
    value(text, position, rule, rank);
}

void FileChecker::value(std::string_view text, int position, const ElementRule& rule, int rank)
{
    // Messages are made only for what is found: every element of the file passes here.
    const int valuePosition = position + kCodeLength;
    // The form a value takes is the kind of its field: certain where the field list gives
    // it, only how this program writes where the program's layouts alone know the element.
    const RuleId formRule = rule.source == RuleSource::Disputed        ? RuleId::ElementFormDisputed
                            : rule.source == RuleSource::ProgramLayout ? RuleId::ElementFormOfThisProgram
                                                                       : RuleId::ElementForm;
    const auto problem = [&](std::string message) { emit(formRule, valuePosition, rule.code, std::move(message)); };
    const auto outOfTable = [&](std::string message) {
        emit(rule.codeTable && formRule == RuleId::ElementForm ? RuleId::ElementCodeTable : formRule, valuePosition,
             rule.code, std::move(message));
    };
    const auto whatIs = [&] { return std::string(rule.name) + " " + quoted(text); };

    if (blank(text)) {
        emit(RuleId::EmptyElement, valuePosition, rule.code,
             std::string(rule.name) + " scritto senza valore: un elemento vuoto di norma non si indica");
        return;
    }
    const std::size_t first = firstNonBlank(text); // the value is not blank
    const bool rightAligned = text.back() != ' ';
    switch (rule.form) {
    case ValueForm::Text:
        if (first != 0)
            problem(whatIs() + " non allineato a sinistra: i testi iniziano dalla prima posizione del valore");
        else if (rule.allowed && !allowedValue(rule.allowed, records::trim(text)))
            outOfTable(whatIs() + " non ammesso: valori ammessi " + shownList(rule.allowed));
        break;
    case ValueForm::FiscalCode:
        if (first != 0)
            problem(whatIs() + " non allineato a sinistra");
        else if (std::string message = fiscalCodeProblem(text, rule.name); !message.empty())
            problem(std::move(message));
        break;
    case ValueForm::Amount: {
        // Whole part right-aligned in 13 places, a comma, two decimals.
        bool form = text[13] == ',' && isDigit(text[14]) && isDigit(text[15]) && first < 13;
        bool zero = text[14] == '0' && text[15] == '0';
        for (std::size_t k = first; k < 13; ++k) {
            form = form && isDigit(text[k]);
            zero = zero && text[k] == '0';
        }
        if (!form) {
            problem(whatIs()
                    + " nella forma errata: atteso un importo con la virgola e due decimali, allineato a destra (es. "
                    + kAmountExample + ")");
        } else if (zero) {
            emit(RuleId::ZeroValue, valuePosition, rule.code,
                 std::string(rule.name) + ": importo zero scritto, un importo nullo di norma non si indica");
        }
        break;
    }
    case ValueForm::Whole:
    case ValueForm::RightCode: {
        const std::string_view digits = text.substr(first);
        const bool codeForm = rule.form == ValueForm::RightCode;
        bool form = rightAligned;
        for (const char c : digits)
            form = form && (isDigit(c) || (codeForm && isUpper(c)));
        if (!form) {
            problem(whatIs() + (codeForm ? " nella forma errata: atteso un codice di lettere maiuscole o cifre allineato a destra"
                                     : " nella forma errata: atteso un numero intero allineato a destra, senza segni"));
            break;
        }
        if (codeForm)
            break;
        if (rule.digits != 0 && digits.size() != rule.digits) {
            problem(whatIs() + ": attese " + std::to_string(rule.digits) + " cifre"
                    + (rule.digits > 1 ? ", con gli zeri a sinistra" : ""));
            break;
        }
        const long long amount = digits.size() <= 12 ? number(digits) : -1;
        if (rule.allowed && !allowedValue(rule.allowed, digits)) {
            outOfTable(whatIs() + " non ammesso: valori ammessi " + shownList(rule.allowed));
        } else if (rule.maxValue != 0 && amount > rule.maxValue) {
            problem(whatIs() + " oltre il massimo di " + std::to_string(rule.maxValue));
        } else if (deductionCodeRank(rank) && !isDeductionCode(static_cast<int>(amount))) {
            emit(RuleId::ElementCodeTable, valuePosition, rule.code,
                 whatIs() + " sconosciuto: codici ammessi da 1 a 18, da 20 a 33, 35, 36, 37, 41, 42, 99");
        } else if (amount == 0) {
            emit(RuleId::ZeroValue, valuePosition, rule.code,
                 std::string(rule.name) + ": valore zero scritto, un valore nullo di norma non si indica");
        }
        break;
    }
    case ValueForm::Flag:
        if (text != "               1")
            problem(whatIs() + " nella forma errata: una casella barrata vale '1' allineato a destra");
        break;
    case ValueForm::Date: {
        const std::string_view digits = text.substr(8);
        if (!blank(text.substr(0, 8)) || !allDigits(digits)) {
            problem(whatIs() + " nella forma errata: attesa una data ggmmaaaa allineata a destra");
            break;
        }
        const auto day = dayOfDdmmyyyy(digits);
        if (!day)
            problem(whatIs() + ": data inesistente (attesa una data ggmmaaaa)");
        else if (m_options.today != 0 && *day > m_options.today)
            emit(RuleId::FutureDate, valuePosition, rule.code,
                 std::string(rule.name) + " " + dayText(*day) + " successiva alla data di oggi");
        break;
    }
    case ValueForm::DayMonth: {
        const std::string_view digits = text.substr(12);
        if (!blank(text.substr(0, 12)) || !allDigits(digits))
            problem(whatIs() + " nella forma errata: atteso giorno e mese ggmm allineati a destra");
        else if (!dayExists(kIncomeYear, static_cast<int>(number(digits.substr(2, 2))), static_cast<int>(number(digits.substr(0, 2)))))
            problem(whatIs() + ": giorno e mese inesistenti (atteso ggmm)");
        break;
    }
    case ValueForm::Months: {
        const std::string_view months = text.substr(4);
        bool form = blank(text.substr(0, 4));
        for (const char c : months)
            form = form && (c == '0' || c == '1');
        if (!form)
            problem(whatIs() + " nella forma errata: attesi dodici caratteri 0 o 1, uno per mese, allineati a destra");
        break;
    }
    case ValueForm::Province:
    case ValueForm::BirthProvince: {
        // Two letters: an Italian province, or EE for a foreign country.
        const bool form = first == 0 && isUpper(text[0]) && isUpper(text[1]) && blank(text.substr(2));
        if (!form)
            problem(whatIs() + ": attesa la sigla di due lettere della provincia (EE per uno Stato estero)");
        break;
    }
    case ValueForm::Percent: {
        const std::string_view shown = text.substr(first);
        const auto comma = shown.find(',');
        const std::string_view whole = shown.substr(0, comma);
        const bool form = rightAligned && !whole.empty() && whole.size() <= 3 && allDigits(whole)
            && (comma == std::string_view::npos || (shown.size() == comma + 3 && allDigits(shown.substr(comma + 1))));
        if (!form)
            problem(whatIs() + " nella forma errata: attesa una percentuale allineata a destra (es. '           50,00')");
        else if (number(whole) > 100 || (number(whole) == 100 && comma != std::string_view::npos
                                         && shown.substr(comma + 1) != "00"))
            problem(whatIs() + " oltre il 100 per cento");
        break;
    }
    }
    if (m_roles[rank] != kNone)
        remember(rank, text, valuePosition);
}

// The few elements that the end of the certification looks at again.
void FileChecker::remember(int rank, std::string_view text, int position)
{
    switch (m_roles[rank]) {
    case kNone: break;
    case kAgent: m_cert.agentCode = std::string(text); break;
    case kPayee: m_cert.payeeCode = std::string(text); break;
    case kSex: m_cert.sex = text[0]; break;
    case kBirth: m_cert.birthDate = std::string(records::trim(text)); break;
    case kStart: m_cert.start = dayOfDdmmyyyy(records::trim(text)).value_or(0); break;
    case kEnd:
        m_cert.end = dayOfDdmmyyyy(records::trim(text)).value_or(0);
        m_cert.endRecord = m_number;
        m_cert.endPosition = position;
        break;
    case kInForce: m_cert.inForce = true; break;
    }
}

void FileChecker::finish()
{
    // What only the whole file tells (the records missing, the certifications that record
    // B states) comes after the findings of its records.
    const struct PassOn {
        PlaceOrder& order;
        ~PassOn() { order.passOnAll(); }
    } passOn{m_order};
    if (m_stopped)
        return;
    closeCertification();
    m_order.passOnAll();
    const auto count = [this](char t) { return m_counts[static_cast<unsigned char>(t)]; };
    if (m_number == 0) {
        emitAt(1, RuleId::RecordCounts, 1, {}, "Il file e' vuoto");
        return;
    }
    const long long past = m_number + 1;
    if (count('A') == 0)
        emitAt(1, RuleId::RecordCounts, 1, {}, "Manca il record A, con cui il file telematico inizia");
    if (count('B') == 0)
        emitAt(count('A') > 0 ? 2 : 1, RuleId::RecordCounts, 1, {}, "Manca il record B, il frontespizio del dichiarante");
    if (count('Z') == 0)
        emitAt(past, RuleId::RecordCounts, 1, {}, "Manca il record Z, con cui il file telematico si chiude");
    if (count('B') > 0 && m_certifications == 0)
        emitAt(m_recordB, RuleId::RecordCounts, 1, {}, "Il file non contiene certificazioni: nessun record D");
    if (m_recordB != 0 && m_declared >= 0 && m_declared != m_certifications)
        emitAt(m_recordB, RuleId::DeclaredCertifications, 402, {},
               "Il record B indica " + std::to_string(m_declared)
                   + " certificazioni (posizioni 402-409), il file ne contiene " + std::to_string(m_certifications));
    if (m_recordB != 0 && m_quadroCt == '1' && count('C') == 0)
        emitAt(m_recordB, RuleId::QuadroCtBox, 410, {}, "La casella del quadro CT (posizione 410) vale 1 ma il file non ha il record C");
    if (m_recordB != 0 && m_quadroCt == '0' && count('C') > 0)
        emitAt(m_recordB, RuleId::QuadroCtBox, 410, {},
               "Il file ha il record C (quadro CT) ma la casella del quadro CT del record B (posizione 410) non vale 1");
}

} // namespace check::cu
