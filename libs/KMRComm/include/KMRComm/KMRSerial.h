// KMRSerial: the library's handle on one serial (COM) port.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

struct termios;

// The caller's completion record for an "overlapped" operation: hEvent is an event
// descriptor (KMREvent::GetEvent()) that is set when the operation has completed.
// On this platform such operations complete before the call returns.
struct KMRSerialOverlapped
{
    int hEvent = -1;
};

// One serial port on termios. The device is opened non-blocking and exclusively
// (O_NOCTTY, TIOCEXCL and an advisory lock), in raw mode. Port names: a device path is
// used as it is; "COMn" resolves through the environment variable KMR_COMn, else to
// /dev/ttyS(n-1).
//
// No operation throws. Each answers 0 or an error code and keeps it as the last error:
// the class's own codes below, or the errno value of a failed system call.
// Thread safety: Read, Write and the settings may be called from different threads;
// one WaitEvent at a time (the serial peer's listener is that one).
class KMRComm_API KMRSerial
{
public:
    enum ESerialPort
    {
        EPortUnknownError = -1,
        EPortAvailable = 0,
        EPortNotAvailable = 1,
        EPortInUse = 2
    };
    // The bit rate itself; any positive rate is accepted (odd rates through termios2).
    enum ESerialBaudrate
    {
        EBaudUnknown = -1,
        EBaud1200 = 1200,
        EBaud2400 = 2400,
        EBaud4800 = 4800,
        EBaud9600 = 9600,
        EBaud14400 = 14400,
        EBaud19200 = 19200,
        EBaud31250 = 31250,
        EBaud38400 = 38400,
        EBaud45450 = 45450,
        EBaud57600 = 57600,
        EBaud93750 = 93750,
        EBaud115200 = 115200,
        EBaud187500 = 187500
    };
    enum ESerialDataBits
    {
        EDataUnknown = -1,
        EData5 = 5,
        EData6 = 6,
        EData7 = 7,
        EData8 = 8
    };
    enum ESerialParity
    {
        EParUnknown = -1,
        EParNone = 0,
        EParOdd = 1,
        EParEven = 2,
        EParMark = 3,
        EParSpace = 4
    };
    enum ESerialStopBits
    {
        EStopUnknown = -1,
        EStop1 = 0,
        EStop1_5 = 1,
        EStop2 = 2
    };
    enum ESerialHandshake
    {
        EHandshakeUnknown = -1,
        EHandshakeOff = 0,
        EHandshakeHardware = 1,
        EHandshakeSoftware = 2,
        EHandshakeRTSToggle = 3
    };
    enum ESerialReadTimeout
    {
        EReadTimeoutNonblocking = 0,
        EReadTimeoutBlocking = 1
    };
    enum ESerialEvent
    {
        EEventNone = 0x0000,
        EEventRecv = 0x0001,
        EEventRcvEv = 0x0002,
        EEventSend = 0x0004,
        EEventCTS = 0x0008,
        EEventDSR = 0x0010,
        EEventRLSD = 0x0020,
        EEventBreak = 0x0040,
        EEventError = 0x0080,
        EEventRing = 0x0100
    };
    enum ESerialError
    {
        EErrorNone = 0x0000,
        EErrorRxOver = 0x0001,
        EErrorOverrun = 0x0002,
        EErrorRxParity = 0x0004,
        EErrorFrame = 0x0008,
        EErrorBreak = 0x0010,
        EErrorTxFull = 0x0100
    };

    // Error codes of the class itself.
    static constexpr int32_t ERROR_INVALID_FUNCTION = 1;  // overlapped record or time-out on a blocking port
    static constexpr int32_t ERROR_INVALID_HANDLE = 6;    // the port is not open
    static constexpr int32_t ERROR_NOT_SUPPORTED = 50;    // the device cannot do this (a pseudo-terminal)
    static constexpr int32_t ERROR_INVALID_PARAMETER = 87;
    static constexpr int32_t ERROR_ALREADY_INITIALIZED = 1247;
    static constexpr int32_t ERROR_TIMEOUT = 1460;
    static constexpr int32_t E_INVALIDARG = static_cast<int32_t>(0x80070057u);
    static constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;
    // The event mask that Open sets: character received, break, line error.
    static constexpr uint32_t DEFAULT_EVENT_MASK = 0x00C1;

    KMRSerial();
    virtual ~KMRSerial();
    KMRSerial(const KMRSerial&) = delete;
    KMRSerial& operator=(const KMRSerial&) = delete;

