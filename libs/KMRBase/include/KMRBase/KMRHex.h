// Hexadecimal conversions between bytes and text.
#pragma once

#include <KMRBase/KMRBaseExport.h>

#include <string>

// Two upper-case digits per byte; the first character of separator_i (when not
// null) goes between consecutive bytes, not after the last. length_i 0 gives "".
KMRBase_API std::string HexToString(const unsigned char* data_i, unsigned int length_i, const char* separator_i);

// Fills out_o[0..count_i-1] from the character pairs of text_i (no separators;
// digits and A-F in either case). Only complete pairs are converted, and conversion
// stops at the first character that is not a hexadecimal digit. Answers the number
// of bytes filled.
KMRBase_API unsigned int StringToHex(const std::string& text_i, unsigned char* out_o, unsigned int count_i);
