// KMRSimFileStore: writes what the simulated controller received into a directory.
#include "KMRSim/KMRSimFileStore.h"

#include <KMRBase/KMRException.h>

#include <cstdio>
#include <fstream>
#include <system_error>

KMRSimFileStore::KMRSimFileStore(std::filesystem::path directory_i) : m_pathDirectory(std::move(directory_i))
{
    std::error_code error;
    std::filesystem::create_directories(m_pathDirectory, error);
    if (error || !std::filesystem::is_directory(m_pathDirectory))
    {
        KMR_THROW(KMR_EXC_RESSOURCE, "KMRSimFileStore::KMRSimFileStore",
                  ("cannot create directory " + m_pathDirectory.string() + ": " + error.message()).c_str());
    }
}

std::string KMRSimFileStore::FirmwareFileName(std::size_t index_i)
{
    return "firmware-" + std::to_string(index_i) + ".img";
}

std::string KMRSimFileStore::ContentFileName(uint16_t cid_i)
{
    char name[32];
    std::snprintf(name, sizeof(name), "content-%04X.bin", cid_i);
    return name;
}

std::filesystem::path KMRSimFileStore::StoreFirmware(std::size_t index_i, const std::vector<uint8_t>& image_i) const
{
    return _Write(FirmwareFileName(index_i), image_i);
}

std::filesystem::path KMRSimFileStore::StoreContent(uint16_t cid_i, const std::vector<uint8_t>& content_i) const
{
    return _Write(ContentFileName(cid_i), content_i);
}

std::filesystem::path KMRSimFileStore::_Write(const std::string& name_i, const std::vector<uint8_t>& bytes_i) const
{
    const std::filesystem::path target = m_pathDirectory / name_i;
    const std::filesystem::path temporary = m_pathDirectory / ("." + name_i + ".part");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes_i.data()), static_cast<std::streamsize>(bytes_i.size()));
        file.close();
        if (!file)
        {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            KMR_THROW(KMR_EXC_RESSOURCE, "KMRSimFileStore::_Write", ("cannot write " + temporary.string()).c_str());
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error)
    {
        KMR_THROW(KMR_EXC_RESSOURCE, "KMRSimFileStore::_Write",
                  ("cannot rename to " + target.string() + ": " + error.message()).c_str());
    }
    return target;
}
