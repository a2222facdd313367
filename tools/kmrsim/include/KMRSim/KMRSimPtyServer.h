// KMRSimPtyServer: serves the simulated controller on a pseudo-terminal, as on a serial line.
#pragma once

#include "KMRSim/KMRSimRequestSplitter.h"
#include "KMRSim/KMRSimTransportServer.h"

#include <string>

// Opens a pseudo-terminal in raw mode; clients open PtyPath() as their serial port. Requests
// may arrive in any pieces and several at once: they are reassembled from the byte stream
// and each answer is written whole. The server keeps the terminal side open itself, so a
// client may open and close it as often as it likes.
// Thread safety: see KMRSimTransportServer; PtyPath may be read from any thread after Start.
class KMRSimPtyServer : public KMRSimTransportServer
{
public:
    explicit KMRSimPtyServer(KMRSimProtocol& protocol_i);
    ~KMRSimPtyServer() override;

    // Creates the pseudo-terminal and starts serving. Throws KMRException on failure.
    void Start();
    // The path of the terminal side (/dev/pts/N); empty before Start.
    const std::string& PtyPath() const { return m_strPath; }

private:
    void _Run() override;
    // Writes all bytes; false when stopped or the terminal failed.
    bool _WriteAll(const std::vector<uint8_t>& bytes_i);

    KMRSimFd m_fdMaster;
    KMRSimFd m_fdSlave;
    std::string m_strPath;
    KMRSimRequestSplitter m_splitter;
};
