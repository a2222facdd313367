// KMRBmpReader: our own reader for uncompressed and bit-field BMP files.
#include "KMRBmpReader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace
{
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t V2_HEADER_SIZE = 52; // info header + RGB masks
constexpr uint32_t V3_HEADER_SIZE = 56; // info header + RGBA masks
constexpr uint32_t V4_HEADER_SIZE = 108;
constexpr uint32_t V5_HEADER_SIZE = 124;

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_JPEG = 4;
constexpr uint32_t BI_PNG = 5;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

constexpr uint32_t OPAQUE_BLACK = 0xFF000000u;

// Little-endian reads; the caller has checked that the bytes lie inside the data.
uint16_t Le16(const unsigned char* p_i)
{
    return uint16_t(p_i[0] | (p_i[1] << 8));
}

uint32_t Le32(const unsigned char* p_i)
{
    return uint32_t(p_i[0]) | (uint32_t(p_i[1]) << 8) | (uint32_t(p_i[2]) << 16) | (uint32_t(p_i[3]) << 24);
}

// One colour channel described by a bit mask, scaled to 8 bits.
class Channel
{
public:
    explicit Channel(uint32_t mask_i) : m_uMask(mask_i)
    {
        if (mask_i == 0)
            return;
        m_iShift = std::countr_zero(mask_i);
        m_iBits = 32 - std::countl_zero(mask_i) - m_iShift;
        // Channels wider than 8 bits keep their top 8 bits.
        if (m_iBits > 8)
        {
            m_iShift += m_iBits - 8;
            m_iBits = 8;
        }
        m_uMax = (1u << m_iBits) - 1;
    }

    bool IsPresent() const { return m_uMask != 0; }

    uint32_t Extract(uint32_t pixel_i) const
    {
        if (m_uMask == 0)
            return 0;
        const uint32_t value = ((pixel_i & m_uMask) >> m_iShift) & m_uMax;
        return (value * 255 + m_uMax / 2) / m_uMax;
    }

private:
    uint32_t m_uMask = 0;
    int m_iShift = 0;
    int m_iBits = 0;
    uint32_t m_uMax = 1;
};

struct Header
{
    uint32_t uHeaderSize = 0;
    int64_t iWidth = 0;
    int64_t iHeight = 0; // negative: top-down
    uint32_t uBitCount = 0;
    uint32_t uCompression = BI_RGB;
    uint32_t uColoursUsed = 0;
    uint32_t uMasks[4] = {0, 0, 0, 0}; // R, G, B, A
    size_t uAfterHeader = 0;           // where the palette starts
};

// Fills header_o from the file and info headers; NotHandled/Malformed as for KMRReadBmp.
KMRBmpResult ParseHeader(const unsigned char* data_i, size_t size_i, Header& header_o)
{
    if (size_i < FILE_HEADER_SIZE + 4 || data_i[0] != 'B' || data_i[1] != 'M')
        return KMRBmpResult::Malformed;
    const uint32_t headerSize = Le32(data_i + FILE_HEADER_SIZE);
    header_o.uHeaderSize = headerSize;
    const unsigned char* info = data_i + FILE_HEADER_SIZE;

    if (headerSize == CORE_HEADER_SIZE)
    {
        if (size_i < FILE_HEADER_SIZE + CORE_HEADER_SIZE)
            return KMRBmpResult::Malformed;
        header_o.iWidth = Le16(info + 4);
        header_o.iHeight = Le16(info + 6);
        header_o.uBitCount = Le16(info + 10);
        header_o.uAfterHeader = FILE_HEADER_SIZE + CORE_HEADER_SIZE;
        if (header_o.uBitCount != 1 && header_o.uBitCount != 4 && header_o.uBitCount != 8 && header_o.uBitCount != 24)
            return KMRBmpResult::Malformed;
        return KMRBmpResult::Decoded;
    }

    if (headerSize != INFO_HEADER_SIZE && headerSize != V2_HEADER_SIZE && headerSize != V3_HEADER_SIZE &&
        headerSize != V4_HEADER_SIZE && headerSize != V5_HEADER_SIZE)
        return KMRBmpResult::NotHandled; // e.g. the 64-byte OS/2 2.x header
    if (size_i < FILE_HEADER_SIZE + headerSize)
        return KMRBmpResult::Malformed;

    header_o.iWidth = int32_t(Le32(info + 4));
    header_o.iHeight = int32_t(Le32(info + 8));
    header_o.uBitCount = Le16(info + 14);
    header_o.uCompression = Le32(info + 16);
    header_o.uColoursUsed = Le32(info + 32);
    header_o.uAfterHeader = FILE_HEADER_SIZE + headerSize;

    switch (header_o.uCompression)
    {
    case BI_RGB:
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (header_o.uBitCount != 16 && header_o.uBitCount != 32)
            return KMRBmpResult::Malformed;
        break;
    case BI_RLE8:
    case BI_RLE4:
    case BI_JPEG:
    case BI_PNG:
        return KMRBmpResult::NotHandled;
    default:
        return KMRBmpResult::Malformed;
    }
    switch (header_o.uBitCount)
    {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return KMRBmpResult::Malformed;
    }

    if (header_o.uCompression == BI_RGB)
    {
        // The masks an uncompressed file implies; the fourth byte of a 32-bit pixel is not alpha.
        if (header_o.uBitCount == 16)
        {
            header_o.uMasks[0] = 0x7C00;
            header_o.uMasks[1] = 0x03E0;
            header_o.uMasks[2] = 0x001F;
        }
        else if (header_o.uBitCount == 32)
        {
            header_o.uMasks[0] = 0x00FF0000;
            header_o.uMasks[1] = 0x0000FF00;
            header_o.uMasks[2] = 0x000000FF;
        }
        return KMRBmpResult::Decoded;
    }

    // Bit fields: inside the larger headers, or following the 40-byte header.
    const int maskCount = (header_o.uCompression == BI_ALPHABITFIELDS || headerSize >= V3_HEADER_SIZE) ? 4 : 3;
    size_t maskOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE;
    if (headerSize == INFO_HEADER_SIZE)
    {
        if (size_i < maskOffset + 4u * maskCount)
            return KMRBmpResult::Malformed;
        header_o.uAfterHeader = maskOffset + 4u * maskCount;
    }
    for (int i = 0; i < maskCount; ++i)
        header_o.uMasks[i] = Le32(data_i + maskOffset + 4u * i);
    return KMRBmpResult::Decoded;
}
} // namespace

