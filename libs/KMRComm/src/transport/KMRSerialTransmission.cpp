// KMRSerialTransmission: reading in blocks and reassembling telegrams with SplitTelegram.
#include <KMRComm/KMRSerialTransmission.h>

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommException.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace
{
// Texts for the port's own error codes; system errors are described by the system.
const char* OwnErrorText(int32_t error_i)
{
    switch (error_i)
    {
    case KMRSerial::ERROR_INVALID_FUNCTION: return "Incorrect function.";
    case KMRSerial::ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case KMRSerial::ERROR_NOT_SUPPORTED: return "The request is not supported.";
    case KMRSerial::ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case KMRSerial::ERROR_ALREADY_INITIALIZED:
        return "An attempt was made to perform an initialization operation when initialization has already been "
               "completed.";
    case KMRSerial::ERROR_TIMEOUT: return "This operation returned because the timeout period expired.";
    case KMRSerial::E_INVALIDARG: return "The parameter is incorrect.";
    default: return nullptr;
    }
}
} // namespace

KMRSerialTransmission::KMRSerialTransmission(const KMRSerialCommConfig& config_i, IKMRReceiver* pReceiver_i,
                                             IKMRTelegramFactory* pFactory_i)
    : KMRTransmission(pReceiver_i, pFactory_i), m_Config(config_i)
{
    m_SerialLogger.SetLogger("org.kelmar.comm.serialtransmission");
}

KMRSerialTransmission::~KMRSerialTransmission()
{
    // The listener calls OnEvent of this object: it must end before the object goes.
    KMRSerialPeer::Close();
}

void KMRSerialTransmission::_Throw(const char* step_i, int32_t error_i)
{
    if (const char* own = OwnErrorText(error_i))
    {
        const std::string details = std::string(step_i) + ": " + own;
        KMR_COMM_THROW(KMR_COMM_EXC_SERIAL, "KMRSerialTransmission::EstablishConnection", details.c_str());
    }
    errno = error_i;
    throw KMRCommException(__FILE__, __LINE__, "KMRSerialTransmission::EstablishConnection",
                           KMRCommException::GetWin32StatusDetails(step_i),
                           KMRCommException::GetUserTextFromType(KMR_COMM_EXC_SERIAL),
                           KMRCommException::GetTitleFromType(KMR_COMM_EXC_SERIAL));
}

bool KMRSerialTransmission::EstablishConnection()
{
    if (const int32_t error = KMRSerialPeer::Open(m_Config.GetCOMPort().c_str(), 0, 0, false); error != 0)
        _Throw("Unable to open COM port", error);
    if (const int32_t error =
            Setup(m_Config.GetBaudrate(), m_Config.GetDataBits(), m_Config.GetParity(), m_Config.GetStopBits());
        error != 0)
        _Throw("Unable to setup the COM port", error);
    if (const int32_t error = StartListener(); error != 0)
        _Throw("Unable to start the listener for the COM port", error);
    return true;
}

bool KMRSerialTransmission::CloseConnection()
{
    if (!IsOpen())
        return true;
    return KMRSerialPeer::Close() == 0;
}

void KMRSerialTransmission::Release()
{
    // The listener must be gone before the destructors start rewriting the object.
    KMRSerialPeer::Close();
    delete this;
}

void KMRSerialTransmission::_Write(const unsigned char* pData_i, size_t iSize_i)
{
    // A closed port stays silent: the caller learns of it from the missing answer.
    if (!IsOpen())
        return;
    uint32_t written = 0;
    const int32_t error = Write(pData_i, iSize_i, &written, nullptr, INFINITE_WAIT);
    if (error == 0)
        return;
    if (const char* own = OwnErrorText(error))
    {
        const std::string details = std::string("Unable to write to the COM port: ") + own;
        KMR_COMM_THROW(KMR_COMM_EXC_SERIAL, "KMRSerialTransmission::Send", details.c_str());
    }
    errno = error;
    throw KMRCommException(__FILE__, __LINE__, "KMRSerialTransmission::Send",
                           KMRCommException::GetWin32StatusDetails("Unable to write to the COM port"),
                           KMRCommException::GetUserTextFromType(KMR_COMM_EXC_SERIAL),
                           KMRCommException::GetTitleFromType(KMR_COMM_EXC_SERIAL));
}

void KMRSerialTransmission::Send(KMRAbstractTelegram* pTelegram_i)
{
    if (pTelegram_i == nullptr)
        return;
    LogTX(pTelegram_i);
    _Write(pTelegram_i->GetTelegramStream(), pTelegram_i->GetSize());
}

void KMRSerialTransmission::Send(const KMRString& bytes_i)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_i.GetString());
    LogTX(data, bytes_i.GetLength());
    _Write(data, static_cast<size_t>(bytes_i.GetLength()));
}

void KMRSerialTransmission::OnEvent(ESerialEvent eEvent_i, ESerialError)
{
    if ((eEvent_i & EEventRecv) == 0)
        return;
    unsigned char buffer[READ_BLOCK];
    uint32_t count = 0;
    do
    {
        count = 0;
        if (Read(buffer, sizeof(buffer), &count, nullptr, INFINITE_WAIT) != 0 && count == 0)
            break;
        LogRX(buffer, static_cast<int>(count));
        if (count != 0)
            ProcessTelegram(buffer, static_cast<int>(count));
    } while (count == READ_BLOCK);
}

void KMRSerialTransmission::ProcessTelegram(const unsigned char* pData_i, int iSize_i)
{
    if (pData_i == nullptr || iSize_i <= 0)
        return;
    m_ReceiveBuffer.insert(m_ReceiveBuffer.end(), pData_i, pData_i + iSize_i);
    KMRAbstractTelegram* splitter = GetSplitTelegram();
    if (splitter == nullptr || GetFactory() == nullptr)
    {
        // Without a telegram family nothing can be cut out: drop what came.
        m_ReceiveBuffer.clear();
        return;
    }
    // The telegrams of one read are queued together: one wake-up of the delivery thread.
    std::vector<KMRAbstractTelegram*> complete;
    size_t head = 0;
    while (head < m_ReceiveBuffer.size())
    {
        const unsigned int available = static_cast<unsigned int>(m_ReceiveBuffer.size() - head);
        unsigned int consumed = 0;
        const ETelegramState state = splitter->SplitTelegram(m_ReceiveBuffer.data() + head, available, consumed);
        if (state != ETelegramComplete && state != ETelegramInvalid)
            break;
        // A splitter that consumes nothing (or more than there is) must not stall or
        // overrun the buffer: drop one byte, or what is there.
        consumed = std::clamp(consumed, 1u, available);
        if (state == ETelegramComplete)
        {
            try
            {
                complete.push_back(
                    GetFactory()->CreateTelegram(m_ReceiveBuffer.data() + head, static_cast<int>(consumed)));
            }
            catch (const KMRException&)
            {
                m_SerialLogger.Error("The received stream is not a valid telegram!");
            }
        }
        head += consumed;
    }
    m_ReceiveBuffer.erase(m_ReceiveBuffer.begin(), m_ReceiveBuffer.begin() + static_cast<std::ptrdiff_t>(head));
    AddReceiveTelegrams(complete);
}
