// KMRBmpReader: our own reader for uncompressed and bit-field BMP files (internal to KMRBitmap).
#pragma once

#include "KMRBitmapConverter.h"

#include <cstddef>

enum class KMRBmpResult
{
    Decoded,    // image_o holds the picture
    NotHandled, // a BMP variant this reader leaves to another decoder (run-length encoding, embedded JPEG/PNG, ...)
    Malformed   // not a BMP file, or a header that cannot be honoured; image_o is empty
};

// Reads a BMP file from memory: core (12 bytes), info (40), V2 (52), V3 (56), V4 (108) and V5 (124) headers;
// 1/4/8/16/24/32 bits; uncompressed, BI_BITFIELDS and BI_ALPHABITFIELDS; bottom-up and top-down.
// Reports 24-bit files as Rgb24, 1-bit files as Indexed1 with their own rows, the rest as Other.
// Pixels beyond the end of the data read as opaque black, palette indices beyond the palette too.
// Never throws except std::bad_alloc; never reads outside [data_i, data_i + size_i). Thread safety: reentrant.
KMRBmpResult KMRReadBmp(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o);
