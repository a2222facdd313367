// Helpers shared by the telegram tests: frame bytes as vectors and a scoped address-order setting.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRKCTelegramConfig.h>

#include <vector>

using Bytes = std::vector<unsigned char>;

// The raw frame of a telegram (empty when it has none).
inline Bytes FrameOf(const KMRAbstractTelegram& telegram_i)
{
    const unsigned char* p = telegram_i.GetTelegramStream();
    return p == nullptr ? Bytes() : Bytes(p, p + telegram_i.GetSize());
}

// The payload of a telegram (empty when it has none).
inline Bytes DataOf(const KMRAbstractTelegram& telegram_i)
{
    const unsigned char* p = telegram_i.GetData();
    return p == nullptr ? Bytes() : Bytes(p, p + telegram_i.GetDataSize());
}

inline Bytes Concat(Bytes first_i, const Bytes& second_i)
{
    first_i.insert(first_i.end(), second_i.begin(), second_i.end());
    return first_i;
}

// Sets the process-wide use-sub-address flag for one scope and restores it afterwards.
class UseSubAddressScope
{
public:
    explicit UseSubAddressScope(bool value_i)
        : m_bSaved(KMRKCTelegramConfig::GetKCTelegramConfig()->GetUseSubAddress())
    {
        KMRKCTelegramConfig::GetKCTelegramConfig()->SetUseSubAddress(value_i);
    }
    ~UseSubAddressScope() { KMRKCTelegramConfig::GetKCTelegramConfig()->SetUseSubAddress(m_bSaved); }
    UseSubAddressScope(const UseSubAddressScope&) = delete;
    UseSubAddressScope& operator=(const UseSubAddressScope&) = delete;

private:
    bool m_bSaved;
};
