#include "cu/telematic/quadro_rows.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "payroll/cu_archive.h"
#include "cu/telematic/quadri_dc_df_dn.h"
#include "cu/telematic/quadro_db.h"
#include "records/numeric.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

constexpr std::size_t kCodeLength = 8;
constexpr std::size_t kValueLength = kFieldLength - kCodeLength;

// Fields of records G waiting to be handed to the writer together, in one append to the
// record. The batch never holds more fields than the current record G takes, and it is
// handed over as soon as it fills the record, so a record is finished (and a write error
// stops the run) right after its last field. It is also handed over before any other call
// of the writer.
class FieldBatch {
public:
    explicit FieldBatch(TelematicWriter& writer)
        : m_writer(writer)
    {
    }
    // Where the next field is formed; it joins the batch only with add().
    char* next() { return m_slots + static_cast<std::size_t>(m_count) * kFieldLength; }
    void add()
    {
        if (++m_count >= m_writer.gFieldsLeft())
            flush();
    }
    void flush()
    {
        if (m_count == 0)
            return;
        const int count = m_count;
        m_count = 0;
        m_writer.writeGSlots(m_slots, count);
    }
    TelematicWriter& writer() { return m_writer; }

private:
    TelematicWriter& m_writer;
    int m_count = 0;
    // The slots, then room for a stored amount's entry that runs past the last one.
    char m_slots[kFieldsPerRecord * kFieldLength + 16];
};

// Copies `count` characters, from one to two words' worth, as the first and the last word,
// which overlap where the count is not twice the word.
template <typename Word>
void copyAsTwoWords(char* to, const char* from, std::size_t count)
{
    Word head = 0;
    Word tail = 0;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + count - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + count - sizeof tail, &tail, sizeof tail);
}

// Copies `count` characters (at most 16, as a value has) with a few moves instead of a call
// of the library's copy.
inline void copyShort(char* to, const char* from, std::size_t count)
{
    if (count > 16) {
        std::memcpy(to, from, count);
    } else if (count >= 8) {
        copyAsTwoWords<std::uint64_t>(to, from, count);
    } else if (count >= 4) {
        copyAsTwoWords<std::uint32_t>(to, from, count);
    } else {
        for (std::size_t k = 0; k < count; ++k)
            to[k] = from[k];
    }
}

// One field being put together in the next slot of the batch: the code, then value
// pieces. Nothing goes past the 16 characters of the value, so a field never spills into
// the next slot of the record.
class Field {
public:
    Field(FieldBatch& batch, std::string_view code)
        : m_batch(batch)
        , m_text(batch.next())
    {
        static constexpr char kBlankField[kFieldLength + 1] = "                        ";
        std::memcpy(m_text, kBlankField, kFieldLength);
        if (code.size() >= kCodeLength) {
            std::memcpy(m_text, code.data(), kCodeLength); // the codes of the tables: 8 characters
            m_size = kCodeLength;
        } else {
            append(code);
        }
    }

    // The field is blank until something is put in it: blanks are only passed over.
    Field& blanks(std::size_t count)
    {
        m_size += std::min(count, kFieldLength - m_size);
        return *this;
    }
    Field& fill(std::size_t count, char c)
    {
        const std::size_t n = std::min(count, kFieldLength - m_size);
        std::fill_n(m_text + m_size, n, c);
        m_size += n;
        return *this;
    }
    Field& append(std::string_view text)
    {
        const std::size_t n = std::min(text.size(), kFieldLength - m_size);
        copyShort(m_text + m_size, text.data(), n);
        m_size += n;
        return *this;
    }
    // `text` right-aligned in the `width` characters that remain to the end of the value.
    Field& padded(std::string_view text, std::size_t width, char c)
    {
        if (text.size() < width)
            fill(width - text.size(), c);
        return append(text);
    }

    // The slot is written whole: what was not filled is already blank.
    void write() { m_batch.add(); }

private:
    FieldBatch& m_batch;
    char* m_text;
    std::size_t m_size = 0;
};

