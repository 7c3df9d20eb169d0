#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The payroll suite's files are single-byte Windows-1252 text. These conversions are used
// where bytes leave that world or enter it: host file names, UTF-8 XML, option texts, the
// windows.
namespace records {

// Every byte maps to one character; the five bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so all 256
// bytes survive a round trip.
std::string cp1252ToUtf8(std::string_view bytes);

// Well-formed UTF-8 to Windows-1252. Characters that the code page lacks become "?".
// A text that is not well-formed UTF-8 gives nothing: an overlong form (C0 80 would be a
// NUL, C0 AF a "/"), a surrogate (ED A0 80), a code point above U+10FFFF, a byte that
// starts no character, a sequence cut short. `badOffset`, when given, receives the offset
// of the first byte that is not part of a well-formed character.
//
// Texts typed by the operator or given as options go through this one: a malformed text
// is refused with a message, never guessed at.
std::optional<std::string> utf8ToCp1252Strict(std::string_view utf8, std::size_t* badOffset = nullptr);

// As utf8ToCp1252Strict(), but each malformed part becomes one "?" instead of refusing
// the text, for texts that are shown rather than acted on (host names in a listing).
// Malformed bytes never turn into other characters: no NUL, no separator.
std::string utf8ToCp1252(std::string_view utf8);

// The Unicode code point of one byte, and back (-1 when not representable).
char32_t cp1252ToUnicode(unsigned char byte);
int unicodeToCp1252(char32_t codePoint);

} // namespace records
