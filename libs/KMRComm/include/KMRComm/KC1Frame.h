// KC1Frame: the frame bytes and frame rules shared by the KC1 and KC1 block-CPU telegram families.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <memory>

// One owned KC1 frame with the rules both KC1 families share: building a request, cutting a
// response from a byte stream and reading fields without ever leaving the frame.
//
// Request:  5A A5, Addr, Count (2, high first), Tag, Chk1, [Cmd, Data, Chk2]. A poll is the
//           7-byte header alone with count 0; any other request has count = 1 + data bytes.
// Response: 5A A5, Addr, Count (2, high first), Tag/Flags, Status1, Error1, Chk1, [Data, Chk2].
//           Count is the number of data bytes; without data the frame ends after Chk1.
// Checksums are those of KelmarCom2: covered bytes and checksum sum to 0 modulo 256.
// A value type; copies copy the bytes. Thread safety: not locked.
class KMRComm_API KC1Frame
{
public:
    static constexpr unsigned char SYNC1 = 0x5A;
    static constexpr unsigned char SYNC2 = 0xA5;
    static constexpr unsigned int REQUEST_HEADER_LEN = 7;
    static constexpr unsigned int RESPONSE_HEADER_LEN = 9;
    // The 16-bit count of a request holds data + 1.
    static constexpr unsigned int MAX_REQUEST_DATALEN = 0xFFFE;

    KC1Frame() = default;
    KC1Frame(const KC1Frame& other_i);
    KC1Frame& operator=(const KC1Frame& other_i);
    KC1Frame(KC1Frame&&) noexcept = default;
    KC1Frame& operator=(KC1Frame&&) noexcept = default;
    ~KC1Frame() = default;

    const unsigned char* Bytes() const { return m_pTelegram.get(); }
    unsigned int Size() const { return m_iTelegramLen; }
    bool IsEmpty() const { return m_iTelegramLen == 0; }
    // Replaces the frame with a copy of the bytes (null or 0 bytes: no frame).
    void Assign(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    // The byte at offset_i, or fallback_i when the frame is shorter.
    unsigned char ByteAt(unsigned int offset_i, unsigned char fallback_i) const
    {
        return offset_i < m_iTelegramLen ? m_pTelegram[offset_i] : fallback_i;
    }

    // Builds a request whose data are data1_i then data2_i (a null part with a non-zero length
    // gives zero bytes). A poll (bPoll_i) carries no command and no data: its data arguments
    // are ignored and it is always 7 bytes with count 0. Throws KMRException (plausibility,
    // where where_i) when the data exceed MAX_REQUEST_DATALEN.
    void BuildRequest(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, bool bPoll_i,
                      const unsigned char* data1_i, unsigned int len1_i, const unsigned char* data2_i,
                      unsigned int len2_i, const char* where_i);

    // The count at offsets 3 and 4; fallback_i when the frame has fewer than 5 bytes.
    unsigned short Count(unsigned short fallback_i) const;
    // Request payload: count - 1 bytes after the command, bounded by the frame.
    unsigned int RequestDataSize() const;
    const unsigned char* RequestData() const;
    // Response payload: count bytes from offset 9, bounded by the frame.
    unsigned int ResponseDataSize() const;
    const unsigned char* ResponseData() const;

    // Cuts the response at the start of a received stream (contract of SplitTelegram); never throws.
    static ETelegramState SplitResponse(const unsigned char* p_i, unsigned int len_i, unsigned int& consumed_o);
    // Why the bytes are not exactly one valid response, or null when they are. Never throws.
    static const char* FindResponseDefect(const unsigned char* p_i, unsigned int len_i);
    // Position of the next "5A A5" at or after start_i, never 0.
    static bool FindTelegramStart(const unsigned char* p_i, unsigned int len_i, unsigned int start_i,
                                  unsigned int& pos_o);

private:
    unsigned int _Bounded(unsigned int offset_i, unsigned int size_i) const;

    std::unique_ptr<unsigned char[]> m_pTelegram;
    uint32_t m_iTelegramLen = 0;
};
