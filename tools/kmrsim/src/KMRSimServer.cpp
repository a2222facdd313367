// KMRSimServer: a simulated sign controller served in the calling process, for tests and the program.
#include "KMRSim/KMRSimServer.h"

#include <KMRBase/KMRException.h>

KMRSimServer::KMRSimServer(const KMRSimServerOptions& options_i)
    : m_options(options_i), m_controller(options_i.controller), m_protocol(m_controller, options_i.faults)
{
    if (!m_options.storeDirectory.empty())
    {
        m_pStore = std::make_unique<KMRSimFileStore>(m_options.storeDirectory);
    }
    KMRSimControllerEvents events;
    events.onLog = [this](const std::string& line_i) { _Log(line_i); };
    if (m_pStore)
    {
        events.onFirmwareImage = [this](std::size_t index_i, const std::vector<uint8_t>& image_i) {
            try
            {
                _Log("stored " + m_pStore->StoreFirmware(index_i, image_i).string());
            }
            catch (const KMRException& e)
            {
                _Log(std::string("ERROR: ") + e.GetDetails());
            }
        };
        events.onContent = [this](uint16_t cid_i, uint8_t, const std::vector<uint8_t>& content_i) {
            try
            {
                _Log("stored " + m_pStore->StoreContent(cid_i, content_i).string());
            }
            catch (const KMRException& e)
            {
                _Log(std::string("ERROR: ") + e.GetDetails());
            }
        };
    }
    m_controller.SetEvents(std::move(events));
    if (m_options.trace && m_options.log)
    {
        m_protocol.SetTrace(m_options.log);
    }
}

KMRSimServer::~KMRSimServer()
{
    Stop();
}

void KMRSimServer::StartUdp(const std::string& ip_i, uint16_t port_i)
{
    if (m_pUdp)
    {
        KMR_THROW(KMR_EXC_SOFTWARE, "KMRSimServer::StartUdp", "UDP already started");
    }
    auto udp = std::make_unique<KMRSimUdpServer>(m_protocol);
    udp->SetLog(m_options.log);
    udp->Start(ip_i, port_i);
    m_pUdp = std::move(udp);
}

void KMRSimServer::StartPty()
{
    if (m_pPty)
    {
        KMR_THROW(KMR_EXC_SOFTWARE, "KMRSimServer::StartPty", "pseudo-terminal already started");
    }
    auto pty = std::make_unique<KMRSimPtyServer>(m_protocol);
    pty->SetLog(m_options.log);
    pty->Start();
    m_pPty = std::move(pty);
}

void KMRSimServer::Stop()
{
    if (m_pUdp)
    {
        m_pUdp->Stop();
    }
    if (m_pPty)
    {
        m_pPty->Stop();
    }
}

uint16_t KMRSimServer::Port() const
{
    return m_pUdp ? m_pUdp->Port() : 0;
}

std::string KMRSimServer::PtyPath() const
{
    return m_pPty ? m_pPty->PtyPath() : std::string();
}

void KMRSimServer::_Log(const std::string& line_i) const
{
    if (m_options.log)
    {
        m_options.log(line_i);
    }
}
