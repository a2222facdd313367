// The sign conversions: which source formats each accepts, pixel classification and packing.
#include "KMRBitmapConverter.h"

#include "KMRBmpFixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace KMRBmpFixtures;

namespace
{
using Bytes = std::vector<uint8_t>;

KMRDecodedImage DecodeBytes(const Bytes& file_i)
{
    KMRDecodedImage image;
    EXPECT_TRUE(KMRDecodeImage(file_i.data(), file_i.size(), image));
    return image;
}

KMRDecodedImage Rgb24Image(int width_i, int height_i, std::vector<uint32_t> rgb_i)
{
    KMRDecodedImage image;
    image.m_iWidth = width_i;
    image.m_iHeight = height_i;
    image.m_eFormat = KMRSourcePixelFormat::Rgb24;
    for (uint32_t& p : rgb_i)
        p |= 0xFF000000u;
    image.m_Argb = std::move(rgb_i);
    return image;
}
} // namespace

TEST(BitmapConverter, MonochromeOfA24BitFileLightsPixelsWithAllChannelsNonZero)
{
    // 3 x 3 with a white centre: pixel 4 sets bit 3 of byte 0.
    std::vector<uint32_t> pixels(9, 0x000000);
    pixels[4] = 0xFFFFFF;
    Bytes out;
    ASSERT_TRUE(KMRConvertTo1Bit(DecodeBytes(Make24(3, 3, pixels)), out));
    EXPECT_EQ(out, (Bytes{0x08, 0x00}));

    // Any zero channel leaves a pixel dark; (1, 1, 1) is lit. Nine pixels: the ninth is bit 7 of byte 1.
    const KMRDecodedImage image =
        Rgb24Image(9, 1, {0x010101, 0xFF00FF, 0x00FFFF, 0xFFFF00, 0x808080, 0, 0, 0, 0xFFFFFF});
    ASSERT_TRUE(KMRConvertTo1Bit(image, out));
    EXPECT_EQ(out, (Bytes{0b10001000, 0x80}));
}

TEST(BitmapConverter, MonochromeOfA1BitFileTakesTheIndexBitsAndIgnoresThePalette)
{
    // 2 x 2 with pixel (1, 0) set -> 0x40. The palette calls index 1 white here, black in the second file:
    // both give the same result.
    for (uint32_t one : {0xFFFFFFu, 0x000000u})
    {
        BmpLayout layout;
        layout.iWidth = 2;
        layout.iHeight = 2;
        layout.uBitCount = 1;
        layout.Palette = {0xFFFFFF - one, one};
        layout.Rows = {{0x40}, {0x00}};
        Bytes out;
        ASSERT_TRUE(KMRConvertTo1Bit(DecodeBytes(MakeBmp(layout)), out));
        EXPECT_EQ(out, Bytes{0x40});
    }

    // Rows are read with their stride: 9 x 2 pixels, the second row starts at bit 9 of the result.
    BmpLayout wide;
    wide.iWidth = 9;
    wide.iHeight = 2;
    wide.uBitCount = 1;
    wide.Palette = {0, 0xFFFFFF};
    wide.Rows = {{0xFF, 0x80}, {0x80, 0x80}};
    Bytes out;
    ASSERT_TRUE(KMRConvertTo1Bit(DecodeBytes(MakeBmp(wide)), out));
    EXPECT_EQ(out, (Bytes{0xFF, 0xC0, 0x40}));
}

