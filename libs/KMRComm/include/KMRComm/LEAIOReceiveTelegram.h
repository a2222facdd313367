// LEAIOReceiveTelegram: a response frame of the LEAIO input/output device and its splitter.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/LEAIOTelegram.h>

// A response: 80 3C, command, data, checksum high and low, 00. The device answers one
// request at a time, so the splitter takes the whole input as one response once its marker
// bytes fit; it checks neither a length nor the checksum (see IsChecksumCorrect).
// Thread safety: not locked; SplitTelegram reads only its arguments.
class KMRComm_API LEAIOReceiveTelegram : public LEAIOTelegram
{
public:
    // No frame.
    LEAIOReceiveTelegram();
    // Copies one response. Throws KMRCommException (telegram data) naming the marker byte
    // that is wrong, or KMRException (plausibility, details
    // "IsTelegramValid (pTelegram_i, iTelegramLen_i)") for fewer than 3 bytes.
    LEAIOReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    LEAIOReceiveTelegram(const LEAIOReceiveTelegram& other_i);
    LEAIOReceiveTelegram& operator=(const LEAIOReceiveTelegram& other_i);
    ~LEAIOReceiveTelegram() override;

    // Without a command byte: frame length - 5 (0 below 5 bytes) bytes from byte 2.
    unsigned short GetCountEx() const;
    unsigned int GetDataSizeEx() const { return GetCountEx(); }
    const unsigned char* GetDataEx() const;

    bool IsSuccessful() const override { return (GetFlags() & 0x01) != 0; }
    unsigned char GetAddr() const override { return _ByteAt(0, 0xFF); }
    unsigned char GetSubAddr() const override { return 0xFF; }
    unsigned char GetTag() const override { return 0; }
    unsigned char GetCmd() const override { return _ByteAt(2, 0); }
    // Frame length - 6 (0 below 6 bytes): the data bytes from byte 3.
    unsigned short GetCount() const override;
    const unsigned char* GetData() const override;
    unsigned int GetDataSize() const override { return GetCount(); }
    // Empty input: incomplete. A wrong marker byte (80, 3C, or the final 00 after at least
    // three bytes): invalid, consumed_o = position of the next 0x80 or the input length.
    // Otherwise complete with the whole input. Never throws.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    // True exactly when SplitTelegram answers complete. Never throws.
    bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i) override;
    // EOnGetCategoryValues for the device commands except CMD_READ_DI, else 0.
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;
    // Slot 33: 0.
    virtual unsigned char GetFlags() const { return 0; }

    // The wrong marker byte's text ("Address byte must be 0x80", "Tag byte must be 0x3C",
    // "CR byte must be 0x00"), "Telegram incomplete", or null for a complete response.
    static const char* FindTelegramDefect(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);

protected:
    // The first position at or after start_i that holds 0x80.
    static bool FindTelegramStart(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i, unsigned int start_i,
                                  unsigned int& pos_o);
    void InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
};
