// KCReceiveTelegram: a KelmarCom2 response frame (controller to master) and the response stream splitter.
#pragma once

#include <KMRComm/KCTelegram.h>
#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>

// A response: 5A A5, two address bytes, count, tag/flags, Status1, Error1, Error2, Chk1,
// command, [sequence number,] data, Chk2. Count is the number of bytes from the command up
// to Chk2, so a response is count + 11 bytes long. Thread safety: not locked; see
// KMRAbstractTelegram (SplitTelegram reads only its arguments and may run on a shared prototype).
class KMRComm_API KCReceiveTelegram : public KCTelegram
{
public:
    static constexpr unsigned short MAX_SEQUENCEDATALEN = 125;
    // The most data one frame can carry: the count byte holds data + 1 (basic) or + 3 (extended).
    static constexpr unsigned int MAX_BASIC_DATALEN = 254;
    static constexpr unsigned int MAX_EXTENDED_DATALEN = 252;

    // No frame, kind 0.
    KCReceiveTelegram();
    // Copies a response frame. Throws KMRException (plausibility, details
    // "IsTelegramValid (pTelegram_i, iTelegramLen_i)") when the bytes are not a valid response.
    KCReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    // Builds a basic response. Throws KMRException (plausibility) when len_i > MAX_BASIC_DATALEN.
    KCReceiveTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tagFlags_i, unsigned char status1_i,
                      unsigned char error1_i, unsigned char error2_i, unsigned char cmd_i, const unsigned char* data_i,
                      unsigned int len_i);
    // Builds an extended response: sequence number seq_i (high byte first), then the data.
    // Throws KMRException (plausibility) when len_i > MAX_EXTENDED_DATALEN.
    KCReceiveTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tagFlags_i, unsigned char status1_i,
                      unsigned char error1_i, unsigned char error2_i, unsigned char cmd_i, unsigned short seq_i,
                      const unsigned char* data_i, unsigned int len_i);
    KCReceiveTelegram(const KCReceiveTelegram& other_i);
    KCReceiveTelegram& operator=(const KCReceiveTelegram& other_i);
    ~KCReceiveTelegram() override;

    // The whole byte 5 (tag and flags); 0xFF without it.
    unsigned char GetTagFlags() const { return _ByteAt(5, 0xFF); }
    // The byte at offset 11 (Chk2 of a basic response without data); 0xFF without it.
    unsigned char GetChecksum() const { return _ByteAt(11, 0xFF); }
    // Writes Error2 when the frame has it, then recomputes Chk1 when the frame has it.
    void SetError2(unsigned char error2_i);

    // Flags bit 0: the controller accepted the request.
    bool IsSuccessful() const override { return (GetFlags() & 0x01) != 0; }
    // Status1 bit 7: the controller is busy.
    bool IsTelegramBusy() override { return (GetStatus1() & 0x80) != 0; }
    // Bytes 11 and 12 big-endian. Throws KMRCommException (telegram data) when the response
    // is not an extended one.
    unsigned int GetSequenceCnt() const override;
    // The request's tag: the high nibble of byte 5 (0xF0 without it).
    unsigned char GetTag() const override { return static_cast<unsigned char>(_ByteAt(5, 0xF0) & 0xF0); }
    unsigned char GetStatus1() const override { return _ByteAt(6, 0xFF); }
    unsigned char GetError1() const override { return _ByteAt(7, 0xFF); }
    unsigned char GetError2() const override { return _ByteAt(8, 0xFF); }
    unsigned char GetCmd() const override { return _ByteAt(10, 0xFF); }
    // The count byte. Throws KMRCommException (telegram data) when the frame has none.
    unsigned char GetCount() const override;
    const unsigned char* GetData() const override;
    unsigned int GetDataSize() const override;
    // Cuts the response at the start of a received byte stream; never throws.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;
    // Slot 33: the low nibble of byte 5 (0x0F without it); bit 0 = request accepted.
    virtual unsigned char GetFlags() const { return static_cast<unsigned char>(_ByteAt(5, 0x0F) & 0x0F); }

    // Why the bytes are not a valid response (the first failing check's text; the type is
    // always telegram data), or null when they are valid. Never throws.
    static const char* FindTelegramDefect(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                          KMRCommExceptionType* type_o = nullptr);
    // ceil(size_i / 125).
    static unsigned short CalcNrOfSequences(uint32_t size_i);

protected:
    bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i) override;
    // Position of the next "5A A5" at or after start_i, never 0; a 5A as the last byte is
    // not a start.
    static bool FindTelegramStart(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i, unsigned int start_i,
                                  unsigned int& pos_o);
    void RecalcChecksum1();
    void InitializeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tagFlags_i,
                            unsigned char status1_i, unsigned char error1_i, unsigned char error2_i,
                            unsigned char cmd_i, const unsigned char* data_i, unsigned int len_i);
    void InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
};
