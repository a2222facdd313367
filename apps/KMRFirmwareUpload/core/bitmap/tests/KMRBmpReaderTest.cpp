// Our BMP reader: header variants, depths, palettes, row order, truncated and hostile files.
#include "KMRBmpReader.h"

#include "KMRBitmapConverter.h"
#include "KMRBmpFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace KMRBmpFixtures;

namespace
{
constexpr uint32_t BLACK = 0xFF000000u;

bool Decode(const std::vector<uint8_t>& file_i, KMRDecodedImage& image_o)
{
    return KMRDecodeImage(file_i.data(), file_i.size(), image_o);
}

// What every successful decode must satisfy, whatever the input: no caller may index out of bounds.
void ExpectConsistent(const KMRDecodedImage& image_i)
{
    ASSERT_EQ(image_i.m_Argb.size(), size_t(image_i.m_iWidth) * size_t(image_i.m_iHeight));
    if (image_i.m_eFormat == KMRSourcePixelFormat::Indexed1)
    {
        EXPECT_GE(size_t(image_i.m_iStride) * 8, size_t(image_i.m_iWidth));
        EXPECT_EQ(image_i.m_Bits.size(), size_t(image_i.m_iStride) * size_t(image_i.m_iHeight));
    }
}
} // namespace

struct DepthCase
{
    const char* pName;
    BmpLayout Layout;
    KMRSourcePixelFormat eFormat;
    std::vector<uint32_t> Argb; // expected, top row first
};

class BmpDepths : public ::testing::TestWithParam<DepthCase>
{
};

TEST_P(BmpDepths, DecodesPixelsAndReportsTheFilesOwnFormat)
{
    const DepthCase& c = GetParam();
    KMRDecodedImage image;
    ASSERT_TRUE(Decode(MakeBmp(c.Layout), image));
    EXPECT_EQ(image.m_iWidth, c.Layout.iWidth);
    EXPECT_EQ(image.m_iHeight, c.Layout.iHeight);
    EXPECT_EQ(image.m_eFormat, c.eFormat);
    EXPECT_EQ(image.m_Argb, c.Argb);
    ExpectConsistent(image);
}