KMRBmpResult KMRReadBmp(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o)
{
    image_o = KMRDecodedImage();
    if (data_i == nullptr)
        return KMRBmpResult::Malformed;
    Header header;
    const KMRBmpResult parsed = ParseHeader(data_i, size_i, header);
    if (parsed != KMRBmpResult::Decoded)
        return parsed;

    const bool topDown = header.iHeight < 0;
    const int64_t width = header.iWidth;
    const int64_t height = topDown ? -header.iHeight : header.iHeight;
    if (width < 0 || width > KMR_MAX_IMAGE_SIDE || height > KMR_MAX_IMAGE_SIDE)
        return KMRBmpResult::Malformed;
    const uint64_t pixelCount = uint64_t(width) * uint64_t(height);
    // A header may not claim more pixels than the whole file could hold at one bit each: that keeps a
    // few hostile bytes from making us allocate gigabytes, while truncated files still decode.
    if (pixelCount > KMR_MAX_IMAGE_PIXELS || pixelCount > uint64_t(size_i) * 8)
        return KMRBmpResult::Malformed;

    const uint32_t bitCount = header.uBitCount;
    const uint64_t stride = (uint64_t(width) * bitCount + 31) / 32 * 4;

    // Pixel data starts where the file header says; an offset pointing into the headers is a writer's
    // mistake and falls back to the data right after the palette.
    const size_t entrySize = header.uHeaderSize == CORE_HEADER_SIZE ? 3 : 4;
    const uint32_t paletteEntries =
        bitCount > 8 ? 0
                     : ((header.uColoursUsed == 0 || header.uColoursUsed > (1u << bitCount)) ? (1u << bitCount)
                                                                                             : header.uColoursUsed);
    uint64_t pixelOffset = Le32(data_i + 10);
    const bool offsetValid = pixelOffset >= header.uAfterHeader;
    if (!offsetValid)
        pixelOffset = header.uAfterHeader + uint64_t(paletteEntries) * entrySize;
    if (pixelCount > 0 && pixelOffset >= size_i)
        return KMRBmpResult::Malformed; // no pixel data at all

    // Palette: 2^bits entries unless the header names fewer. Entries that would overlap the pixel data or lie
    // beyond the end of the file are absent, and indices pointing at them read as opaque black.
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < paletteEntries; ++i)
    {
        const size_t at = header.uAfterHeader + i * entrySize;
        if (at + entrySize > pixelOffset || at + 3 > size_i)
            break;
        palette.push_back(OPAQUE_BLACK | (uint32_t(data_i[at + 2]) << 16) | (uint32_t(data_i[at + 1]) << 8) |
                          data_i[at]);
    }

    image_o.m_iWidth = int(width);
    image_o.m_iHeight = int(height);
    if (bitCount == 24)
        image_o.m_eFormat = KMRSourcePixelFormat::Rgb24;
    else if (bitCount == 1)
        image_o.m_eFormat = KMRSourcePixelFormat::Indexed1;
    image_o.m_Argb.assign(size_t(pixelCount), OPAQUE_BLACK);
    if (bitCount == 1)
    {
        image_o.m_iStride = int(stride);
        image_o.m_Bits.assign(size_t(stride * uint64_t(height)), 0);
    }

    const Channel red(header.uMasks[0]), green(header.uMasks[1]), blue(header.uMasks[2]), alpha(header.uMasks[3]);
    const size_t w = size_t(width);
    for (int64_t row = 0; row < height; ++row)
    {
        const uint64_t rowStart = pixelOffset + uint64_t(row) * stride;
        if (rowStart >= size_i)
            break; // the rest of the picture is missing: it stays opaque black
        const size_t available = size_t(std::min<uint64_t>(stride, size_i - rowStart));
        const unsigned char* src = data_i + rowStart;
        const size_t y = size_t(topDown ? row : height - 1 - row);
        uint32_t* dst = image_o.m_Argb.data() + y * w;

        if (bitCount == 1 && available > 0)
            std::memcpy(image_o.m_Bits.data() + y * size_t(stride), src, available);

        if (bitCount <= 8)
        {
            const uint32_t pixelsPerByte = 8 / bitCount;
            const uint32_t indexMask = (1u << bitCount) - 1;
            for (size_t x = 0; x < w; ++x)
            {
                const size_t byte = x / pixelsPerByte;
                if (byte >= available)
                    break;
                const uint32_t shift = 8 - bitCount * (uint32_t(x % pixelsPerByte) + 1);
                const uint32_t index = (src[byte] >> shift) & indexMask;
                dst[x] = index < palette.size() ? palette[index] : OPAQUE_BLACK;
            }
        }
        else if (bitCount == 24)
        {
            for (size_t x = 0; x < w && x * 3 + 3 <= available; ++x)
            {
                const unsigned char* p = src + x * 3;
                dst[x] = OPAQUE_BLACK | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            }
        }
        else
        {
            const size_t bytes = bitCount / 8;
            for (size_t x = 0; x < w && x * bytes + bytes <= available; ++x)
            {
                const unsigned char* p = src + x * bytes;
                const uint32_t value = bytes == 2 ? Le16(p) : Le32(p);
                const uint32_t a = alpha.IsPresent() ? alpha.Extract(value) : 0xFF;
                dst[x] = (a << 24) | (red.Extract(value) << 16) | (green.Extract(value) << 8) | blue.Extract(value);
            }
        }
    }
    return KMRBmpResult::Decoded;
}