TEST(BitmapConverter, TwoBitCodesAndPacking)
{
    struct Case
    {
        uint32_t uRgb;
        uint8_t uCode;
    };
    const Case cases[] = {
        {0xFFFFFF, 0b10}, {0x010101, 0b10}, {0xFF0000, 0b01}, {0xFF00FF, 0b11}, {0x000000, 0b00},
        {0x00FF00, 0b00}, {0x0000FF, 0b00}, {0xFFFF00, 0b00}, {0x00FFFF, 0b00},
    };
    for (const Case& c : cases)
    {
        // The pixel in every position of a byte: pixel 0 in bits 7-6 .. pixel 3 in bits 1-0.
        for (int position = 0; position < 4; ++position)
        {
            std::vector<uint32_t> pixels(4, 0);
            pixels[size_t(position)] = c.uRgb;
            Bytes out;
            ASSERT_TRUE(KMRConvertTo2Bit(Rgb24Image(4, 1, pixels), out));
            EXPECT_EQ(out, Bytes{uint8_t(c.uCode << (6 - 2 * position))}) << std::hex << c.uRgb << " at " << position;
        }
    }

    // Seven white pixels: two bytes, the last pair of the second stays 00.
    Bytes out;
    ASSERT_TRUE(KMRConvertTo2Bit(Rgb24Image(7, 1, std::vector<uint32_t>(7, 0xFFFFFF)), out));
    EXPECT_EQ(out, (Bytes{0xAA, 0xA8}));
}

TEST(BitmapConverter, EightBitLevels)
{
    struct Case
    {
        uint32_t uRgb;
        uint8_t uByte;
    };
    const Case cases[] = {
        {0xFF0000, 0x03},                   // red: level 3 in bits 0-1
        {0x00FF00, 0x18},                   // green: bits 3-4
        {0x0000FF, 0xC0},                   // blue: bits 6-7
        {0xFFFFFF, 0xDB},                   // bits 2 and 5 stay 0
        {0x3F4080, 0x00 | 1 << 3 | 2 << 6}, // level boundaries 63 | 64 | 128
        {0x7FBFC0, 0x01 | 2 << 3 | 3 << 6}, // 127 | 191 | 192
    };
    for (const Case& c : cases)
    {
        Bytes out;
        ASSERT_TRUE(KMRConvertTo8Bit(Rgb24Image(1, 1, {c.uRgb}), out));
        EXPECT_EQ(out, Bytes{c.uByte}) << std::hex << c.uRgb;
    }
}

TEST(BitmapConverter, SourceFormatsEachConversionAccepts)
{
    // A 32-bit file with alpha (V5, bit fields), a 1-bit file, an 8-bit palette file, a 24-bit file.
    BmpLayout argb;
    argb.uHeaderSize = 124;
    argb.iWidth = 3;
    argb.iHeight = 1;
    argb.uBitCount = 32;
    argb.uCompression = BI_BITFIELDS;
    argb.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    argb.Rows = {Row32({0xFFFF0000, 0x00FFFFFF, 0x80000000})};
    BmpLayout mono;
    mono.iWidth = 3;
    mono.iHeight = 1;
    mono.uBitCount = 1;
    mono.Palette = {0, 0xFFFFFF};
    mono.Rows = {{0xA0}};
    BmpLayout palette8 = mono;
    palette8.uBitCount = 8;
    palette8.Rows = {{1, 0, 1}};

    struct Case
    {
        const char* pName;
        Bytes File;
        bool b1Bit, b2Bit;
        Bytes Result8; // the eight-bit conversion accepts everything
    };
    const Case cases[] = {
        {"32-bit ARGB", MakeBmp(argb), false, false, {0x03, 0xDB, 0x00}},
        {"1-bit indexed", MakeBmp(mono), true, false, {0xDB, 0x00, 0xDB}},
        {"8-bit indexed", MakeBmp(palette8), false, false, {0xDB, 0x00, 0xDB}},
        {"24-bit RGB", Make24(3, 1, {0xFF0000, 0xFFFFFF, 0}), true, true, {0x03, 0xDB, 0x00}},
    };
    for (const Case& c : cases)
    {
        const KMRDecodedImage image = DecodeBytes(c.File);
        Bytes out1 = {0x55}, out2 = {0x55}, out8;
        EXPECT_EQ(KMRConvertTo1Bit(image, out1), c.b1Bit) << c.pName;
        EXPECT_EQ(KMRConvertTo2Bit(image, out2), c.b2Bit) << c.pName;
        EXPECT_TRUE(KMRConvertTo8Bit(image, out8)) << c.pName;
        EXPECT_EQ(out8, c.Result8) << c.pName;
        // A refused format still leaves the zero-filled array of the result length.
        ASSERT_EQ(out1.size(), 1u) << c.pName;
        ASSERT_EQ(out2.size(), 1u) << c.pName;
        if (!c.b1Bit)
        {
            EXPECT_EQ(out1[0], 0) << c.pName;
        }
        if (!c.b2Bit)
        {
            EXPECT_EQ(out2[0], 0) << c.pName;
        }
    }
}

