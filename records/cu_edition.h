#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace records {

// A text of fixed length made at compile time, so that the names below can be joined from
// the year they depend on and still be plain constants.
template <std::size_t N>
struct FixedText {
    std::array<char, N + 1> chars{}; // ends with a NUL

    constexpr FixedText() = default;
    constexpr FixedText(const char (&text)[N + 1])
    {
        for (std::size_t i = 0; i < N; ++i)
            chars[i] = text[i];
    }
    static constexpr std::size_t size() { return N; }
    constexpr const char* c_str() const { return chars.data(); }
    constexpr std::string_view view() const { return {chars.data(), N}; }
};
template <std::size_t M>
FixedText(const char (&)[M]) -> FixedText<M - 1>;

// The texts and string literals `parts` one after the other.
template <typename... Parts>
constexpr auto joinTexts(const Parts&... parts)
{
    FixedText<(decltype(FixedText(parts))::size() + ... + 0)> joined;
    std::size_t at = 0;
    const auto append = [&](const auto& part) {
        const auto text = FixedText(part);
        for (const char c : text.view())
            joined.chars[at++] = c;
    };
    (append(parts), ...);
    return joined;
}

// The `count` characters of `text` from position `from` (0-based).
template <std::size_t From, std::size_t Count, std::size_t N>
constexpr FixedText<Count> sliceText(const FixedText<N>& text)
{
    static_assert(From + Count <= N);
    FixedText<Count> slice;
    for (std::size_t i = 0; i < Count; ++i)
        slice.chars[i] = text.chars[From + i];
    return slice;
}

// The edition of the Certificazione Unica that the program writes, CU 2017 on the income of
// 2016, and every name that follows from it. Next year's formats start by changing the two
// years here; the texts that other layers join from them use these too.
namespace cu_edition {

// The year of the certification ("CU 2017"), in which it is made and sent.
inline constexpr FixedText year{"2017"};
// The year of the income it certifies: the payroll suite's CU folder of the installation.
inline constexpr FixedText incomeYear{"2016"};
// The last two digits of the certification's year, in "TCU" n "17" and in "CUR17".
inline constexpr FixedText yearDigits = sliceText<2, 2>(year);
// The extension of the CU header file "FCU" n ".017" and of the CU archive "DCU" n ".017".
inline constexpr FixedText fileExtension = joinTexts(".", sliceText<1, 3>(year));
// The supply code in record A of the telematic file.
inline constexpr FixedText supplyCode = joinTexts("CUR", yearDigits);
// The folder of the CU files below the drive prefix.
inline constexpr FixedText dataFolder = joinTexts("\\nolv\\nv770\\", incomeYear, "\\dati\\");

// The program's version and release, which follow the edition: "Versione 17.30", "Febbraio 2017".
inline constexpr FixedText programVersion{"17.30"};
inline constexpr FixedText programRelease{"Febbraio 2017"};

constexpr int yearNumber(std::string_view digits)
{
    int number = 0;
    for (const char c : digits)
        number = number * 10 + (c - '0');
    return number;
}
static_assert(yearNumber(incomeYear.view()) + 1 == yearNumber(year.view()),
              "a CU certifies the income of the year before its own");

} // namespace cu_edition

inline constexpr const char* kCuYear = cu_edition::year.c_str();                     // "2017"
inline constexpr const char* kCuIncomeYear = cu_edition::incomeYear.c_str();         // "2016"
inline constexpr const char* kCuYearDigits = cu_edition::yearDigits.c_str();         // "17"
inline constexpr const char* kCuFileExtension = cu_edition::fileExtension.c_str();   // ".017"
inline constexpr const char* kCuSupplyCode = cu_edition::supplyCode.c_str();         // "CUR17"
inline constexpr const char* kCuDataFolder = cu_edition::dataFolder.c_str();         // "\nolv\nv770\2016\dati\"
inline constexpr const char* kProgramVersion = cu_edition::programVersion.c_str();   // "17.30"
inline constexpr const char* kProgramRelease = cu_edition::programRelease.c_str();   // "Febbraio 2017"

} // namespace records
