// KMRBmpFixtures: builds BMP files byte by byte for the decoder and conversion tests.
#pragma once

#include <cstdint>
#include <vector>

namespace KMRBmpFixtures
{
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_BITFIELDS = 3;

// What goes into a file. Rows are given top row first, without padding; the writer pads them to
// four bytes and stores them bottom-up unless bTopDown is set.
struct BmpLayout
{
    uint32_t uHeaderSize = 40; // 12 core, 40 info, 56 V3, 108 V4, 124 V5
    int32_t iWidth = 0;
    int32_t iHeight = 0; // positive; bTopDown stores it negated
    bool bTopDown = false;
    uint16_t uBitCount = 24;
    uint32_t uCompression = BI_RGB;
    std::vector<uint32_t> Masks;   // R, G, B[, A]: inside headers of 56 bytes and more, after a 40-byte header
    std::vector<uint32_t> Palette; // 0x00RRGGBB
    uint32_t uColoursUsed = 0;
    std::vector<std::vector<uint8_t>> Rows;
    std::vector<uint8_t> RawPixels; // used instead of Rows when not empty (run-length data)
};

inline void Put16(std::vector<uint8_t>& out_o, size_t at_i, uint32_t value_i)
{
    out_o[at_i] = uint8_t(value_i);
    out_o[at_i + 1] = uint8_t(value_i >> 8);
}

inline void Put32(std::vector<uint8_t>& out_o, size_t at_i, uint32_t value_i)
{
    Put16(out_o, at_i, value_i & 0xFFFF);
    Put16(out_o, at_i + 2, value_i >> 16);
}

inline uint32_t Le32At(const std::vector<uint8_t>& data_i, size_t at_i)
{
    return uint32_t(data_i[at_i]) | uint32_t(data_i[at_i + 1]) << 8 | uint32_t(data_i[at_i + 2]) << 16 |
           uint32_t(data_i[at_i + 3]) << 24;
}

inline std::vector<uint8_t> MakeBmp(const BmpLayout& layout_i)
{
    const bool core = layout_i.uHeaderSize == 12;
    std::vector<uint8_t> out(14 + layout_i.uHeaderSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 14, layout_i.uHeaderSize);
    if (core)
    {
        Put16(out, 18, uint32_t(layout_i.iWidth));
        Put16(out, 20, uint32_t(layout_i.iHeight));
        Put16(out, 22, 1);
        Put16(out, 24, layout_i.uBitCount);
    }
    else
    {
        Put32(out, 18, uint32_t(layout_i.iWidth));
        Put32(out, 22, uint32_t(layout_i.bTopDown ? -layout_i.iHeight : layout_i.iHeight));
        Put16(out, 26, 1);
        Put16(out, 28, layout_i.uBitCount);
        Put32(out, 30, layout_i.uCompression);
        Put32(out, 38, 2835); // 72 dpi
        Put32(out, 42, 2835);
        Put32(out, 46, layout_i.uColoursUsed);
        if (layout_i.uHeaderSize >= 56)
        {
            for (size_t i = 0; i < layout_i.Masks.size() && i < 4; ++i)
                Put32(out, 54 + 4 * i, layout_i.Masks[i]);
        }
        if (layout_i.uHeaderSize >= 108)
            Put32(out, 70, 0x73524742); // 'sRGB' colour space, as ImageMagick writes it
        if (layout_i.uHeaderSize == 124)
            Put32(out, 14 + 108, 4); // LCS_GM_IMAGES rendering intent
    }
    if (layout_i.uHeaderSize == 40 && layout_i.uCompression == BI_BITFIELDS)
    {
        for (uint32_t mask : layout_i.Masks)
        {
            out.resize(out.size() + 4);
            Put32(out, out.size() - 4, mask);
        }
    }
    for (uint32_t colour : layout_i.Palette)
    {
        out.push_back(uint8_t(colour));
        out.push_back(uint8_t(colour >> 8));
        out.push_back(uint8_t(colour >> 16));
        if (!core)
            out.push_back(0);
    }
    Put32(out, 10, uint32_t(out.size()));

    if (!layout_i.RawPixels.empty())
        out.insert(out.end(), layout_i.RawPixels.begin(), layout_i.RawPixels.end());
    else
    {
        const size_t stride = (size_t(layout_i.iWidth) * layout_i.uBitCount + 31) / 32 * 4;
        for (size_t n = 0; n < layout_i.Rows.size(); ++n)
        {
            const std::vector<uint8_t>& row = layout_i.Rows[layout_i.bTopDown ? n : layout_i.Rows.size() - 1 - n];
            std::vector<uint8_t> padded(row);
            padded.resize(stride, 0);
            out.insert(out.end(), padded.begin(), padded.end());
        }
    }
    Put32(out, 2, uint32_t(out.size()));
    if (!core)
        Put32(out, 34, uint32_t(out.size() - Le32At(out, 10))); // image size, only informative
    return out;
}

// One row of 24-bit pixels from 0x00RRGGBB values (stored blue, green, red).
inline std::vector<uint8_t> Row24(const std::vector<uint32_t>& colours_i)
{
    std::vector<uint8_t> row;
    for (uint32_t c : colours_i)
    {
        row.push_back(uint8_t(c));
        row.push_back(uint8_t(c >> 8));
        row.push_back(uint8_t(c >> 16));
    }
    return row;
}

// One row of 32-bit pixels stored as little-endian words.
inline std::vector<uint8_t> Row32(const std::vector<uint32_t>& words_i)
{
    std::vector<uint8_t> row;
    for (uint32_t w : words_i)
        for (int i = 0; i < 4; ++i)
            row.push_back(uint8_t(w >> (8 * i)));
    return row;
}

// A 24-bit picture of w x h pixels with the given colours, top row first.
inline std::vector<uint8_t> Make24(int width_i, int height_i, const std::vector<uint32_t>& pixels_i,
                                   uint32_t headerSize_i = 40, bool topDown_i = false)
{
    BmpLayout layout;
    layout.uHeaderSize = headerSize_i;
    layout.iWidth = width_i;
    layout.iHeight = height_i;
    layout.bTopDown = topDown_i;
    for (int y = 0; y < height_i; ++y)
        layout.Rows.push_back(
            Row24(std::vector<uint32_t>(pixels_i.begin() + y * width_i, pixels_i.begin() + (y + 1) * width_i)));
    return MakeBmp(layout);
}
} // namespace KMRBmpFixtures
