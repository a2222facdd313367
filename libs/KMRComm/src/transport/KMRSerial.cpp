// KMRSerial on termios: a non-blocking, exclusive, raw descriptor with poll-based waits.
#include <KMRComm/KMRSerial.h>

#include <KMRPlatform/KMRPlatform.h>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace
{
// ENOTTY and EINVAL mean the driver has no such request: a pseudo-terminal.
int32_t NotSupportedOr(int error_i)
{
    return (error_i == ENOTTY || error_i == EINVAL) ? KMRSerial::ERROR_NOT_SUPPORTED : error_i;
}

// Unix98 pseudo-terminal slaves have the majors 136 to 143, legacy ones 3.
bool IsPseudoTerminal(int fd_i)
{
    struct stat info
    {
    };
    if (::fstat(fd_i, &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
    const unsigned int major = major(info.st_rdev);
    return (major >= 136 && major <= 143) || major == 3 || major == 5;
}

int OpenDevice(const char* device_i, int& fd_o)
{
    const std::string path = kmr::platform::ResolveSerialDeviceName(device_i != nullptr ? device_i : "");
    fd_o = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_o < 0)
        return errno;
    if (!::isatty(fd_o))
    {
        ::close(fd_o);
        fd_o = -1;
        return ENOTTY;
    }
    // TIOCEXCL keeps others out (except privileged processes); the advisory lock also
    // keeps out other instances of this library running as root.
    if (::flock(fd_o, LOCK_EX | LOCK_NB) != 0)
    {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd_o);
        fd_o = -1;
        return error;
    }
    ::ioctl(fd_o, TIOCEXCL);
    return 0;
}

tcflag_t ParityFlags(KMRSerial::ESerialParity eParity_i)
{
    switch (eParity_i)
    {
    case KMRSerial::EParOdd: return PARENB | PARODD;
    case KMRSerial::EParEven: return PARENB;
    case KMRSerial::EParMark: return PARENB | CMSPAR | PARODD;
    case KMRSerial::EParSpace: return PARENB | CMSPAR;
    default: return 0;
    }
}

KMRSerial::ESerialParity ParityFromFlags(tcflag_t cflag_i)
{
    if ((cflag_i & PARENB) == 0)
        return KMRSerial::EParNone;
    if ((cflag_i & CMSPAR) != 0)
        return (cflag_i & PARODD) != 0 ? KMRSerial::EParMark : KMRSerial::EParSpace;
    return (cflag_i & PARODD) != 0 ? KMRSerial::EParOdd : KMRSerial::EParEven;
}

tcflag_t SizeFlag(int bits_i)
{
    switch (bits_i)
    {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}
} // namespace

KMRSerial::KMRSerial()
    : m_lLastError(0), m_hFile(-1), m_dwEvent(0), m_dwEventMask(0), m_hOverlappedEvent(-1),
      m_eReadTimeout(EReadTimeoutNonblocking), m_bEventChar(0)
{
}

KMRSerial::~KMRSerial()
{
    KMRSerial::Close();
}

KMRSerial::ESerialPort KMRSerial::CheckPort(const char* device_i)
{
    int fd = -1;
    const int error = OpenDevice(device_i, fd);
    if (error == 0)
    {
        ::close(fd);
        return EPortAvailable;
    }
    if (error == ENOENT || error == ENXIO || error == ENODEV)
        return EPortNotAvailable;
    if (error == EACCES || error == EBUSY || error == EPERM)
        return EPortInUse;
    return EPortUnknownError;
}

int32_t KMRSerial::Open(const char* device_i, uint32_t, uint32_t, bool bOverlapped_i)
{
    _SetError(0);
    if (IsOpen())
        return _SetError(ERROR_ALREADY_INITIALIZED);
    int fd = -1;
    if (const int error = OpenDevice(device_i, fd); error != 0)
        return _SetError(error);
    auto saved = std::make_unique<termios>();
    if (::tcgetattr(fd, saved.get()) != 0)
    {
        const int error = errno;
        ::close(fd);
        return _SetError(error);
    }
    if (bOverlapped_i)
    {
        m_hOverlappedEvent = kmr::platform::EventCreate(false);
        if (m_hOverlappedEvent < 0)
        {
            const int error = errno;
            ::close(fd);
            return _SetError(error);
        }
    }
    m_hFile = fd;
    m_pSavedSettings = std::move(saved);
    {
        std::lock_guard<std::mutex> guard(m_CounterLock);
        m_bHasCounters = true;
        m_Counters = LineCounters{};
        _ReadCounters(m_Counters);
    }
    SetMask(DEFAULT_EVENT_MASK);
    SetupReadTimeouts(EReadTimeoutNonblocking);
    // The device's defaults for a byte-transparent line: raw, receiver on, modem
    // control lines ignored for opening. Failures here are not fatal.
    termios settings = *m_pSavedSettings;
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::tcsetattr(m_hFile, TCSANOW, &settings);
    // No wait is pending yet: the first mask must not complete the first WaitEvent.
    if (m_hOverlappedEvent >= 0)
        kmr::platform::EventConsume(m_hOverlappedEvent);
    return _SetError(0);
}

int32_t KMRSerial::Close()
{
    if (!IsOpen())
        return 0;
    if (m_hOverlappedEvent >= 0)
    {
        ::close(m_hOverlappedEvent);
        m_hOverlappedEvent = -1;
    }
    if (m_pSavedSettings)
        ::tcsetattr(m_hFile, TCSANOW, m_pSavedSettings.get());
    // On Linux a failed close still releases the descriptor, so it is never retried.
    const int result = ::close(m_hFile);
    const int error = result == 0 ? 0 : errno;
    m_hFile = -1;
    m_pSavedSettings.reset();
    return _SetError(error == EINTR ? 0 : error);
}

int32_t KMRSerial::Setup(ESerialBaudrate eBaudrate_i, ESerialDataBits eDataBits_i, ESerialParity eParity_i,
                         ESerialStopBits eStopBits_i)
{
    if (eBaudrate_i <= 0 || eDataBits_i < EData5 || eDataBits_i > EData8 || eParity_i < EParNone ||
        eParity_i > EParSpace || eStopBits_i < EStop1 || eStopBits_i > EStop2)
        return _SetError(E_INVALIDARG);
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    // The line knows one and a half stop bits only with five data bits.
    if (eStopBits_i == EStop1_5 && eDataBits_i != EData5)
        return _SetError(ERROR_INVALID_PARAMETER);
    termios settings{};
    if (::tcgetattr(m_hFile, &settings) != 0)
        return _SetError(errno);
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    settings.c_cflag |= SizeFlag(eDataBits_i) | ParityFlags(eParity_i);
    if (eStopBits_i != EStop1)
        settings.c_cflag |= CSTOPB;
    if (eParity_i != EParNone)
        settings.c_iflag |= INPCK;
    else
        settings.c_iflag &= ~INPCK;
    if (::tcsetattr(m_hFile, TCSANOW, &settings) != 0)
        return _SetError(errno);
    if (const int error = kmr::platform::SetLineSpeed(m_hFile, static_cast<uint32_t>(eBaudrate_i)); error != 0)
        return _SetError(error);
    // A pseudo-terminal accepts the request but keeps 8 bits without parity.
    termios applied{};
    if (::tcgetattr(m_hFile, &applied) != 0)
        return _SetError(errno);
    if ((applied.c_cflag & CSIZE) != SizeFlag(eDataBits_i) ||
        ParityFromFlags(applied.c_cflag) != (eParity_i == EParNone ? EParNone : eParity_i))
        return _SetError(ERROR_NOT_SUPPORTED);
    return _SetError(0);
}

int32_t KMRSerial::SetEventChar(unsigned char bEventChar_i, bool bAdjustMask_i)
{
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    if (bAdjustMask_i)
    {
        if (const int32_t error = SetMask(GetEventMask() | EEventRcvEv); error != 0)
            return error;
    }
    m_bEventChar = bEventChar_i;
    return _SetError(0);
}

int32_t KMRSerial::SetMask(uint32_t dwMask_i)
{
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    m_dwEventMask = dwMask_i;
    // Completes a pending WaitEvent, as the original platform does.
    if (m_hOverlappedEvent >= 0)
        kmr::platform::EventSignal(m_hOverlappedEvent);
    return _SetError(0);
}

int32_t KMRSerial::_CheckCall(KMRSerialOverlapped* pOverlapped_i, uint32_t dwTimeout_i)
{
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    if (!_IsOverlapped() && (pOverlapped_i != nullptr || dwTimeout_i != INFINITE_WAIT))
        return _SetError(ERROR_INVALID_FUNCTION);
    return 0;
}

int32_t KMRSerial::WaitEvent(KMRSerialOverlapped* pOverlapped_i, uint32_t dwTimeout_i)
{
    if (const int32_t error = _CheckCall(pOverlapped_i, dwTimeout_i); error != 0)
        return error;
    for (;;)
    {
        const uint32_t mask = m_dwEventMask.load();
        pollfd items[2] = {{m_hFile, static_cast<short>((mask & (EEventRecv | EEventRcvEv)) != 0 ? POLLIN : 0), 0},
                           {m_hOverlappedEvent, POLLIN, 0}};
        const nfds_t count = m_hOverlappedEvent >= 0 ? 2 : 1;
        const int ready = kmr::platform::PollFor(items, count, dwTimeout_i);
        if (ready < 0)
            return _SetError(errno);
        if (ready == 0)
            return _SetError(ERROR_TIMEOUT);
        uint32_t events = 0;
        // After a hang-up only bytes still buffered count as received; then the wait fails.
        int buffered = 0;
        const bool hungUp = (items[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        if (hungUp && ((items[0].revents & POLLIN) == 0 || ::ioctl(m_hFile, FIONREAD, &buffered) != 0 || buffered <= 0))
            return _SetError((items[0].revents & POLLNVAL) != 0 ? ERROR_INVALID_HANDLE : EIO);
        if ((items[0].revents & POLLIN) != 0)
        {
            events |= EEventRecv;
            if ((mask & EEventRcvEv) != 0)
                events |= EEventRcvEv;
        }
        if ((mask & (EEventBreak | EEventError)) != 0)
        {
            std::lock_guard<std::mutex> guard(m_CounterLock);
            LineCounters now;
            if (_ReadCounters(now))
            {
                if (now.brk != m_Counters.brk)
                    events |= EEventBreak;
                if (now.frame != m_Counters.frame || now.overrun != m_Counters.overrun ||
                    now.parity != m_Counters.parity || now.bufOverrun != m_Counters.bufOverrun)
                    events |= EEventError;
            }
        }
        const bool woken = count == 2 && (items[1].revents & POLLIN) != 0;
        if (woken)
            kmr::platform::EventConsume(m_hOverlappedEvent);
        if (events != 0 || woken)
        {
            m_dwEvent.fetch_or(events);
            if (pOverlapped_i != nullptr && pOverlapped_i->hEvent >= 0)
                kmr::platform::EventSignal(pOverlapped_i->hEvent);
            return _SetError(0);
        }
    }
}

int32_t KMRSerial::SetupHandshaking(ESerialHandshake eHandshake_i)
{
    if (eHandshake_i < EHandshakeOff || eHandshake_i > EHandshakeRTSToggle)
        return _SetError(E_INVALIDARG);
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    termios settings{};
    if (::tcgetattr(m_hFile, &settings) != 0)
        return _SetError(errno);
    serial_rs485 rs485{};
    const bool hasRs485 = ::ioctl(m_hFile, TIOCGRS485, &rs485) == 0;
    switch (eHandshake_i)
    {
    case EHandshakeOff:
        settings.c_cflag &= ~CRTSCTS;
        settings.c_iflag &= ~(IXON | IXOFF);
        break;
    case EHandshakeHardware:
        settings.c_cflag |= CRTSCTS;
        settings.c_iflag &= ~IXON;
        break;
    case EHandshakeSoftware:
        settings.c_cflag &= ~CRTSCTS;
        settings.c_iflag |= IXON | IXOFF;
        break;
    case EHandshakeRTSToggle:
        if (!hasRs485)
            return _SetError(ERROR_NOT_SUPPORTED);
        settings.c_cflag &= ~CRTSCTS;
        settings.c_iflag &= ~(IXON | IXOFF);
        break;
    default: break;
    }
    if (::tcsetattr(m_hFile, TCSANOW, &settings) != 0)
        return _SetError(errno);
    if (hasRs485)
    {
        const bool toggle = eHandshake_i == EHandshakeRTSToggle;
        if (toggle != ((rs485.flags & SER_RS485_ENABLED) != 0))
        {
            rs485.flags = toggle ? (rs485.flags | SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND) & ~SER_RS485_RTS_AFTER_SEND
                                 : rs485.flags & ~SER_RS485_ENABLED;
            if (::ioctl(m_hFile, TIOCSRS485, &rs485) != 0)
                return _SetError(NotSupportedOr(errno));
        }
    }
    return _SetError(0);
}

int32_t KMRSerial::SetupReadTimeouts(ESerialReadTimeout eReadTimeout_i)
{
    if (eReadTimeout_i != EReadTimeoutNonblocking && eReadTimeout_i != EReadTimeoutBlocking)
        return _SetError(E_INVALIDARG);
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    m_eReadTimeout = eReadTimeout_i;
    return _SetError(0);
}

KMRSerial::ESerialBaudrate KMRSerial::GetBaudrate()
{
    uint32_t baud = 0;
    if (!IsOpen() || kmr::platform::GetLineSpeed(m_hFile, baud) != 0 || baud == 0)
        return EBaudUnknown;
    return static_cast<ESerialBaudrate>(baud);
}

KMRSerial::ESerialDataBits KMRSerial::GetDataBits()
{
    termios settings{};
    if (!IsOpen() || ::tcgetattr(m_hFile, &settings) != 0)
        return EDataUnknown;
    switch (settings.c_cflag & CSIZE)
    {
    case CS5: return EData5;
    case CS6: return EData6;
    case CS7: return EData7;
    default: return EData8;
    }
}

KMRSerial::ESerialParity KMRSerial::GetParity()
{
    termios settings{};
    if (!IsOpen() || ::tcgetattr(m_hFile, &settings) != 0)
        return EParUnknown;
    if ((settings.c_iflag & INPCK) == 0)
        return EParNone;
    return ParityFromFlags(settings.c_cflag);
}

KMRSerial::ESerialStopBits KMRSerial::GetStopBits()
{
    termios settings{};
    if (!IsOpen() || ::tcgetattr(m_hFile, &settings) != 0)
        return EStopUnknown;
    if ((settings.c_cflag & CSTOPB) == 0)
        return EStop1;
    return (settings.c_cflag & CSIZE) == CS5 ? EStop1_5 : EStop2;
}

KMRSerial::ESerialHandshake KMRSerial::GetHandshaking()
{
    termios settings{};
    if (!IsOpen() || ::tcgetattr(m_hFile, &settings) != 0)
        return EHandshakeUnknown;
    if ((settings.c_cflag & CRTSCTS) != 0)
        return EHandshakeHardware;
    if ((settings.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF))
        return EHandshakeSoftware;
    return EHandshakeOff;
}

uint32_t KMRSerial::GetEventMask()
{
    return m_dwEventMask.load();
}

unsigned char KMRSerial::GetEventChar()
{
    return m_bEventChar.load();
}

int32_t KMRSerial::Write(const char* pString_i, uint32_t* pdwWritten_o, KMRSerialOverlapped* pOverlapped_i,
                         uint32_t dwTimeout_i)
{
    return Write(pString_i, pString_i != nullptr ? std::strlen(pString_i) : 0, pdwWritten_o, pOverlapped_i,
                 dwTimeout_i);
}

int32_t KMRSerial::Write(const void* pData_i, size_t iLen_i, uint32_t* pdwWritten_o,
                         KMRSerialOverlapped* pOverlapped_i, uint32_t dwTimeout_i)
{
    return _Transfer(true, const_cast<void*>(pData_i), iLen_i, pdwWritten_o, pOverlapped_i, dwTimeout_i);
}

int32_t KMRSerial::Read(void* pData_i, size_t iLen_i, uint32_t* pdwRead_o, KMRSerialOverlapped* pOverlapped_i,
                        uint32_t dwTimeout_i)
{
    return _Transfer(false, pData_i, iLen_i, pdwRead_o, pOverlapped_i, dwTimeout_i);
}

int32_t KMRSerial::_Transfer(bool bWrite_i, void* pData_i, size_t iLen_i, uint32_t* pdwDone_o,
                             KMRSerialOverlapped* pOverlapped_i, uint32_t dwTimeout_i)
{
    if (pdwDone_o != nullptr)
        *pdwDone_o = 0;
    if (const int32_t error = _CheckCall(pOverlapped_i, dwTimeout_i); error != 0)
        return error;
    using Clock = std::chrono::steady_clock;
    const bool infinite = dwTimeout_i == INFINITE_WAIT;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : dwTimeout_i);
    // A non-blocking read answers with what is buffered; everything else moves the whole block.
    const bool whole = bWrite_i || m_eReadTimeout.load() == EReadTimeoutBlocking;
    auto* bytes = static_cast<unsigned char*>(pData_i);
    size_t done = 0;
    int32_t result = 0;
    while (done < iLen_i)
    {
        const ssize_t moved =
            bWrite_i ? ::write(m_hFile, bytes + done, iLen_i - done) : ::read(m_hFile, bytes + done, iLen_i - done);
        if (moved > 0)
        {
            done += static_cast<size_t>(moved);
            // A non-blocking read takes what one call finds: a second call would only
            // tell that nothing more is buffered.
            if (!whole)
                break;
            continue;
        }
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0 && errno != EAGAIN)
        {
            result = errno;
            break;
        }
        if (!whole)
            break;
        pollfd item{m_hFile, static_cast<short>(bWrite_i ? POLLOUT : POLLIN), 0};
        uint32_t left = INFINITE_WAIT;
        if (!infinite)
        {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            left = ms > 0 ? static_cast<uint32_t>(ms) : 0;
        }
        const int ready = kmr::platform::PollFor(&item, 1, left);
        if (ready < 0)
        {
            result = errno;
            break;
        }
        if (ready == 0)
        {
            result = ERROR_TIMEOUT;
            break;
        }
        if ((item.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 && (item.revents & (POLLIN | POLLOUT)) == 0)
        {
            result = EIO;
            break;
        }
    }
    if (pdwDone_o != nullptr)
        *pdwDone_o = static_cast<uint32_t>(done);
    if (result == 0 && pOverlapped_i != nullptr && pOverlapped_i->hEvent >= 0)
        kmr::platform::EventSignal(pOverlapped_i->hEvent);
    return _SetError(result);
}

int32_t KMRSerial::Purge()
{
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    return _SetError(::tcflush(m_hFile, TCIOFLUSH) == 0 ? 0 : errno);
}

int32_t KMRSerial::Break()
{
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    // A pseudo-terminal accepts the request but no break ever reaches the other side.
    if (IsPseudoTerminal(m_hFile))
        return _SetError(ERROR_NOT_SUPPORTED);
    if (::ioctl(m_hFile, TIOCSBRK) != 0)
        return _SetError(NotSupportedOr(errno));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (::ioctl(m_hFile, TIOCCBRK) != 0)
        return _SetError(errno);
    return _SetError(0);
}

KMRSerial::ESerialEvent KMRSerial::GetEventType()
{
    const uint32_t events = m_dwEvent.exchange(0);
    return static_cast<ESerialEvent>(events & m_dwEventMask.load());
}

bool KMRSerial::_ReadCounters(LineCounters& counters_o)
{
    // A device without error counters (a pseudo-terminal) is not asked again on every event.
    if (!m_bHasCounters)
    {
        errno = ENOTTY;
        return false;
    }
    serial_icounter_struct counters{};
    if (::ioctl(m_hFile, TIOCGICOUNT, &counters) != 0)
    {
        if (errno == ENOTTY || errno == EINVAL)
            m_bHasCounters = false;
        return false;
    }
    counters_o.frame = counters.frame;
    counters_o.overrun = counters.overrun;
    counters_o.parity = counters.parity;
    counters_o.brk = counters.brk;
    counters_o.bufOverrun = counters.buf_overrun;
    return true;
}

KMRSerial::ESerialError KMRSerial::GetError()
{
    if (!IsOpen())
        return EErrorNone;
    std::lock_guard<std::mutex> guard(m_CounterLock);
    LineCounters now;
    if (!_ReadCounters(now))
    {
        _SetError(NotSupportedOr(errno));
        return EErrorNone;
    }
    uint32_t errors = 0;
    if (now.bufOverrun != m_Counters.bufOverrun)
        errors |= EErrorRxOver;
    if (now.overrun != m_Counters.overrun)
        errors |= EErrorOverrun;
    if (now.parity != m_Counters.parity)
        errors |= EErrorRxParity;
    if (now.frame != m_Counters.frame)
        errors |= EErrorFrame;
    if (now.brk != m_Counters.brk)
        errors |= EErrorBreak;
    m_Counters = now;
    return static_cast<ESerialError>(errors);
}

bool KMRSerial::_GetModemLine(int line_i)
{
    if (!IsOpen())
    {
        _SetError(ERROR_INVALID_HANDLE);
        return false;
    }
    int status = 0;
    if (::ioctl(m_hFile, TIOCMGET, &status) != 0)
    {
        _SetError(NotSupportedOr(errno));
        return false;
    }
    return (status & line_i) != 0;
}

bool KMRSerial::GetCTS()
{
    return _GetModemLine(TIOCM_CTS);
}

bool KMRSerial::GetDSR()
{
    return _GetModemLine(TIOCM_DSR);
}

bool KMRSerial::GetRing()
{
    return _GetModemLine(TIOCM_RNG);
}

bool KMRSerial::GetRLSD()
{
    return _GetModemLine(TIOCM_CD);
}

bool KMRSerial::SetParity(ESerialParity eParity_i)
{
    if (eParity_i < EParNone || eParity_i > EParSpace)
    {
        _SetError(E_INVALIDARG);
        return false;
    }
    termios settings{};
    if (!IsOpen() || ::tcgetattr(m_hFile, &settings) != 0)
    {
        _SetError(IsOpen() ? errno : ERROR_INVALID_HANDLE);
        return false;
    }
    settings.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    settings.c_cflag |= ParityFlags(eParity_i);
    if (::tcsetattr(m_hFile, TCSANOW, &settings) != 0)
    {
        _SetError(errno);
        return false;
    }
    _SetError(0);
    return true;
}

int32_t KMRSerial::CancelCommIo()
{
    if (!IsOpen())
        return _SetError(ERROR_INVALID_HANDLE);
    if (m_hOverlappedEvent >= 0)
        kmr::platform::EventSignal(m_hOverlappedEvent);
    return 0;
}
