// KMRSimFileStore: writes what the simulated controller received into a directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// File names:
//   firmware-<n>.img   the n-th firmware image received complete (n counts from 1 per run)
//   content-<XXXX>.bin the content stored under the ID XXXX (four upper-case hex digits);
//                      a later upload to the same ID replaces it
// Each file is written under a temporary name and renamed, so a reader never sees half of it.
// Thread safety: not locked; the controller's notifications arrive on one thread at a time.
class KMRSimFileStore
{
public:
    // Creates the directory when it does not exist. Throws KMRException when it cannot.
    explicit KMRSimFileStore(std::filesystem::path directory_i);

    static std::string FirmwareFileName(std::size_t index_i);
    static std::string ContentFileName(uint16_t cid_i);

    // Both throw KMRException when the file cannot be written; the path written is returned.
    std::filesystem::path StoreFirmware(std::size_t index_i, const std::vector<uint8_t>& image_i) const;
    std::filesystem::path StoreContent(uint16_t cid_i, const std::vector<uint8_t>& content_i) const;

private:
    std::filesystem::path _Write(const std::string& name_i, const std::vector<uint8_t>& bytes_i) const;

    std::filesystem::path m_pathDirectory;
};
