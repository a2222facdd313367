// Test support for the XML tests: a scratch folder and small file helpers.
#pragma once

#include <KMRBase/KMRException.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kmrxml-XXXXXX").string();
        m_Path = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(m_Path); }

    // Writes the bytes into a file of the folder and answers its path.
    std::string Write(const std::string& name_i, const std::string& bytes_i) const
    {
        const std::string path = File(name_i);
        std::ofstream(path, std::ios::binary) << bytes_i;
        return path;
    }
    std::string File(const std::string& name_i) const { return m_Path + "/" + name_i; }
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

inline std::string ReadBytes(const std::string& path_i)
{
    std::ifstream file(path_i, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Runs the call and answers the details of the plausibility failure it throws.
template <typename Call>
std::string PlausibilityDetails(Call call_i)
{
    try
    {
        call_i();
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ("Plausibility", e.GetUserTitle());
        return e.GetDetails();
    }
    ADD_FAILURE() << "no exception";
    return std::string();
}