TEST(BitmapConverter, EmptyAndInconsistentPictures)
{
    // Zero width or height: refused with an empty result, whatever the format.
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-1, 5}})
    {
        KMRDecodedImage image = Rgb24Image(w, h, {});
        Bytes out = {1, 2, 3};
        EXPECT_FALSE(KMRConvertTo1Bit(image, out));
        EXPECT_TRUE(out.empty());
        EXPECT_FALSE(KMRConvertTo2Bit(image, out));
        EXPECT_FALSE(KMRConvertTo8Bit(image, out));
        EXPECT_TRUE(out.empty());
    }
    // Zero-width BMP files decode, but convert to nothing.
    BmpLayout mono;
    mono.uBitCount = 1;
    mono.iHeight = 3;
    mono.Palette = {0, 0xFFFFFF};
    mono.Rows = {{}, {}, {}};
    Bytes monoFile = MakeBmp(mono);
    monoFile.push_back(0); // a stray byte where the rows would start
    Bytes out;
    for (const Bytes& file : {Make24(0, 3, {}), monoFile})
    {
        KMRDecodedImage empty;
        ASSERT_TRUE(KMRDecodeImage(file.data(), file.size(), empty));
        EXPECT_FALSE(KMRConvertTo1Bit(empty, out));
        EXPECT_FALSE(KMRConvertTo8Bit(empty, out));
    }

    // Pixels an image lacks count as opaque black: no read beyond its arrays.
    KMRDecodedImage shortRgb = Rgb24Image(4, 1, {0xFFFFFF});
    ASSERT_TRUE(KMRConvertTo1Bit(shortRgb, out));
    EXPECT_EQ(out, Bytes{0x80});
    KMRDecodedImage shortBits;
    shortBits.m_iWidth = 16;
    shortBits.m_iHeight = 2;
    shortBits.m_eFormat = KMRSourcePixelFormat::Indexed1;
    shortBits.m_iStride = 1; // narrower than the width: bits beyond a row are not taken from the next row
    shortBits.m_Bits = {0xFF};
    ASSERT_TRUE(KMRConvertTo1Bit(shortBits, out));
    EXPECT_EQ(out, (Bytes{0xFF, 0x00, 0x00, 0x00}));
}

TEST(BitmapConverter, DecodesFromAFile)
{
    const std::string path = ::testing::TempDir() + "kmr_bitmap_centre.bmp";
    std::vector<uint32_t> pixels(9, 0);
    pixels[4] = 0xFFFFFF;
    const Bytes file = Make24(3, 3, pixels, 124);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    KMRDecodedImage image;
    ASSERT_TRUE(KMRDecodeImage(path, image));
    Bytes out;
    ASSERT_TRUE(KMRConvertTo1Bit(image, out));
    EXPECT_EQ(out, (Bytes{0x08, 0x00}));

    EXPECT_FALSE(KMRDecodeImage(::testing::TempDir() + "kmr_bitmap_missing.bmp", image));
    EXPECT_FALSE(KMRDecodeImage(::testing::TempDir(), image)); // a directory
    const std::string emptyPath = ::testing::TempDir() + "kmr_bitmap_empty.bmp";
    std::ofstream(emptyPath, std::ios::binary).flush();
    EXPECT_FALSE(KMRDecodeImage(emptyPath, image));
}
