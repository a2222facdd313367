// KC1ReceiveTelegram: a KC1 response frame (controller to master) and the response stream splitter.
#pragma once

#include <KMRComm/KC1Telegram.h>
#include <KMRComm/KMRCommExport.h>

// A response: 5A A5, Addr, Count (2), Tag/Flags, Status1, Error1, Chk1, then count data
// bytes and Chk2 when count > 0. Responses carry no command and no kind. Every field read
// answers 0xFF (masked like the field) when the frame does not hold the byte.
// Thread safety: not locked; SplitTelegram reads only its arguments and may run on a
// shared prototype.
class KMRComm_API KC1ReceiveTelegram : public KC1Telegram
{
public:
    // No frame.
    KC1ReceiveTelegram();
    // Copies one response frame. Throws KMRException (plausibility, details
    // "IsTelegramValid (pTelegram_i, iTelegramLen_i)") unless the bytes are exactly one
    // valid response.
    KC1ReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    KC1ReceiveTelegram(const KC1ReceiveTelegram& other_i);
    KC1ReceiveTelegram& operator=(const KC1ReceiveTelegram& other_i);
    ~KC1ReceiveTelegram() override;

    // The whole byte 5 (tag and flags); 0xFF without it.
    unsigned char GetTagFlags() const { return m_Frame.ByteAt(5, 0xFF); }

    // Flags bit 0: the controller accepted the request.
    bool IsSuccessful() const override { return (GetFlags() & 0x01) != 0; }
    unsigned int GetSequenceCnt() const override { return 0; }
    // The request's tag: the high nibble of byte 5.
    unsigned char GetTag() const override { return static_cast<unsigned char>(m_Frame.ByteAt(5, 0xFF) & 0xF0); }
    unsigned char GetStatus1() const override { return m_Frame.ByteAt(6, 0xFF); }
    unsigned char GetError1() const override { return m_Frame.ByteAt(7, 0xFF); }
    unsigned char GetError2() const override { return 0; }
    // Responses carry no command byte.
    unsigned char GetCmd() const override { return 0; }
    // Offsets 3 and 4. Throws KMRCommException (telegram data) when the frame has fewer
    // than 5 bytes.
    unsigned short GetCount() const override;
    // The count data bytes from offset 9, bounded by the frame (0 / null without a count).
    const unsigned char* GetData() const override { return m_Frame.ResponseData(); }
    unsigned int GetDataSize() const override { return m_Frame.ResponseDataSize(); }
    // Cuts the response at the start of a received byte stream; never throws.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    // True when the bytes are exactly one valid response; never throws.
    bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i) override;
    // KC1 responses have no kind: 0.
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;
    // Slot 33: the low nibble of byte 5; bit 0 = request accepted.
    virtual unsigned char GetFlags() const { return static_cast<unsigned char>(m_Frame.ByteAt(5, 0xFF) & 0x0F); }

protected:
    // Position of the next "5A A5" at or after start_i, never 0.
    static bool FindTelegramStart(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i, unsigned int start_i,
                                  unsigned int& pos_o);
    void InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
};
