#include "uniemens/element_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "records/text.h"
#include "uniemens/series_stop.h"
#include "uniemens/xml_lines.h"

namespace uniemens {

bool isPositiveTest(const BlockData& data, const FieldList& fields)
{
    return data.fields.positive(fields[0]);
}

bool notPositiveTest(const BlockData& data, const FieldList& fields)
{
    return !data.fields.positive(fields[0]);
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
        if (data.fields.positive(f))
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

ElementTable::ElementTable(std::span<const Node> nodes)
    : m_nodes(nodes)
    , m_ready(nodes.size())
{
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const Node& node = nodes[k];
        Ready& ready = m_ready[k];
        switch (node.form) {
        case Form::Container:
            ready.start = XmlLines::tag({"<", node.element, ">"}, true);
            break;
        case Form::Fixed:
            ready.start = XmlLines::tag({node.element}, true);
            break;
        default:
            ready.start = XmlLines::tag({"<", node.element, ">"}, false);
            break;
        }
        ready.end = XmlLines::tag({"</", node.element, ">"}, true);
        // A node is one deeper than the container it is nested in, or as deep as a node
        // before it: the containers open before a node are then those it is nested in.
        const int deepest = k == 0 ? 1 : nodes[k - 1].depth + (nodes[k - 1].form == Form::Container ? 1 : 0);
        if (node.depth < 1 || node.depth > deepest)
            throw std::logic_error("element table: " + std::string(node.element) + " is not nested in a container");
        ready.after = k + 1;
        while (ready.after < nodes.size() && nodes[ready.after].depth > node.depth)
            ++ready.after;
    }
}

void ElementTable::write(const BlockData& data, XmlLines& out) const
{
    // The containers open at the moment, innermost last.
    std::array<std::size_t, 16> open{};
    std::size_t openCount = 0;
    std::size_t k = 0;
    const std::size_t count = m_nodes.size();
    while (k < count) {
        const Node& node = m_nodes[k];
        // The node stands in the containers of its depth less one: the deeper ones end.
        while (openCount >= static_cast<std::size_t>(node.depth))
            out.line(m_ready[open[--openCount]].end);
        if (!node.when.holds(data)) {
            // Pass over the node and everything nested in it.
            k = m_ready[k].after;
            continue;
        }
        const Ready& ready = m_ready[k];
        switch (node.form) {
        case Form::Container:
            out.line(ready.start);
            open[openCount++] = k;
            break;
        case Form::Fixed:
            out.line(ready.start);
            break;
        case Form::Text:
            out.element(ready.start, data.fields[node.field], ready.end);
            break;
        case Form::ZeroAsZero:
            out.element(ready.start, data.number(node.field) == 0 ? std::string_view("0") : data.fields[node.field],
                        ready.end);
            break;
        case Form::Date:
            out.element(ready.start, dateText(data.fields[node.field]), ready.end);
            break;
        case Form::Computed:
            out.element(ready.start, node.value(data, node.field), ready.end);
            break;
        case Form::Special:
            node.write(data, node, out);
            break;
        }
        ++k;
    }
    while (openCount > 0)
        out.line(m_ready[open[--openCount]].end);
}

} // namespace uniemens
