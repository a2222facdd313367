// KC1BlockCPUTelegram: the base of the KC1 block-CPU request and response frames, with their command constants.
#pragma once

#include <KMRComm/KC1Frame.h>
#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

// A KC1 frame of a block-processor controller, owned by the telegram (layout in KC1Frame):
// KC1 with additional block commands. KC1 has no sub-address, no
// extended frames and never re-tags a request. Fields are read from the frame on demand and
// never beyond it. Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API KC1BlockCPUTelegram : public KMRAbstractTelegram
{
public:
    static constexpr unsigned char CMD_BLOCK_SENDPICTURE0 = 0x00;
    static constexpr unsigned char CMD_POLL = 0x10;
    static constexpr unsigned char CMD_SENDPICTURE = 0x11;
    static constexpr unsigned char CMD_STARTMESSAGE = 0x12;
    static constexpr unsigned char CMD_STOPMESSAGE = 0x15;
    static constexpr unsigned char CMD_GETLEDSTATUS = 0x16;
    static constexpr unsigned char CMD_GETMODULESTATUS = 0x17;
    static constexpr unsigned char CMD_GETINTENSITY = 0x18;
    static constexpr unsigned char CMD_SENDCONFIG = 0x1A;
    static constexpr unsigned char CMD_REQUESTLEDTEST = 0x26;
    static constexpr unsigned char CMD_GETCONFIG = 0x28;
    static constexpr unsigned char CMD_SETINTENSITY = 0x2A;
    static constexpr unsigned char CMD_GETMESSAGE = 0x33;
    static constexpr unsigned char CMD_GETPICTURE = 0xE1;
    // The block LED status and LED test requests share one command byte.
    static constexpr unsigned char CMD_BLOCK_GETLEDSTATUS = 0xF8;
    static constexpr unsigned char CMD_BLOCK_REQUESTLEDTEST = 0xF8;
    static constexpr unsigned char CMD_BLOCK_SETINTENSITY = 0xF9;
    static constexpr unsigned char CMD_BLOCK_SYNCPICTURE = 0xFA;

    KC1BlockCPUTelegram(const KC1BlockCPUTelegram& other_i) = default;
    KC1BlockCPUTelegram& operator=(const KC1BlockCPUTelegram& other_i) = default;
    ~KC1BlockCPUTelegram() override;

    const unsigned char* GetTelegramStream() const override { return m_Frame.Bytes(); }
    unsigned int GetSize() const override { return m_Frame.Size(); }
    unsigned char GetAddr() const override { return m_Frame.ByteAt(2, 0xFF); }
    // KC1 has no sub-address: the address byte again.
    unsigned char GetSubAddr() const override { return GetAddr(); }
    bool IsExtendedTelegram() const override { return false; }
    bool IsBasicTelegram() const override { return true; }

    // Slot 29: the telegram kind of a command by the family's table; 0 if none.
    virtual ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const = 0;
    // Slot 30: the 16-bit count at offsets 3 and 4.
    virtual unsigned short GetCount() const = 0;
    // Slot 31: CalcChecksum(p_i, n_i) == chk_i.
    virtual bool IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const;
    // Slot 32: whether the bytes are one valid frame of the class; never throws. The base
    // and requests answer false.
    virtual bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);

    // Two's complement of the 8-bit sum of p_i[0..n_i).
    static unsigned char CalcChecksum(const unsigned char* p_i, unsigned int n_i);
    // The request kind of a command: the table of the block-CPU commands above.
    static ETelegram GetRequestTelegramFromCmd(unsigned char cmd_i);
    // EPoll when GetCmd() is the poll command, else 0.
    ETelegram DetermineSendTelegramTypeFromCmd() const;

protected:
    explicit KC1BlockCPUTelegram(ETelegram eTelegram_i = ENone);

    KC1Frame m_Frame;
};
