// Test doubles: a tiny framed telegram (0x02, length, payload), its factory and a receiver.
#pragma once

#include <KMRComm/IKMRReceiver.h>
#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMREvent.h>

#include <KMRBase/KMRException.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kmrtest
{
using Bytes = std::vector<unsigned char>;

// A frame: 0x02, payload length, payload. Counts live objects so tests see leaks.
class FakeTelegram : public KMRAbstractTelegram
{
public:
    explicit FakeTelegram(Bytes bytes_i = {}) : m_Bytes(std::move(bytes_i)) { ++Live(); }
    ~FakeTelegram() override { --Live(); }

    static std::atomic<int>& Live()
    {
        static std::atomic<int> live{0};
        return live;
    }
    static Bytes Frame(const Bytes& payload_i)
    {
        Bytes frame{0x02, static_cast<unsigned char>(payload_i.size())};
        frame.insert(frame.end(), payload_i.begin(), payload_i.end());
        return frame;
    }

    const unsigned char* GetTelegramStream() const override { return m_Bytes.data(); }
    unsigned int GetSize() const override { return static_cast<unsigned int>(m_Bytes.size()); }
    bool IsSuccessful() const override { return true; }
    const unsigned char* GetData() const override { return m_Bytes.size() > 2 ? m_Bytes.data() + 2 : nullptr; }
    unsigned int GetDataSize() const override { return m_Bytes.size() > 2 ? GetSize() - 2 : 0; }
    unsigned char GetAddr() const override { return 0; }
    unsigned char GetSubAddr() const override { return 0; }
    unsigned char GetTag() const override { return 0; }
    unsigned char GetCmd() const override { return 0; }
    unsigned int GetSequenceCnt() const override { return 0; }
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    bool IsExtendedTelegram() const override { return false; }
    bool IsBasicTelegram() const override { return true; }
    ETelegramState SplitTelegram(const unsigned char* data_i, unsigned int size_i, unsigned int& consumed_o) override
    {
        if (size_i == 0)
            return ETelegramIncomplete;
        if (data_i[0] != 0x02)
        {
            unsigned int skip = 1;
            while (skip < size_i && data_i[skip] != 0x02)
                ++skip;
            consumed_o = skip;
            return ETelegramInvalid;
        }
        if (size_i < 2 || size_i < 2u + data_i[1])
            return ETelegramIncomplete;
        consumed_o = 2u + data_i[1];
        return ETelegramComplete;
    }
    void ToString(char* buffer_o, unsigned long size_i) const override
    {
        std::string text;
        for (unsigned char b : m_Bytes)
        {
            char hex[4];
            std::snprintf(hex, sizeof(hex), "%02X ", b);
            text += hex;
        }
        if (size_i == 0)
            return;
        std::snprintf(buffer_o, size_i, "%s", text.c_str());
    }

    Bytes m_Bytes;
};

// Builds FakeTelegrams; refuses bytes that are not exactly one frame, or whose payload
// starts with 0xEE (a frame the "family" does not know).
class FakeFactory : public IKMRTelegramFactory
{
public:
    KMRAbstractTelegram* CreateTelegram() override { return new FakeTelegram(); }
    KMRAbstractTelegram* CreateTelegram(const unsigned char* data_i, int size_i) override
    {
        if (size_i < 2 || data_i[0] != 0x02 || size_i != 2 + data_i[1] || (size_i > 2 && data_i[2] == 0xEE))
            KMR_THROW(KMR_EXC_DATA, "FakeFactory::CreateTelegram", "not a frame");
        return new FakeTelegram(Bytes(data_i, data_i + size_i));
    }
};

// Records the bytes of every delivered telegram and the thread it arrived on.
class RecordingReceiver : public IKMRReceiver
{
public:
    void OnReceive(KMRAbstractTelegram* pTelegram_i) override
    {
        if (m_Hook)
            m_Hook(pTelegram_i);
        {
            std::lock_guard<std::mutex> guard(m_Lock);
            m_Received.emplace_back(pTelegram_i->GetTelegramStream(),
                                    pTelegram_i->GetTelegramStream() + pTelegram_i->GetSize());
            m_Threads.push_back(std::this_thread::get_id());
        }
        m_Arrived.Set();
    }

    // Waits until count_i telegrams have arrived and answers all received so far.
    std::vector<Bytes> WaitFor(size_t count_i)
    {
        for (;;)
        {
            {
                std::lock_guard<std::mutex> guard(m_Lock);
                if (m_Received.size() >= count_i)
                    return m_Received;
            }
            m_Arrived.Wait();
        }
    }
    std::vector<Bytes> Received()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Received;
    }
    std::vector<std::thread::id> Threads()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Threads;
    }

    std::function<void(KMRAbstractTelegram*)> m_Hook;

private:
    std::mutex m_Lock;
    std::vector<Bytes> m_Received;
    std::vector<std::thread::id> m_Threads;
    KMRAutoResetEvent m_Arrived;
};
} // namespace kmrtest
