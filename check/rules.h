#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/finding.h"

// What each rule of the check rests on, and the level that follows from it. A finding is
// BLOCCANTE only where the authority certainly rejects the file: the framing of the format
// and the authority's own rules whose code or text is known. What rests on how other
// software writes the file, on how this program writes it, or on the file contradicting
// itself is AVVISO, and its message says what it rests on.
namespace check {

enum class Ground : std::uint8_t {
    // The format's framing: record length, record kinds and their order, counts, positions
    // and the kinds of their fields, check characters of fiscal codes and VAT numbers,
    // well-formed XML, the element tree as known.
    Framing,
    // A rule of the authority whose code or text is known (an INPS error code).
    Authority,
    // What other software that writes or reads the same files shows.
    OtherSoftware,
    // Only how this program writes the file.
    ThisProgram,
    // The file contradicts itself or the calendar: accepted, likely a mistake.
    Plausibility,
    // Something the check does not know: named, not judged.
    Unknown,
};

Level levelOf(Ground ground);
// "tracciato", "regola dell'ente", ... as the table of the rules names the ground.
std::string_view groundText(Ground ground);

// One rule of the check.
struct Rule {
    const char* id;      // "cu.record-length", for the table of the rules
    Ground ground;
    const char* what;    // what the rule checks, in a few words (Italian)
    // What the finding rests on, said at the end of its message in parentheses; nullptr
    // for what needs no word (framing, authority rules and contradictions say it already).
    const char* restsOn = nullptr;
    const char* source = nullptr; // where the ground is documented ("U4", "C5", "02560E")

    Level level() const { return levelOf(ground); }
    // `message` with what it rests on.
    std::string said(std::string message) const;
};

// The words a finding that rests only on how this program writes the file ends with.
inline constexpr const char* kAsThisProgramWrites = "diverso da come lo scrive questo programma";

// One line of the table of every rule: which format, which rule or field, its ground and
// its level.
struct RuleRow {
    std::string format;  // "CU", "UniEmens"
    std::string subject; // the rule, or the field or element it is about
    std::string what;
    Ground ground = Ground::Framing;
    std::string source;
    // One of many rows of the same kind (the form of an element), which the text of the
    // table tells once for all the fields or elements it holds for.
    bool grouped = false;
};

// Every rule of both checks, the rule tables included (positional fields, elements of the CU
// records, elements of the UniEmens declaration), in the order of the checks.
std::vector<RuleRow> ruleTable();

// The table as Markdown: subject, what, ground, level, source.
std::string ruleTableText();

} // namespace check
