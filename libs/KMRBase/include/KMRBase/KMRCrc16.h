// KMRCrc16: a table-driven 16-bit CRC over a reflected polynomial.
#pragma once

#include <KMRBase/KMRBaseExport.h>

#include <array>
#include <cstdint>

// Thread safety: const operations may run concurrently; the table never changes after construction.
class KMRBase_API KMRCrc16
{
public:
    // Polynomials in reflected (least-significant-bit first) form.
    enum Polynom : uint16_t
    {
        CCITT = 0x8408 // x^16 + x^12 + x^5 + 1
    };

    explicit KMRCrc16(Polynom polynom_i);
    virtual ~KMRCrc16() = default;
    KMRCrc16(const KMRCrc16&) = default;
    KMRCrc16& operator=(const KMRCrc16&) = default;

    // One byte: table[(b ^ crc) & 0xFF] ^ (crc >> 8).
    uint16_t Calculate(uint8_t byte_i, uint16_t crc_i) const;
    // All bytes from init_i, then the two result bytes exchanged and XORed with xorOut_i,
    // so that storing the value high byte first puts the CRC's low byte first on the wire.
    uint16_t Calculate(const uint8_t* data_i, unsigned int length_i, uint16_t init_i, uint16_t xorOut_i) const;

private:
    std::array<uint16_t, 256> m_Table;
};
