// KCSendTelegram: a KelmarCom2 request frame (master to controller).
#pragma once

#include <KMRComm/KCTelegram.h>
#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>

class KCReceiveTelegram;

// A request: 5A A5, two address bytes, count, tag, Chk1, command, [sequence number,] data,
// Chk2. Count is the number of bytes from the command up to Chk2, so a request is
// count + 8 bytes long. Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API KCSendTelegram : public KCTelegram
{
public:
    static constexpr unsigned short MAX_SEQUENCEDATALEN = 125;
    static constexpr unsigned short MAX_SEQUENCEDATALENFIRMWARE = 128;
    static constexpr unsigned short BASIC_PLAIN_TELEGRAMLEN = 9;
    static constexpr unsigned short EXTENDED_PLAIN_TELEGRAMLEN = 11;
    // The most data one frame can carry: the count byte holds data + 1 (basic) or + 3 (extended).
    static constexpr unsigned int MAX_BASIC_DATALEN = 254;
    static constexpr unsigned int MAX_EXTENDED_DATALEN = 252;

    // No frame, kind 0.
    KCSendTelegram();
    // Builds a basic request; data_i may be null when len_i is 0 (null data with len_i > 0
    // leaves zero bytes). Throws KMRException (plausibility) when len_i > MAX_BASIC_DATALEN.
    KCSendTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char cmd_i,
                   const unsigned char* data_i, unsigned int len_i);
    // Copies a request frame. Throws KMRException (plausibility, details
    // "IsTelegramValid (pTelegram_i, iTelegramLen_i)") when the bytes are not a valid request.
    KCSendTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    KCSendTelegram(const KCSendTelegram& other_i);
    KCSendTelegram& operator=(const KCSendTelegram& other_i);
    ~KCSendTelegram() override;

    // Builds an extended request (sequence number seq_i, high byte first, before the data)
    // into a telegram without frame and answers true; answers false and changes nothing when
    // a frame is already held. Throws KMRException (plausibility) when len_i > MAX_EXTENDED_DATALEN.
    bool CreateExtendedTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                unsigned char cmd_i, unsigned short seq_i, const unsigned char* data_i,
                                unsigned int len_i);
    // Replaces the frame with a copy of the bytes, unchecked; the kind stays. Accessors stay
    // within the copied bytes even when they do not match their count.
    void SetTelegramStream(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    // The controller's plain answer to this request: same address, sub-address and command,
    // tag/flags = tag | 1 when accepted_i, status bytes 0, no data. Null when this request is
    // not valid. The caller owns the result.
    KCReceiveTelegram* CreateSRTResponse(bool accepted_i);

    // Writes tag_i as byte 5 and recomputes Chk1 (Chk2 stays valid); frames without a tag
    // byte are left alone.
    void ChangeBusyTag(unsigned char tag_i) override;
    bool IsSuccessful() const override { return true; }
    // Bytes 8 and 9 big-endian; 0xFFFF when the frame is shorter than 10 bytes.
    unsigned int GetSequenceCnt() const override;
    unsigned char GetTag() const override { return _ByteAt(5, 0xFF); }
    unsigned char GetCmd() const override { return _ByteAt(7, 0xFF); }
    unsigned char GetCount() const override { return _ByteAt(4, 0xFF); }
    const unsigned char* GetData() const override;
    unsigned int GetDataSize() const override;
    // Requests are not cut from streams: invalid, consumed_o = iTelegramLen_i.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i) override;
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;

    // Why the bytes are not a valid request (the first failing check's text and, when
    // type_o is given, its type), or null when they are valid. Never throws.
    static const char* FindTelegramDefect(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                          KMRCommExceptionType* type_o = nullptr);

    // Sequence arithmetic of content (125-byte) and firmware (128-byte) transfers.
    static unsigned short CalcNumberOfSequences(uint32_t size_i);
    static unsigned short CalcNumberOfSequencesFirmware(uint32_t size_i);
    // Bytes in the last sequence: a full sequence for exact multiples and for 0.
    static unsigned char CalcLastSequenceSize(uint32_t size_i);
    static unsigned char CalcLastSequenceSizeFirmware(uint32_t size_i);

protected:
    void InitializeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char cmd_i,
                            const unsigned char* data_i, unsigned int len_i);
    void InitializeExtendedTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                    unsigned char cmd_i, unsigned short seq_i, const unsigned char* data_i,
                                    unsigned int len_i);
    void InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
};
