#include "stm32_crc.h"

#include <array>

namespace tarno_emu {

namespace {

constexpr std::uint32_t Polynomial = 0x04C11DB7;

constexpr std::array<std::uint32_t, 256> makeTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 0x80000000u) ? (value << 1) ^ Polynomial : value << 1;
        table[i] = value;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> Table = makeTable();

}

std::uint32_t stm32Crc(const std::uint8_t *data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    const std::size_t words = size / 4;
    for (std::size_t w = 0; w < words; ++w) {
        const std::uint8_t *word = data + 4 * w;
        for (int b = 3; b >= 0; --b)
            crc = (crc << 8) ^ Table[(crc >> 24) ^ word[b]];
    }
    return crc;
}

}
