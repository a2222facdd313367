// KMRBitmapConverter: decodes picture files and packs them into the 1-, 2- and 8-bit sign formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The pixel format a picture file stores, as far as the sign conversions care:
// 24-bit RGB, 1-bit indexed, or anything else (palettes of 4/8 bits, 16 and 32 bits, greyscale, ...).
enum class KMRSourcePixelFormat
{
    Rgb24,
    Indexed1,
    Other
};

// A decoded picture. m_Argb always holds the colours; m_Bits keeps a 1-bit file's own index bits,
// because the monochrome conversion takes those bits as they are and does not look at the palette.
struct KMRDecodedImage
{
    int m_iWidth = 0, m_iHeight = 0;
    KMRSourcePixelFormat m_eFormat = KMRSourcePixelFormat::Other;
    std::vector<uint32_t> m_Argb; // w*h pixels, top row first, 0xAARRGGBB (all formats)
    std::vector<uint8_t> m_Bits;  // Indexed1 only: the file's own 1-bit rows, top row first
    int m_iStride = 0;            // Indexed1 only: bytes per row in m_Bits
};

// Limits against hostile headers: no side longer than this, and no more pixels in all than
// KMR_MAX_IMAGE_PIXELS (256 MiB of ARGB pixels, the same budget the Qt decoder gets).
inline constexpr int KMR_MAX_IMAGE_SIDE = 32768;
inline constexpr uint64_t KMR_MAX_IMAGE_PIXELS = uint64_t(1) << 26;
// Files larger than this are not read at all.
inline constexpr uint64_t KMR_MAX_IMAGE_FILE_SIZE = uint64_t(1) << 29;

// Decodes a picture file into image_o (which is reset first).
// BMP files with the 12-byte core header, the 40-byte info header or the V2/V3/V4/V5 headers,
// 1/4/8/16/24/32 bits per pixel, uncompressed or with bit-field masks, bottom-up or top-down,
// are read by our own reader, which reports the file's own depth: 24 bits -> Rgb24,
// 1 bit -> Indexed1 with the file's rows, everything else -> Other. All other files (PNG, JPEG,
// GIF, run-length encoded BMP, ...) are decoded by Qt; a PNG of 8-bit RGB without transparency
// and a colour JPEG are Rgb24, a 1-bit greyscale or palette PNG is Indexed1, the rest Other.
// Pixel data missing at the end of a truncated file reads as opaque black (index bit 0).
// Returns false, with image_o empty, when the file cannot be read or decoded, or its header claims
// a size beyond the limits above, or more pixels than the file could hold (a BMP: one bit per pixel; a
// compressed format: 16384 pixels per byte).
// Never throws; never reads beyond the data. Thread safety: reentrant, no shared state.
bool KMRDecodeImage(const std::string& path_i, KMRDecodedImage& image_o);
// The same from a byte range in memory; data_i may be null when size_i is 0.
bool KMRDecodeImage(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o);

// The three sign conversions; pixel i = y * w + x, rows top to bottom, no padding between rows.
// Each returns false (out_o empty) for zero or negative width/height, false with out_o resized to the
// result length and zero-filled for a source format it does not accept, and true with out_o holding
// the packed result otherwise. Pixels missing from an inconsistent image count as opaque black.
// Never throw (except std::bad_alloc). Thread safety: reentrant.
//
// One bit per pixel, ceil(w*h/8) bytes, most significant bit first. Rgb24: a pixel is set when its
// R, G and B are all non-zero. Indexed1: a pixel is set when its index bit in m_Bits is set; the
// palette is not consulted. Other formats are refused.
bool KMRConvertTo1Bit(const KMRDecodedImage& image_i, std::vector<uint8_t>& out_o);
// Two bits per pixel, ceil(w*h/4) bytes, pixel 0 in bits 7-6. Rgb24 only. Codes: R,G,B all non-zero
// -> 10; R only -> 01; R and B, no G -> 11; anything else -> 00.
bool KMRConvertTo2Bit(const KMRDecodedImage& image_i, std::vector<uint8_t>& out_o);
// One byte per pixel, w*h bytes, any source format. Each channel becomes a level 0..3 (v / 64);
// level(R) in bits 0-1, level(G) in bits 3-4, level(B) in bits 6-7, bits 2 and 5 zero.
bool KMRConvertTo8Bit(const KMRDecodedImage& image_i, std::vector<uint8_t>& out_o);
