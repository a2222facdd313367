// KMRSimProtocol: turns request frames into the simulated controller's answer frames.
#pragma once

#include "KMRSim/KMRSimController.h"
#include "KMRSim/KMRSimFaultInjector.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Counts of what the protocol layer did, for logs and tests.
struct KMRSimProtocolStats
{
    uint64_t requests = 0;   // valid request frames received
    uint64_t ignored = 0;    // valid frames for another address
    uint64_t invalid = 0;    // frames refused by the request check
    uint64_t answered = 0;   // answer frames handed out (corrupted ones included)
    uint64_t replayed = 0;   // answers repeated for a retransmitted request
    uint64_t dropped = 0;
    uint64_t busy = 0;
    uint64_t nacked = 0;
    uint64_t corrupted = 0;
};

// The frame side of the simulated controller: checks a request frame, hands its address,
// command and payload to the controller, and builds the answer frame (echoing address,
// sub-address and the request's tag, with the ACK flag when accepted). Faults are applied
// here, so the controller's state changes only for requests it really executed.
//
// A request byte-for-byte equal to the last executed one (same tag: the sender repeats it
// because it did not get the answer) is not executed again; its answer is sent once more.
//
// Thread safety: Process may be called from several server threads; calls are serialised.
class KMRSimProtocol
{
public:
    // The controller must outlive this object.
    KMRSimProtocol(KMRSimController& controller_i, const KMRSimFaultSettings& faults_i = {});

    // One line per telegram (request and answer in hex, faults applied); empty: silent.
    void SetTrace(std::function<void(const std::string&)> trace_i);

    // The answer frame to a request frame, or nullopt when there is none (invalid frame,
    // another address, dropped answer). The caller sends it after GetDelayMs().
    std::optional<std::vector<uint8_t>> Process(const uint8_t* frame_i, std::size_t len_i);
    uint32_t GetDelayMs() const { return m_faults.GetSettings().delayMs; }
    KMRSimProtocolStats GetStats() const;

    // Builds the answer frame to a decoded request; exposed for tests.
    static std::vector<uint8_t> BuildAnswerFrame(uint8_t addr_i, uint8_t subAddr_i, uint8_t tag_i,
                                                 const KMRSimAnswer& answer_i);

private:
    KMRSimController& m_controller;
    mutable std::mutex m_mtxProcess;
    KMRSimFaultInjector m_faults;
    std::function<void(const std::string&)> m_trace;
    std::vector<uint8_t> m_vecLastRequest;
    std::vector<uint8_t> m_vecLastAnswer;
    KMRSimProtocolStats m_stats;
};
