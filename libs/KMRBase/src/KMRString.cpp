// KMRString: copy-on-write 8-bit string over a shared std::string.
#include <KMRBase/KMRString.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace
{
const std::string& EmptyStd()
{
    static const std::string empty;
    return empty;
}

int Clamp(int value_i, int low_i, int high_i)
{
    return std::max(low_i, std::min(value_i, high_i));
}

bool IsSpace(char ch_i)
{
    return std::isspace(static_cast<unsigned char>(ch_i)) != 0;
}
} // namespace

KMRString::KMRString(const char* text_i)
{
    if (text_i != nullptr && *text_i != '\0')
        m_pData = std::make_shared<std::string>(text_i);
}

KMRString::KMRString(const char* text_i, int length_i)
{
    if (text_i != nullptr && length_i > 0)
        m_pData = std::make_shared<std::string>(text_i, static_cast<size_t>(length_i));
}

KMRString::KMRString(const std::string& text_i)
{
    if (!text_i.empty())
        m_pData = std::make_shared<std::string>(text_i);
}

KMRString::KMRString(char ch_i, int count_i)
{
    if (count_i > 0)
        m_pData = std::make_shared<std::string>(static_cast<size_t>(count_i), ch_i);
}

KMRString& KMRString::operator=(const char* text_i)
{
    *this = KMRString(text_i);
    return *this;
}

std::string& KMRString::_Writable()
{
    if (!m_pData)
        m_pData = std::make_shared<std::string>();
    else if (m_pData.use_count() > 1)
        m_pData = std::make_shared<std::string>(*m_pData);
    return *m_pData;
}

bool KMRString::IsShared() const
{
    return m_pData && m_pData.use_count() > 1;
}

int KMRString::GetLength() const
{
    return m_pData ? static_cast<int>(m_pData->size()) : 0;
}

bool KMRString::IsEmpty() const
{
    return GetLength() == 0;
}

void KMRString::Empty()
{
    m_pData.reset();
}

const char* KMRString::GetString() const
{
    return m_pData ? m_pData->c_str() : "";
}

std::string KMRString::ToStdString() const
{
    return m_pData ? *m_pData : EmptyStd();
}

char KMRString::GetAt(int index_i) const
{
    if (index_i < 0 || index_i >= GetLength())
        return '\0';
    return (*m_pData)[static_cast<size_t>(index_i)];
}

void KMRString::SetAt(int index_i, char ch_i)
{
    if (index_i < 0 || index_i >= GetLength())
        return;
    _Writable()[static_cast<size_t>(index_i)] = ch_i;
}

int KMRString::Compare(const char* text_i) const
{
    return std::strcmp(GetString(), text_i != nullptr ? text_i : "");
}

int KMRString::CompareNoCase(const char* text_i) const
{
    return ::strcasecmp(GetString(), text_i != nullptr ? text_i : "");
}

KMRString& KMRString::operator+=(const KMRString& text_i)
{
    if (!text_i.IsEmpty())
    {
        // Copy first: text_i may share our buffer, and _Writable may reallocate it.
        const std::string tail = text_i.ToStdString();
        _Writable() += tail;
    }
    return *this;
}

KMRString& KMRString::operator+=(const char* text_i)
{
    if (text_i != nullptr && *text_i != '\0')
    {
        const std::string tail(text_i);
        _Writable() += tail;
    }
    return *this;
}

KMRString& KMRString::operator+=(char ch_i)
{
    _Writable() += ch_i;
    return *this;
}

