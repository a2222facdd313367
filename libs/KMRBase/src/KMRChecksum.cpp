// CRC-16/ARC and CRC-32 over bytes, strings and files.
#include <KMRBase/KMRChecksum.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr size_t BLOCK = 4096;
constexpr size_t MAP_VIEW = 0xA00000; // 10 MiB

struct Crc16ArcTable
{
    std::array<uint16_t, 256> entry{};
    constexpr Crc16ArcTable()
    {
        for (unsigned i = 0; i < 256; ++i)
        {
            unsigned crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
            entry[i] = static_cast<uint16_t>(crc);
        }
    }
};
constexpr Crc16ArcTable CRC16 {};

// Sixteen tables for slicing by sixteen: table[k][b] is the register after feeding
// byte b followed by k zero bytes, so sixteen bytes cost sixteen independent
// lookups and no serial shifts between them.
struct Crc32Tables
{
    std::array<std::array<uint32_t, 256>, 16> t{};
    constexpr Crc32Tables()
    {
        for (unsigned i = 0; i < 256; ++i)
        {
            uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
            t[0][i] = crc;
        }
        for (unsigned i = 0; i < 256; ++i)
            for (unsigned k = 1; k < 16; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
    }
};
constexpr Crc32Tables CRC32 {};

uint32_t FileCrc16(const char* file_i, uint32_t& crc_o, uint32_t start_i)
{
    crc_o = start_i;
    const int fd = ::open(file_i, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return static_cast<uint32_t>(errno);
    uint8_t buffer[BLOCK];
    uint32_t crc = start_i;
    uint32_t result = 0;
    for (;;)
    {
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            result = static_cast<uint32_t>(errno);
            break;
        }
        if (n == 0)
            break;
        for (ssize_t i = 0; i < n; ++i)
            CalcCrc16(buffer[i], crc);
    }
    ::close(fd);
    crc_o = crc;
    return result;
}

// Reads the file with read(2); endLoop_i selects the end-pointer inner loop.
uint32_t FileCrc32Read(const char* file_i, uint32_t& crc_o, bool endLoop_i)
{
    crc_o = 0;
    const int fd = ::open(file_i, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return static_cast<uint32_t>(errno);
    uint8_t buffer[BLOCK];
    uint32_t crc = 0xFFFFFFFFu;
    uint32_t result = 0;
    for (;;)
    {
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            result = static_cast<uint32_t>(errno);
            break;
        }
        if (n == 0)
            break;
        if (endLoop_i)
        {
            const uint8_t* end = buffer + n;
            for (const uint8_t* p = buffer; p != end; ++p)
                crc = (crc >> 8) ^ CRC32.t[0][(crc ^ *p) & 0xFFu];
        }
        else
        {
            crc = Crc32Update(crc, buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    crc_o = ~crc;
    return result;
}
} // namespace

void CalcCrc16(uint8_t byte_i, uint32_t& crc_io)
{
    crc_io = CRC16.entry[(byte_i ^ crc_io) & 0xFFu] ^ ((crc_io >> 8) & 0xFFu);
}

uint32_t FileCrc16Win32(const char* file_i, uint32_t& crc_o)
{
    return FileCrc16(file_i, crc_o, 0xFFFF);
}

uint32_t FileCrc16Win32GP(const char* file_i, uint32_t& crc_o)
{
    return FileCrc16(file_i, crc_o, 0);
}

void CalcCrc32(uint8_t byte_i, uint32_t& crc_io)
{
    crc_io = (crc_io >> 8) ^ CRC32.t[0][(crc_io & 0xFFu) ^ byte_i];
}

uint32_t Crc32Update(uint32_t crc_i, const void* data_i, size_t length_i)
{
    const auto* p = static_cast<const uint8_t*>(data_i);
    uint32_t crc = crc_i;
    const auto& t = CRC32.t;
    while (length_i >= 16)
    {
        uint32_t w[4];
        std::memcpy(w, p, 16);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        for (uint32_t& word : w)
            word = __builtin_bswap32(word);
#endif
        w[0] ^= crc;
        crc = t[15][w[0] & 0xFF] ^ t[14][(w[0] >> 8) & 0xFF] ^ t[13][(w[0] >> 16) & 0xFF] ^ t[12][w[0] >> 24] ^
              t[11][w[1] & 0xFF] ^ t[10][(w[1] >> 8) & 0xFF] ^ t[9][(w[1] >> 16) & 0xFF] ^ t[8][w[1] >> 24] ^
              t[7][w[2] & 0xFF] ^ t[6][(w[2] >> 8) & 0xFF] ^ t[5][(w[2] >> 16) & 0xFF] ^ t[4][w[2] >> 24] ^
              t[3][w[3] & 0xFF] ^ t[2][(w[3] >> 8) & 0xFF] ^ t[1][(w[3] >> 16) & 0xFF] ^ t[0][w[3] >> 24];
        p += 16;
        length_i -= 16;
    }
    while (length_i-- > 0)
        crc = (crc >> 8) ^ t[0][(crc ^ *p++) & 0xFFu];
    return crc;
}

uint32_t Crc32(const void* data_i, size_t length_i)
{
    return ~Crc32Update(0xFFFFFFFFu, data_i, length_i);
}

uint32_t StringCrc32(const char* text_i, uint32_t& crc_o)
{
    crc_o = text_i != nullptr ? Crc32(text_i, std::strlen(text_i)) : 0;
    return 0;
}

uint32_t FileCrc32Win32(const char* file_i, uint32_t& crc_o)
{
    return FileCrc32Read(file_i, crc_o, false);
}

uint32_t FileCrc32Assembly(const char* file_i, uint32_t& crc_o)
{
    return FileCrc32Read(file_i, crc_o, true);
}

uint32_t FileCrc32Streams(const char* file_i, uint32_t& crc_o)
{
    crc_o = 0;
    std::ifstream in(file_i, std::ios::binary);
    if (!in)
        return static_cast<uint32_t>(errno != 0 ? errno : ENOENT);
    char buffer[BLOCK];
    uint32_t crc = 0xFFFFFFFFu;
    while (in)
    {
        in.read(buffer, sizeof(buffer));
        const std::streamsize n = in.gcount();
        if (n > 0)
            crc = Crc32Update(crc, buffer, static_cast<size_t>(n));
    }
    crc_o = ~crc;
    return in.bad() ? static_cast<uint32_t>(EIO) : 0;
}

uint32_t FileCrc32Filemap(const char* file_i, uint32_t& crc_o)
{
    crc_o = 0;
    const int fd = ::open(file_i, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return static_cast<uint32_t>(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0)
    {
        ::close(fd);
        return 24; // the size query failed
    }
    uint32_t crc = 0xFFFFFFFFu;
    uint32_t result = 0;
    const auto size = static_cast<size_t>(info.st_size);
    for (size_t offset = 0; offset < size; offset += MAP_VIEW)
    {
        const size_t view = std::min(MAP_VIEW, size - offset);
        void* map = ::mmap(nullptr, view, PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(offset));
        if (map == MAP_FAILED)
        {
            result = static_cast<uint32_t>(errno);
            break;
        }
        crc = Crc32Update(crc, map, view);
        ::munmap(map, view);
    }
    ::close(fd);
    // An empty file maps nothing and leaves crc 0 (the complement of the start value).
    crc_o = size == 0 ? 0 : ~crc;
    return result;
}
