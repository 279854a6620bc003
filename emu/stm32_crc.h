#ifndef TARNO_EMU_STM32_CRC_H
#define TARNO_EMU_STM32_CRC_H

#include <cstddef>
#include <cstdint>

namespace tarno_emu {

// CRC of the STM32 CRC unit over the first floor(size / 4) little-endian 32-bit words of `data`:
// polynomial 0x04C11DB7, start 0xFFFFFFFF, each word fed most significant byte first, no reflection,
// no final XOR. Trailing bytes that do not fill a word are not covered.
std::uint32_t stm32Crc(const std::uint8_t *data, std::size_t size);

}

#endif
