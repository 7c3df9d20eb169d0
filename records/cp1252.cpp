#include "records/cp1252.h"

namespace records {

namespace {
// Code points of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}
} // namespace

char32_t cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

int unicodeToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == codePoint)
            return 0x80 + i;
    }
    return -1;
}

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes)
        appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

namespace {

struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 1; // bytes taken: the character, or the malformed part to skip
    bool wellFormed = false;
};

// Decodes the character that starts at `i`. The lead byte fixes the range that the first
// continuation byte may take, which keeps out overlong forms, surrogates and code points
// above U+10FFFF. A malformed part is as long as its lead and the continuation bytes
// that fit it, so that "?" replaces each broken character once.
Decoded decodeAt(std::string_view utf8, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    const unsigned char lead = byte(i);
    Decoded result;
    if (lead < 0x80) {
        result.codePoint = lead;
        result.wellFormed = true;
        return result;
    }
    int extra = 0;
    unsigned char low = 0x80; // range of the first continuation byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        if (lead == 0xE0)
            low = 0xA0; // below is an overlong form
        else if (lead == 0xED)
            high = 0x9F; // above are the surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        if (lead == 0xF0)
            low = 0x90; // below is an overlong form
        else if (lead == 0xF4)
            high = 0x8F; // above is beyond U+10FFFF
    } else {
        return result; // a continuation byte, C0, C1 or F5..FF: starts no character
    }
    char32_t codePoint = lead & (0x3F >> extra);
    std::size_t k = i + 1;
    for (int n = 0; n < extra; ++n, ++k) {
        if (k >= utf8.size())
            break;
        const unsigned char next = byte(k);
        const unsigned char min = n == 0 ? low : 0x80;
        const unsigned char max = n == 0 ? high : 0xBF;
        if (next < min || next > max)
            break;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    result.length = k - i;
    if (result.length == static_cast<std::size_t>(extra) + 1) {
        result.codePoint = codePoint;
        result.wellFormed = true;
    }
    return result;
}

char cp1252OrQuestionMark(char32_t codePoint)
{
    const int byte = unicodeToCp1252(codePoint);
    return byte < 0 ? '?' : static_cast<char>(byte);
}

} // namespace

std::optional<std::string> utf8ToCp1252Strict(std::string_view utf8, std::size_t* badOffset)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded decoded = decodeAt(utf8, i);
        if (!decoded.wellFormed) {
            if (badOffset)
                *badOffset = i;
            return std::nullopt;
        }
        out.push_back(cp1252OrQuestionMark(decoded.codePoint));
        i += decoded.length;
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded decoded = decodeAt(utf8, i);
        out.push_back(decoded.wellFormed ? cp1252OrQuestionMark(decoded.codePoint) : '?');
        i += decoded.length;
    }
    return out;
}

} // namespace records
