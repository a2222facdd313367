// FDLSendTelegram: building FDL request frames and reading their fields.
#include <KMRComm/FDLSendTelegram.h>

#include <KMRBase/KMRException.h>

#include <algorithm>
#include <cstring>

FDLSendTelegram::FDLSendTelegram() = default;

FDLSendTelegram::FDLSendTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i)
{
    m_pTelegram.reset(new unsigned char[6]);
    m_iTelegramLen = 6;
    unsigned char* p = m_pTelegram.get();
    p[0] = SD1;
    p[1] = DA_i;
    p[2] = SA_i;
    p[3] = _GetFunctionCodeFromFDLType(eType_i);
    p[4] = CalcChecksum(p + 1, 3);
    p[5] = ED;
}

FDLSendTelegram::FDLSendTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                                 unsigned char fcb_i, const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(DA_i, SA_i, eType_i, fcv_i, fcb_i, data_i, len_i);
}

FDLSendTelegram::FDLSendTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                                 unsigned char fcb_i, unsigned char DSAP_i, unsigned char SSAP_i,
                                 const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(DA_i, SA_i, eType_i, fcv_i, fcb_i, DSAP_i, SSAP_i, data_i, len_i);
}

FDLSendTelegram::FDLSendTelegram(const FDLSendTelegram& other_i) : FDLTelegram(other_i)
{
    *this = other_i;
}

FDLSendTelegram& FDLSendTelegram::operator=(const FDLSendTelegram& other_i)
{
    if (this == &other_i)
        return *this;
    FDLTelegram::operator=(other_i);
    std::unique_ptr<unsigned char[]> frame;
    if (other_i.m_iTelegramLen > 0)
    {
        frame.reset(new unsigned char[other_i.m_iTelegramLen]);
        std::memcpy(frame.get(), other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
    }
    m_pTelegram = std::move(frame);
    m_iTelegramLen = other_i.m_iTelegramLen;
    return *this;
}

FDLSendTelegram::~FDLSendTelegram() = default;

void FDLSendTelegram::InitializeTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                                         unsigned char fcb_i, const unsigned char* data_i, unsigned int len_i)
{
    _BuildVariable(DA_i, SA_i, eType_i, fcv_i, fcb_i, false, 0, 0, data_i, len_i);
}

void FDLSendTelegram::InitializeTelegram(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                                         unsigned char fcb_i, unsigned char DSAP_i, unsigned char SSAP_i,
                                         const unsigned char* data_i, unsigned int len_i)
{
    _BuildVariable(DA_i, SA_i, eType_i, fcv_i, fcb_i, true, DSAP_i, SSAP_i, data_i, len_i);
}

void FDLSendTelegram::_BuildVariable(unsigned char DA_i, unsigned char SA_i, EFDLType eType_i, unsigned char fcv_i,
                                     unsigned char fcb_i, bool bSaps_i, unsigned char DSAP_i, unsigned char SSAP_i,
                                     const unsigned char* data_i, unsigned int len_i)
{
    if (m_pTelegram)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "FDLSendTelegram::InitializeTelegram", "m_pTelegram == NULL");
    // A longer frame would need a length byte above 249 (or wrap it): the station would
    // take a different frame length than the one on the line.
    if (len_i > (bSaps_i ? MAX_SAP_DATALEN : MAX_DATALEN))
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "FDLSendTelegram::InitializeTelegram", "Too many data bytes for one frame");
    const unsigned int header = bSaps_i ? 9 : 7;
    const unsigned int frameLen = len_i + header + 2;
    std::unique_ptr<unsigned char[]> frame(new unsigned char[frameLen]());
    unsigned char* p = frame.get();
    const auto le = static_cast<unsigned char>(len_i + header - 4);
    unsigned char fc = _GetFunctionCodeFromFDLType(eType_i);
    if (fcv_i == 1)
        fc |= FCV;
    if (fcb_i == 1)
        fc |= FCB;
    p[0] = SD2;
    p[1] = le;
    p[2] = le;
    p[3] = SD2;
    p[4] = bSaps_i ? static_cast<unsigned char>(DA_i | ADDRESS_EXTENSION) : DA_i;
    p[5] = bSaps_i ? static_cast<unsigned char>(SA_i | ADDRESS_EXTENSION) : SA_i;
    p[6] = fc;
    if (bSaps_i)
    {
        p[7] = DSAP_i;
        p[8] = SSAP_i;
    }
    if (len_i > 0 && data_i != nullptr)
        std::memcpy(p + header, data_i, len_i);
    p[header + len_i] = CalcChecksum(p + 4, header - 4 + len_i);
    p[header + len_i + 1] = ED;
    m_pTelegram = std::move(frame);
    m_iTelegramLen = frameLen;
}

unsigned int FDLSendTelegram::_DataOffset() const
{
    return (m_pTelegram[4] & ADDRESS_EXTENSION) != 0 ? 9 : 7;
}

unsigned int FDLSendTelegram::GetDataSize() const
{
    if (!_IsVariable())
        return 0;
    // Data run from after the header (and SAPs) up to the frame check byte.
    const unsigned int offset = _DataOffset();
    return m_iTelegramLen > offset + 2 ? m_iTelegramLen - offset - 2 : 0;
}

const unsigned char* FDLSendTelegram::GetData() const
{
    return GetDataSize() == 0 ? nullptr : m_pTelegram.get() + _DataOffset();
}

unsigned char FDLSendTelegram::GetAddr() const
{
    if (_IsVariable())
        return static_cast<unsigned char>(m_pTelegram[4] & 0x7F);
    return m_iTelegramLen > 1 ? m_pTelegram[1] : 0xFF;
}

unsigned char FDLSendTelegram::GetSubAddr() const
{
    if (_IsVariable())
        return static_cast<unsigned char>(m_pTelegram[5] & 0x7F);
    return m_iTelegramLen > 2 ? m_pTelegram[2] : 0xFF;
}

unsigned char FDLSendTelegram::GetCmd() const
{
    if (_IsVariable())
        return m_pTelegram[6];
    return m_iTelegramLen > 3 ? m_pTelegram[3] : 0xFF;
}

unsigned short FDLSendTelegram::GetCount() const
{
    return _IsVariable() ? m_pTelegram[1] : 0;
}

ETelegramState FDLSendTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                              unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramInvalid;
}