void KMRString::FormatV(const char* format_i, va_list args_i)
{
    if (format_i == nullptr)
    {
        Empty();
        return;
    }
    va_list copy;
    va_copy(copy, args_i);
    const int needed = std::vsnprintf(nullptr, 0, format_i, copy);
    va_end(copy);
    if (needed <= 0)
    {
        Empty();
        return;
    }
    std::string result(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(result.data(), result.size(), format_i, args_i);
    result.resize(static_cast<size_t>(needed));
    m_pData = std::make_shared<std::string>(std::move(result));
}

void KMRString::Format(const char* format_i, ...)
{
    va_list args;
    va_start(args, format_i);
    FormatV(format_i, args);
    va_end(args);
}

void KMRString::AppendFormat(const char* format_i, ...)
{
    KMRString tail;
    va_list args;
    va_start(args, format_i);
    tail.FormatV(format_i, args);
    va_end(args);
    *this += tail;
}

KMRString KMRString::Formatted(const char* format_i, ...)
{
    KMRString result;
    va_list args;
    va_start(args, format_i);
    result.FormatV(format_i, args);
    va_end(args);
    return result;
}

int KMRString::Find(char ch_i, int start_i) const
{
    if (start_i < 0 || start_i >= GetLength())
        return -1;
    const size_t pos = m_pData->find(ch_i, static_cast<size_t>(start_i));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int KMRString::Find(const char* sub_i, int start_i) const
{
    if (sub_i == nullptr || start_i < 0 || start_i > GetLength())
        return -1;
    const size_t pos = ToStdString().find(sub_i, static_cast<size_t>(start_i));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int KMRString::ReverseFind(char ch_i) const
{
    if (!m_pData)
        return -1;
    const size_t pos = m_pData->rfind(ch_i);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int KMRString::FindOneOf(const char* chars_i) const
{
    if (!m_pData || chars_i == nullptr || *chars_i == '\0')
        return -1;
    const size_t pos = m_pData->find_first_of(chars_i);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int KMRString::Replace(char old_i, char new_i)
{
    if (!m_pData || old_i == new_i || m_pData->find(old_i) == std::string::npos)
        return 0;
    std::string& s = _Writable();
    int count = 0;
    for (char& c : s)
        if (c == old_i)
        {
            c = new_i;
            ++count;
        }
    return count;
}

int KMRString::Replace(const char* old_i, const char* new_i)
{
    if (!m_pData || old_i == nullptr || *old_i == '\0')
        return 0;
    const std::string from(old_i);
    const std::string to(new_i != nullptr ? new_i : "");
    if (m_pData->find(from) == std::string::npos)
        return 0;
    std::string result;
    int count = 0;
    size_t pos = 0;
    const std::string& s = *m_pData;
    for (size_t hit = s.find(from); hit != std::string::npos; hit = s.find(from, pos))
    {
        result.append(s, pos, hit - pos);
        result += to;
        pos = hit + from.size();
        ++count;
    }
    result.append(s, pos, std::string::npos);
    *this = KMRString(result);
    return count;
}

int KMRString::Remove(char ch_i)
{
    if (!m_pData || m_pData->find(ch_i) == std::string::npos)
        return 0;
    std::string& s = _Writable();
    const size_t before = s.size();
    s.erase(std::remove(s.begin(), s.end(), ch_i), s.end());
    return static_cast<int>(before - s.size());
}

int KMRString::Insert(int index_i, const char* text_i)
{
    if (text_i != nullptr && *text_i != '\0')
    {
        const std::string text(text_i);
        const int at = Clamp(index_i, 0, GetLength());
        _Writable().insert(static_cast<size_t>(at), text);
    }
    return GetLength();
}

int KMRString::Delete(int index_i, int count_i)
{
    const int length = GetLength();
    if (index_i < 0 || index_i >= length || count_i <= 0)
        return length;
    _Writable().erase(static_cast<size_t>(index_i), static_cast<size_t>(count_i));
    return GetLength();
}

KMRString KMRString::Mid(int first_i) const
{
    return Mid(first_i, GetLength());
}

KMRString KMRString::Mid(int first_i, int count_i) const
{
    const int length = GetLength();
    const int first = Clamp(first_i, 0, length);
    const int count = Clamp(count_i, 0, length - first);
    if (first == 0 && count == length)
        return *this;
    return KMRString(GetString() + first, count);
}

KMRString KMRString::Left(int count_i) const
{
    return Mid(0, count_i);
}

KMRString KMRString::Right(int count_i) const
{
    const int count = Clamp(count_i, 0, GetLength());
    return Mid(GetLength() - count, count);
}

KMRString& KMRString::MakeUpper()
{
    if (!IsEmpty())
        for (char& c : _Writable())
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

KMRString& KMRString::MakeLower()
{
    if (!IsEmpty())
        for (char& c : _Writable())
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

KMRString& KMRString::Trim()
{
    return TrimRight().TrimLeft();
}

KMRString& KMRString::TrimLeft()
{
    const std::string s = ToStdString();
    size_t first = 0;
    while (first < s.size() && IsSpace(s[first]))
        ++first;
    if (first > 0)
        *this = KMRString(s.substr(first));
    return *this;
}

KMRString& KMRString::TrimRight()
{
    const std::string s = ToStdString();
    size_t end = s.size();
    while (end > 0 && IsSpace(s[end - 1]))
        --end;
    if (end < s.size())
        *this = KMRString(s.substr(0, end));
    return *this;
}

char* KMRString::GetBuffer(int minLength_i)
{
    std::string& s = _Writable();
    if (minLength_i > 0 && s.size() < static_cast<size_t>(minLength_i))
        s.resize(static_cast<size_t>(minLength_i), '\0');
    return s.data();
}

void KMRString::ReleaseBuffer(int newLength_i)
{
    if (!m_pData)
        return;
    std::string& s = _Writable();
    size_t length = newLength_i < 0 ? std::strlen(s.c_str()) : static_cast<size_t>(newLength_i);
    s.resize(std::min(length, s.size()));
    if (s.empty())
        m_pData.reset();
}

KMRString operator+(const KMRString& a_i, const KMRString& b_i)
{
    KMRString result(a_i);
    result += b_i;
    return result;
}

KMRString operator+(const KMRString& a_i, const char* b_i)
{
    KMRString result(a_i);
    result += b_i;
    return result;
}

KMRString operator+(const char* a_i, const KMRString& b_i)
{
    KMRString result(a_i);
    result += b_i;
    return result;
}

KMRString operator+(const KMRString& a_i, char b_i)
{
    KMRString result(a_i);
    result += b_i;
    return result;
}