// The text without its blanks on either side, as records::trim() gives it, worked out
// here, where most rows look at it.
std::string_view trimmed(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::string_view entryOf(const payroll::CuEntries& fields, Source source)
{
    return source.table == Table::Cu ? fields.cu[source.entry] : fields.cu2[source.entry];
}

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool conditionHolds(const FieldRow& row, const payroll::CuEntries& fields, std::string_view entry)
{
    switch (row.when) {
    case When::Always:
    case When::Rule:
    case When::PassesTextCheck: // the text form applies the check itself
        return true;
    case When::Positive:
        // The amount forms test the rounded amount themselves and still feed the total.
        return isAmountForm(row.form) || records::isAboveZero(entry);
    case When::IsX:
        return entry == "X";
    case When::TrimmedNotEmpty:
        return !trimmed(entry).empty();
    case When::TrimmedOne:
        return trimmed(entry).size() == 1;
    case When::TrimmedTwo:
        return trimmed(entry).size() == 2;
    case When::TrimmedLongerThanOne:
        return trimmed(entry).size() > 1;
    case When::TrimmedIsAOrB: {
        const std::string_view text = trimmed(entry);
        return text == "A" || text == "B";
    }
    case When::IsAOrBOrC:
        return entry == "A" || entry == "B" || entry == "C";
    case When::FirstIsC:
        return !entry.empty() && entry.front() == 'C';
    case When::FirstIsNotC:
        return entry.empty() || entry.front() != 'C';
    case When::FirstIsNotBlank:
        return !entry.empty() && entry.front() != ' ';
    case When::FlagIsNotX:
        return fields.cu[row.param] != "X";
    case When::MunicipalityCode: {
        // Municipalities are named by their cadastral code, a letter and three digits, whose
        // numeric value is 0: a test on the value alone would never let one through.
        const std::string_view text = trimmed(entry);
        return (!text.empty() && isAsciiLetter(text.front())) || records::isAboveZero(entry);
    }
    }
    return false;
}

void addTotal(ReportTotals& totals, const FieldRow& row, double rounded)
{
    if (row.total != 0)
        totals[row.total] += rounded;
}

void writeRow(FieldBatch& batch, payroll::CuEntries& fields, ReportTotals& totals, const FieldRow& row)
{
    const std::string_view entry = entryOf(fields, row.source);
    if (!conditionHolds(row, fields, entry))
        return;

    // The amount forms format their field in the writer, which may stop the run.
    if (isAmountForm(row.form) || row.form == Form::CappedDeductions)
        batch.flush();
    TelematicWriter& writer = batch.writer();
    switch (row.form) {
    case Form::Amount:
        addTotal(totals, row, writer.writeAmount(row.code, records::numericValue(entry)));
        return;
    case Form::Whole:
        addTotal(totals, row, writer.writeWhole(row.code, records::numericValue(entry)));
        return;
    case Form::CappedDeductions:
        addTotal(totals, row, writer.writeAmount(row.code, cappedDeductions(fields)));
        return;
    default:
        break;
    }

    Field field(batch, row.code);
    switch (row.form) {
    case Form::Amount:
    case Form::Whole:
    case Form::CappedDeductions:
        return; // written above
    case Form::Text:
        // The text check of the G fields; the trimmed text, cut at 16, is its value.
        if (textIsSkipped(entry))
            return;
        field.append(trimmed(entry).substr(0, kValueLength));
        break;
    case Form::Flag:
        field.blanks(kValueLength - 1).append("1");
        break;
    case Form::BlanksEntry:
        field.blanks(row.param).append(entry);
        break;
    case Form::BlanksTrimmed:
        field.blanks(row.param).append(trimmed(entry));
        break;
    case Form::Trimmed:
        field.append(trimmed(entry));
        break;
    case Form::Entry:
        field.append(entry);
        break;
    case Form::Zero2:
        field.blanks(kValueLength - 2).padded(trimmed(entry), 2, '0');
        break;
    case Form::Zero3:
        field.blanks(kValueLength - 3).padded(trimmed(entry), 3, '0');
        break;
    case Form::Blank2:
        field.blanks(kValueLength - 2).padded(trimmed(entry), 2, ' ');
        break;
    case Form::LetterC:
        field.append("C");
        break;
    case Form::LetterFD:
        field.fill(1, dependantLetter(fields, row.source.entry, 1));
        break;
    case Form::LetterFAD:
        field.fill(1, dependantLetter(fields, row.source.entry, 3));
        break;
    case Form::Months:
        field.blanks(4).append(monthString(fields, row.source.entry));
        break;
    case Form::DayCount: {
        const std::string days = dayCountText(fields);
        if (!records::isAboveZero(days))
            return;
        field.blanks(13).append(days);
        break;
    }
    case Form::DayCountPeriod:
        if (!(records::numericValue(dayCountText(fields)) < 365 && records::numericValue(entry) > 0))
            return;
        field.blanks(15).append(entry);
        break;
    case Form::TwoCharacterCode:
        field.blanks(kValueLength - 2).append(twoCharacterCode(entry));
        break;
    case Form::FirstTwoBlank2: {
        const std::string code = firstTwoBlankPadded(entry);
        if (!records::isAboveZero(code))
            return;
        field.blanks(kValueLength - 2).append(code);
        break;
    }
    case Form::PairedCodes: {
        const std::string first = zeroPadded2(entry);
        if (!records::isAboveZero(first))
            return;
        field.blanks(kValueLength - 4).append(first).append(zeroPadded2(fields.cu[row.param]));
        break;
    }
    }
    field.write();
}

// The shape in which the suite stores nearly every amount that is not empty: the whole
// part without a leading zero (at most eleven digits), then a full stop and two decimals or
// nothing, with blanks before or after ("    1234.56", "1234.56    ", "12  "). Such an
// amount is above zero, and its field is made of the entry's own characters: for an amount
// row the whole part right-aligned in 13 characters, a comma and the two decimals ("00"
// without them), for a whole row the whole part right-aligned in 16.
//
// The entry (at most 16 characters) is compared as one vector of 16 characters, giving one
// bit per character for a blank, a digit and a full stop, so that the shape is told without
// a loop over the characters.
using Characters = char __attribute__((vector_size(16)));

struct StoredAmount {
    Characters text; // the entry, filled with blanks to 16 characters (character k in lane k)
    unsigned wholeBegin = 0;  // the whole part's first character
    unsigned wholeEnd = 0;    // the character after its last
    bool decimals = false;    // a full stop and two decimals follow it
};

// Bit k set for each character k whose lane of `lanes` (a comparison's result) is set.
unsigned laneMask(Characters lanes)
{
#if defined(__SSE2__)
    return static_cast<unsigned>(_mm_movemask_epi8(std::bit_cast<__m128i>(lanes)));
#else
    // The top bit of each lane gathered by a multiplication, eight lanes at a time
    // (little-endian words: lane k in byte k).
    std::uint64_t words[2];
    std::memcpy(words, &lanes, sizeof words);
    const auto gather = [](std::uint64_t word) {
        return static_cast<unsigned>((((word & 0x8080808080808080ULL) >> 7) * 0x0102040810204080ULL) >> 56);
    };
    return gather(words[0]) | gather(words[1]) << 8;
#endif
}

void putText(char* out, Characters text)
{
    std::memcpy(out, &text, sizeof text);
}

// Whether `text` (an entry filled with blanks to 16 characters) holds an amount in the
// stored shape; if so, `amount` receives it.
[[gnu::always_inline]] inline bool hasStoredShape(Characters text, StoredAmount& amount)
{
    const unsigned blanks = laneMask(text == ' ');
    const unsigned digits = laneMask((text >= '0') & (text <= '9'));
    const unsigned stops = laneMask(text == '.');
    if (blanks == 0xFFFF)
        return false;
    const auto first = static_cast<unsigned>(std::countr_zero(~blanks));
    if (((digits >> first) & 1) == 0 || ((laneMask(text == '0') >> first) & 1) != 0)
        return false;
    const unsigned wholeEnd = first + static_cast<unsigned>(std::countr_zero(~(digits >> first)));
    if (wholeEnd - first > 11)
        return false;
    const bool decimals = ((stops >> wholeEnd) & 1) != 0 && ((digits >> (wholeEnd + 1)) & 3) == 3;
    // Blanks only after the amount.
    const unsigned end = wholeEnd + (decimals ? 3 : 0);
    if ((blanks >> end) != (0xFFFFu >> end))
        return false;
    amount.text = text;
    amount.wholeBegin = first;
    amount.wholeEnd = wholeEnd;
    amount.decimals = decimals;
    return true;
}

// An entry that lies outside the record read (a value a rule wrote back, the tables of a
// test): its characters are filled with blanks to 16 in a copy.
bool readStoredAmount(std::string_view entry, StoredAmount& amount)
{
    const std::size_t size = entry.size();
    if (size == 0 || size > 16)
        return false;
    char text[16];
    std::memset(text, ' ', sizeof text);
    std::memcpy(text, entry.data(), size);
    Characters characters;
    std::memcpy(&characters, text, sizeof characters);
    return hasStoredShape(characters, amount);
}

// Whether the entry (1 to 16 characters) lies in a record that can be read 16 characters
// past any of its positions.
bool liesInReadableRecord(std::string_view entry, const payroll::CuEntries& fields)
{
    const auto offset = reinterpret_cast<std::uintptr_t>(entry.data())
                        - reinterpret_cast<std::uintptr_t>(fields.readable.data());
    return entry.size() - 1 < 16 && offset < fields.readable.size();
}

// An entry of such a record filled with blanks to 16 characters: its 16 characters are
// loaded at once and those past the entry's end replaced by blanks.
Characters loadInRecord(std::string_view entry)
{
    // Sixteen set lanes then sixteen clear ones: from 16 - size on, the first `size` are set.
    alignas(16) static constexpr unsigned char kEntryLanes[32] = {
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    Characters loaded;
    Characters inEntry;
    std::memcpy(&loaded, entry.data(), sizeof loaded);
    std::memcpy(&inEntry, kEntryLanes + 16 - entry.size(), sizeof inEntry);
    constexpr Characters kBlanks = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    return (loaded & inEntry) | (kBlanks & ~inEntry);
}

// Forms the field of a stored amount in `slot`: blanks, then the entry's 16 characters
// placed where the value wants the whole part to end, then the code and the characters
// after the whole part. Everything is stored, nothing read back: a read of characters just
// written would wait for the writes. The entry may run up to 16 characters past the slot;
// the batch has room for that after its last slot, and a later field overwrites the rest.
void formStoredAmountField(char* slot, const FieldRow& row, const StoredAmount& amount)
{
    std::memset(slot + kCodeLength, ' ', kValueLength);
    if (row.form == Form::Amount) {
        // The whole part ends at character 13 of the value, which becomes the comma; with no
        // decimals the two after it are "00". A whole part ending past character 13 starts
        // the entry in the code, which is written afterwards.
        putText(slot + kCodeLength + 13 - static_cast<int>(amount.wholeEnd), amount.text);
        slot[kCodeLength + 13] = ',';
        if (!amount.decimals)
            std::memcpy(slot + kCodeLength + 14, "00", 2);
    } else {
        putText(slot + kCodeLength + 16 - amount.wholeEnd, amount.text);
    }
    if (row.code.size() >= kCodeLength) {
        std::memcpy(slot, row.code.data(), kCodeLength);
    } else {
        std::memset(slot, ' ', kCodeLength);
        std::memcpy(slot, row.code.data(), row.code.size());
    }
}

// The cents of a stored amount.
std::int64_t storedAmountCents(const StoredAmount& amount)
{
    char text[16];
    putText(text, amount.text);
    std::int64_t cents = 0;
    for (unsigned k = amount.wholeBegin; k < amount.wholeEnd; ++k)
        cents = cents * 10 + (text[k] - '0');
    cents *= 100;
    if (amount.decimals)
        cents += (text[amount.wholeEnd + 1] - '0') * 10 + (text[amount.wholeEnd + 2] - '0');
    return cents;
}

// A plain amount row. An entry in the stored shape of an amount gives its field as it
// stands; one in another plain shape is read as whole cents and its field formed from
// them; any other entry is read and rounded to cents as a number by the writer. All three
// give the same field and the same amount for the totals.
void writeAmountRow(FieldBatch& batch, const payroll::CuEntries& fields, ReportTotals& totals, const FieldRow& row)
{
    const std::string_view entry = entryOf(fields, row.source);
    StoredAmount stored;
    bool shaped = false;
    if (liesInReadableRecord(entry, fields)) [[likely]] {
        const Characters text = loadInRecord(entry);
        // Most amounts of a certification are blank: no field, nothing for the totals.
        if (laneMask(text == ' ') == 0xFFFF) {
            addTotal(totals, row, 0.0);
            return;
        }
        shaped = hasStoredShape(text, stored);
    } else {
        shaped = readStoredAmount(entry, stored);
    }
    if (shaped) {
        formStoredAmountField(batch.next(), row, stored);
        batch.add();
        if (row.total != 0)
            totals[row.total] += static_cast<double>(storedAmountCents(stored)) / 100;
        return;
    }
    std::int64_t cents = 0;
    if (!records::plainCents(entry, cents)) {
        batch.flush();
        TelematicWriter& writer = batch.writer();
        const double amount = records::numericValue(entry);
        addTotal(totals, row, row.form == Form::Amount ? writer.writeAmount(row.code, amount)
                                                       : writer.writeWhole(row.code, amount));
        return;
    }
    // A plain amount is below 10^11: it always fits its field.
    if (cents > 0) {
        if (row.form == Form::Amount)
            formCentsAmountField(batch.next(), row.code, cents);
        else
            formCentsWholeField(batch.next(), row.code, cents);
        batch.add();
    }
    addTotal(totals, row, static_cast<double>(cents) / 100);
}

bool openGroup(Group group, payroll::CuEntries& fields)
{
    switch (group) {
    case Group::None:
        return true;
    case Group::DbIncome:
        return !hasNoIncomePart(fields);
    case Group::DfB:
        if (!groupIsOpen(group, fields))
            return false;
        capDf001862Amount(fields);
        return true;
    default:
        return groupIsOpen(group, fields);
    }
}

} // namespace

void writeRows(TelematicWriter& writer, payroll::CuEntries& fields, ReportTotals& totals, std::span<const FieldRow> rows)
{
    FieldBatch batch(writer);
    bool open = true;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FieldRow& row = rows[i];
        // A gate is looked at once, when its group begins.
        if (i == 0 || row.group != rows[i - 1].group)
            open = openGroup(row.group, fields);
        if (!open)
            continue;
        if (row.plainAmount)
            writeAmountRow(batch, fields, totals, row);
        else
            writeRow(batch, fields, totals, row);
    }
    batch.flush();
}

} // namespace cu::telematic
