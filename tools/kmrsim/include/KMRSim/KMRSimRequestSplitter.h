// KMRSimRequestSplitter: cuts request frames off a received byte stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A stream of request frames (a serial line or a pseudo-terminal) arrives in arbitrary
// pieces. The splitter keeps what has arrived and hands out each complete frame whose two
// checksums are right; bytes that cannot start a frame are skipped up to the next 5A A5.
// The request frame class offers no stream splitter of its own (requests are only parsed
// from whole frames there), so the controller side needs this one.
// Thread safety: not locked; one reader thread owns it.
class KMRSimRequestSplitter
{
public:
    enum class EState
    {
        Complete,   // a frame starts at the first byte; consumed = its length
        Incomplete, // more bytes are needed
        Invalid     // no frame starts at the first byte; consumed = bytes to skip (> 0)
    };

    // Examines the start of p_i[0..len_i); never reads beyond it.
    static EState Split(const uint8_t* p_i, std::size_t len_i, std::size_t& consumed_o);

    // Appends received bytes.
    void Append(const uint8_t* p_i, std::size_t len_i);
    // Moves the next complete frame into frame_o and answers true; false when none is
    // complete yet. Skipped bytes are counted in GetSkippedBytes.
    bool Next(std::vector<uint8_t>& frame_o);
    std::size_t GetSkippedBytes() const { return m_uiSkipped; }
    std::size_t GetPendingBytes() const { return m_vecBuffer.size(); }

    // A buffer that holds this many bytes without a frame start is cut, so that garbage
    // cannot grow it without bound (a request is at most 263 bytes).
    static constexpr std::size_t MAX_PENDING = 4096;

private:
    std::vector<uint8_t> m_vecBuffer;
    std::size_t m_uiSkipped = 0;
};
