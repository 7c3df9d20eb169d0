#include "check/finding.h"

#include <algorithm>

namespace check {

std::string_view levelText(Level level)
{
    return level == Level::Blocking ? "BLOCCANTE" : "AVVISO";
}

void FindingList::found(Finding finding)
{
    (finding.level == Level::Blocking ? m_blocking : m_warnings) += 1;
    m_findings.push_back(std::move(finding));
}

void FindingList::sortByPlace()
{
    std::stable_sort(m_findings.begin(), m_findings.end(), [](const Finding& a, const Finding& b) {
        if (a.record != b.record)
            return a.record < b.record;
        if (a.line != b.line)
            return a.line < b.line;
        // In a CU record the place is the position; an XML line has one element at a time.
        return a.record != 0 && a.position < b.position;
    });
}

void FindingCounter::found(Finding finding)
{
    (finding.level == Level::Blocking ? blocking : warnings) += 1;
}

} // namespace check
