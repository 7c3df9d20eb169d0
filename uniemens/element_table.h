#pragma once

#include <array>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include <vector>

#include "payroll/record_fields.h"
#include "uniemens/xml_lines.h"

namespace uniemens {

// What the conditions and values of one block of the XML read: the fields of the record the
// block is written for (an employee, a collaborator, or the company header itself), the
// company header, the window's working year and month, and what is derived from the record.
struct BlockData {
    const payroll::RecordFields& fields;
    const payroll::RecordFields& header;
    std::string_view workingYear;   // "2016"
    std::string_view selectedMonth; // two digits, "03"
    bool sportWorker = false;       // employees: sport and entertainment worker
    bool apprentice = false;        // employees: apprenticeship code
    bool partTime = false;          // employees: part-time worker

    // The numeric value of a field of the record.
    double number(int field) const { return fields.number(field); }
};

// Field numbers that a condition looks at, ended by the first 0.
using FieldList = std::array<short, 6>;

// When an element is written: a test on fields (none = always), and a named rule on the
// record (none = always); both must hold.
struct Condition {
    bool (*test)(const BlockData&, const FieldList&) = nullptr;
    FieldList fields{};
    bool (*rule)(const BlockData&) = nullptr;

    // The same test, and also `other` must hold.
    constexpr Condition andAlso(bool (*other)(const BlockData&)) const
    {
        Condition c = *this;
        c.rule = other;
        return c;
    }
    bool holds(const BlockData& data) const
    {
        return (rule == nullptr || rule(data)) && (test == nullptr || test(data, fields));
    }
};

bool isPositiveTest(const BlockData&, const FieldList&);
bool notPositiveTest(const BlockData&, const FieldList&);
bool sumIsPositiveTest(const BlockData&, const FieldList&);
bool anyIsPositiveTest(const BlockData&, const FieldList&);
bool notEmptyTest(const BlockData&, const FieldList&);

constexpr Condition always()
{
    return {};
}
// The numeric value of the field is greater than zero.
constexpr Condition positive(short field)
{
    return {&isPositiveTest, {field}};
}
constexpr Condition notPositive(short field)
{
    return {&notPositiveTest, {field}};
}
// The numeric values of the fields, added left to right in double precision, exceed zero.
constexpr Condition sumPositive(std::initializer_list<short> fields)
{
    Condition c{&sumIsPositiveTest, {}};
    std::size_t k = 0;
    for (const short f : fields)
        c.fields[k++] = f;
    return c;
}
// At least one of the fields is greater than zero.
constexpr Condition anyPositive(std::initializer_list<short> fields)
{
    Condition c{&anyIsPositiveTest, {}};
    std::size_t k = 0;
    for (const short f : fields)
        c.fields[k++] = f;
    return c;
}
constexpr Condition notEmpty(short field)
{
    return {&notEmptyTest, {field}};
}
constexpr Condition rule(bool (*named)(const BlockData&))
{
    return Condition{}.andAlso(named);
}

enum class Form {
    Container,  // start tag, the nodes nested in it, end tag
    Fixed,      // the element name is a whole line of the program's own
    Text,       // the stripped field as it stands
    ZeroAsZero, // the stripped field, or "0" when its numeric value is zero
    Date,       // a YYYYMMDD field as YYYY-MM-DD, from the character positions of its text
    Computed,   // the text that `value` makes
    Special,    // lines that `write` writes
};

// One element of a block. A table of nodes lists the elements in output order, each with its
// nesting depth: the nodes after a container that are deeper than it are its content, and are
// passed over with it when its condition does not hold.
struct Node {
    int depth;
    std::string_view element;
    int field; // the field the value comes from; 0 for containers and fixed lines
    Condition when;
    Form form = Form::Text;
    std::string (*value)(const BlockData&, int field) = nullptr;
    void (*write)(const BlockData&, const Node&, XmlLines&) = nullptr;
};

// A table of nodes made ready once, to be written record after record: the tags of each
// node are made and where the nodes nested in each node end is known before the first record.
class ElementTable {
public:
    explicit ElementTable(std::span<const Node> nodes);
    // Writes the nodes for one record.
    void write(const BlockData& data, XmlLines& out) const;

private:
    struct Ready {
        XmlLines::Tag start; // "<element>"; the whole line of a container's start or a fixed line
        XmlLines::Tag end;   // "</element>" and the line end
        std::size_t after;   // the first node not nested in this one
    };
    std::span<const Node> m_nodes;
    std::vector<Ready> m_ready;
};

// A computed whole number as plain decimal digits ("-" before a negative value, no
// exponent, however large). A value that is not a finite number stops the series with
// "Importo non rappresentabile nell'elemento " + element + " ".
std::string wholeNumberText(double value, std::string_view element);

// Field text of a YYYYMMDD date as characters 1-4, "-", 5-6, "-", 7-8 ("--" when empty).
std::string dateText(std::string_view field);

} // namespace uniemens
