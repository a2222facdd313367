// KMRAbstractTelegram: the base of every telegram, the telegram catalogue ETelegram and the splitting states.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <KMRBase/KMRString.h>

#include <memory>
#include <string>

// Telegram kinds. Every odd value is a request kind, the following even value the
// kind of its response; ENone marks a telegram its family does not classify.
enum ETelegram : int
{
    ENone = 0,
    EPoll = 1,
    EOnPoll = 2,
    ESetSlaveAddress = 3,
    EOnSetSlaveAddress = 4,
    EGetSlaveAddress = 5,
    EOnGetSlaveAddress = 6,
    ESetGroupAddress = 7,
    EOnSetGroupAddress = 8,
    EGetGroupAddress = 9,
    EOnGetGroupAddress = 10,
    ESetBrightness = 11,
    EOnSetBrightness = 12,
    EGetBrightness = 13,
    EOnGetBrightness = 14,
    ESetDateTime = 15,
    EOnSetDateTime = 16,
    EGetDateTime = 17,
    EOnGetDateTime = 18,
    EGetSoftwareVersion = 19,
    EOnGetSoftwareVersion = 20,
    ESetDigitalOutput = 21,
    EOnSetDigitalOutput = 22,
    EGetCategoryValues = 23,
    EOnGetCategoryValues = 24,
    EGetWigWagParameters = 25,
    EOnGetWigWagParameters = 26,
    EGetControllerID = 27,
    EOnGetControllerID = 28,
    EResetController = 29,
    EOnResetController = 30,
    EDeleteContent = 31,
    EOnDeleteContent = 32,
    EDeleteAllContent = 33,
    EOnDeleteAllContent = 34,
    EGetContentSize = 35,
    EOnGetContentSize = 36,
    EStartUpload = 37,
    EOnStartUpload = 38,
    EStopUpload = 39,
    EOnStopUpload = 40,
    EStartDownload = 41,
    EOnStartDownload = 42,
    EStopDownload = 43,
    EOnStopDownload = 44,
    ESetContent = 45,
    EOnSetContent = 46,
    EGetContent = 47,
    EOnGetContent = 48,
    EActivateContent = 49,
    EOnActivateContent = 50,
    EPerformLEDTest = 51,
    EOnPerformLEDTest = 52,
    ESetWigWagTime = 53,
    EOnSetWigWagTime = 54,
    EGetContentDataSize = 55,
    EOnGetContentDataSize = 56,
    ESetWigWagMode = 57,
    EOnSetWigWagMode = 58,
    ESyncWigWag = 59,
    EOnSyncWigWag = 60,
    EGetFreeMemory = 61,
    EOnGetFreeMemory = 62,
    EActivateDormantContentID = 63,
    EOnActivateDormantContentID = 64,
    ESetDormantContentID = 65,
    EOnSetDormantContentID = 66,
    EGetLedTestTimer = 67,
    EOnGetLedTestTimer = 68,
    ESetLedTestTimer = 69,
    EOnSetLedTestTimer = 70,
    EEnableAutoDimming = 71,
    EOnEnableAutoDimming = 72,
    ESetAutoDimming = 73,
    EOnSetAutoDimming = 74,
    EGetAutoDimming = 75,
    EOnGetAutoDimming = 76,
    ESetConfiguration = 77,
    EOnSetConfiguration = 78,
    EGetConfiguration = 79,
    EOnGetConfiguration = 80,
    EStartText = 81,
    EOnStartText = 82,
    EAddText = 83,
    EOnAddText = 84,
    EShowText = 85,
    EOnShowText = 86,
    EGetTextLength = 87,
    EOnGetTextLength = 88,
    ESaveTextBmp = 89,
    EOnSaveTextBmp = 90,
    EGetAsyncData = 91,
    EOnGetAsyncData = 92,
    ESetComTimeout = 93,
    EOnSetComTimeout = 94,
    EGetComTimeout = 95,
    EOnGetComTimeout = 96,
    EGetActiveContentID = 97,
    EOnGetActiveContentID = 98,
    EGetAliveTime = 99,
    EOnGetAliveTime = 100,
    EGetErrorCode = 101,
    EOnGetErrorCode = 102,
    EStartUploadFirmware = 103,
    EOnStartUploadFirmware = 104,
    EFormatFilesystem = 105,
    EOnFormatFilesystem = 106,
    EPollFirmware = 107,
    EOnPollFirmware = 108,
    ESetContentFirmware = 109,
    EOnSetContentFirmware = 110,
    EStopUploadFirmware = 111,
    EOnStopUploadFirmware = 112,
    ETest = 113,
    EOnTest = 114,
    ESetLedErrorFilter = 115,
    EOnSetLedErrorFilter = 116,
    EEnableFirmwareUpdate = 117,
    EOnEnableFirmwareUpdate = 118,
    EResetFWController = 119,
    EOnResetFWController = 120,
    EGetBuildNumber = 121,
    EOnGetBuildNumber = 122,
    ECIDAvailable = 123,
    EOnCIDAvailable = 124,
    ESetProtocolAddress = 125,
    EOnSetProtocolAddress = 126,
    EGetProtocolAddress = 127,
    EOnGetProtocolAddress = 128,
    EStartSequence = 129,
    EOnStartSequence = 130,
    EStopSequence = 131,
    EOnStopSequence = 132,
    EGetLedErrorFilter = 133,
    EOnGetLedErrorFilter = 134,
    ESetBlinkTime = 135,
    EOnSetBlinkTime = 136,
    EGetBlinkTime = 137,
    EOnGetBlinkTime = 138,
    EGetActiveSequence = 139,
    EOnGetActiveSequence = 140,
    EGetContentIDChecksum = 141,
    EOnGetContentIDChecksum = 142,
    ESyncSequence = 143,
    EOnSyncSequence = 144,
    ESetComTimeoutContent = 145,
    EOnSetComTimeoutContent = 146,
    EGetComTimeoutContent = 147,
    EOnGetComTimeoutContent = 148,
    EGetManualControl = 149,
    EOnGetManualControl = 150,
    ESetManualControl = 151,
    EOnSetManualControl = 152,
    EGetStatusEx = 153,
    EOnGetStatusEx = 154,
    EGenerateDir = 155,
    EOnGenerateDir = 156,
    EFormatDisk = 157
};

