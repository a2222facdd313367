// KCTelegram: the base of the KelmarCom2 request and response frames, with the command constants.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <memory>

// A KelmarCom2 frame owned by the telegram. Every field is read from the frame bytes on
// demand; accessors never read beyond the frame and answer a fallback (0xFF unless a
// class says otherwise) when the frame is missing or too short.
// Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API KCTelegram : public KMRAbstractTelegram
{
public:
    // Classification of a command byte.
    enum ETelegramType
    {
        ETypeUnknown = 0,
        ETypeBasic = 1,
        ETypeExtended = 2
    };

    static constexpr unsigned char SYNC1 = 0x5A;
    static constexpr unsigned char SYNC2 = 0xA5;

    static constexpr unsigned char CMD_POLL = 0x01;
    static constexpr unsigned char CMD_SETSLAVEADDRESS = 0x02;
    static constexpr unsigned char CMD_GETSLAVEADDRESS = 0x03;
    static constexpr unsigned char CMD_SETGROUPADDRESS = 0x04;
    static constexpr unsigned char CMD_GETGROUPADDRESS = 0x05;
    static constexpr unsigned char CMD_SETBRIGHTNESS = 0x06;
    static constexpr unsigned char CMD_GETBRIGHTNESS = 0x07;
    static constexpr unsigned char CMD_SETDATETIME = 0x08;
    static constexpr unsigned char CMD_GETDATETIME = 0x09;
    static constexpr unsigned char CMD_STARTSEQUENCE = 0x0A;
    static constexpr unsigned char CMD_GETSOFTWAREVERSION = 0x0B;
    static constexpr unsigned char CMD_SETDIGITALOUTPUT = 0x0C;
    static constexpr unsigned char CMD_GETCATEGORYVALUES = 0x0D;
    static constexpr unsigned char CMD_STOPSEQUENCE = 0x0E;
    static constexpr unsigned char CMD_GETWIGWAGPARAMETERS = 0x10;
    static constexpr unsigned char CMD_GETCONTROLLERID = 0x11;
    static constexpr unsigned char CMD_RESETCONTROLLER = 0x12;
    static constexpr unsigned char CMD_DELETECONTENT = 0x13;
    static constexpr unsigned char CMD_DELETEALLCONTENT = 0x14;
    static constexpr unsigned char CMD_GETCONTENTSIZE = 0x15;
    static constexpr unsigned char CMD_STARTUPLOAD = 0x16;
    static constexpr unsigned char CMD_STOPUPLOAD = 0x17;
    static constexpr unsigned char CMD_STARTDOWNLOAD = 0x18;
    static constexpr unsigned char CMD_STOPDOWNLOAD = 0x19;
    static constexpr unsigned char CMD_SETCONTENT = 0x1A;
    static constexpr unsigned char CMD_GETCONTENT = 0x1B;
    static constexpr unsigned char CMD_ACTIVATECONTENT = 0x1C;
    static constexpr unsigned char CMD_PERFORMLEDTEST = 0x1D;
    static constexpr unsigned char CMD_SETWIGWAGTIME = 0x1E;
    static constexpr unsigned char CMD_GETCONTENTDATASIZE = 0x1F;
    static constexpr unsigned char CMD_SETWIGWAGMODE = 0x20;
    static constexpr unsigned char CMD_SYNCWIGWAG = 0x21;
    static constexpr unsigned char CMD_GETFREEMEMORY = 0x22;
    static constexpr unsigned char CMD_ACTIVATEDORMANTCONTENTID = 0x23;
    static constexpr unsigned char CMD_SETDORMANTCONTENTID = 0x24;
    static constexpr unsigned char CMD_GETLEDTESTTIMER = 0x25;
    static constexpr unsigned char CMD_SETLEDTESTTIMER = 0x26;
    static constexpr unsigned char CMD_ENABLEAUTODIMMING = 0x27;
    static constexpr unsigned char CMD_SETAUTODIMMING = 0x28;
    static constexpr unsigned char CMD_GETAUTODIMMING = 0x29;
    static constexpr unsigned char CMD_SETPROTOCOLADDRESS = 0x2A;
    static constexpr unsigned char CMD_GETPROTOCOLADDRESS = 0x2B;
    static constexpr unsigned char CMD_SETCONFIGURATION = 0x30;
    static constexpr unsigned char CMD_GETCONFIGURATION = 0x31;
    static constexpr unsigned char CMD_STARTTEXT = 0x32;
    static constexpr unsigned char CMD_ADDTEXT = 0x33;
    static constexpr unsigned char CMD_SHOWTEXT = 0x34;
    static constexpr unsigned char CMD_GETTEXTLENGTH = 0x35;
    static constexpr unsigned char CMD_SAVETEXTBMP = 0x36;
    static constexpr unsigned char CMD_GETASYNCDATA = 0x37;
    static constexpr unsigned char CMD_SETCOMTIMEOUT = 0x38;
    static constexpr unsigned char CMD_GETCOMTIMEOUT = 0x39;
    static constexpr unsigned char CMD_GETACTIVECONTENTID = 0x3B;
    static constexpr unsigned char CMD_SETLEDERRORFILTER = 0x3C;
    static constexpr unsigned char CMD_GETLEDERRORFILTER = 0x3D;
    static constexpr unsigned char CMD_SETBLINKTIME = 0x3E;
    static constexpr unsigned char CMD_GETBLINKTIME = 0x3F;
    static constexpr unsigned char CMD_GETACTIVESEQUENCE = 0x40;
    static constexpr unsigned char CMD_GETCONTENTIDCHECKSUM = 0x41;
    static constexpr unsigned char CMD_SYNCSEQUENCE = 0x42;
    static constexpr unsigned char CMD_CIDAVAILABLE = 0x43;
    static constexpr unsigned char CMD_SETCOMTIMEOUTCONTENT = 0x44;
    static constexpr unsigned char CMD_GETCOMTIMEOUTCONTENT = 0x45;
    static constexpr unsigned char CMD_GETBUILDNUMBER = 0x46;
    static constexpr unsigned char CMD_GENERATEDIR = 0x47;
    static constexpr unsigned char CMD_GETMANUALCONTROL = 0xED;
    static constexpr unsigned char CMD_SETMANUALCONTROL = 0xEE;
    static constexpr unsigned char CMD_GETSTATUSEX = 0xEF;
    static constexpr unsigned char CMD_POLLFIRMWARE = 0xF0;
    static constexpr unsigned char CMD_STARTUPLOADFIRMWARE = 0xF1;
    static constexpr unsigned char CMD_STOPUPLOADFIRMWARE = 0xF2;
    static constexpr unsigned char CMD_SETCONTENTFIRMWARE = 0xF3;
    static constexpr unsigned char CMD_ENABLEFIRMWAREUPDATE = 0xF4;
    static constexpr unsigned char CMD_RESETFWCONTROLLER = 0xF5;
    static constexpr unsigned char CMD_FORMAT_FILESYSTEM = 0xF6;
    static constexpr unsigned char CMD_TEST = 0xFD;
    static constexpr unsigned char CMD_GETALIVETIME = 0xFE;
    static constexpr unsigned char CMD_GETERRORCODE = 0xFF;
    static constexpr unsigned char CMD_GETTELEGRAMDURATION = 0xFF;

    KCTelegram(const KCTelegram& other_i);
    KCTelegram& operator=(const KCTelegram& other_i);
    ~KCTelegram() override;

    const unsigned char* GetTelegramStream() const override { return m_pTelegram.get(); }
    unsigned int GetSize() const override { return m_iTelegramLen; }
    // The address bytes at offsets 2 and 3, ordered by the use-sub-address setting.
    unsigned char GetAddr() const override;
    unsigned char GetSubAddr() const override;
    // Requests carry no status bytes: 0.
    unsigned char GetStatus1() const override { return 0; }
    unsigned char GetError1() const override { return 0; }
    unsigned char GetError2() const override { return 0; }
    // By the command byte's classification (GetTelegramTypeFromCmd).
    bool IsExtendedTelegram() const override;
    bool IsBasicTelegram() const override;

    // Slot 29: the telegram kind of a command (request or response kind by family); 0 if none.
    virtual ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const = 0;
    // Slot 30: the count byte (offset 4).
    virtual unsigned char GetCount() const = 0;
    // Slot 31: CalcChecksum(p_i, n_i) == chk_i.
    virtual bool IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const;
    // Slot 32: whether the bytes form a valid frame of the family; never throws. The family
    // base answers false.
    virtual bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);

    // Two's complement of the 8-bit sum of p_i[0..n_i): covered bytes plus checksum sum to 0.
    static unsigned char CalcChecksum(const unsigned char* p_i, unsigned long n_i);
    static unsigned char CalcChecksum(const unsigned char* p_i, unsigned int n_i);
    static ETelegramType GetTelegramTypeFromCmd(unsigned char cmd_i);
    // Request kind of a command (0 for commands outside the catalogue).
    static ETelegram GetRequestTelegramFromCmd(unsigned char cmd_i);
    // The request kind of GetCmd() by the table used for requests read from a byte stream,
    // which leaves a few commands without a kind.
    ETelegram DetermineSendTelegramTypeFromCmd() const;

protected:
    explicit KCTelegram(ETelegram eTelegram_i = ENone);

    // Replaces the frame with a copy of the given bytes (null or 0 bytes: no frame).
    void _AssignFrame(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    // A new zero-filled frame of the given length, replacing the old one.
    unsigned char* _AllocateFrame(unsigned int iTelegramLen_i);
    // The byte at offset_i, or fallback_i when the frame is shorter.
    unsigned char _ByteAt(unsigned int offset_i, unsigned char fallback_i) const
    {
        return offset_i < m_iTelegramLen ? m_pTelegram[offset_i] : fallback_i;
    }
    // Writes the two address bytes at p_io[2], p_io[3] by the use-sub-address setting.
    static void _WriteAddress(unsigned char* p_io, unsigned char addr_i, unsigned char subAddr_i);
    // Payload size and position for a frame whose command byte is at cmdOffset_i, bounded
    // by the frame's real length.
    unsigned int _DataSize(unsigned int cmdOffset_i) const;
    const unsigned char* _Data(unsigned int cmdOffset_i) const;

    std::unique_ptr<unsigned char[]> m_pTelegram;
    uint32_t m_iTelegramLen = 0;
};
