// LEAIOSendTelegram: a request frame to the LEAIO input/output device.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/LEAIOTelegram.h>

// A request: address byte (address - 0x50), tag, command, data, checksum high and low, 0x00.
// CMD_READLUM carries no data: its frame is always 6 bytes. Thread safety: not locked.
class KMRComm_API LEAIOSendTelegram : public LEAIOTelegram
{
public:
    // No frame.
    LEAIOSendTelegram();
    LEAIOSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i);
    LEAIOSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const unsigned char* data_i,
                      unsigned int len_i);
    LEAIOSendTelegram(const LEAIOSendTelegram& other_i);
    LEAIOSendTelegram& operator=(const LEAIOSendTelegram& other_i);
    ~LEAIOSendTelegram() override;

    // Builds the request frame (replacing any held one); null data with len_i > 0 gives zero
    // bytes. The kind becomes DetermineTelegramFromCmd(cmd_i).
    void InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const unsigned char* data_i,
                            unsigned int len_i);
    void InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i);

    bool IsSuccessful() const override { return true; }
    // Byte 0 (the address as sent) when the frame has at least 3 bytes, else 0xFF.
    unsigned char GetAddr() const override { return m_iTelegramLen >= 3 ? m_pTelegram[0] : 0xFF; }
    unsigned char GetSubAddr() const override { return GetAddr(); }
    unsigned char GetCmd() const override { return m_iTelegramLen >= 3 ? m_pTelegram[2] : 0xFF; }
    unsigned char GetTag() const override { return m_iTelegramLen >= 6 ? m_pTelegram[1] : 0xFF; }
    // Frame length - 4 (tag, command and data) when the frame has at least 5 bytes, else 0x00FF.
    unsigned short GetCount() const override;
    // Tag, command and data: GetCount() bytes from byte 1 (null when there are none).
    const unsigned char* GetData() const override;
    unsigned int GetDataSize() const override;
    // Requests are not cut from streams: invalid, consumed_o = iTelegramLen_i.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    // EGetCategoryValues for the device commands except CMD_READTEMP and CMD_READ_DI, else 0.
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;
};
