// FDLSendTelegram: PROFIBUS FDL request frames: the short frame and the variable frames with and without SAPs.
#pragma once

#include <KMRComm/FDLTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <memory>

// A request frame, ready to be written to the bus:
//   short:         10 DA SA FC FCS 16                       (FCS over DA..FC)
//   variable:      68 LE LE 68 DA SA FC data FCS 16          (LE = data + 3)
//   variable+SAPs: 68 LE LE 68 DA|80 SA|80 FC DSAP SSAP data FCS 16 (LE = data + 5)
// The field accessors read the frame for diagnostics and never leave it: GetAddr is DA and
// GetSubAddr SA (without the extension bit), GetCmd the function code, GetTag 0, GetCount LE,
// GetData the data bytes after the SAPs. Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API FDLSendTelegram : public FDLTelegram
{
public:
    // No frame.
    FDLSendTelegram();
    // The short frame without data (function code without frame count bits).
    FDLSendTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i);
    // The variable frame without SAPs; see InitializeTelegram.
    FDLSendTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i, unsigned char fcb_i,
                    const unsigned char* data_i, unsigned int len_i);
    // The variable frame with SAPs; see InitializeTelegram.
    FDLSendTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i, unsigned char fcb_i,
                    unsigned char DSAP_i, unsigned char SSAP_i, const unsigned char* data_i, unsigned int len_i);
    FDLSendTelegram(const FDLSendTelegram& other_i);
    FDLSendTelegram& operator=(const FDLSendTelegram& other_i);
    ~FDLSendTelegram() override;

    // Build a variable frame into a telegram without one. fcv_i == 1 sets the frame count
    // valid bit, fcb_i == 1 the frame count bit (other values leave them clear). data_i may be
    // null only when len_i is 0 (null data otherwise gives zero bytes). Throw KMRException
    // (plausibility) when len_i exceeds MAX_DATALEN (MAX_SAP_DATALEN with SAPs), since the
    // length byte cannot describe more, or when the telegram already holds a frame.
    void InitializeTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                            unsigned char fcb_i, const unsigned char* data_i, unsigned int len_i);
    void InitializeTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                            unsigned char fcb_i, unsigned char DSAP_i, unsigned char SSAP_i,
                            const unsigned char* data_i, unsigned int len_i);

    const unsigned char* GetTelegramStream() const override { return m_pTelegram.get(); }
    unsigned int GetSize() const override { return m_iTelegramLen; }
    bool IsSuccessful() const override { return true; }
    const unsigned char* GetData() const override;
    unsigned int GetDataSize() const override;
    unsigned char GetAddr() const override;
    unsigned char GetSubAddr() const override;
    unsigned char GetTag() const override { return 0; }
    unsigned char GetCmd() const override;
    unsigned int GetSequenceCnt() const override { return 0; }
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    bool IsExtendedTelegram() const override { return false; }
    bool IsBasicTelegram() const override { return true; }
    // Requests are not cut from streams: invalid, consumed_o = iTelegramLen_i.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    unsigned short GetCount() const override;

private:
    void _BuildVariable(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                        unsigned char fcb_i, bool bSaps_i, unsigned char DSAP_i, unsigned char SSAP_i,
                        const unsigned char* data_i, unsigned int len_i);
    bool _IsVariable() const { return m_iTelegramLen >= 9 && m_pTelegram[0] == SD2; }
    // Offset of the first data byte of a variable frame.
    unsigned int _DataOffset() const;

    std::unique_ptr<unsigned char[]> m_pTelegram;
    uint32_t m_iTelegramLen = 0;
};
