// KMRBitmapConverter: picks the decoder for a picture file and packs pixels into the sign formats.
#include "KMRBitmapConverter.h"

#include "KMRBmpReader.h"
#include "KMRQtImageDecoder.h"

#include <filesystem>
#include <fstream>

namespace
{
constexpr uint32_t OPAQUE_BLACK = 0xFF000000u;

// The pixel count of a picture the conversions can pack; false for empty pictures and for sizes no decoder
// would have produced.
bool PixelCount(const KMRDecodedImage& image_i, size_t& count_o)
{
    if (image_i.m_iWidth <= 0 || image_i.m_iHeight <= 0)
        return false;
    const uint64_t count = uint64_t(image_i.m_iWidth) * uint64_t(image_i.m_iHeight);
    if (count > KMR_MAX_IMAGE_PIXELS)
        return false;
    count_o = size_t(count);
    return true;
}

// Pixel i, or opaque black when the picture has fewer pixels than its size says.
uint32_t PixelAt(const KMRDecodedImage& image_i, size_t index_i)
{
    return index_i < image_i.m_Argb.size() ? image_i.m_Argb[index_i] : OPAQUE_BLACK;
}

// Index bit (x, y) of a 1-bit picture; bits outside its rows read as 0.
bool IndexBitAt(const KMRDecodedImage& image_i, size_t x_i, size_t y_i)
{
    if (image_i.m_iStride <= 0 || x_i / 8 >= size_t(image_i.m_iStride))
        return false;
    const size_t at = y_i * size_t(image_i.m_iStride) + x_i / 8;
    return at < image_i.m_Bits.size() && (image_i.m_Bits[at] & (0x80u >> (x_i % 8))) != 0;
}

uint32_t Red(uint32_t argb_i)
{
    return (argb_i >> 16) & 0xFF;
}
uint32_t Green(uint32_t argb_i)
{
    return (argb_i >> 8) & 0xFF;
}
uint32_t Blue(uint32_t argb_i)
{
    return argb_i & 0xFF;
}

// Common start of every conversion: the result is allocated and zeroed before the source format is checked,
// so a refused picture leaves a zero-filled array of the right length behind.
bool Prepare(const KMRDecodedImage& image_i, unsigned pixelsPerByte_i, std::vector<uint8_t>& out_o, size_t& count_o)
{
    out_o.clear();
    if (!PixelCount(image_i, count_o))
        return false;
    out_o.assign((count_o + pixelsPerByte_i - 1) / pixelsPerByte_i, 0);
    return true;
}

bool DecodeMemory(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o)
{
    if (size_i >= 2 && data_i[0] == 'B' && data_i[1] == 'M')
    {
        switch (KMRReadBmp(data_i, size_i, image_o))
        {
        case KMRBmpResult::Decoded:
            return true;
        case KMRBmpResult::Malformed:
            return false;
        case KMRBmpResult::NotHandled:
            break; // run-length encoded and other variants: Qt reads them
        }
    }
    return KMRDecodeWithQt(data_i, size_i, image_o);
}
} // namespace

bool KMRDecodeImage(const std::string& path_i, KMRDecodedImage& image_o)
{
    image_o = KMRDecodedImage();
    try
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path_i, error))
            return false;
        const uintmax_t size = std::filesystem::file_size(path_i, error);
        if (error || size == 0 || size > KMR_MAX_IMAGE_FILE_SIZE)
            return false;
        std::ifstream file(path_i, std::ios::binary);
        if (!file)
            return false;
        std::vector<unsigned char> data(size_t(size), 0);
        file.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size()));
        // A file that shrank while we read it is decoded as far as it went, like any truncated file.
        data.resize(size_t(file.gcount()));
        return KMRDecodeImage(data.data(), data.size(), image_o);
    }
    catch (...)
    {
        image_o = KMRDecodedImage();
        return false;
    }
}

bool KMRDecodeImage(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o)
{
    image_o = KMRDecodedImage();
    if (data_i == nullptr || size_i == 0)
        return false;
    try
    {
        if (DecodeMemory(data_i, size_i, image_o))
            return true;
    }
    catch (...)
    {
    }
    image_o = KMRDecodedImage();
    return false;
}

bool KMRConvertTo1Bit(const KMRDecodedImage& image_i, std::vector<uint8_t>& out_o)
{
    size_t count = 0;
    if (!Prepare(image_i, 8, out_o, count))
        return false;
    const size_t width = size_t(image_i.m_iWidth);
    if (image_i.m_eFormat == KMRSourcePixelFormat::Rgb24)
    {
        for (size_t i = 0; i < count; ++i)
        {
            const uint32_t pixel = PixelAt(image_i, i);
            if (Red(pixel) != 0 && Green(pixel) != 0 && Blue(pixel) != 0)
                out_o[i / 8] |= uint8_t(0x80u >> (i % 8));
        }
        return true;
    }
    if (image_i.m_eFormat == KMRSourcePixelFormat::Indexed1)
    {
        // The index bits are taken as they are: a set bit is a lit pixel whatever colour the palette gives it.
        for (size_t i = 0; i < count; ++i)
        {
            if (IndexBitAt(image_i, i % width, i / width))
                out_o[i / 8] |= uint8_t(0x80u >> (i % 8));
        }
        return true;
    }
    return false;
}

bool KMRConvertTo2Bit(const KMRDecodedImage& image_i, std::vector<uint8_t>& out_o)
{
    size_t count = 0;
    if (!Prepare(image_i, 4, out_o, count))
        return false;
    if (image_i.m_eFormat != KMRSourcePixelFormat::Rgb24)
        return false;
    for (size_t i = 0; i < count; ++i)
    {
        const uint32_t pixel = PixelAt(image_i, i);
        const bool r = Red(pixel) != 0, g = Green(pixel) != 0, b = Blue(pixel) != 0;
        uint8_t code = 0b00;
        if (r && g && b)
            code = 0b10;
        else if (r && !g && !b)
            code = 0b01;
        else if (r && !g && b)
            code = 0b11;
        out_o[i / 4] |= uint8_t(code << (6 - 2 * (i % 4)));
    }
    return true;
}

bool KMRConvertTo8Bit(const KMRDecodedImage& image_i, std::vector<uint8_t>& out_o)
{
    size_t count = 0;
    if (!Prepare(image_i, 1, out_o, count))
        return false;
    for (size_t i = 0; i < count; ++i)
    {
        const uint32_t pixel = PixelAt(image_i, i);
        // Four levels per channel: 0-63, 64-127, 128-191, 192-255.
        out_o[i] = uint8_t((Red(pixel) >> 6) | ((Green(pixel) >> 6) << 3) | ((Blue(pixel) >> 6) << 6));
    }
    return true;
}