// Result of SplitTelegram.
enum ETelegramState
{
    ETelegramComplete = 0,   // a complete frame starts at the first byte; consumed = its length
    ETelegramIncomplete = 1, // more bytes are needed (or the input is empty); consumed unchanged
    ETelegramInvalid = 2     // no valid frame at the start; consumed = leading bytes to discard (> 0)
};

// The base of every telegram: one frame of one protocol family, read on demand.
//
// Ownership: telegrams travel between threads and libraries as raw pointers; whoever
// receives one from a factory owns it and frees it with Release() (or delete).
// KMRAbstractTelegram::Release(p) and KMRTelegramPtr do the same and accept null.
// Thread safety: a telegram is not locked; it is built by one thread and handed over.
class KMRComm_API KMRAbstractTelegram
{
public:
    KMRAbstractTelegram(const KMRAbstractTelegram& other_i) = default;
    KMRAbstractTelegram& operator=(const KMRAbstractTelegram& other_i) = default;

    // Slot 0.
    virtual ~KMRAbstractTelegram();
    // Slot 1: deletes this telegram. Never call it through a null pointer; use the
    // static Release(pTelegram_i) where the pointer may be null.
    virtual void Release();

    // Releases pTelegram_i through its virtual Release(); null is ignored.
    static void Release(KMRAbstractTelegram* pTelegram_i);

    // Slots 2 to 9: the raw frame, its length and the common header fields.
    virtual const unsigned char* GetTelegramStream() const = 0;
    virtual unsigned int GetSize() const = 0;
    virtual bool IsSuccessful() const = 0;
    // The payload, or null when there is none; never reaches beyond the frame.
    virtual const unsigned char* GetData() const = 0;
    virtual unsigned int GetDataSize() const = 0;
    virtual unsigned char GetAddr() const = 0;
    virtual unsigned char GetSubAddr() const = 0;
    virtual unsigned char GetTag() const = 0;
    // Slot 10: replaces the tag of a request about to be repeated; the base does nothing.
    virtual void ChangeBusyTag(unsigned char tag_i);
    // Slots 11 to 17.
    virtual unsigned char GetCmd() const = 0;
    virtual unsigned int GetSequenceCnt() const = 0;
    virtual unsigned char GetStatus1() const = 0;
    virtual unsigned char GetError1() const = 0;
    virtual unsigned char GetError2() const = 0;
    virtual bool IsExtendedTelegram() const = 0;
    virtual bool IsBasicTelegram() const = 0;
    // Slot 18: finds the frame at the start of the received bytes pTelegram_i[0..iTelegramLen_i).
    // Complete: consumed_o = the frame's exact length. Incomplete: consumed_o unchanged.
    // Invalid: consumed_o = the number of leading bytes to drop (> 0, at most the input length).
    virtual ETelegramState SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                         unsigned int& consumed_o) = 0;
    // Slot 19: true when the peer answered "busy"; the base answers false.
    virtual bool IsTelegramBusy();
    // Slot 20: a text form of the telegram; the base leaves text_o unchanged.
    virtual void ToString(KMRString& text_o) const;
    // Slot 21: the raw frame as "XX " per byte (upper-case hex, one blank after each byte),
    // cut to fit buffer_o with its terminating NUL. Nothing is written when size_i is 0.
    virtual void ToString(char* buffer_o, unsigned long size_i) const;
    // Slots 22 to 28: the text-parameter protocol of the LEA family; defaults below.
    virtual KMRString GetParameter1();                 // ""
    virtual KMRString GetParameter2();                 // ""
    virtual int GetIntParameter() const;               // -1
    virtual KMRString GetStatusReturnString();         // ""
    virtual KMRString GetStatusInformationString();    // ""
    virtual unsigned int GetStatusReturn() const;      // 0
    virtual bool IsTelegramString() const;             // false

    void SetTelegram(ETelegram eTelegram_i) { m_eTelegram = eTelegram_i; }
    ETelegram GetTelegram() const { return m_eTelegram; }
    // The kind's text from the catalogue ("Poll", "OnPoll", ...); empty for kinds without one.
    std::string GetTelegramTypeString() const;

protected:
    explicit KMRAbstractTelegram(ETelegram eTelegram_i = ENone);

    ETelegram m_eTelegram;
};

// unique_ptr deleter that gives a telegram back through Release(); null-safe.
struct KMRTelegramReleaser
{
    void operator()(KMRAbstractTelegram* pTelegram_i) const { KMRAbstractTelegram::Release(pTelegram_i); }
};
using KMRTelegramPtr = std::unique_ptr<KMRAbstractTelegram, KMRTelegramReleaser>;
