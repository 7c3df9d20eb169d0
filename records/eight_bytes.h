#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Eight bytes of a text looked at together, as one word whose lowest byte is the first:
// tests that most texts pass without a look at each of their bytes.
namespace records::eight_bytes {

static_assert(std::endian::native == std::endian::little);

inline constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// The eight bytes from `p` on.
inline std::uint64_t at(const char* p)
{
    std::uint64_t eight;
    std::memcpy(&eight, p, sizeof eight);
    return eight;
}

// True when one of the eight bytes is zero.
constexpr bool hasZero(std::uint64_t eight)
{
    return ((eight - kEachByte) & ~eight & kHighBits) != 0;
}

// True when one of the eight bytes is `c`.
constexpr bool has(std::uint64_t eight, char c)
{
    return hasZero(eight ^ (static_cast<unsigned char>(c) * kEachByte));
}

// True when one of the eight bytes is a control character (below 32).
constexpr bool hasControl(std::uint64_t eight)
{
    return ((eight - 32 * kEachByte) & ~eight & kHighBits) != 0;
}

// The high bit of each of the eight bytes that is not a blank.
constexpr std::uint64_t notBlanks(std::uint64_t eight)
{
    const std::uint64_t x = eight ^ (' ' * kEachByte);
    return (((x & ~kHighBits) + ~kHighBits) | x) & kHighBits;
}

} // namespace records::eight_bytes
