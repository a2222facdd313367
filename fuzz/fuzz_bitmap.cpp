// libFuzzer target: decode arbitrary bytes as a picture file, then run every sign conversion on the result.
#include "KMRBitmapConverter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data_i, size_t size_i)
{
    KMRDecodedImage image;
    if (!KMRDecodeImage(data_i, size_i, image))
        return 0;
    // A decoded picture must be self-consistent, or the conversions' callers could index out of bounds.
    if (image.m_Argb.size() != size_t(image.m_iWidth) * size_t(image.m_iHeight))
        abort();
    if (image.m_eFormat == KMRSourcePixelFormat::Indexed1 &&
        (size_t(image.m_iStride) * 8 < size_t(image.m_iWidth) ||
         image.m_Bits.size() != size_t(image.m_iStride) * size_t(image.m_iHeight)))
        abort();

    // Each conversion accepts exactly its source formats and always leaves an array of the result length.
    const size_t pixels = image.m_Argb.size();
    const bool some = pixels > 0;
    const bool rgb = image.m_eFormat == KMRSourcePixelFormat::Rgb24;
    const bool mono = image.m_eFormat == KMRSourcePixelFormat::Indexed1;
    std::vector<uint8_t> out;
    if (KMRConvertTo1Bit(image, out) != (some && (rgb || mono)) || out.size() != (pixels + 7) / 8)
        abort();
    if (KMRConvertTo2Bit(image, out) != (some && rgb) || out.size() != (pixels + 3) / 4)
        abort();
    if (KMRConvertTo8Bit(image, out) != some || out.size() != pixels)
        abort();
    return 0;
}
