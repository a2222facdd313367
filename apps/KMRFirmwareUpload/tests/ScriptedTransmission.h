// A transmission without a line: a script answers every request, and the sent frames are recorded.
#pragma once

#include "IKMRTransmissionFactory.h"

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KCSendTelegram.h>
#include <KMRComm/KMRTransmission.h>

#include <functional>
#include <mutex>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The controller side of a test: answers (frames) for one request; none means "no answer".
using ControllerScript = std::function<std::vector<Bytes>(const KCSendTelegram& request_i)>;

// An answer to request_i: the request's tag with the given flags, status bytes and data.
inline Bytes Answer(const KCSendTelegram& request_i, const Bytes& data_i = {}, uint8_t flags_i = 0x01,
                    uint8_t status1_i = 0, uint8_t error1_i = 0, uint8_t error2_i = 0)
{
    const uint8_t tagFlags = static_cast<uint8_t>((request_i.GetTag() & 0xF0) | (flags_i & 0x0F));
    const unsigned char* data = data_i.empty() ? nullptr : data_i.data();
    const auto size = static_cast<unsigned int>(data_i.size());
    // Set-content and get-content answers are extended frames carrying the request's counter.
    const bool extended = request_i.GetCmd() == 0x1A || request_i.GetCmd() == 0x1B;
    const KCReceiveTelegram answer =
        extended ? KCReceiveTelegram(request_i.GetAddr(), request_i.GetSubAddr(), tagFlags, status1_i, error1_i,
                                     error2_i, request_i.GetCmd(),
                                     static_cast<unsigned short>(request_i.GetSequenceCnt()), data, size)
                 : KCReceiveTelegram(request_i.GetAddr(), request_i.GetSubAddr(), tagFlags, status1_i, error1_i,
                                     error2_i, request_i.GetCmd(), data, size);
    return Bytes(answer.GetTelegramStream(), answer.GetTelegramStream() + answer.GetSize());
}

// Shared between the test and the transmissions the engine creates.
// Payload of a request; firmware sequences (0xF3) carry their counter in the first two bytes.
inline Bytes PayloadOf(const KCSendTelegram& request_i)
{
    const unsigned char* data = request_i.GetData();
    Bytes payload = data != nullptr ? Bytes(data, data + request_i.GetDataSize()) : Bytes();
    if (request_i.GetCmd() == 0xF3 && payload.size() >= 2)
        payload.erase(payload.begin(), payload.begin() + 2);
    return payload;
}

inline unsigned int FirmwareCounterOf(const KCSendTelegram& request_i)
{
    const unsigned char* data = request_i.GetData();
    return data != nullptr && request_i.GetDataSize() >= 2 ? (data[0] << 8 | data[1]) : 0;
}

struct ScriptedLine
{
    ControllerScript m_Script;
    std::mutex m_Lock;
    std::vector<Bytes> m_Sent;

    std::vector<KCSendTelegram> Requests()
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        std::vector<KCSendTelegram> requests;
        for (const Bytes& frame : m_Sent)
            requests.emplace_back(frame.data(), static_cast<unsigned int>(frame.size()));
        return requests;
    }
    std::vector<uint8_t> Commands()
    {
        std::vector<uint8_t> commands;
        for (const KCSendTelegram& request : Requests())
            commands.push_back(request.GetCmd());
        return commands;
    }
};

class ScriptedTransmission : public KMRTransmission
{
public:
    ScriptedTransmission(ScriptedLine& line_i, IKMRReceiver* receiver_i, IKMRTelegramFactory* factory_i)
        : KMRTransmission(receiver_i, factory_i), m_rLine(line_i)
    {
    }
    ~ScriptedTransmission() override { UnInitialize(); }

    void Send(KMRAbstractTelegram* telegram_i) override
    {
        const Bytes frame(telegram_i->GetTelegramStream(), telegram_i->GetTelegramStream() + telegram_i->GetSize());
        {
            std::lock_guard<std::mutex> lock(m_rLine.m_Lock);
            m_rLine.m_Sent.push_back(frame);
        }
        if (!m_rLine.m_Script)
            return;
        const KCSendTelegram request(frame.data(), static_cast<unsigned int>(frame.size()));
        for (const Bytes& answer : m_rLine.m_Script(request))
            AddReceiveTelegram(GetFactory()->CreateTelegram(answer.data(), static_cast<int>(answer.size())));
    }
    bool EstablishConnection() override { return true; }
    bool CloseConnection() override { return true; }
    void Release() override { delete this; }

private:
    ScriptedLine& m_rLine;
};

class ScriptedTransmissionFactory : public IKMRTransmissionFactory
{
public:
    explicit ScriptedTransmissionFactory(ScriptedLine& line_i) : m_rLine(line_i) {}
    KMRTransmission* CreateTransmission(IKMRReceiver* receiver_i, IKMRTelegramFactory* factory_i) override
    {
        return new ScriptedTransmission(m_rLine, receiver_i, factory_i);
    }

private:
    ScriptedLine& m_rLine;
};
