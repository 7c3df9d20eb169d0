#pragma once

#include <string>
#include <string_view>

#include "cu/telematic/field_writer.h"
#include "payroll/cu_header.h"

namespace cu::telematic {

// The kind of supply of the run, by its letter: "A" an annulment, "S" a replacement, any
// other an ordinary supply.
enum class Operation { Ordinary, Annulment, Replacement };
Operation operationOf(std::string_view letter);
// Position 84 of record D: blank for an ordinary supply, else "A" or "S".
char operationCharacter(Operation operation);

// Record A: the supply ("CUR17", supplier type and fiscal code).
void writeRecordA(TelematicWriter& writer, const payroll::HeaderTable& header);
// Record B: the withholding agent's frontispiece. Throws RunStopped with "Grave !! Numero
// dipendenti pari a zero " when the employee count (header field 14) is empty. Positions
// 402-409 carry that count, zero-filled; returns the record as written (without "A" CR LF),
// so that the run can state the certifications it really wrote once it knows them.
std::string writeRecordB(TelematicWriter& writer, const payroll::HeaderTable& header, Operation operation);
// Positions 402-409 of record B: the number of certifications in the file, zero-filled.
inline constexpr int kCertificationCountPosition = 402;
inline constexpr int kCertificationCountLength = 8;
// Record B `recordB` with `count` as its number of certifications; false, and the record
// unchanged, when it already states that number.
bool stateCertificationCount(std::string& recordB, int count);
// Record C: quadro CT; the run writes it only when header field 16 is "X".
void writeRecordC(TelematicWriter& writer, const payroll::HeaderTable& header);
// Record Z: the counts of records B, C, D and G.
void writeRecordZ(TelematicWriter& writer);

// Writes a text through the D field writer as one field of 16 characters at most or, when
// the trimmed text is longer, as three fields with the same code: the first 16 characters,
// "+" and characters 17-31, and "+" and characters 32 to `lastCharacter` trimmed (left out
// when that is empty).
void writeLongText(TelematicWriter& writer, std::string_view code, std::string_view text, std::size_t lastCharacter);
// Writes the first 16 characters of a text as stored and, when the trimmed text is longer
// than 16, "+" and its characters 17-31 as a second field with the same code.
void writeTwoChunkText(TelematicWriter& writer, std::string_view code, std::string_view text);

// Writes code + value through the D field writer.
void writeDField(TelematicWriter& writer, std::string_view code, std::string_view value);
// The text right-aligned in 16 characters with blanks.
std::string rightAligned16(std::string_view text);
// Writes code + rightAligned16(text) through the D field writer, formed in place.
void writeRightAlignedDField(TelematicWriter& writer, std::string_view code, std::string_view text);

} // namespace cu::telematic
