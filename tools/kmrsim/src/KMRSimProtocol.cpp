// KMRSimProtocol: turns request frames into the simulated controller's answer frames.
#include "KMRSim/KMRSimProtocol.h"

#include <KMRBase/KMRException.h>
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KCSendTelegram.h>

#include <cstdio>

namespace
{
std::string _Hex(const uint8_t* p_i, std::size_t len_i)
{
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < len_i; ++i)
    {
        std::snprintf(byte, sizeof(byte), i == 0 ? "%02X" : " %02X", p_i[i]);
        text += byte;
    }
    return text;
}
} // namespace

KMRSimProtocol::KMRSimProtocol(KMRSimController& controller_i, const KMRSimFaultSettings& faults_i)
    : m_controller(controller_i), m_faults(faults_i)
{
}

void KMRSimProtocol::SetTrace(std::function<void(const std::string&)> trace_i)
{
    std::lock_guard<std::mutex> lock(m_mtxProcess);
    m_trace = std::move(trace_i);
}

KMRSimProtocolStats KMRSimProtocol::GetStats() const
{
    std::lock_guard<std::mutex> lock(m_mtxProcess);
    return m_stats;
}

std::vector<uint8_t> KMRSimProtocol::BuildAnswerFrame(uint8_t addr_i, uint8_t subAddr_i, uint8_t tag_i,
                                                      const KMRSimAnswer& answer_i)
{
    const auto tagFlags = static_cast<uint8_t>((tag_i & 0xF0) | (answer_i.accepted ? 0x01 : 0x00));
    const uint8_t* data = answer_i.data.empty() ? nullptr : answer_i.data.data();
    const auto size = static_cast<unsigned int>(answer_i.data.size());
    // Answers to commands that are not plain basic ones must carry a sequence number, or the
    // receiving side cannot read them (it expects one for every such command).
    const bool extended =
        answer_i.extended || KCTelegram::GetTelegramTypeFromCmd(answer_i.cmd) != KCTelegram::ETypeBasic;
    const KCReceiveTelegram frame =
        extended ? KCReceiveTelegram(addr_i, subAddr_i, tagFlags, answer_i.status1, answer_i.error1, answer_i.error2,
                                     answer_i.cmd, answer_i.seq, data, size)
                 : KCReceiveTelegram(addr_i, subAddr_i, tagFlags, answer_i.status1, answer_i.error1, answer_i.error2,
                                     answer_i.cmd, data, size);
    return std::vector<uint8_t>(frame.GetTelegramStream(), frame.GetTelegramStream() + frame.GetSize());
}

std::optional<std::vector<uint8_t>> KMRSimProtocol::Process(const uint8_t* frame_i, std::size_t len_i)
{
    std::lock_guard<std::mutex> lock(m_mtxProcess);
    auto trace = [&](const std::string& line_i) {
        if (m_trace)
        {
            m_trace(line_i);
        }
    };
    const auto len = static_cast<unsigned int>(len_i);
    const char* defect = KCSendTelegram::FindTelegramDefect(frame_i, len);
    if (defect == nullptr && (len_i < 8 || frame_i[4] == 0))
    {
        defect = "no command byte";
    }
    if (defect != nullptr)
    {
        ++m_stats.invalid;
        trace(std::string("invalid request (") + defect + "): " + _Hex(frame_i, len_i));
        return std::nullopt;
    }

    KMRSimRequest request;
    uint8_t tag = 0;
    try
    {
        const KCSendTelegram telegram(frame_i, len);
        request.addr = telegram.GetAddr();
        request.subAddr = telegram.GetSubAddr();
        request.cmd = telegram.GetCmd();
        tag = telegram.GetTag();
        // Everything between the command byte and Chk2; sequenced commands start with their counter.
        const uint8_t* stream = telegram.GetTelegramStream();
        request.payload.assign(stream + 8, stream + 8 + (telegram.GetCount() - 1));
    }
    catch (const KMRException& e)
    {
        ++m_stats.invalid;
        trace(std::string("invalid request (") + e.GetDetails() + "): " + _Hex(frame_i, len_i));
        return std::nullopt;
    }
    ++m_stats.requests;
    if (!m_controller.IsAddressed(request.addr, request.cmd))
    {
        ++m_stats.ignored;
        trace("not for us: " + _Hex(frame_i, len_i));
        return std::nullopt;
    }

    const KMRSimFaultDecision fault = m_faults.Next();
    std::vector<uint8_t> answer;
    std::string note;
    if (fault.busy || fault.nack)
    {
        KMRSimAnswer refusal;
        refusal.accepted = false;
        refusal.cmd = request.cmd;
        refusal.status1 = fault.busy ? KMRSimController::STATUS1_BUSY : 0;
        answer = BuildAnswerFrame(request.addr, request.subAddr, tag, refusal);
        ++(fault.busy ? m_stats.busy : m_stats.nacked);
        note = fault.busy ? " [busy, not executed]" : " [nack, not executed]";
    }
    else if (!m_vecLastRequest.empty() && m_vecLastRequest == std::vector<uint8_t>(frame_i, frame_i + len_i))
    {
        answer = m_vecLastAnswer;
        ++m_stats.replayed;
        note = " [repeated request, answer repeated]";
    }
    else
    {
        const std::optional<KMRSimAnswer> result = m_controller.Handle(request);
        if (!result)
        {
            ++m_stats.ignored;
            return std::nullopt;
        }
        answer = BuildAnswerFrame(request.addr, request.subAddr, tag, *result);
        m_vecLastRequest.assign(frame_i, frame_i + len_i);
        m_vecLastAnswer = answer;
    }

    if (fault.drop)
    {
        ++m_stats.dropped;
        trace("RECV " + _Hex(frame_i, len_i) + note + " [answer dropped]");
        return std::nullopt;
    }
    if (fault.corrupt)
    {
        // Any byte behind the count: the header sum or the frame sum no longer adds up, while
        // the frame keeps its length (a stream reader stays in step).
        const std::size_t index = 5 + fault.corruptDraw % (answer.size() - 5);
        answer[index] ^= 0x55;
        ++m_stats.corrupted;
        note += " [answer corrupted]";
    }
    ++m_stats.answered;
    trace("RECV " + _Hex(frame_i, len_i) + note);
    trace("SEND " + _Hex(answer.data(), answer.size()));
    return answer;
}
