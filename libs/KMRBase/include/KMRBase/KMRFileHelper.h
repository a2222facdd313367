// KMRFileHelper: static file operations that answer true or false and never throw.
#pragma once

#include <KMRBase/KMRBaseExport.h>
#include <KMRBase/KMRString.h>

// Every operation answers true on success and false on any failure; none throws.
// Thread safety: no shared state; concurrent calls on different files are fine.
class KMRBase_API KMRFileHelper
{
public:
    // True when the file can be opened for reading.
    static bool ExistFile(const KMRString& name_i);
    static bool DeleteFile(const KMRString& name_i);
    // An already existing directory counts as success.
    static bool CreateDirectory(const KMRString& name_i);
    // Writes text into a new or truncated file.
    static bool WriteText(const KMRString& name_i, const KMRString& text_i);
    // Creates or overwrites the file with length_i bytes and flushes it to the disk.
    static bool WriteData(const KMRString& name_i, const unsigned char* data_i, unsigned long length_i);

    // Reads the whole file into a newly allocated array (free with FreeData) stored in *data_o.
    // An empty file is a failure; on failure *data_o is null.
    static bool ReadData(const KMRString& name_i, unsigned char** data_o, unsigned int& size_o);
    // As above when *data_io is null. Otherwise *data_io is the caller's array and
    // size_io holds its capacity on entry: a file larger than that fails and leaves
    // the array untouched. On success size_io is the file size.
    static bool ReadData(const KMRString& name_i, unsigned char** data_io, unsigned long& size_io);
    // Reads the whole file into the caller's array; size_io holds its capacity on
    // entry (a larger file fails, nothing written) and the file size on success.
    static bool ReadData(const KMRString& name_i, unsigned char* data_o, unsigned int& size_io);
    static bool ReadData(const KMRString& name_i, unsigned char* data_o, unsigned long& size_io);
    // Frees an array allocated by ReadData; null is ignored.
    static void FreeData(unsigned char* data_i);

    static bool GetFileSize(const KMRString& name_i, unsigned long& size_o);
    // Copies from_i to to_i (an existing to_i is replaced); from_i stays in place.
    static bool RenameFile(const KMRString& from_i, const KMRString& to_i);
    // Deletes the plain files of a directory (not its sub-directories); stops at the
    // first failure. False when a deletion failed or the directory cannot be listed.
    static bool DeleteAllFilesFromDirectory(const KMRString& directory_i);

    // Path parts, with '/' and '\' both as separators (paths from Windows-made scripts
    // keep working): the file name after the last separator, and the folder up to and
    // including it (empty when there is none).
    static KMRString GetFileName(const KMRString& path_i);
    static KMRString GetFolder(const KMRString& path_i);
};
