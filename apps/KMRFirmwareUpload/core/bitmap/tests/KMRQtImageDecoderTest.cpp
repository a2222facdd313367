// Files other than plain BMP: PNG, JPEG and run-length BMP through Qt, classified from their own headers.
#include "KMRQtImageDecoder.h"

#include "KMRBitmapConverter.h"
#include "KMRBmpFixtures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes Save(const QImage& image_i, const char* format_i)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image_i.save(&buffer, format_i));
    return Bytes(data.begin(), data.end());
}

void PutBe32(Bytes& out_o, uint32_t value_i)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out_o.push_back(uint8_t(value_i >> shift));
}

void PutChunk(Bytes& out_o, const char* type_i, const Bytes& data_i)
{
    PutBe32(out_o, uint32_t(data_i.size()));
    Bytes typed(type_i, type_i + 4);
    typed.insert(typed.end(), data_i.begin(), data_i.end());
    out_o.insert(out_o.end(), typed.begin(), typed.end());
    PutBe32(out_o, uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

// A PNG written by hand, for the kinds Qt does not write (1-bit greyscale). Rows without their filter byte.
Bytes MakePng(uint32_t width_i, uint8_t bitDepth_i, uint8_t colourType_i, const std::vector<Bytes>& rows_i)
{
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    PutBe32(header, width_i);
    PutBe32(header, uint32_t(rows_i.size()));
    header.insert(header.end(), {bitDepth_i, colourType_i, 0, 0, 0});
    PutChunk(out, "IHDR", header);
    Bytes raw;
    for (const Bytes& row : rows_i)
    {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), row.begin(), row.end());
    }
    Bytes packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    EXPECT_EQ(compress(packed.data(), &packedSize, raw.data(), uLong(raw.size())), Z_OK);
    packed.resize(packedSize);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

KMRDecodedImage Decode(const Bytes& file_i)
{
    KMRDecodedImage image;
    EXPECT_TRUE(KMRDecodeImage(file_i.data(), file_i.size(), image));
    return image;
}
} // namespace

TEST(QtImageDecoder, ClassifiesPngAndJpegFromTheirHeaders)
{
    QImage rgb(3, 3, QImage::Format_RGB888);
    rgb.fill(Qt::black);
    rgb.setPixel(1, 1, qRgb(255, 255, 255));
    QImage withAlpha(3, 3, QImage::Format_ARGB32);
    withAlpha.fill(qRgba(255, 255, 255, 128));
    QImage grey(3, 3, QImage::Format_Grayscale8);
    grey.fill(200);

    // The smallest GIF: 1 x 1, two colours (Qt cannot write GIF).
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0,  0,
                       0,   ',', 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 0x01, 0,    ';'};

    struct Case
    {
        const char* pName;
        Bytes File;
        KMRSourcePixelFormat eFormat;
        int iWidth;
    };
    const Case cases[] = {
        {"PNG 8-bit RGB", Save(rgb, "PNG"), KMRSourcePixelFormat::Rgb24, 3},
        {"PNG with alpha", Save(withAlpha, "PNG"), KMRSourcePixelFormat::Other, 3},
        {"PNG 8-bit greyscale", Save(grey, "PNG"), KMRSourcePixelFormat::Other, 3},
        {"PNG 16-bit RGB", MakePng(1, 16, 2, {{0, 0, 0, 0, 0, 0}}), KMRSourcePixelFormat::Other, 1},
        {"JPEG colour", Save(rgb, "JPEG"), KMRSourcePixelFormat::Rgb24, 3},
        {"JPEG greyscale", Save(grey, "JPEG"), KMRSourcePixelFormat::Other, 3},
        {"GIF", gif, KMRSourcePixelFormat::Other, 1},
    };
    for (const Case& c : cases)
    {
        const KMRDecodedImage image = Decode(c.File);
        EXPECT_EQ(image.m_eFormat, c.eFormat) << c.pName;
        EXPECT_EQ(image.m_iWidth, c.iWidth) << c.pName;
        EXPECT_EQ(image.m_Argb.size(), size_t(image.m_iWidth) * size_t(image.m_iHeight)) << c.pName;
    }

    // The PNG made by Qt converts like the same picture as a BMP: a white centre in 3 x 3.
    Bytes out;
    ASSERT_TRUE(KMRConvertTo1Bit(Decode(Save(rgb, "PNG")), out));
    EXPECT_EQ(out, (Bytes{0x08, 0x00}));
}