namespace
{
// 3 x 2 pixels: the odd width makes every depth pad its rows.
const std::vector<uint32_t> RGB_PIXELS = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
const std::vector<uint32_t> RGB_ARGB = {0xFF102030, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000};

BmpLayout Layout24(uint32_t headerSize_i, bool topDown_i)
{
    BmpLayout s;
    s.uHeaderSize = headerSize_i;
    s.iWidth = 3;
    s.iHeight = 2;
    s.bTopDown = topDown_i;
    s.Rows = {Row24({RGB_PIXELS[0], RGB_PIXELS[1], RGB_PIXELS[2]}),
              Row24({RGB_PIXELS[3], RGB_PIXELS[4], RGB_PIXELS[5]})};
    return s;
}

BmpLayout Layout32(uint32_t headerSize_i, uint32_t compression_i, std::vector<uint32_t> masks_i,
               std::vector<std::vector<uint8_t>> rows_i)
{
    BmpLayout s;
    s.uHeaderSize = headerSize_i;
    s.iWidth = 2;
    s.iHeight = 1;
    s.uBitCount = 32;
    s.uCompression = compression_i;
    s.Masks = std::move(masks_i);
    s.Rows = std::move(rows_i);
    return s;
}

BmpLayout LayoutIndexed(uint16_t bits_i, std::vector<uint32_t> palette_i, std::vector<std::vector<uint8_t>> rows_i,
                    uint32_t headerSize_i = 40, uint32_t coloursUsed_i = 0)
{
    BmpLayout s;
    s.uHeaderSize = headerSize_i;
    s.iWidth = 3;
    s.iHeight = int32_t(rows_i.size());
    s.uBitCount = bits_i;
    s.Palette = std::move(palette_i);
    s.uColoursUsed = coloursUsed_i;
    s.Rows = std::move(rows_i);
    return s;
}

BmpLayout Layout16(uint32_t compression_i, std::vector<uint32_t> masks_i, std::vector<uint8_t> row_i)
{
    BmpLayout s;
    s.iWidth = 2;
    s.iHeight = 1;
    s.uBitCount = 16;
    s.uCompression = compression_i;
    s.Masks = std::move(masks_i);
    s.Rows = {std::move(row_i)};
    return s;
}

const uint32_t A = 0xFF000000u, R = 0x00FF0000u, G = 0x0000FF00u, B = 0x000000FFu;
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpDepths,
    ::testing::Values(DepthCase{"Info24BottomUp", Layout24(40, false), KMRSourcePixelFormat::Rgb24, RGB_ARGB},
                      DepthCase{"Info24TopDown", Layout24(40, true), KMRSourcePixelFormat::Rgb24, RGB_ARGB},
                      DepthCase{"V5Rgb24AsImageMagickWritesIt", Layout24(124, false), KMRSourcePixelFormat::Rgb24,
                                RGB_ARGB},
                      DepthCase{"V4Rgb24TopDown", Layout24(108, true), KMRSourcePixelFormat::Rgb24, RGB_ARGB},
                      DepthCase{"Core24", Layout24(12, false), KMRSourcePixelFormat::Rgb24, RGB_ARGB},
                      // Uncompressed 32 bits: the fourth byte is padding, not alpha.
                      DepthCase{"Info32Rgb",
                                Layout32(40, BI_RGB, {}, {Row32({0x00FF0000, 0x12345678})}),
                                KMRSourcePixelFormat::Other,
                                {0xFFFF0000, 0xFF345678}},
                      // ImageMagick: V5 header, BI_BITFIELDS with an alpha mask.
                      DepthCase{"V5Bitfields32WithAlpha",
                                Layout32(124, BI_BITFIELDS, {R, G, B, A}, {Row32({0x80FF0000, 0x0000FF00})}),
                                KMRSourcePixelFormat::Other,
                                {0x80FF0000, 0x0000FF00}},
                      // Masks after a 40-byte header, channels in an unusual order, no alpha.
                      DepthCase{"Info32BitfieldsBgr",
                                Layout32(40, BI_BITFIELDS, {0xFF, 0xFF00, 0xFF0000}, {Row32({0x000000FF, 0x00FF0000})}),
                                KMRSourcePixelFormat::Other,
                                {0xFFFF0000, 0xFF0000FF}},
                      DepthCase{"Info16Rgb555",
                                Layout16(BI_RGB, {}, {0x00, 0x7C, 0x1F, 0x00}),
                                KMRSourcePixelFormat::Other,
                                {0xFFFF0000, 0xFF0000FF}},
                      DepthCase{"Info16Bitfields565",
                                Layout16(BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0x10, 0x84}),
                                KMRSourcePixelFormat::Other,
                                {0xFF00FF00, 0xFF848284}},
                      // 1 bit with a palette that puts white first and red second.
                      DepthCase{"Indexed1NonStandardPalette",
                                LayoutIndexed(1, {0xFFFFFF, 0xFF0000}, {{0b01000000}, {0b10100000}}),
                                KMRSourcePixelFormat::Indexed1,
                                {0xFFFFFFFF, 0xFFFF0000, 0xFFFFFFFF, 0xFFFF0000, 0xFFFFFFFF, 0xFFFF0000}},
                      DepthCase{"V5Indexed1",
                                LayoutIndexed(1, {0x000000, 0xFFFFFF}, {{0b00100000}}, 124),
                                KMRSourcePixelFormat::Indexed1,
                                {BLACK, BLACK, 0xFFFFFFFF}},
                      DepthCase{"Indexed4",
                                LayoutIndexed(4, {0x000000, 0x112233, 0x445566}, {{0x12, 0x00}}),
                                KMRSourcePixelFormat::Other,
                                {0xFF112233, 0xFF445566, BLACK}},
                      // Two palette entries named: index 2 lies beyond the palette and reads as opaque black.
                      DepthCase{"Indexed8ShortPalette",
                                LayoutIndexed(8, {0xABCDEF, 0x00FF00}, {{1, 0, 2}}, 40, 2),
                                KMRSourcePixelFormat::Other,
                                {0xFF00FF00, 0xFFABCDEF, BLACK}},
                      DepthCase{"CoreIndexed8ThreeBytePalette",
                                LayoutIndexed(8, {0x000000, 0x0000FF}, {{1, 1, 0}}, 12, 0),
                                KMRSourcePixelFormat::Other,
                                {0xFF0000FF, 0xFF0000FF, BLACK}}),
    [](const ::testing::TestParamInfo<DepthCase>& info_i) { return std::string(info_i.param.pName); });

