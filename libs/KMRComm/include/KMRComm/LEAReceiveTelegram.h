// LEAReceiveTelegram: an LEA response: a text answer and status return code decoded into status bytes.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/LEATelegram.h>

#include <KMRBase/KMRString.h>

#include <cstdint>
#include <vector>

// The answer of the LEA transmission to one request: address, tag and command of the
// request, the answer bytes (if any), the return text, the status return code and the
// status bytes MapErrors derives from them. A value type; copies copy the data bytes.
// IsSuccessful() is false for every response: read the status bytes and texts instead.
// Thread safety: not locked.
class KMRComm_API LEAReceiveTelegram : public LEATelegram
{
public:
    // An empty response: all bytes 0, no data, empty texts, status return 0.
    LEAReceiveTelegram();
    // Ignores the bytes: LEA responses are never parsed; an empty response.
    LEAReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    // See the matching InitializeTelegram.
    LEAReceiveTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const unsigned char* data_i,
                       unsigned int len_i, unsigned int statusReturn_i);
    LEAReceiveTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, KMRString text_i,
                       unsigned int statusReturn_i);
    LEAReceiveTelegram(const LEAReceiveTelegram& other_i);
    LEAReceiveTelegram& operator=(const LEAReceiveTelegram& other_i);
    ~LEAReceiveTelegram() override;

    // Copies the len_i data bytes (null data: none) and takes them, up to the first NUL, as
    // the return text; clears the status bytes and decodes them with MapErrors.
    void InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const unsigned char* data_i,
                            unsigned int len_i, unsigned int statusReturn_i);
    // The same with the return text given and no data.
    void InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, KMRString text_i,
                            unsigned int statusReturn_i);

    void SetStatus1(unsigned char status1_i) { m_ucStatus1 = status1_i; }
    void SetError1(unsigned char error1_i) { m_ucError1 = error1_i; }
    void SetError2(unsigned char error2_i) { m_ucError2 = error2_i; }
    // 0x10.
    unsigned char GetTagFlags() const { return 0x10; }

    const unsigned char* GetTelegramStream() const override { return GetData(); }
    unsigned int GetSize() const override { return GetDataSize(); }
    bool IsSuccessful() const override { return (GetFlags() & 0x01) != 0; }
    const unsigned char* GetData() const override { return m_Data.empty() ? nullptr : m_Data.data(); }
    unsigned int GetDataSize() const override { return static_cast<unsigned int>(m_Data.size()); }
    unsigned char GetAddr() const override { return m_ucAddr; }
    unsigned char GetSubAddr() const override { return m_ucAddr; }
    unsigned char GetTag() const override { return m_ucTag; }
    unsigned char GetCmd() const override { return m_ucCmd; }
    unsigned char GetStatus1() const override { return m_ucStatus1; }
    unsigned char GetError1() const override { return m_ucError1; }
    unsigned char GetError2() const override { return m_ucError2; }
    // LEA responses are never cut from a stream: the whole input counts as the response
    // (consumed_o = iTelegramLen_i), as the factory builds it from any bytes.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    // "Command: %02x,SubAddress: %02x, Return: %s".
    void ToString(KMRString& text_o) const override;
    // The same text, cut to fit buffer_o with its terminating NUL.
    void ToString(char* buffer_o, unsigned long size_i) const override;
    KMRString GetStatusReturnString() override { return m_strReturn; }
    KMRString GetStatusInformationString() override { return m_strInformation; }
    unsigned int GetStatusReturn() const override { return m_uiStatusReturn; }
    // Every command: 49 (EActivateContent).
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;
    // Slot 33: 0.
    virtual unsigned char GetFlags() const { return 0; }

protected:
    // LEA responses have no frame start: false.
    static bool FindTelegramStart(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i, unsigned int start_i,
                                  unsigned int& pos_o);
    // Decodes the return text (case-insensitive) and the status return code into the
    // information text and the status bytes.
    void MapErrors();

private:
    unsigned char m_ucAddr = 0;
    unsigned char m_ucCmd = 0;
    unsigned char m_ucTag = 0;
    unsigned char m_ucStatus1 = 0;
    unsigned char m_ucError1 = 0;
    unsigned char m_ucError2 = 0;
    std::vector<unsigned char> m_Data;
    KMRString m_strInformation;
    KMRString m_strReturn;
    uint32_t m_uiStatusReturn = 0;
};
