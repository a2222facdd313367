// FDLTelegram: the base of PROFIBUS FDL (layer 2) request frames: services, function codes, frame check.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

// An FDL frame. FDL telegrams have no kind (0) and are never re-tagged.
// Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API FDLTelegram : public KMRAbstractTelegram
{
public:
    // The requested FDL service; each gives one function code (request bit 0x40 set).
    enum EFDLType : int
    {
        EFDL_SDN_HIGH = 0,      // 0x46 send data with no acknowledge, high priority
        EFDL_SDN_LOW = 1,       // 0x44 send data with no acknowledge, low priority
        EFDL_SDA_HIGH = 2,      // 0x45 send data with acknowledge, high priority
        EFDL_SDA_LOW = 3,       // 0x43 send data with acknowledge, low priority
        EFDL_SRD_HIGH = 4,      // 0x4D send and request data, high priority
        EFDL_SRD_LOW = 5,       // 0x4C send and request data, low priority
        EFDL_FUNCTION0 = 6,     // 0x40
        EFDL_FUNCTION7 = 7,     // 0x47
        EFDL_FUNCTION0_B = 8,   // 0x40
        EFDL_REQUEST_STATUS = 9 // 0x49 request FDL status
    };

    static constexpr unsigned char SD1 = 0x10;               // start delimiter of the short frame
    static constexpr unsigned char SD2 = 0x68;               // start delimiter of the variable frame
    static constexpr unsigned char ED = 0x16;                // end delimiter
    static constexpr unsigned char FCV = 0x10;               // frame count bit valid
    static constexpr unsigned char FCB = 0x20;               // frame count bit
    static constexpr unsigned char ADDRESS_EXTENSION = 0x80; // a SAP follows the frame header
    // LE counts DA, SA, function code, SAPs and data and may not exceed 249; so at most 246
    // data bytes travel without SAPs and 244 with them.
    static constexpr unsigned int MAX_LE = 249;
    static constexpr unsigned int MAX_DATALEN = MAX_LE - 3;
    static constexpr unsigned int MAX_SAP_DATALEN = MAX_LE - 5;

    FDLTelegram(const FDLTelegram& other_i) = default;
    FDLTelegram& operator=(const FDLTelegram& other_i) = default;
    ~FDLTelegram() override;

    // Slot 29: the length byte LE (0 for a frame without one).
    virtual unsigned short GetCount() const = 0;
    // Slot 30: CalcChecksum(p_i, n_i) == check_i.
    virtual bool IsChecksumCorrect(unsigned char check_i, const unsigned char* p_i, unsigned int n_i) const;
    // Slot 31: FDL requests are not parsed; false. Never throws.
    virtual bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);

    // The frame check sequence: the 8-bit sum of p_i[0..n_i) (0 for none).
    static unsigned char CalcChecksum(const unsigned char* p_i, unsigned int n_i);

protected:
    explicit FDLTelegram(ETelegram eTelegram_i = ENone);

    // The function code of a service; unknown values give 0x40.
    static unsigned char _GetFunctionCodeFromFDLType(EFDLType eType_i);
};
