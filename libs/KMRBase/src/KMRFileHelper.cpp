// KMRFileHelper on POSIX file calls.
#include <KMRBase/KMRFileHelper.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd_i) : m_iFd(fd_i) {}
    ~FileDescriptor()
    {
        if (m_iFd >= 0)
            ::close(m_iFd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_iFd; }
    bool Close()
    {
        const int fd = m_iFd;
        m_iFd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_iFd;
};

bool ReadAll(int fd_i, unsigned char* data_o, size_t size_i)
{
    size_t done = 0;
    while (done < size_i)
    {
        const ssize_t n = ::read(fd_i, data_o + done, size_i - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Opens the file and answers its size; -1 on failure.
long long OpenForRead(const KMRString& name_i, std::unique_ptr<FileDescriptor>& fd_o)
{
    fd_o = std::make_unique<FileDescriptor>(::open(name_i.GetString(), O_RDONLY | O_CLOEXEC));
    if (fd_o->Get() < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd_o->Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<long long>(info.st_size);
}

// Reads the whole file; allocates when *data_io is null, else fills the caller's
// array of capacity_i bytes.
bool ReadWhole(const KMRString& name_i, unsigned char** data_io, unsigned long long capacity_i,
               unsigned long long& size_o)
{
    std::unique_ptr<FileDescriptor> fd;
    const long long size = OpenForRead(name_i, fd);
    if (size <= 0 || static_cast<unsigned long long>(size) > std::numeric_limits<unsigned int>::max())
        return false;
    const bool allocate = *data_io == nullptr;
    if (!allocate && static_cast<unsigned long long>(size) > capacity_i)
        return false;
    std::unique_ptr<unsigned char[]> owned;
    unsigned char* target = *data_io;
    if (allocate)
    {
        owned.reset(new (std::nothrow) unsigned char[static_cast<size_t>(size)]);
        if (!owned)
            return false;
        target = owned.get();
    }
    if (!ReadAll(fd->Get(), target, static_cast<size_t>(size)))
        return false;
    if (allocate)
        *data_io = owned.release();
    size_o = static_cast<unsigned long long>(size);
    return true;
}

bool WriteAll(const KMRString& name_i, const unsigned char* data_i, size_t length_i)
{
    FileDescriptor fd(::open(name_i.GetString(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.Get() < 0)
        return false;
    size_t done = 0;
    while (done < length_i)
    {
        const ssize_t n = ::write(fd.Get(), data_i + done, length_i - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return ::fsync(fd.Get()) == 0 && fd.Close();
}
} // namespace

bool KMRFileHelper::ExistFile(const KMRString& name_i)
{
    FileDescriptor fd(::open(name_i.GetString(), O_RDONLY | O_CLOEXEC));
    return fd.Get() >= 0;
}

bool KMRFileHelper::DeleteFile(const KMRString& name_i)
{
    return ::unlink(name_i.GetString()) == 0;
}

bool KMRFileHelper::CreateDirectory(const KMRString& name_i)
{
    if (::mkdir(name_i.GetString(), 0755) == 0)
        return true;
    struct stat info {};
    return errno == EEXIST && ::stat(name_i.GetString(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool KMRFileHelper::WriteText(const KMRString& name_i, const KMRString& text_i)
{
    std::ofstream out(name_i.GetString(), std::ios::out | std::ios::trunc);
    if (!out)
        return false;
    out << text_i.GetString();
    out.close();
    return !out.fail();
}

bool KMRFileHelper::WriteData(const KMRString& name_i, const unsigned char* data_i, unsigned long length_i)
{
    if (data_i == nullptr && length_i > 0)
        return false;
    return WriteAll(name_i, data_i, length_i);
}

bool KMRFileHelper::ReadData(const KMRString& name_i, unsigned char** data_o, unsigned int& size_o)
{
    if (data_o == nullptr)
        return false;
    *data_o = nullptr;
    unsigned long long size = 0;
    if (!ReadWhole(name_i, data_o, 0, size))
        return false;
    size_o = static_cast<unsigned int>(size);
    return true;
}

bool KMRFileHelper::ReadData(const KMRString& name_i, unsigned char** data_io, unsigned long& size_io)
{
    if (data_io == nullptr)
        return false;
    unsigned long long size = 0;
    if (!ReadWhole(name_i, data_io, size_io, size))
        return false;
    size_io = static_cast<unsigned long>(size);
    return true;
}

bool KMRFileHelper::ReadData(const KMRString& name_i, unsigned char* data_o, unsigned int& size_io)
{
    if (data_o == nullptr)
        return false;
    unsigned long long size = 0;
    if (!ReadWhole(name_i, &data_o, size_io, size))
        return false;
    size_io = static_cast<unsigned int>(size);
    return true;
}

bool KMRFileHelper::ReadData(const KMRString& name_i, unsigned char* data_o, unsigned long& size_io)
{
    if (data_o == nullptr)
        return false;
    unsigned long long size = 0;
    if (!ReadWhole(name_i, &data_o, size_io, size))
        return false;
    size_io = static_cast<unsigned long>(size);
    return true;
}

void KMRFileHelper::FreeData(unsigned char* data_i)
{
    delete[] data_i;
}

bool KMRFileHelper::GetFileSize(const KMRString& name_i, unsigned long& size_o)
{
    struct stat info {};
    if (::stat(name_i.GetString(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size_o = static_cast<unsigned long>(info.st_size);
    return true;
}

bool KMRFileHelper::RenameFile(const KMRString& from_i, const KMRString& to_i)
{
    // Read everything first so a failing read never destroys the target.
    std::unique_ptr<FileDescriptor> fd;
    const long long size = OpenForRead(from_i, fd);
    if (size < 0)
        return false;
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[static_cast<size_t>(size) + 1]);
    if (!data || !ReadAll(fd->Get(), data.get(), static_cast<size_t>(size)))
        return false;
    ::unlink(to_i.GetString());
    return WriteAll(to_i, data.get(), static_cast<size_t>(size));
}

namespace
{
int LastSeparator(const KMRString& path_i)
{
    return std::max(path_i.ReverseFind('/'), path_i.ReverseFind('\\'));
}
} // namespace

KMRString KMRFileHelper::GetFileName(const KMRString& path_i)
{
    return path_i.Mid(LastSeparator(path_i) + 1);
}

KMRString KMRFileHelper::GetFolder(const KMRString& path_i)
{
    return path_i.Left(LastSeparator(path_i) + 1);
}

bool KMRFileHelper::DeleteAllFilesFromDirectory(const KMRString& directory_i)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory_i.GetString()), &::closedir);
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get()))
    {
        const std::string path = std::string(directory_i.GetString()) + "/" + entry->d_name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
            continue;
        if (::unlink(path.c_str()) != 0)
            return false;
    }
    return true;
}
