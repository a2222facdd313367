// KMRSimServer: a simulated sign controller served in the calling process, for tests and the program.
#pragma once

#include "KMRSim/KMRSimController.h"
#include "KMRSim/KMRSimFaultInjector.h"
#include "KMRSim/KMRSimFileStore.h"
#include "KMRSim/KMRSimProtocol.h"
#include "KMRSim/KMRSimPtyServer.h"
#include "KMRSim/KMRSimUdpServer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct KMRSimServerOptions
{
    KMRSimControllerSettings controller;
    KMRSimFaultSettings faults;
    // When set, received firmware images and contents are also written here (KMRSimFileStore).
    std::string storeDirectory;
    // Lines about transfers, mode changes and transport problems; empty: silent.
    std::function<void(const std::string&)> log;
    // With a log: one more line per telegram (request, answer, faults applied).
    bool trace = false;
};

// One controller with its protocol layer and any of its transports:
//
//   KMRSimServer sim;                         // or KMRSimServer sim(options);
//   sim.StartUdp();                           // loopback, a free port: sim.Port()
//   sim.StartPty();                           // a pseudo-terminal: sim.PtyPath()
//   ... run the client ...
//   sim.FirmwareImages(), sim.Content(0x1234) // what arrived, byte for byte
//   sim.Stop();                               // or let the destructor stop it
//
// A firmware image or content appears here (and in the store directory) before the answer
// to its stop request is sent, so a client that got that answer may look at once.
// Thread safety: Start/Stop from the owner's thread; the readers from any thread.
class KMRSimServer
{
public:
    // Throws KMRException when the store directory cannot be created, std::invalid_argument
    // for fault probabilities outside 0..1.
    explicit KMRSimServer(const KMRSimServerOptions& options_i = {});
    ~KMRSimServer();
    KMRSimServer(const KMRSimServer&) = delete;
    KMRSimServer& operator=(const KMRSimServer&) = delete;

    // Starts the UDP transport (once). Throws KMRException when it cannot bind.
    void StartUdp(const std::string& ip_i = "127.0.0.1", uint16_t port_i = 0);
    // Starts the pseudo-terminal transport (once). Throws KMRException on failure.
    void StartPty();
    // Stops every transport and waits for their threads; idempotent.
    void Stop();

    // The bound UDP port, 0 when UDP is not started; the terminal path, empty when not started.
    uint16_t Port() const;
    std::string PtyPath() const;

    KMRSimController& Controller() { return m_controller; }
    const KMRSimController& Controller() const { return m_controller; }
    KMRSimProtocolStats Stats() const { return m_protocol.GetStats(); }
    std::vector<std::vector<uint8_t>> FirmwareImages() const { return m_controller.GetFirmwareImages(); }
    std::optional<std::vector<uint8_t>> Content(uint16_t cid_i) const { return m_controller.GetContent(cid_i); }

private:
    void _Log(const std::string& line_i) const;

    KMRSimServerOptions m_options;
    KMRSimController m_controller;
    KMRSimProtocol m_protocol;
    std::unique_ptr<KMRSimFileStore> m_pStore;
    std::unique_ptr<KMRSimUdpServer> m_pUdp;
    std::unique_ptr<KMRSimPtyServer> m_pPty;
};