TEST(BmpReader, OneBitFilesKeepTheirOwnRowsTopFirst)
{
    // A whole 2 x 2 file written out: palette white, black; bottom row stored first.
    // clang-format off
    const std::vector<uint8_t> file = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,                          // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 8, 0, 0, 0, // info header: 2 x 2, 1 bit ..
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                          // .. continued
        0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0,                                         // palette
        0x80, 0xAA, 0xBB, 0xCC,                                                  // bottom row (+ padding bytes)
        0x40, 0x11, 0x22, 0x33};                                                 // top row
    // clang-format on
    KMRDecodedImage image;
    ASSERT_TRUE(Decode(file, image));
    EXPECT_EQ(image.m_eFormat, KMRSourcePixelFormat::Indexed1);
    EXPECT_EQ(image.m_iStride, 4);
    EXPECT_EQ(image.m_Bits, (std::vector<uint8_t>{0x40, 0x11, 0x22, 0x33, 0x80, 0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(image.m_Argb, (std::vector<uint32_t>{0xFFFFFFFF, BLACK, BLACK, 0xFFFFFFFF}));
}

TEST(BmpReader, PixelOffsetPointingIntoTheHeadersFallsBackToTheDataAfterThePalette)
{
    std::vector<uint8_t> file = Make24(1, 1, {0x123456});
    Put32(file, 10, 0);
    KMRDecodedImage image;
    ASSERT_TRUE(Decode(file, image));
    EXPECT_EQ(image.m_Argb, std::vector<uint32_t>{0xFF123456});
}

TEST(BmpReader, RunLengthAndEmbeddedFormatsAreLeftToAnotherDecoder)
{
    BmpLayout layout = LayoutIndexed(8, {0}, {});
    layout.uCompression = BI_RLE8;
    layout.iHeight = 1;
    layout.RawPixels = {3, 0, 0, 1};
    const std::vector<uint8_t> rle = MakeBmp(layout);
    KMRDecodedImage image;
    EXPECT_EQ(KMRReadBmp(rle.data(), rle.size(), image), KMRBmpResult::NotHandled);
    std::vector<uint8_t> os2 = Make24(1, 1, {0});
    Put32(os2, 14, 64); // OS/2 2.x header size
    EXPECT_EQ(KMRReadBmp(os2.data(), os2.size(), image), KMRBmpResult::NotHandled);
}

TEST(BmpReader, TruncatedPixelDataReadsAsOpaqueBlack)
{
    // 2 x 2, 24 bits, stride 8: the file stores the bottom row first, so cutting the last bytes loses the top row.
    std::vector<uint8_t> file = Make24(2, 2, {0xFFFFFF, 0xFFFFFF, 0x010203, 0x040506});
    file.resize(file.size() - 5); // the top row keeps its first pixel only
    KMRDecodedImage image;
    ASSERT_TRUE(Decode(file, image));
    EXPECT_EQ(image.m_Argb, (std::vector<uint32_t>{0xFFFFFFFF, BLACK, 0xFF010203, 0xFF040506}));

    BmpLayout layout = LayoutIndexed(1, {0, 0xFFFFFF}, {{0xC0}, {0xC0}});
    std::vector<uint8_t> mono = MakeBmp(layout);
    mono.resize(mono.size() - 4); // the top row is gone
    ASSERT_TRUE(Decode(mono, image));
    EXPECT_EQ(image.m_Bits, (std::vector<uint8_t>{0, 0, 0, 0, 0xC0, 0, 0, 0}));
}

TEST(BmpReader, HostileHeadersAreRefused)
{
    struct Patch
    {
        size_t uAt; // offset of a 32-bit field in a valid 1 x 1 24-bit file
        uint32_t uValue;
    };
    struct Case
    {
        const char* pName;
        std::vector<Patch> Patches;
    };
    const Case cases[] = {
        {"width beyond the side limit", {{18, 40000}}},
        {"negative width", {{18, uint32_t(-3)}}},
        {"height beyond the side limit", {{22, 40000}}},
        {"most negative height", {{22, uint32_t(INT32_MIN)}}},
        {"more pixels than the whole size limit", {{18, 30000}, {22, 30000}}},
        {"more pixels than the file could hold at one bit each", {{18, 1000}, {22, 1000}}},
        {"depth of 2 bits", {{28, 2}}}, // bit count 2; the low half of the compression stays 0
        {"unknown compression", {{30, 9}}},
        {"bit fields on 24 bits", {{30, 3}}},
        {"pixel data beyond the file", {{10, 1000}}},
        {"header larger than the file", {{14, 124}}},
    };
    for (const Case& c : cases)
    {
        std::vector<uint8_t> file = Make24(1, 1, {0xFFFFFF});
        for (const Patch& p : c.Patches)
            Put32(file, p.uAt, p.uValue);
        KMRDecodedImage image;
        image.m_iWidth = 7; // must be reset on failure
        EXPECT_FALSE(Decode(file, image)) << c.pName;
        EXPECT_EQ(image.m_iWidth, 0) << c.pName;
        EXPECT_TRUE(image.m_Argb.empty()) << c.pName;
    }
}

TEST(BmpReader, EveryPrefixOfAFileDecodesConsistentlyOrNotAtAll)
{
    const std::vector<std::vector<uint8_t>> files = {
        Make24(3, 3, std::vector<uint32_t>(9, 0xFFFFFF), 124),
        MakeBmp(LayoutIndexed(1, {0xFFFFFF, 0}, {{0xE0}, {0xA0}, {0x40}})),
        MakeBmp(Layout32(40, BI_BITFIELDS, {R, G, B}, {Row32({1, 2})})),
        MakeBmp(LayoutIndexed(4, {1, 2, 3}, {{0x12, 0x30}}, 12)),
    };
    for (const std::vector<uint8_t>& file : files)
    {
        for (size_t length = 0; length <= file.size(); ++length)
        {
            // A copy of exactly this length, so that the sanitizers catch a read past its end.
            const std::vector<uint8_t> prefix(file.begin(), file.begin() + std::ptrdiff_t(length));
            KMRDecodedImage image;
            if (KMRDecodeImage(prefix.data(), prefix.size(), image))
                ExpectConsistent(image);
            else
                EXPECT_TRUE(image.m_Argb.empty() && image.m_Bits.empty());
        }
    }
}
