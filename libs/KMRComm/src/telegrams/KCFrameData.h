// KCFrameData: a small builder of big-endian payloads for the KelmarCom2 factories.
#pragma once

#include <cstdint>
#include <vector>

// Collects the data bytes of one frame; multi-byte values go high byte first.
class KCFrameData
{
public:
    KCFrameData& U8(unsigned char value_i)
    {
        m_Bytes.push_back(value_i);
        return *this;
    }
    KCFrameData& U16(unsigned int value_i)
    {
        return U8(static_cast<unsigned char>(value_i >> 8)).U8(static_cast<unsigned char>(value_i));
    }
    KCFrameData& U32(uint32_t value_i)
    {
        return U16(value_i >> 16).U16(value_i & 0xFFFFu);
    }
    const unsigned char* Data() const { return m_Bytes.empty() ? nullptr : m_Bytes.data(); }
    unsigned int Size() const { return static_cast<unsigned int>(m_Bytes.size()); }

private:
    std::vector<unsigned char> m_Bytes;
};
