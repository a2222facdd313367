// KMRCrc16: table built from the reflected polynomial, bit by bit.
#include <KMRBase/KMRCrc16.h>

KMRCrc16::KMRCrc16(Polynom polynom_i)
{
    for (unsigned i = 0; i < 256; ++i)
    {
        uint16_t crc = 0;
        unsigned data = i;
        for (int bit = 0; bit < 8; ++bit, data >>= 1)
            crc = ((crc ^ data) & 1u) ? static_cast<uint16_t>((crc >> 1) ^ polynom_i) : static_cast<uint16_t>(crc >> 1);
        m_Table[i] = crc;
    }
}

uint16_t KMRCrc16::Calculate(uint8_t byte_i, uint16_t crc_i) const
{
    return static_cast<uint16_t>(m_Table[(byte_i ^ crc_i) & 0xFFu] ^ (crc_i >> 8));
}

uint16_t KMRCrc16::Calculate(const uint8_t* data_i, unsigned int length_i, uint16_t init_i, uint16_t xorOut_i) const
{
    uint16_t crc = init_i;
    for (unsigned int i = 0; i < length_i; ++i)
        crc = Calculate(data_i[i], crc);
    const uint16_t swapped = static_cast<uint16_t>((crc << 8) | (crc >> 8));
    return static_cast<uint16_t>(swapped ^ xorOut_i);
}
