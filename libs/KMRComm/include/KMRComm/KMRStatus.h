// KMRStatus: the three status bytes of a controller answer (Status1, Error1, Error2) with named bits.
#pragma once

#include <KMRComm/KMRCommExport.h>

// A value record of the status bytes; all 0 at construction. Used to accumulate the
// state of a communication session and to interpret answers.
// Thread safety: a plain value; not shared between threads while it is modified.
class KMRComm_API KMRStatus
{
public:
    // Status1 bits.
    static constexpr unsigned char STATUS1_PICTUREACTIVE = 0x01;
    static constexpr unsigned char STATUS1_AUTODIMMINGACTIVE = 0x02;
    static constexpr unsigned char STATUS1_RESTARTED = 0x04;
    static constexpr unsigned char STATUS1_COMMUNICATIONTIMEOUT = 0x08;
    static constexpr unsigned char STATUS1_BUSY = 0x80;
    // Error1 bits.
    static constexpr unsigned char ERROR1_LED = 0x04;
    static constexpr unsigned char ERROR1_POWER = 0x08;
    static constexpr unsigned char ERROR1_INTERNALCOM = 0x10;
    static constexpr unsigned char ERROR1_COM = 0x20;
    static constexpr unsigned char ERROR1_CLIMATE = 0x80;
    // Error2 bits.
    static constexpr unsigned char ERROR2_OUTOFRANGE = 0x01;
    static constexpr unsigned char ERROR2_MEMORY = 0x02;
    static constexpr unsigned char ERROR2_CID = 0x04;
    static constexpr unsigned char ERROR2_INTERNALCONFLICT = 0x08;
    static constexpr unsigned char ERROR2_SEQUENCE = 0x10;
    static constexpr unsigned char ERROR2_DATAFORMAT = 0x20;
    static constexpr unsigned char ERROR2_INTERNAL = 0x40;

    KMRStatus() = default;
    KMRStatus(const KMRStatus&) = default;
    KMRStatus& operator=(const KMRStatus&) = default;
    virtual ~KMRStatus() = default;

    unsigned char GetStatus1() const { return m_ucStatus1; }
    unsigned char GetError1() const { return m_ucError1; }
    unsigned char GetError2() const { return m_ucError2; }
    // Replace a whole byte.
    void SetStatus1(unsigned char status1_i) { m_ucStatus1 = status1_i; }
    void SetError1(unsigned char error1_i) { m_ucError1 = error1_i; }
    void SetError2(unsigned char error2_i) { m_ucError2 = error2_i; }
    // OR the mask into a byte.
    void SetStatus1Mask(unsigned char mask_i) { m_ucStatus1 |= mask_i; }
    void SetError1Mask(unsigned char mask_i) { m_ucError1 |= mask_i; }
    void SetError2Mask(unsigned char mask_i) { m_ucError2 |= mask_i; }
    // Clear the bits of the mask in a byte.
    void UnmaskStatus1(unsigned char mask_i) { m_ucStatus1 &= static_cast<unsigned char>(~mask_i); }
    void UnmaskError1(unsigned char mask_i) { m_ucError1 &= static_cast<unsigned char>(~mask_i); }
    void UnmaskError2(unsigned char mask_i) { m_ucError2 &= static_cast<unsigned char>(~mask_i); }
    void ResetStatus() { m_ucStatus1 = m_ucError1 = m_ucError2 = 0; }
    void ResetStatus1() { m_ucStatus1 = 0; }
    void ResetError1() { m_ucError1 = 0; }
    void ResetError2() { m_ucError2 = 0; }

    // ORs this record's three bytes into the given bytes.
    void MaskStatus(unsigned char& status1_io, unsigned char& error1_io, unsigned char& error2_io) const;
    bool IsEqual(const KMRStatus& other_i) const;

    // Named setters.
    void AddStatusPictureActive() { SetStatus1Mask(STATUS1_PICTUREACTIVE); }
    void AddStatusAutoDimmingActive() { SetStatus1Mask(STATUS1_AUTODIMMINGACTIVE); }
    void AddRestartedFlag() { SetStatus1Mask(STATUS1_RESTARTED); }
    void AddStatusRestarted() { AddRestartedFlag(); }
    void AddStatusCommunicationTimeout() { SetStatus1Mask(STATUS1_COMMUNICATIONTIMEOUT); }
    void AddStatusBusy() { SetStatus1Mask(STATUS1_BUSY); }
    // The controller is idle, that is not busy: clears the busy bit (there is no idle bit).
    void AddStatusIdle() { UnmaskStatus1(STATUS1_BUSY); }
    void AddLEDError() { SetError1Mask(ERROR1_LED); }
    void AddPowerError() { SetError1Mask(ERROR1_POWER); }
    void AddInternalComError() { SetError1Mask(ERROR1_INTERNALCOM); }
    void SetInternalCommError() { AddInternalComError(); }
    void UnsetInternalCommError() { UnmaskError1(ERROR1_INTERNALCOM); }
    void SetCommError() { SetError1Mask(ERROR1_COM); }
    void UnsetCommError() { UnmaskError1(ERROR1_COM); }
    void AddClimateError() { SetError1Mask(ERROR1_CLIMATE); }
    void AddOutOfRangeError() { SetError2Mask(ERROR2_OUTOFRANGE); }
    void AddMemoryError() { SetError2Mask(ERROR2_MEMORY); }
    void AddCIDError() { SetError2Mask(ERROR2_CID); }
    void AddInternalConflictError() { SetError2Mask(ERROR2_INTERNALCONFLICT); }
    void AddSequenceError() { SetError2Mask(ERROR2_SEQUENCE); }
    void AddDataFormatError() { SetError2Mask(ERROR2_DATAFORMAT); }
    void AddInternalError() { SetError2Mask(ERROR2_INTERNAL); }
    void Debug() const {}

    // Tests.
    bool IsStatusPictureActive() const { return (m_ucStatus1 & STATUS1_PICTUREACTIVE) != 0; }
    bool IsStatusRestartedActive() const { return (m_ucStatus1 & STATUS1_RESTARTED) != 0; }
    bool IsStatusBusy() const { return (m_ucStatus1 & STATUS1_BUSY) != 0; }
    bool IsInternalComError() const { return (m_ucError1 & ERROR1_INTERNALCOM) != 0; }
    bool IsComError() const { return (m_ucError1 & ERROR1_COM) != 0; }
    bool IsOutOfRangeError() const { return (m_ucError2 & ERROR2_OUTOFRANGE) != 0; }
    bool IsCIDError() const { return (m_ucError2 & ERROR2_CID) != 0; }

private:
    unsigned char m_ucStatus1 = 0;
    unsigned char m_ucError1 = 0;
    unsigned char m_ucError2 = 0;
};
