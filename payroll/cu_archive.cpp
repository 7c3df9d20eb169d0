#include "payroll/cu_archive.h"

#include <cstdint>
#include <cstring>

#include "records/text.h"

namespace payroll {

namespace {

constexpr EntryRun kCuLayout[] = {
    {1, 1, 16, 2},
    {2, 3, 24, 18},
    {4, 4, 1, 66},
    {5, 5, 8, 67},
    {6, 6, 24, 75},
    {7, 9, 2, 99},
    {10, 10, 1, 105},
    {11, 11, 24, 106},
    {12, 12, 2, 130},
    {13, 13, 4, 132},
    {14, 14, 24, 136},
    {15, 15, 2, 160},
    {16, 16, 4, 162},
    {17, 17, 16, 166},
    {18, 19, 24, 182},
    {20, 20, 1, 230},
    {21, 21, 3, 231},
    {22, 26, 12, 234},
    {27, 28, 3, 294},
    {29, 30, 8, 300},
    {31, 32, 1, 316},
    {33, 48, 12, 318},
    {50, 51, 3, 510},
    {52, 54, 1, 516},
    {55, 62, 12, 519},
    {63, 63, 2, 615},
    {64, 67, 12, 617},
    {68, 68, 4, 665},
    {69, 80, 12, 669},
    {81, 81, 1, 813},
    {82, 82, 12, 814},
    {83, 83, 4, 826},
    {84, 85, 12, 830},
    {86, 86, 1, 854},
    {87, 110, 12, 855},
    {111, 111, 2, 1143},
    {112, 115, 12, 1145},
    {116, 116, 4, 1193},
    {117, 128, 12, 1197},
    {129, 129, 1, 1341},
    {130, 130, 12, 1342},
    {131, 131, 4, 1354},
    {132, 133, 12, 1358},
    {134, 134, 1, 1382},
    {135, 137, 12, 1383},
    {138, 138, 3, 1419},
    {139, 139, 12, 1422},
    {140, 140, 3, 1434},
    {141, 141, 12, 1437},
    {142, 142, 3, 1449},
    {143, 143, 12, 1452},
    {144, 144, 3, 1464},
    {145, 145, 12, 1467},
    {146, 146, 3, 1479},
    {147, 147, 12, 1482},
    {148, 148, 3, 1494},
    {149, 163, 12, 1497},
    {164, 164, 3, 1677},
    {165, 165, 4, 1680},
    {166, 167, 12, 1684},
    {168, 168, 1, 1708},
    {169, 171, 12, 1709},
    {172, 172, 1, 1745},
    {173, 174, 12, 1746},
    {175, 175, 16, 1770},
    {176, 176, 4, 1786},
    {177, 179, 12, 1790},
    {180, 180, 8, 1826},
    {181, 184, 12, 1834},
    {185, 185, 2, 1882},
    {186, 188, 12, 1884},
    {189, 192, 16, 1920},
    {193, 193, 12, 1984},
    {194, 194, 3, 1996},
    {195, 195, 12, 1999},
    {196, 196, 3, 2011},
    {197, 197, 12, 2014},
    {198, 198, 3, 2026},
    {199, 204, 12, 2029},
    {205, 205, 16, 2101},
    {206, 206, 1, 2117},
    {207, 215, 12, 2118},
    {216, 216, 3, 2226},
    {217, 218, 12, 2229},
    {219, 219, 4, 2253},
    {220, 220, 3, 2257},
    {221, 221, 12, 2260},
    {222, 222, 3, 2272},
    {223, 223, 12, 2275},
    {224, 224, 4, 2287},
    {225, 228, 12, 2291},
    {229, 229, 1, 2339},
    {230, 230, 2, 2340},
    {231, 234, 12, 2342},
    {235, 235, 3, 2390},
    {236, 236, 12, 2393},
    {237, 237, 3, 2405},
    {238, 239, 12, 2408},
    {240, 241, 2, 2432},
    {242, 242, 6, 2436},
    {243, 243, 12, 2442},
    {244, 244, 16, 2454},
    {245, 254, 12, 2470},
    {255, 255, 4, 2590},
    {256, 260, 12, 2594},
    {261, 261, 4, 2654},
    {262, 262, 16, 2658},
    {263, 267, 12, 2674},
    {268, 268, 16, 2734},
    {269, 269, 2, 2750},
    {270, 282, 12, 2752},
    {283, 283, 2, 2908},
    {284, 284, 12, 2910},
    {285, 285, 2, 2922},
    {286, 292, 12, 2924},
    {293, 293, 16, 3008},
    {294, 295, 1, 3024},
    {296, 296, 16, 3026},
    {297, 297, 2, 3042},
    {298, 299, 1, 3044},
    {300, 300, 16, 3046},
    {301, 302, 2, 3062},
    {303, 303, 6, 3066},
    {304, 307, 1, 3072},
    {308, 308, 16, 3076},
    {309, 310, 2, 3092},
    {311, 311, 6, 3096},
    {312, 315, 1, 3102},
    {316, 316, 16, 3106},
    {317, 318, 2, 3122},
    {319, 319, 6, 3126},
    {320, 323, 1, 3132},
    {324, 324, 16, 3136},
    {325, 326, 2, 3152},
    {327, 327, 6, 3156},
    {328, 331, 1, 3162},
    {332, 332, 16, 3166},
    {333, 334, 2, 3182},
    {335, 335, 6, 3186},
    {336, 339, 1, 3192},
    {340, 340, 16, 3196},
    {341, 342, 2, 3212},
    {343, 343, 6, 3216},
    {344, 347, 1, 3222},
    {348, 348, 16, 3226},
    {349, 350, 2, 3242},
    {351, 351, 6, 3246},
    {352, 355, 1, 3252},
    {356, 356, 16, 3256},
    {357, 358, 2, 3272},
    {359, 359, 6, 3276},
    {360, 360, 1, 3282},
    {361, 361, 6, 3283},
    {362, 362, 12, 3289},
    {363, 364, 1, 3301},
    {365, 367, 12, 3303},
    {368, 380, 1, 3339},
    {381, 384, 12, 3352},
    {385, 397, 1, 3400},
    {398, 398, 11, 3413},
    {399, 400, 12, 3424},
    {401, 401, 1, 3448},
    {402, 402, 3, 3449},
    {403, 404, 1, 3452},
    {405, 405, 4, 3454},
    {406, 415, 12, 3458},
    {416, 428, 1, 3578},
    {429, 429, 11, 3591},
    {430, 430, 40, 3602},
    {431, 433, 3, 3642},
    {434, 437, 12, 3651},
    {438, 438, 1, 3699},
    {439, 439, 12, 3700},
    {440, 440, 1, 3712},
    {441, 441, 11, 3713},
    {442, 445, 2, 3724},
    {446, 446, 4, 3732},
    {447, 447, 1, 3736},
    {448, 460, 12, 3737},
    {461, 462, 8, 3893},
    {463, 463, 12, 3909},
    {464, 464, 3, 3921},
    {465, 465, 1, 3924},
    {466, 466, 16, 3925},
    {467, 470, 2, 3941},
    {471, 471, 12, 3949},
    {472, 472, 1, 3961},
    {473, 474, 2, 3962},
    {475, 475, 12, 3966},
    {476, 476, 4, 3978},
    {477, 477, 12, 3982},
    {478, 478, 1, 3994},
    {479, 479, 12, 3995},
    {480, 480, 4, 4007},
    {481, 481, 16, 4011},
    {482, 485, 2, 4027},
    {486, 487, 6, 4035},
    {488, 489, 12, 4047},
    {490, 490, 1, 4071},
    {491, 492, 2, 4072},
    {493, 493, 12, 4076},
    {494, 497, 2, 4088},
    {498, 498, 4, 4096},
    {499, 499, 12, 4100},
    {500, 500, 6, 4112},
};

constexpr EntryRun kSecondCuLayout[] = {
    {1, 2, 12, 4118},
    {3, 3, 1, 4142},
    {4, 4, 12, 4143},
    {5, 5, 4, 4155},
    {6, 6, 16, 4159},
    {7, 8, 1, 4175},
    {9, 9, 16, 4177},
    {10, 15, 2, 4193},
    {16, 16, 6, 4205},
    {17, 18, 12, 4211},
    {19, 21, 1, 4235},
    {22, 22, 12, 4238},
    {23, 23, 4, 4250},
    {24, 25, 12, 4254},
    {26, 26, 1, 4278},
    {27, 27, 12, 4279},
    {28, 28, 4, 4291},
    {29, 29, 16, 4295},
    {30, 32, 2, 4311},
    {33, 33, 12, 4317},
    {34, 34, 1, 4329},
    {35, 35, 12, 4330},
    {36, 36, 4, 4342},
    {37, 37, 16, 4346},
    {38, 38, 1, 4362},
    {39, 39, 12, 4363},
    {40, 41, 2, 4375},
    {42, 42, 12, 4379},
    {43, 43, 1, 4391},
    {44, 44, 12, 4392},
    {45, 45, 2, 4404},
    {46, 46, 12, 4406},
    {47, 47, 1, 4418},
    {48, 48, 12, 4419},
    {49, 49, 6, 4431},
    {50, 52, 12, 4437},
    {53, 53, 1, 4473},
    {54, 54, 6, 4474},
    {55, 55, 2, 4480},
    {56, 56, 6, 4482},
    {57, 57, 2, 4488},
    {58, 71, 12, 4490},
    {72, 73, 16, 4658},
    {74, 74, 12, 4690},
    {75, 93, 2, 4702},
    {94, 100, 70, 4740},
    {101, 101, 2, 5230},
    {102, 102, 16, 5232},
    {103, 103, 12, 5248},
};

EntrySlot slotIn(std::span<const EntryRun> layout, int entry)
{
    for (const EntryRun& run : layout) {
        if (entry >= run.first && entry <= run.last)
            return {run.position + (entry - run.first) * run.length, run.length};
    }
    return {};
}

// Where each entry of a table lies: its offset in the record and its length (0 for an
// entry that no field fills), worked out once from the layout.
struct EntryPlace {
    std::uint16_t offset = 0;
    std::uint16_t length = 0;
};

template <std::size_t N, std::size_t Runs>
constexpr std::array<EntryPlace, N> placesOf(const EntryRun (&layout)[Runs])
{
    std::array<EntryPlace, N> places{};
    for (const EntryRun& run : layout) {
        for (int entry = run.first; entry <= run.last; ++entry)
            places[static_cast<std::size_t>(entry)]
                = {static_cast<std::uint16_t>(run.position - 1 + (entry - run.first) * run.length),
                   static_cast<std::uint16_t>(run.length)};
    }
    return places;
}

constexpr auto kCuPlaces = placesOf<kCuFieldCount + 1>(kCuLayout);
constexpr auto kSecondCuPlaces = placesOf<kSecondCuFieldCount + 1>(kSecondCuLayout);

// The views of one table: each entry's characters where the layout puts them, cut at the
// end of a record shorter than the layout.
template <std::size_t N>
void viewTable(std::string_view record, const std::array<EntryPlace, N>& places,
               std::array<std::string_view, N>& table)
{
    if (record.size() >= static_cast<std::size_t>(kArchiveRecordLength)) {
        const char* const data = record.data();
        for (std::size_t k = 0; k < N; ++k)
            table[k] = std::string_view(data + places[k].offset, places[k].length);
        return;
    }
    for (std::size_t k = 0; k < N; ++k) {
        const std::size_t offset = places[k].offset;
        table[k] = offset < record.size() ? record.substr(offset, places[k].length) : std::string_view();
    }
}

// Copies the entries of one table out of `record` where the layout puts them, cut at the
// end of a record shorter than the layout. Entries that no field fills are not touched.
template <std::size_t N>
void unpackTable(std::string_view record, const std::array<EntryPlace, N>& places,
                 std::array<std::string, N>& table)
{
    for (std::size_t k = 0; k < N; ++k) {
        if (places[k].length == 0)
            continue;
        const std::size_t offset = places[k].offset;
        table[k].assign(offset < record.size() ? record.substr(offset, places[k].length) : std::string_view());
    }
}

template <std::size_t N>
void packTable(std::string& record, std::span<const EntryRun> layout, const std::array<std::string, N>& table)
{
    for (const EntryRun& run : layout) {
        for (int entry = run.first; entry <= run.last; ++entry) {
            const auto position = static_cast<std::size_t>(run.position + (entry - run.first) * run.length);
            const std::string value = records::fitRight(table[static_cast<std::size_t>(entry)],
                                                        static_cast<std::size_t>(run.length));
            record.replace(position - 1, value.size(), value);
        }
    }
}

} // namespace

std::span<const EntryRun> cuFieldLayout()
{
    return kCuLayout;
}

std::span<const EntryRun> secondCuFieldLayout()
{
    return kSecondCuLayout;
}

EntrySlot cuFieldSlot(int entry)
{
    return slotIn(kCuLayout, entry);
}

EntrySlot secondCuFieldSlot(int entry)
{
    return slotIn(kSecondCuLayout, entry);
}

void unpackArchiveRecord(std::string_view record, CuFields& fields)
{
    unpackTable(record, kCuPlaces, fields.cu);
    unpackTable(record, kSecondCuPlaces, fields.cu2);
}

void viewArchiveRecord(std::string_view record, CuEntries& entries)
{
    entries.replaced.clear();
    entries.readable = {};
    viewTable(record, kCuPlaces, entries.cu);
    viewTable(record, kSecondCuPlaces, entries.cu2);
}

void viewReadRecord(std::string& record, CuEntries& entries)
{
    const std::size_t size = record.size();
    record.append(kEntryReadAhead, ' ');
    const std::string_view text = std::string_view(record).substr(0, size);
    viewArchiveRecord(text, entries);
    entries.readable = text;
}

void viewFields(const CuFields& fields, CuEntries& entries)
{
    entries.replaced.clear();
    entries.readable = {};
    for (std::size_t k = 0; k < fields.cu.size(); ++k)
        entries.cu[k] = fields.cu[k];
    for (std::size_t k = 0; k < fields.cu2.size(); ++k)
        entries.cu2[k] = fields.cu2[k];
}

std::string packArchiveRecord(const CuFields& fields, char status)
{
    std::string record(kArchiveRecordLength, ' ');
    record[0] = status;
    packTable(record, kCuLayout, fields.cu);
    packTable(record, kSecondCuLayout, fields.cu2);
    return record;
}

} // namespace payroll
