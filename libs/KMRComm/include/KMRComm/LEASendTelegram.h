// LEASendTelegram: an LEA request: a command with up to two text parameters and one integer parameter.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/LEATelegram.h>

#include <KMRBase/KMRString.h>

#include <cstdint>

// An LEA request holds no frame (GetTelegramStream() is null, GetSize() 0); the LEA
// transmission reads its fields. A value type. Thread safety: not locked.
class KMRComm_API LEASendTelegram : public LEATelegram
{
public:
    // Every constructor stores its arguments through InitializeTelegram: a missing text is
    // empty, a missing integer 0; the default constructor passes zeros.
    LEASendTelegram();
    LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i);
    LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const KMRString& parameter1_i);
    LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const KMRString& parameter1_i,
                    const KMRString& parameter2_i);
    LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, const KMRString& parameter1_i,
                    int intParameter_i);
    LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, int intParameter_i);
    LEASendTelegram(const LEASendTelegram& other_i);
    LEASendTelegram& operator=(const LEASendTelegram& other_i);
    ~LEASendTelegram() override;

    // Stores the fields; the kind becomes DetermineTelegramFromCmd(cmd_i).
    void InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, KMRString parameter1_i,
                            KMRString parameter2_i, unsigned int intParameter_i);

    const unsigned char* GetTelegramStream() const override { return nullptr; }
    unsigned int GetSize() const override { return 0; }
    bool IsSuccessful() const override { return true; }
    // There are no data bytes: GetData() is null even though GetDataSize() answers 1.
    const unsigned char* GetData() const override { return nullptr; }
    unsigned int GetDataSize() const override { return 1; }
    unsigned char GetAddr() const override { return m_ucAddr; }
    unsigned char GetSubAddr() const override { return m_ucAddr; }
    unsigned char GetTag() const override { return m_ucTag; }
    unsigned char GetCmd() const override { return m_ucCmd; }
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    // Requests are not cut from streams: invalid, consumed_o = iTelegramLen_i.
    ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                 unsigned int& consumed_o) override;
    // "Command: %02x,SubAddress: %02x,Paramter1: %s, Parameter2: %s, INTParameter %d".
    void ToString(KMRString& text_o) const override;
    // The same text, cut to fit buffer_o with its terminating NUL.
    void ToString(char* buffer_o, unsigned long size_i) const override;
    KMRString GetParameter1() override { return m_strParameter1; }
    KMRString GetParameter2() override { return m_strParameter2; }
    int GetIntParameter() const override { return m_iIntParameter; }
    KMRString GetStatusReturnString() override { return KMRString(); }
    KMRString GetStatusInformationString() override { return KMRString(); }
    unsigned int GetStatusReturn() const override { return 0; }
    ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const override;

private:
    unsigned char m_ucAddr = 0;
    unsigned char m_ucCmd = 0;
    unsigned char m_ucTag = 0;
    int32_t m_iIntParameter = 0;
    KMRString m_strParameter1;
    KMRString m_strParameter2;
};
