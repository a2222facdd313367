// KMRUnknownTelegram: received bytes of a protocol the library does not interpret, passed on as they came.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <memory>

// Holds a copy of the bytes with no framing, checks or kind (kind 0); every chunk that
// arrives is one telegram. Header accessors answer 0. Thread safety: not locked.
class KMRComm_API KMRUnknownTelegram : public KMRAbstractTelegram
{
public:
    // Copies len_i bytes; null or 0 bytes give an empty telegram.
    KMRUnknownTelegram(const unsigned char* p_i = nullptr, unsigned int len_i = 0);
    KMRUnknownTelegram(const KMRUnknownTelegram& other_i);
    KMRUnknownTelegram& operator=(const KMRUnknownTelegram& other_i);
    ~KMRUnknownTelegram() override;

    const unsigned char* GetTelegramStream() const override { return m_pData.get(); }
    unsigned int GetSize() const override { return m_iLen; }
    bool IsSuccessful() const override { return true; }
    const unsigned char* GetData() const override { return m_pData.get(); }
    unsigned int GetDataSize() const override { return m_iLen; }
    unsigned char GetAddr() const override { return 0; }
    unsigned char GetSubAddr() const override { return 0; }
    unsigned char GetTag() const override { return 0; }
    unsigned char GetCmd() const override { return 0; }
    unsigned int GetSequenceCnt() const override { return 0; }
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    bool IsExtendedTelegram() const override { return false; }
    bool IsBasicTelegram() const override { return true; }
    // Everything that has arrived is one telegram: consumed_o = iTelegramLen_i; complete
    // unless there are no bytes (incomplete).
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;

    // Slots 29 to 31.
    virtual unsigned char GetCount() const { return 0; }
    virtual bool IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const;
    virtual bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);

private:
    std::unique_ptr<unsigned char[]> m_pData;
    uint32_t m_iLen = 0;
};
