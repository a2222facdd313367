// CRC check values and hexadecimal conversions.
#include <KMRBase/KMRChecksum.h>
#include <KMRBase/KMRCrc16.h>
#include <KMRBase/KMRHex.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const char CHECK[] = "123456789";

std::string WriteFile(const std::string& name_i, const std::string& content_i)
{
    const std::string path = ::testing::TempDir() + name_i;
    std::ofstream(path, std::ios::binary) << content_i;
    return path;
}

uint32_t BitwiseCrc32(const std::vector<uint8_t>& data_i)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : data_i)
    {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}
} // namespace

TEST(Crc, StandardCheckValues)
{
    uint32_t crc = 1;
    EXPECT_EQ(0u, StringCrc32(CHECK, crc));
    EXPECT_EQ(0xCBF43926u, crc);
    StringCrc32("", crc);
    EXPECT_EQ(0u, crc);

    const KMRCrc16 x25(KMRCrc16::CCITT);
    EXPECT_EQ(0x6E90, x25.Calculate(reinterpret_cast<const uint8_t*>(CHECK), 9, 0xFFFF, 0xFFFF));
    EXPECT_EQ(0x0000, x25.Calculate(nullptr, 0, 0xFFFF, 0xFFFF));
    EXPECT_EQ(0xFF00, x25.Calculate(nullptr, 0, 0x00FF, 0x0000));

    uint32_t arc = 0;
    for (const char* p = CHECK; *p; ++p)
        CalcCrc16(static_cast<uint8_t>(*p), arc);
    EXPECT_EQ(0xBB3Du, arc);
}

TEST(Crc, SlicedCrc32MatchesTheBitwiseDefinition)
{
    std::mt19937 random(42);
    for (size_t length : {0u, 1u, 7u, 8u, 9u, 63u, 4096u, 4099u})
    {
        std::vector<uint8_t> data(length);
        for (auto& b : data)
            b = static_cast<uint8_t>(random());
        // Start at an odd offset too: the sliced loop must not need alignment.
        EXPECT_EQ(BitwiseCrc32(data), Crc32(data.data(), data.size())) << length;
        uint32_t byByte = 0xFFFFFFFFu;
        for (uint8_t b : data)
            CalcCrc32(b, byByte);
        EXPECT_EQ(BitwiseCrc32(data), ~byByte) << length;
    }
    std::vector<uint8_t> shifted(CHECK, CHECK + 10);
    shifted.insert(shifted.begin(), 0);
    EXPECT_EQ(0xCBF43926u, Crc32(shifted.data() + 1, 9));
}

TEST(Crc, FilesGiveTheSameValueWhicheverWayTheyAreRead)
{
    const std::string check = WriteFile("crc_check.bin", CHECK);
    uint32_t crc = 0;
    EXPECT_EQ(0u, FileCrc16Win32(check.c_str(), crc));
    EXPECT_EQ(0x4B37u, crc);
    EXPECT_EQ(0u, FileCrc16Win32GP(check.c_str(), crc));
    EXPECT_EQ(0xBB3Du, crc);

    std::string big(3 * 4096 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + 7);
    const std::string bigFile = WriteFile("crc_big.bin", big);
    const uint32_t expected = Crc32(big.data(), big.size());
    using FileCrc = uint32_t (*)(const char*, uint32_t&);
    for (FileCrc f : {FileCrc32Win32, FileCrc32Streams, FileCrc32Assembly, FileCrc32Filemap})
    {
        crc = 0;
        EXPECT_EQ(0u, f(check.c_str(), crc));
        EXPECT_EQ(0xCBF43926u, crc);
        EXPECT_EQ(0u, f(bigFile.c_str(), crc));
        EXPECT_EQ(expected, crc);
        crc = 5;
        EXPECT_NE(0u, f("/nonexistent/crc.bin", crc));
        EXPECT_EQ(0u, crc);
    }
    const std::string empty = WriteFile("crc_empty.bin", "");
    crc = 5;
    EXPECT_EQ(0u, FileCrc32Filemap(empty.c_str(), crc));
    EXPECT_EQ(0u, crc);

    crc = 7;
    EXPECT_EQ(static_cast<uint32_t>(ENOENT), FileCrc16Win32("/nonexistent/crc.bin", crc));
    EXPECT_EQ(0xFFFFu, crc);
}

TEST(Hex, BothDirections)
{
    const unsigned char bytes[] = {0x0A, 0xFF};
    EXPECT_EQ("0A:FF", HexToString(bytes, 2, ":"));
    EXPECT_EQ("0AFF", HexToString(bytes, 2, nullptr));
    EXPECT_EQ("", HexToString(bytes, 0, ":"));

    unsigned char out[3] = {1, 2, 3};
    EXPECT_EQ(2u, StringToHex("0aFf", out, 2));
    EXPECT_EQ(0x0A, out[0]);
    EXPECT_EQ(0xFF, out[1]);
    EXPECT_EQ(3, out[2]);
    // Only complete pairs are converted; a non-digit stops the conversion.
    EXPECT_EQ(1u, StringToHex("123", out, 3));
    EXPECT_EQ(0x12, out[0]);
    EXPECT_EQ(1u, StringToHex("12zz34", out, 3));
}
