#pragma once

#include <string>
#include <string_view>

// The payroll suite's files are single-byte Windows-1252 text. These two conversions are
// used where bytes leave that world: host file names, UTF-8 XML, the windows.
namespace records {

// Every byte maps to one character; the five bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so all 256
// bytes survive a round trip.
std::string cp1252ToUtf8(std::string_view bytes);
// Characters outside Windows-1252 become "?"; malformed UTF-8 bytes likewise.
std::string utf8ToCp1252(std::string_view utf8);
// The Unicode code point of one byte, and back (-1 when not representable).
char32_t cp1252ToUnicode(unsigned char byte);
int unicodeToCp1252(char32_t codePoint);

} // namespace records