    // Slot 1. Opens the device exclusively, raw, with event mask 0x00C1 and non-blocking
    // reads. Queue sizes are accepted and left to the driver. 1247 when already open.
    virtual int32_t Open(const char* device_i, uint32_t dwInQueue_i = 0, uint32_t dwOutQueue_i = 0,
                         bool bOverlapped_i = false);
    // Slot 2. Restores the settings found at Open and closes the device.
    virtual int32_t Close();
    // Slot 3. E_INVALIDARG for a value outside its enumeration (nothing changes);
    // ERROR_NOT_SUPPORTED when the device does not take the data bits or parity.
    virtual int32_t Setup(ESerialBaudrate eBaudrate_i = EBaud9600, ESerialDataBits eDataBits_i = EData8,
                          ESerialParity eParity_i = EParNone, ESerialStopBits eStopBits_i = EStop1);
    // Slot 4. With bAdjustMask_i the mask gains 0x0002 first.
    virtual int32_t SetEventChar(unsigned char bEventChar_i, bool bAdjustMask_i = true);
    // Slot 5. Also completes a pending event wait (with no event bits).
    virtual int32_t SetMask(uint32_t dwMask_i);
    // Slot 6. Waits for an event of the mask; the bits are then read with GetEventType.
    // ERROR_TIMEOUT when none came within the time-out.
    virtual int32_t WaitEvent(KMRSerialOverlapped* pOverlapped_i = nullptr, uint32_t dwTimeout_i = INFINITE_WAIT);
    // Slot 7. ERROR_NOT_SUPPORTED for RTS toggle on a device without RS-485 control.
    virtual int32_t SetupHandshaking(ESerialHandshake eHandshake_i);
    // Slot 8. Non-blocking: a read answers at once with what is buffered. Blocking: a
    // read waits until the buffer is full (or the time-out passes).
    virtual int32_t SetupReadTimeouts(ESerialReadTimeout eReadTimeout_i);
    // Slots 9 to 15: the current settings; "unknown" values when they cannot be read.
    virtual ESerialBaudrate GetBaudrate();
    virtual ESerialDataBits GetDataBits();
    virtual ESerialParity GetParity();
    virtual ESerialStopBits GetStopBits();
    virtual ESerialHandshake GetHandshaking();
    virtual uint32_t GetEventMask();
    virtual unsigned char GetEventChar();
    // Slots 16 to 18. pdwWritten_o/pdwRead_o (may be null) receive the bytes moved, also
    // when the operation ends with ERROR_TIMEOUT. A port opened without overlapped I/O
    // refuses a record or a finite time-out with ERROR_INVALID_FUNCTION.
    virtual int32_t Write(const char* pString_i, uint32_t* pdwWritten_o = nullptr,
                          KMRSerialOverlapped* pOverlapped_i = nullptr, uint32_t dwTimeout_i = INFINITE_WAIT);
    virtual int32_t Write(const void* pData_i, size_t iLen_i, uint32_t* pdwWritten_o = nullptr,
                          KMRSerialOverlapped* pOverlapped_i = nullptr, uint32_t dwTimeout_i = INFINITE_WAIT);
    virtual int32_t Read(void* pData_i, size_t iLen_i, uint32_t* pdwRead_o = nullptr,
                         KMRSerialOverlapped* pOverlapped_i = nullptr, uint32_t dwTimeout_i = INFINITE_WAIT);

    // EPortAvailable, EPortNotAvailable (no such device), EPortInUse (opened elsewhere or
    // access denied), EPortUnknownError.
    static ESerialPort CheckPort(const char* device_i);
    bool IsOpen() const { return m_hFile >= 0; }
    // The device descriptor; -1 when closed.
    int GetCommHandle() const { return m_hFile; }
    int32_t GetLastError() const { return m_lLastError.load(); }

    // Discards both the transmit and the receive buffer.
    int32_t Purge();
    // Holds the line in the break state for 100 ms. ERROR_NOT_SUPPORTED on a pseudo-terminal.
    int32_t Break();
    // The event bits of the last wait that are also in the mask; clears them.
    ESerialEvent GetEventType();
    // Clears and answers the line errors since the last call; 0 when the device keeps no
    // error counters (last error ERROR_NOT_SUPPORTED) or the port is closed.
    ESerialError GetError();
    // Modem lines; false on failure, with the last error ERROR_NOT_SUPPORTED for a device
    // without modem lines.
    bool GetCTS();
    bool GetDSR();
    bool GetRing();
    bool GetRLSD();
    // Sets the parity generated on the line only, without parity checking; true on success.
    bool SetParity(ESerialParity eParity_i);

protected:
    // Wakes a pending event wait.
    int32_t CancelCommIo();
    int32_t _SetError(int32_t error_i)
    {
        m_lLastError.store(error_i);
        return error_i;
    }
    bool _IsOverlapped() const { return m_hOverlappedEvent >= 0; }

private:
    struct LineCounters
    {
        int frame = 0;
        int overrun = 0;
        int parity = 0;
        int brk = 0;
        int bufOverrun = 0;
    };
    int32_t _Transfer(bool bWrite_i, void* pData_i, size_t iLen_i, uint32_t* pdwDone_o,
                      KMRSerialOverlapped* pOverlapped_i, uint32_t dwTimeout_i);
    int32_t _CheckCall(KMRSerialOverlapped* pOverlapped_i, uint32_t dwTimeout_i);
    bool _GetModemLine(int line_i);
    bool _ReadCounters(LineCounters& counters_o);

    std::atomic<int32_t> m_lLastError;
    int m_hFile;
    std::atomic<uint32_t> m_dwEvent;
    std::atomic<uint32_t> m_dwEventMask;
    int m_hOverlappedEvent;
    std::atomic<int> m_eReadTimeout;
    std::atomic<unsigned char> m_bEventChar;
    std::unique_ptr<termios> m_pSavedSettings;
    std::mutex m_CounterLock;
    LineCounters m_Counters;
    bool m_bHasCounters = true;
};
