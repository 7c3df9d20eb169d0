#include "check/finding.h"

#include <algorithm>

namespace check {

namespace {

// Where a finding is: its record (CU) or its line (UniEmens).
std::int64_t placeOf(const Finding& finding)
{
    return finding.record != 0 ? finding.record : finding.line;
}

// A finding is one line of the report: the bytes of a damaged file that it quotes (a line
// end inside an XML value, a control character in a CU record) never break it.
void onOneLine(std::string& text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
        else if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    }
}

} // namespace

std::string_view levelText(Level level)
{
    return level == Level::Blocking ? "BLOCCANTE" : "AVVISO";
}

void FindingList::found(Finding finding)
{
    (finding.level == Level::Blocking ? m_blocking : m_warnings) += 1;
    if (m_findings.size() < m_keep) {
        m_findings.push_back(std::move(finding));
        return;
    }
    const auto rule = std::find_if(m_notKept.begin(), m_notKept.end(),
                                   [&](const auto& counted) { return counted.first == finding.rule; });
    if (rule == m_notKept.end())
        m_notKept.emplace_back(finding.rule, 1);
    else
        ++rule->second;
}

long long FindingList::notKeptCount() const
{
    long long count = 0;
    for (const auto& [rule, n] : m_notKept)
        count += n;
    return count;
}

void FindingCounter::found(Finding finding)
{
    (finding.level == Level::Blocking ? blocking : warnings) += 1;
}

void PlaceOrder::hold(Finding finding)
{
    for (std::string* text : {&finding.element, &finding.personCode, &finding.personName, &finding.message})
        onOneLine(*text);
    m_least = m_held.empty() ? placeOf(finding) : std::min(m_least, placeOf(finding));
    m_held.push_back(std::move(finding));
    if (m_held.size() > m_most)
        passOnAll();
}

void PlaceOrder::passOnBefore(std::int64_t place)
{
    if (m_held.empty() || m_least >= place)
        return;
    // In a CU record the place is also the position; an XML line has one element at a time.
    std::stable_sort(m_held.begin(), m_held.end(), [](const Finding& a, const Finding& b) {
        if (placeOf(a) != placeOf(b))
            return placeOf(a) < placeOf(b);
        return a.record != 0 && a.position < b.position;
    });
    std::size_t passed = 0;
    while (passed < m_held.size() && placeOf(m_held[passed]) < place)
        m_sink.found(std::move(m_held[passed++]));
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(passed));
    if (!m_held.empty())
        m_least = placeOf(m_held.front());
}

} // namespace check
