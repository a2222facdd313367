// KMRQtImageDecoder: decodes non-BMP picture files with Qt and classifies them from their own headers.
#include "KMRQtImageDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{
uint32_t Be32(const unsigned char* p_i)
{
    return (uint32_t(p_i[0]) << 24) | (uint32_t(p_i[1]) << 16) | (uint32_t(p_i[2]) << 8) | p_i[3];
}

// What the file's own header says about its pixels, before Qt converts them.
struct SourceInfo
{
    KMRSourcePixelFormat eFormat = KMRSourcePixelFormat::Other;
    bool bGreyscale = false; // Indexed1 from a greyscale PNG: index bit 1 is white
};

SourceInfo ClassifyPng(const unsigned char* data_i, size_t size_i)
{
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    SourceInfo info;
    if (size_i < 8 + 8 + 13 || std::memcmp(data_i, SIGNATURE, 8) != 0 || Be32(data_i + 8) != 13 ||
        std::memcmp(data_i + 12, "IHDR", 4) != 0)
        return info;
    const unsigned bitDepth = data_i[24];
    const unsigned colourType = data_i[25];

    // A tRNS chunk (before the image data) adds transparency to an RGB picture.
    bool transparency = false;
    size_t at = 8;
    while (at + 8 <= size_i)
    {
        const uint64_t length = Be32(data_i + at);
        const unsigned char* type = data_i + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0)
            break;
        if (std::memcmp(type, "tRNS", 4) == 0)
            transparency = true;
        at += size_t(std::min<uint64_t>(12 + length, size_i)); // length, type, data, CRC
    }

    if (bitDepth == 8 && colourType == 2 && !transparency)
        info.eFormat = KMRSourcePixelFormat::Rgb24;
    else if (bitDepth == 1 && (colourType == 0 || colourType == 3))
    {
        info.eFormat = KMRSourcePixelFormat::Indexed1;
        info.bGreyscale = colourType == 0;
    }
    return info;
}

// Baseline, progressive and other JPEG frames name their number of components in the SOF segment;
// three components decode to 24-bit RGB, one (greyscale) or four (CMYK) do not.
SourceInfo ClassifyJpeg(const unsigned char* data_i, size_t size_i)
{
    SourceInfo info;
    if (size_i < 4 || data_i[0] != 0xFF || data_i[1] != 0xD8)
        return info;
    size_t at = 2;
    while (at + 4 <= size_i)
    {
        if (data_i[at] != 0xFF)
            return info;
        const unsigned marker = data_i[at + 1];
        if (marker == 0xFF)
        {
            ++at; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
        {
            at += 2; // markers without a length
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            return info; // end of image or start of scan before any frame header
        const size_t length = (size_t(data_i[at + 2]) << 8) | data_i[at + 3];
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
        {
            if (length >= 8 && at + 2 + 8 <= size_i && data_i[at + 9] == 3)
                info.eFormat = KMRSourcePixelFormat::Rgb24;
            return info;
        }
        if (length < 2)
            return info;
        at += 2 + length;
    }
    return info;
}

// Compressed formats hold far more pixels per byte than a BMP, but not without bound: deflate packs at most
// about 1032 bytes into one, which is some 8256 pixels of a 1-bit PNG; a run-length BMP as editors write it
// (one end-of-line per row) holds fewer than 128. A picture claiming more than twice that per byte of its
// file is a hostile header (a few bytes asking for hundreds of megabytes), not a picture.
constexpr uint64_t MAX_PIXELS_PER_FILE_BYTE = 16384;

bool WithinLimits(const QSize& size_i, size_t fileSize_i)
{
    if (size_i.width() <= 0 || size_i.height() <= 0 || size_i.width() > KMR_MAX_IMAGE_SIDE ||
        size_i.height() > KMR_MAX_IMAGE_SIDE)
        return false;
    const uint64_t pixels = uint64_t(size_i.width()) * uint64_t(size_i.height());
    return pixels <= KMR_MAX_IMAGE_PIXELS && pixels <= uint64_t(fileSize_i) * MAX_PIXELS_PER_FILE_BYTE;
}
} // namespace

bool KMRDecodeWithQt(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o)
{
    image_o = KMRDecodedImage();
    if (data_i == nullptr || size_i == 0 || size_i > size_t(INT32_MAX))
        return false;

    // fromRawData does not copy; the buffer only reads.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data_i), qsizetype(size_i));
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    // Refuse oversized pictures before Qt allocates them, where the format tells the size up front.
    const QSize announced = reader.size();
    if (announced.isValid() && !WithinLimits(announced, size_i))
        return false;
    const QImage decoded = reader.read();
    if (decoded.isNull() || !WithinLimits(decoded.size(), size_i))
        return false;

    SourceInfo source = ClassifyPng(data_i, size_i);
    if (source.eFormat == KMRSourcePixelFormat::Other)
        source = ClassifyJpeg(data_i, size_i);

    const int width = decoded.width();
    const int height = decoded.height();
    const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        return false;

    KMRDecodedImage image;
    image.m_iWidth = width;
    image.m_iHeight = height;
    image.m_eFormat = source.eFormat;
    image.m_Argb.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
    {
        const auto* line = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        std::memcpy(image.m_Argb.data() + size_t(y) * size_t(width), line, size_t(width) * sizeof(uint32_t));
    }

    if (source.eFormat == KMRSourcePixelFormat::Indexed1)
    {
        // The file's index bits. A greyscale file's bit is its brightness (0 black, 1 white), whatever indices
        // Qt chooses; a palette file's bit is Qt's pixel index, and if Qt ever hands back colours instead the
        // bits cannot be told and the picture counts as Other.
        const bool indexed = decoded.format() == QImage::Format_Mono || decoded.format() == QImage::Format_MonoLSB ||
                             decoded.format() == QImage::Format_Indexed8;
        if (!indexed && !source.bGreyscale)
            image.m_eFormat = KMRSourcePixelFormat::Other;
        else
        {
            image.m_iStride = (width + 7) / 8;
            image.m_Bits.assign(size_t(image.m_iStride) * size_t(height), 0);
            for (int y = 0; y < height; ++y)
            {
                uint8_t* row = image.m_Bits.data() + size_t(y) * size_t(image.m_iStride);
                for (int x = 0; x < width; ++x)
                {
                    const bool set = source.bGreyscale
                                         ? qGray(image.m_Argb[size_t(y) * size_t(width) + size_t(x)]) >= 128
                                         : decoded.pixelIndex(x, y) != 0;
                    if (set)
                        row[x / 8] |= uint8_t(0x80u >> (x % 8));
                }
            }
        }
    }
    image_o = std::move(image);
    return true;
}
