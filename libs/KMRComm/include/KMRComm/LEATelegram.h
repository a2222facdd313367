// LEATelegram: the base of the LEA requests and responses, with the LEA command constants.
#pragma once

#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommExport.h>

// LEA telegrams never exist as frame bytes: a request is a command with text and integer
// parameters, a response a text answer with a status return code (read through the
// text-parameter operations). The LEA transmission executes them through outside libraries.
// Thread safety: not locked; see KMRAbstractTelegram.
class KMRComm_API LEATelegram : public KMRAbstractTelegram
{
public:
    static constexpr unsigned char CMD_POLL = 0x10;
    static constexpr unsigned char CMD_SETBRIGHTNESS = 0x11;
    static constexpr unsigned char CMD_GETBRIGHTNESS = 0x12;
    static constexpr unsigned char CMD_GETSOFTWAREVERSION = 0x13;
    static constexpr unsigned char CMD_RESETCONTROLLER = 0x14;
    static constexpr unsigned char CMD_DELETECONTENT = 0x15;
    static constexpr unsigned char CMD_GETCONTENTSIZE = 0x16;
    static constexpr unsigned char CMD_STARTUPLOAD = 0x17;
    static constexpr unsigned char CMD_STARTDOWNLOAD = 0x18;
    static constexpr unsigned char CMD_SETCONTENT = 0x19;
    static constexpr unsigned char CMD_GETCONTENT = 0x20;
    static constexpr unsigned char CMD_ACTIVATECONTENT = 0x21;
    static constexpr unsigned char CMD_PERFORMLEDTEST = 0x22;
    static constexpr unsigned char CMD_GETLEDTEST = 0x23;
    static constexpr unsigned char CMD_SETCOMTIMEOUT = 0x24;
    static constexpr unsigned char CMD_GETACTIVECONTENTID = 0x25;
    static constexpr unsigned char CMD_TRIGGEREVENT = 0x30;
    static constexpr unsigned char CMD_SETDIRECTORY = 0x31;
    static constexpr unsigned char CMD_GETDIRECTORY = 0x32;
    static constexpr unsigned char CMD_OPENFILE = 0x33;
    static constexpr unsigned char CMD_CLOSEFILE = 0x34;
    static constexpr unsigned char CMD_SETDRIVE = 0x35;
    static constexpr unsigned char CMD_CREATEDIRECTORY = 0x36;
    static constexpr unsigned char CMD_TRIGGERFILEREAD = 0x37;
    static constexpr unsigned char CMD_READVARIABLE = 0x38;
    // Not the same command as CMD_SETCOMTIMEOUT.
    static constexpr unsigned char CMD_SETCOMMTIMEOUT = 0x39;
    static constexpr unsigned char CMD_GETCHECKSUM = 0x3a;
    static constexpr unsigned char CMD_WRITEVARIABLE = 0x3b;
    static constexpr unsigned char CMD_SETANIMATION = 0x3c;
    static constexpr unsigned char CMD_CHECKFREEDISKSPACE = 0x3d;
    static constexpr unsigned char CMD_DELETEFILE = 0x3e;
    static constexpr unsigned char CMD_FORMATDISK = 0xf6;

    LEATelegram(const LEATelegram& other_i) = default;
    LEATelegram& operator=(const LEATelegram& other_i) = default;
    ~LEATelegram() override;

    unsigned int GetSequenceCnt() const override { return 0; }
    bool IsExtendedTelegram() const override { return false; }
    bool IsBasicTelegram() const override { return true; }
    bool IsTelegramBusy() override { return false; }
    bool IsTelegramString() const override { return true; }

    // Slot 29: the kind of a command.
    virtual ETelegram DetermineTelegramFromCmd(unsigned char cmd_i) const = 0;
    // Slot 30: there is no checksum: true.
    virtual bool IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const;
    // Slot 31: LEA telegrams are never parsed from bytes: false. Never throws.
    virtual bool IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i);
    // Slot 32: 0.
    virtual unsigned short GetCount() const { return 0; }

    // The request kind of an LEA command; 0 for commands without one.
    static ETelegram GetRequestTelegramFromCmd(unsigned char cmd_i);

protected:
    explicit LEATelegram(ETelegram eTelegram_i = ENone);

    // Copies text_i into buffer_o, cut to fit with its terminating NUL; nothing for size 0.
    static void _CopyText(const KMRString& text_i, char* buffer_o, unsigned long size_i);
};
