#include "uniemens/element_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "records/text.h"
#include "uniemens/series_stop.h"
#include "uniemens/xml_lines.h"

namespace uniemens {

bool isPositiveTest(const BlockData& data, const FieldList& fields)
{
    return data.number(fields[0]) > 0;
}

bool notPositiveTest(const BlockData& data, const FieldList& fields)
{
    return !(data.number(fields[0]) > 0);
}

bool sumIsPositiveTest(const BlockData& data, const FieldList& fields)
{
    double sum = 0;
    for (const short f : fields) {
        if (f == 0)
            break;
        sum += data.number(f);
    }
    return sum > 0;
}

bool anyIsPositiveTest(const BlockData& data, const FieldList& fields)
{
    for (const short f : fields) {
        if (f == 0)
            break;
        if (data.number(f) > 0)
            return true;
    }
    return false;
}

bool notEmptyTest(const BlockData& data, const FieldList& fields)
{
    return !data.fields[fields[0]].empty();
}

std::string wholeNumberText(double value, std::string_view element)
{
    if (!std::isfinite(value))
        throw SeriesStopped("Importo non rappresentabile nell'elemento " + std::string(element) + " ");
    // A whole number of the usual size is written from its integer, the same digits as below.
    constexpr double kIntegerRange = 9.0e18;
    if (value == std::floor(value) && value > -kIntegerRange && value < kIntegerRange) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr;
        return std::string(digits, end);
    }
    char text[400]; // the largest double has 309 digits
    std::snprintf(text, sizeof text, "%.0f", value);
    if (std::string_view(text) == "-0")
        return "0";
    return text;
}

std::string dateText(std::string_view field)
{
    std::string text(records::mid(field, 1, 4));
    text += '-';
    text += records::mid(field, 5, 2);
    text += '-';
    text += records::mid(field, 7, 2);
    return text;
}

void writeNodes(std::span<const Node> table, const BlockData& data, XmlLines& out)
{
    // The containers open at the moment, innermost last.
    std::array<const Node*, 16> open{};
    std::size_t openCount = 0;
    std::size_t k = 0;
    while (k < table.size()) {
        const Node& node = table[k];
        while (openCount > 0 && open[openCount - 1]->depth >= node.depth)
            out.close(open[--openCount]->element);
        if (!node.when.holds(data)) {
            // Pass over the node and everything nested in it.
            ++k;
            while (k < table.size() && table[k].depth > node.depth)
                ++k;
            continue;
        }
        switch (node.form) {
        case Form::Container:
            out.open(node.element);
            open[openCount++] = &node;
            break;
        case Form::Fixed:
            out.fixed(node.element);
            break;
        case Form::Text:
            out.element(node.element, data.fields[node.field]);
            break;
        case Form::ZeroAsZero:
            out.element(node.element, data.number(node.field) == 0 ? std::string_view("0") : data.fields[node.field]);
            break;
        case Form::Date:
            out.element(node.element, dateText(data.fields[node.field]));
            break;
        case Form::Computed:
            out.element(node.element, node.value(data, node.field));
            break;
        case Form::Special:
            node.write(data, node, out);
            break;
        }
        ++k;
    }
    while (openCount > 0)
        out.close(open[--openCount]->element);
}

} // namespace uniemens