TEST(QtImageDecoder, OneBitPngsKeepTheirIndexBits)
{
    // Palette PNG written by Qt with white at index 0: bits are indices, not colours.
    QImage mono(10, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0);
    mono.setPixel(1, 0, 1);
    mono.setPixel(9, 1, 1);
    const Bytes palettePng = Save(mono, "PNG");
    ASSERT_EQ(palettePng[24], 1); // bit depth
    ASSERT_EQ(palettePng[25], 3); // palette
    KMRDecodedImage image = Decode(palettePng);
    EXPECT_EQ(image.m_eFormat, KMRSourcePixelFormat::Indexed1);
    EXPECT_EQ(image.m_iStride, 2);
    EXPECT_EQ(image.m_Bits, (Bytes{0x40, 0x00, 0x00, 0x40}));
    EXPECT_EQ(image.m_Argb[0], 0xFFFFFFFFu);
    EXPECT_EQ(image.m_Argb[1], 0xFF000000u);
    Bytes out;
    ASSERT_TRUE(KMRConvertTo1Bit(image, out));
    EXPECT_EQ(out, (Bytes{0x40, 0x00, 0x10}));

    // Greyscale 1-bit: a set bit is white.
    image = Decode(MakePng(3, 1, 0, {{0b10100000}}));
    EXPECT_EQ(image.m_eFormat, KMRSourcePixelFormat::Indexed1);
    EXPECT_EQ(image.m_Bits, Bytes{0b10100000});
    EXPECT_EQ(image.m_Argb, (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
}

TEST(QtImageDecoder, RunLengthBmpIsDecodedAsOther)
{
    KMRBmpFixtures::BmpLayout layout;
    layout.iWidth = 4;
    layout.iHeight = 1;
    layout.uBitCount = 8;
    layout.uCompression = KMRBmpFixtures::BI_RLE8;
    layout.Palette = {0x000000, 0xFF0000};
    layout.uColoursUsed = 2;
    layout.RawPixels = {3, 1, 1, 0, 0, 0, 0, 1}; // three of index 1, one of index 0, end of line, end of picture
    const KMRDecodedImage image = Decode(KMRBmpFixtures::MakeBmp(layout));
    EXPECT_EQ(image.m_eFormat, KMRSourcePixelFormat::Other);
    EXPECT_EQ(image.m_Argb, (std::vector<uint32_t>{0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF000000}));
}

TEST(QtImageDecoder, UndecodableAndOversizedFilesAreRefused)
{
    QImage rgb(4, 4, QImage::Format_RGB888);
    rgb.fill(Qt::red);
    Bytes truncatedPng = Save(rgb, "PNG");
    truncatedPng.resize(30);
    // A valid PNG, wider than the side limit; it compresses to a few hundred bytes.
    const Bytes widePng = MakePng(KMR_MAX_IMAGE_SIDE + 1, 8, 2, {Bytes(size_t(KMR_MAX_IMAGE_SIDE + 1) * 3, 0)});
    // A run-length BMP of 4000 x 4000 in a few dozen bytes: one run, then "end of picture".
    KMRBmpFixtures::BmpLayout rle;
    rle.iWidth = 4000;
    rle.iHeight = 4000;
    rle.uBitCount = 8;
    rle.uCompression = KMRBmpFixtures::BI_RLE8;
    rle.Palette = {0xFFFFFF};
    rle.uColoursUsed = 1;
    rle.RawPixels = {1, 0, 0, 1};
    const Bytes cases[] = {
        KMRBmpFixtures::MakeBmp(rle),
        {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'},
        truncatedPng,
        widePng,
        {0xFF, 0xD8, 0xFF},
    };
    for (const Bytes& file : cases)
    {
        KMRDecodedImage image;
        EXPECT_FALSE(KMRDecodeWithQt(file.data(), file.size(), image));
        EXPECT_TRUE(image.m_Argb.empty());
    }
    KMRDecodedImage image;
    EXPECT_FALSE(KMRDecodeImage(nullptr, 0, image));
}
