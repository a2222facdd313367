// LEAIOTelegram: the base of the LEAIO input/output device frames, with their commands and checksum.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <memory>

// One owned LEAIO frame. The checksum is two bytes, each 0x40 OR six bits of the 16-bit
// byte sum, so neither can be taken for a marker or the 0x00 terminator.
// Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API LEAIOTelegram : public KMRAbstractTelegram
{
public:
    static constexpr unsigned char CMD_READTEMP = 0x35;
    static constexpr unsigned char CMD_READ_AD = 0x37;
    static constexpr unsigned char CMD_SWITCH_AD_ON_OFF = 0x38;
    static constexpr unsigned char CMD_READ_AD_ON_OFF_STATUS = 0x39;
    static constexpr unsigned char CMD_READLUM = 0x3c;
    static constexpr unsigned char CMD_READ_DI = 0x43;
    static constexpr unsigned char CMD_WRITE_DO = 0x44;
    static constexpr unsigned char CMD_READ_DI_INDEXED = 0x45;
    static constexpr unsigned char CMD_WRITE_DO_INDEXED = 0x46;

    static constexpr unsigned char RESPONSE_ADDRESS = 0x80;
    static constexpr unsigned char RESPONSE_TAG = 0x3C;
    static constexpr unsigned char TERMINATOR = 0x00;

    LEAIOTelegram(const LEAIOTelegram& other_i);
    LEAIOTelegram& operator=(const LEAIOTelegram& other_i);
    ~LEAIOTelegram() override;

    const unsigned char* GetTelegramStream() const override { return m_pTelegram.get(); }
    unsigned int GetSize() const override { return m_iTelegramLen; }
    unsigned int GetSequenceCnt() const override { return 0; }
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    bool IsExtendedTelegram() const override { return false; }
    bool IsBasicTelegram() const override { return true; }

    // Slot 29: the kind of a command by the class's table.
    virtual ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const = 0;
    // Slot 30.
    virtual unsigned short GetCount() const = 0;
    // Slot 31: ignores chk_i; true when p_i[n_i - 1] and p_i[n_i] are the high and low
    // checksum byte of p_i[0 .. n_i - 2] (for a frame of length L pass n_i = L - 2).
    virtual bool IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const;
    // Slot 32: false for the base and requests. Never throws.
    virtual bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);

    // High byte 0x40 | ((s >> 8) & 0x3F), low byte 0x40 | (s & 0x3F), s the 16-bit sum of p_i[0..len_i).
    static unsigned short CalcChecksum(const unsigned char* p_i, unsigned int len_i);
    // EGetCategoryValues when GetCmd() is one of the device's commands except CMD_READ_DI, else 0.
    ETelegram DetermineSendTelegramTypeFromCmd() const;

protected:
    explicit LEAIOTelegram(ETelegram eTelegram_i = ENone);

    // Replaces the frame with a copy of the bytes (null or 0 bytes: no frame).
    void _AssignFrame(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    unsigned char _ByteAt(unsigned int offset_i, unsigned char fallback_i) const
    {
        return offset_i < m_iTelegramLen ? m_pTelegram[offset_i] : fallback_i;
    }
    // Whether cmd_i reads or writes a category value (every command but CMD_READ_DI).
    static bool _IsCategoryCommand(unsigned char cmd_i);

    std::unique_ptr<unsigned char[]> m_pTelegram;
    uint32_t m_iTelegramLen = 0;
};
