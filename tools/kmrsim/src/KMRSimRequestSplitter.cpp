// KMRSimRequestSplitter: cuts request frames off a received byte stream.
#include "KMRSim/KMRSimRequestSplitter.h"

namespace
{
constexpr uint8_t SYNC1 = 0x5A;
constexpr uint8_t SYNC2 = 0xA5;
constexpr std::size_t HEADER = 7; // sync, sync, two address bytes, count, tag, Chk1

bool _SumIsZero(const uint8_t* p_i, std::size_t len_i)
{
    uint8_t sum = 0;
    for (std::size_t i = 0; i < len_i; ++i)
    {
        sum = static_cast<uint8_t>(sum + p_i[i]);
    }
    return sum == 0;
}

// Bytes to skip: up to the next possible frame start after position 0. A 5A as the last
// byte is kept, since its A5 may still be on the way.
std::size_t _SkipToNextStart(const uint8_t* p_i, std::size_t len_i)
{
    for (std::size_t i = 1; i < len_i; ++i)
    {
        if (p_i[i] == SYNC1 && (i + 1 == len_i || p_i[i + 1] == SYNC2))
        {
            return i;
        }
    }
    return len_i;
}
} // namespace

KMRSimRequestSplitter::EState KMRSimRequestSplitter::Split(const uint8_t* p_i, std::size_t len_i,
                                                           std::size_t& consumed_o)
{
    if (p_i == nullptr || len_i == 0)
    {
        return EState::Incomplete;
    }
    auto invalid = [&]() {
        consumed_o = _SkipToNextStart(p_i, len_i);
        return EState::Invalid;
    };
    if (p_i[0] != SYNC1)
    {
        return invalid();
    }
    if (len_i < 2)
    {
        return EState::Incomplete;
    }
    if (p_i[1] != SYNC2)
    {
        return invalid();
    }
    if (len_i < HEADER)
    {
        return EState::Incomplete;
    }
    // A header without command (count 0) asks nothing a controller could answer.
    const std::size_t count = p_i[4];
    if (!_SumIsZero(p_i, HEADER) || count == 0)
    {
        return invalid();
    }
    const std::size_t frameLen = count + 8;
    if (len_i < frameLen)
    {
        return EState::Incomplete;
    }
    if (!_SumIsZero(p_i, frameLen))
    {
        return invalid();
    }
    consumed_o = frameLen;
    return EState::Complete;
}

void KMRSimRequestSplitter::Append(const uint8_t* p_i, std::size_t len_i)
{
    m_vecBuffer.insert(m_vecBuffer.end(), p_i, p_i + len_i);
}

bool KMRSimRequestSplitter::Next(std::vector<uint8_t>& frame_o)
{
    for (;;)
    {
        std::size_t consumed = 0;
        switch (Split(m_vecBuffer.data(), m_vecBuffer.size(), consumed))
        {
        case EState::Complete:
            frame_o.assign(m_vecBuffer.begin(), m_vecBuffer.begin() + static_cast<std::ptrdiff_t>(consumed));
            m_vecBuffer.erase(m_vecBuffer.begin(), m_vecBuffer.begin() + static_cast<std::ptrdiff_t>(consumed));
            return true;
        case EState::Invalid:
            m_uiSkipped += consumed;
            m_vecBuffer.erase(m_vecBuffer.begin(), m_vecBuffer.begin() + static_cast<std::ptrdiff_t>(consumed));
            break;
        case EState::Incomplete:
            if (m_vecBuffer.size() > MAX_PENDING)
            {
                m_uiSkipped += m_vecBuffer.size();
                m_vecBuffer.clear();
            }
            return false;
        }
    }
}
