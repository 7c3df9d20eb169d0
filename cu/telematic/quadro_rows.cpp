#include "cu/telematic/quadro_rows.h"

#include <algorithm>
#include <string>

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
    char m_slots[kFieldsPerRecord * kFieldLength];
};

// One field being put together in the next slot of the batch: the code, then value
// pieces. Nothing goes past the 16 characters of the value, so a field never spills into
// the next slot of the record.
class Field {
public:
    Field(FieldBatch& batch, std::string_view code)
        : m_batch(batch)
        , m_text(batch.next())
    {
        std::fill_n(m_text, kFieldLength, ' ');
        if (code.size() >= kCodeLength) {
            std::copy_n(code.data(), kCodeLength, m_text); // the codes of the tables: 8 characters
            m_size = kCodeLength;
        } else {
            append(code);
        }
    }

    Field& blanks(std::size_t count) { return fill(count, ' '); }
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
        std::copy_n(text.data(), n, m_text + m_size);
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

const std::string& entryOf(const payroll::CuFields& fields, Source source)
{
    return source.table == Table::Cu ? fields.cu[source.entry] : fields.cu2[source.entry];
}

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAmountForm(Form form)
{
    return form == Form::Amount || form == Form::Whole;
}

bool conditionHolds(const FieldRow& row, const payroll::CuFields& fields, const std::string& entry)
{
    switch (row.when) {
    case When::Always:
    case When::Rule:
    case When::PassesTextCheck: // the text form applies the check itself
        return true;
    case When::Positive:
        // The amount forms test the rounded amount themselves and still feed the total.
        return isAmountForm(row.form) || records::numericValue(entry) > 0;
    case When::IsX:
        return entry == "X";
    case When::TrimmedNotEmpty:
        return !records::trim(entry).empty();
    case When::TrimmedOne:
        return records::trim(entry).size() == 1;
    case When::TrimmedTwo:
        return records::trim(entry).size() == 2;
    case When::TrimmedLongerThanOne:
        return records::trim(entry).size() > 1;
    case When::TrimmedIsAOrB: {
        const std::string_view trimmed = records::trim(entry);
        return trimmed == "A" || trimmed == "B";
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
        const std::string_view trimmed = records::trim(entry);
        return (!trimmed.empty() && isAsciiLetter(trimmed.front())) || records::numericValue(entry) > 0;
    }
    }
    return false;
}

void addTotal(ReportTotals& totals, const FieldRow& row, double rounded)
{
    if (row.total != 0)
        totals[row.total] += rounded;
}

void writeRow(FieldBatch& batch, payroll::CuFields& fields, ReportTotals& totals, const FieldRow& row)
{
    const std::string& entry = entryOf(fields, row.source);
    if (!conditionHolds(row, fields, entry))
        return;

    // The amount forms format their field in the writer, which may stop the run.
    if (row.form == Form::Amount || row.form == Form::Whole || row.form == Form::CappedDeductions)
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
        field.append(records::trim(entry).substr(0, kValueLength));
        break;
    case Form::Flag:
        field.blanks(kValueLength - 1).append("1");
        break;
    case Form::BlanksEntry:
        field.blanks(row.param).append(entry);
        break;
    case Form::BlanksTrimmed:
        field.blanks(row.param).append(records::trim(entry));
        break;
    case Form::Trimmed:
        field.append(records::trim(entry));
        break;
    case Form::Entry:
        field.append(entry);
        break;
    case Form::Zero2:
        field.blanks(kValueLength - 2).padded(records::trim(entry), 2, '0');
        break;
    case Form::Zero3:
        field.blanks(kValueLength - 3).padded(records::trim(entry), 3, '0');
        break;
    case Form::Blank2:
        field.blanks(kValueLength - 2).padded(records::trim(entry), 2, ' ');
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
        if (!(records::numericValue(days) > 0))
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
        if (!(records::numericValue(code) > 0))
            return;
        field.blanks(kValueLength - 2).append(code);
        break;
    }
    case Form::PairedCodes: {
        const std::string first = zeroPadded2(entry);
        if (!(records::numericValue(first) > 0))
            return;
        field.blanks(kValueLength - 4).append(first).append(zeroPadded2(fields.cu[row.param]));
        break;
    }
    }
    field.write();
}

// An amount row whose only condition is the one its form tests, on the rounded amount.
bool isPlainAmountRow(const FieldRow& row)
{
    return isAmountForm(row.form) && row.when == When::Positive;
}

// A plain amount row. An entry in the plain shape of a stored amount is read as whole
// cents and its field formed from them; any other entry is read and rounded to cents as a
// number by the writer. Both give the same field and the same amount for the totals.
void writeAmountRow(FieldBatch& batch, const payroll::CuFields& fields, ReportTotals& totals, const FieldRow& row)
{
    const std::string& entry = entryOf(fields, row.source);
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

bool openGroup(Group group, payroll::CuFields& fields)
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

void writeRows(TelematicWriter& writer, payroll::CuFields& fields, ReportTotals& totals, std::span<const FieldRow> rows)
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
        if (isPlainAmountRow(row))
            writeAmountRow(batch, fields, totals, row);
        else
            writeRow(batch, fields, totals, row);
    }
    batch.flush();
}

} // namespace cu::telematic
