// CRC-16 and CRC-32 helpers over bytes, strings and files.
#pragma once

#include <KMRBase/KMRBaseExport.h>

#include <cstddef>
#include <cstdint>

// All functions keep no shared state and may run on any thread.
// The CRC state is 32 bits wide, as on the controllers' original platform.

// One byte of CRC-16/ARC (reflected polynomial 0xA001).
KMRBase_API void CalcCrc16(uint8_t byte_i, uint32_t& crc_io);
// CRC-16 over a whole file: start 0xFFFF (MODBUS) or 0 (ARC, "GP"), no final XOR.
// Answer 0 or the errno of the failed open/read; on open failure crc stays at its start value.
KMRBase_API uint32_t FileCrc16Win32(const char* file_i, uint32_t& crc_o);
KMRBase_API uint32_t FileCrc16Win32GP(const char* file_i, uint32_t& crc_o);

// One byte of the reflected CRC-32 (polynomial 0xEDB88320) register update.
KMRBase_API void CalcCrc32(uint8_t byte_i, uint32_t& crc_io);
// Register update over a buffer (no pre- or post-inversion); slicing by eight.
KMRBase_API uint32_t Crc32Update(uint32_t crc_i, const void* data_i, size_t length_i);
// The common CRC-32 (start 0xFFFFFFFF, final complement) of a buffer.
KMRBase_API uint32_t Crc32(const void* data_i, size_t length_i);
// CRC-32 over the characters up to the terminating NUL; answers 0.
KMRBase_API uint32_t StringCrc32(const char* text_i, uint32_t& crc_o);

// CRC-32 over a whole file, differing only in how the file is read. Answer 0 or the
// errno of the failure; when the file cannot be opened crc is 0.
KMRBase_API uint32_t FileCrc32Win32(const char* file_i, uint32_t& crc_o);     // read(2), 4096-byte blocks
KMRBase_API uint32_t FileCrc32Streams(const char* file_i, uint32_t& crc_o);   // std::ifstream, 4096-byte blocks
KMRBase_API uint32_t FileCrc32Assembly(const char* file_i, uint32_t& crc_o);  // 4096-byte blocks, end-pointer loop
KMRBase_API uint32_t FileCrc32Filemap(const char* file_i, uint32_t& crc_o);   // mmap in views of 10 MiB
