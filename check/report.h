#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/finding.h"

// The findings as lines of text and as JSON, alike on the command line and in the window.
namespace check {

// "BLOCCANTE record 5 posizione 98 elemento DB001001: MESSAGE" (CU; without "elemento ..."
// for a positional field) or "AVVISO riga 12 elemento DenunceMensili/...: MESSAGE"
// (UniEmens); a finding inside a person's certification or declaration names the person
// after the place: "... persona FRRLCU78E14L219A FERRARI LUCA: MESSAGE". Windows-1252, as
// the message.
std::string findingLine(const Finding& finding, FileKind kind);

// "Verificato FILE: N bloccanti, M avvisi". `file` as the caller names it.
std::string summaryLine(std::string_view file, long long blocking, long long warnings);

// The verdict in a few words: "pronto per l'invio" when nothing blocks the sending.
std::string verdict(long long blocking);

// The whole check as one JSON object, UTF-8, written as the findings come:
// {"file": ..., "kind": "cu"|"uniemens", "findings": [{"level", "record"|"line", "position",
// "element", "person": {"fiscal_code", "name"}, "message"}], "blocking": N, "warnings": M}.
// jsonStart() opens it, jsonFinding() gives each finding (`first` for the first one), and
// jsonEnd() closes it (`any` when a finding was given). `file` is UTF-8 as given; the
// findings are Windows-1252 and are converted. "position", "element" and "person" are null
// when the finding has none, "name" when the file does not hold it.
std::string jsonStart(std::string_view file, FileKind kind);
std::string jsonFinding(const Finding& finding, FileKind kind, bool first);
std::string jsonEnd(bool any, long long blocking, long long warnings);

} // namespace check
