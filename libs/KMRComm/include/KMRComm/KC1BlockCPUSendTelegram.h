// KC1BlockCPUSendTelegram: a KC1 block-CPU request frame (master to controller).
#pragma once

#include <KMRComm/KC1BlockCPUTelegram.h>
#include <KMRComm/KMRCommExport.h>

// A request: 5A A5, Addr, Count (2), Tag, Chk1, then for every command but the poll the
// command, the data and Chk2 (count = 1 + data bytes). A poll is the 7-byte header alone.
// Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API KC1BlockCPUSendTelegram : public KC1BlockCPUTelegram
{
public:
    // No frame, kind 0.
    KC1BlockCPUSendTelegram();
    // Builds a request with one data part; data_i may be null when len_i is 0 (null data with
    // len_i > 0 gives zero bytes). A poll ignores the data. Throws KMRException (plausibility)
    // when the data exceed KC1Frame::MAX_REQUEST_DATALEN.
    KC1BlockCPUSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const unsigned char* data_i,
                            unsigned int len_i);
    // Builds a request whose data are data1_i followed by data2_i; otherwise as above.
    KC1BlockCPUSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                            const unsigned char* data1_i, unsigned int len1_i, const unsigned char* data2_i,
                            unsigned int len2_i);
    // KC1 block-CPU requests are never parsed from bytes: an empty request whatever the bytes.
    KC1BlockCPUSendTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    KC1BlockCPUSendTelegram(const KC1BlockCPUSendTelegram& other_i);
    KC1BlockCPUSendTelegram& operator=(const KC1BlockCPUSendTelegram& other_i);
    ~KC1BlockCPUSendTelegram() override;

    // Replaces the frame with a new request (see the constructors).
    void InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                            const unsigned char* data1_i, unsigned int len1_i, const unsigned char* data2_i,
                            unsigned int len2_i);

    bool IsSuccessful() const override { return true; }
    unsigned int GetSequenceCnt() const override { return 0; }
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    // Offset 5; 0xFF without it.
    unsigned char GetTag() const override { return m_Frame.ByteAt(5, 0xFF); }
    // Offset 7; 0xFF without it (a poll has no command byte).
    unsigned char GetCmd() const override { return m_Frame.ByteAt(7, 0xFF); }
    // Offsets 3 and 4; 0x00FF without them.
    unsigned short GetCount() const override { return m_Frame.Count(0x00FF); }
    // Count - 1 bytes after the command, bounded by the frame; null / 0 when there are none.
    const unsigned char* GetData() const override { return m_Frame.RequestData(); }
    unsigned int GetDataSize() const override { return m_Frame.RequestDataSize(); }
    // Requests are not cut from streams: invalid, consumed_o = iTelegramLen_i.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;
};
