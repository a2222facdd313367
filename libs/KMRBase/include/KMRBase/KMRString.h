// KMRString: the 8-bit character string used on every library interface.
#pragma once

#include <KMRBase/KMRBaseExport.h>

#include <cstdarg>
#include <memory>
#include <string>

// An 8-bit string value type. Copies are cheap: they share one reference-counted
// buffer, and the first modification of a shared buffer copies it (copy on write).
//
// Encoding: on Linux the narrow encoding is the locale's, that is UTF-8. Lengths
// and positions count bytes, not characters; case conversion touches ASCII only.
//
// Thread safety: distinct objects may be used from different threads even when
// they share a buffer (the reference count is atomic). One object must not be
// modified by one thread while another thread reads or modifies it.
class KMRBase_API KMRString
{
public:
    KMRString() = default;
    KMRString(const char* text_i);                  // null is the empty string
    KMRString(const char* text_i, int length_i);    // takes exactly length_i bytes (may hold NULs)
    KMRString(const std::string& text_i);
    KMRString(char ch_i, int count_i);
    KMRString(const KMRString&) = default;
    KMRString(KMRString&&) noexcept = default;
    KMRString& operator=(const KMRString&) = default;
    KMRString& operator=(KMRString&&) noexcept = default;
    KMRString& operator=(const char* text_i);
    ~KMRString() = default;

    int GetLength() const;
    bool IsEmpty() const;
    void Empty();

    // Never null; valid until the next modification of this object.
    const char* GetString() const;
    operator const char*() const { return GetString(); }
    std::string ToStdString() const;

    // Out-of-range positions read as '\0' and are ignored by SetAt.
    char GetAt(int index_i) const;
    void SetAt(int index_i, char ch_i);

    int Compare(const char* text_i) const;          // <0, 0, >0 like strcmp
    int CompareNoCase(const char* text_i) const;    // ASCII case-insensitive

    KMRString& operator+=(const KMRString& text_i);
    KMRString& operator+=(const char* text_i);
    KMRString& operator+=(char ch_i);

    // printf-style formatting; replaces (Format) or appends to (AppendFormat) the contents.
    void Format(const char* format_i, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* format_i, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format_i, va_list args_i);
    static KMRString Formatted(const char* format_i, ...) __attribute__((format(printf, 1, 2)));

    // Searches answer the byte position or -1.
    int Find(char ch_i, int start_i = 0) const;
    int Find(const char* sub_i, int start_i = 0) const;
    int ReverseFind(char ch_i) const;
    int FindOneOf(const char* chars_i) const;

    // Replace every occurrence; answers the number of replacements.
    int Replace(char old_i, char new_i);
    int Replace(const char* old_i, const char* new_i);
    int Remove(char ch_i);
    int Insert(int index_i, const char* text_i);    // answers the new length
    int Delete(int index_i, int count_i = 1);       // answers the new length

    // Sub-strings; positions and counts are clamped to the string.
    KMRString Mid(int first_i) const;
    KMRString Mid(int first_i, int count_i) const;
    KMRString Left(int count_i) const;
    KMRString Right(int count_i) const;

    KMRString& MakeUpper();
    KMRString& MakeLower();
    KMRString& Trim();
    KMRString& TrimLeft();
    KMRString& TrimRight();

    // Direct writing: GetBuffer makes the buffer private, at least minLength_i
    // bytes long plus a terminator; ReleaseBuffer sets the length (-1: up to the first NUL).
    char* GetBuffer(int minLength_i);
    void ReleaseBuffer(int newLength_i = -1);

    // True when this object shares its buffer with another (for tests of copy on write).
    bool IsShared() const;

private:
    std::string& _Writable();

    // Null stands for the empty string, so default construction allocates nothing.
    std::shared_ptr<std::string> m_pData;
};

KMRBase_API KMRString operator+(const KMRString& a_i, const KMRString& b_i);
KMRBase_API KMRString operator+(const KMRString& a_i, const char* b_i);
KMRBase_API KMRString operator+(const char* a_i, const KMRString& b_i);
KMRBase_API KMRString operator+(const KMRString& a_i, char b_i);

inline bool operator==(const KMRString& a_i, const KMRString& b_i) { return a_i.Compare(b_i) == 0 && a_i.GetLength() == b_i.GetLength(); }
inline bool operator==(const KMRString& a_i, const char* b_i) { return a_i.Compare(b_i) == 0; }
inline bool operator==(const char* a_i, const KMRString& b_i) { return b_i.Compare(a_i) == 0; }
inline bool operator!=(const KMRString& a_i, const KMRString& b_i) { return !(a_i == b_i); }
inline bool operator!=(const KMRString& a_i, const char* b_i) { return !(a_i == b_i); }
inline bool operator!=(const char* a_i, const KMRString& b_i) { return !(a_i == b_i); }
inline bool operator<(const KMRString& a_i, const KMRString& b_i) { return a_i.Compare(b_i) < 0; }
inline bool operator>(const KMRString& a_i, const KMRString& b_i) { return a_i.Compare(b_i) > 0; }
inline bool operator<=(const KMRString& a_i, const KMRString& b_i) { return a_i.Compare(b_i) <= 0; }
inline bool operator>=(const KMRString& a_i, const KMRString& b_i) { return a_i.Compare(b_i) >= 0; }
