// KMRQtImageDecoder: decodes non-BMP picture files with Qt and classifies them from their own headers
// (internal to KMRBitmap).
#pragma once

#include "KMRBitmapConverter.h"

#include <cstddef>

// Decodes any format Qt reads (PNG, JPEG, GIF, run-length encoded BMP, ...). The source format comes from the
// file's own header: PNG with 8-bit RGB and no transparency -> Rgb24, PNG with 1-bit greyscale or palette ->
// Indexed1 (rows of (w+7)/8 bytes holding the file's index bits), colour (3-component) JPEG -> Rgb24,
// anything else -> Other. False, with image_o empty, when Qt cannot decode the data, the picture exceeds
// the size limits, or it claims more than 16384 pixels per byte of the file (far beyond any real compression). Never
// throws except std::bad_alloc. Thread safety: reentrant.
bool KMRDecodeWithQt(const unsigned char* data_i, size_t size_i, KMRDecodedImage& image_o);
