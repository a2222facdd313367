// FirmwareUpload: the upload tool's engine, talking to one sign controller over one transmission.
#pragma once

#include "IKMRProgressBar.h"
#include "IKMRTransmissionFactory.h"
#include "KMRExceptionBase.h"

#include <KMRComm/IKMRReceiver.h>
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KCSendTelegram.h>
#include <KMRComm/KMREvent.h>

#include <KMRBase/KMRString.h>
#include <KMRLogging/KMRLogger.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <vector>

class KMRTransmission;
class IKMRTelegramFactory;

// The engine builds KelmarCom2 requests, sends them, waits for the answer, checks it
// and turns every negative answer into a KMRExceptionBase with a fixed text. Every
// controller procedure of the tool (firmware, content, service commands) is built
// from its exchanges.
//
// Thread safety: all operations run on one thread (the caller's); the transmission's
// delivery thread only calls OnReceive, which hands the answer over under a lock and
// sets the response event. Answers are matched to the outstanding request by its tag:
// a late answer to an earlier request is logged and ignored, never taken as the
// answer to the current one.
class FirmwareUpload : public IKMRReceiver
{
public:
    // Retries and bounds of the procedures.
    static constexpr int32_t START_UPLOAD_ATTEMPTS = 20;
    static constexpr int32_t SET_CONTENT_ATTEMPTS = 40;
    static constexpr int32_t STOP_UPLOAD_ATTEMPTS = 20;
    static constexpr int32_t FIRMWARE_POLL_ATTEMPTS = 30;
    // "BUSY" answers re-send a poll without counting an attempt; this many in a row
    // make the poll fail instead of polling forever.
    static constexpr int32_t MAX_BUSY_ANSWERS = 100;
    static constexpr uint8_t FIRMWARE_MODE_ADDRESS = 254;
    static constexpr uint8_t BROADCAST_ADDRESS = 255;
    static constexpr int32_t TEMPERATURE_UNKNOWN = -200;

    FirmwareUpload(IKMRTransmissionFactory* factory_i, uint8_t address_i);
    // Reads the whole firmware image; throws KMRExceptionBase when it cannot be read.
    FirmwareUpload(IKMRTransmissionFactory* factory_i, const KMRString& imageFile_i, uint8_t address_i);
    ~FirmwareUpload() override;
    FirmwareUpload(const FirmwareUpload&) = delete;
    FirmwareUpload& operator=(const FirmwareUpload&) = delete;

    // Called by the transmission's delivery thread for every complete answer.
    void OnReceive(KMRAbstractTelegram* telegram_i) override;

    // Opens the transmission; exceptions of the transmission pass to the caller.
    void Initialize(int32_t timeoutMs_i);
    void UnInitialize();
    bool IsInitialized() const { return m_pTransmission != nullptr; }

    void SetKelmarCom2Address(uint8_t address_i);
    uint8_t GetKelmarCom2Address() const { return m_ucAddress; }
    uint8_t GetUserModeAddress() const { return m_ucUserModeAddress; }
    int32_t GetResponseTimeout() const { return m_iResponseTimeout; }

    // Optional controls; not owned; may be null.
    void SetProgressBar(IKMRProgressBar* progressBar_i) { m_pProgressBar = progressBar_i; }
    void SetPaintPump(IKMRPaintPump* pump_i) { m_pPaintPump = pump_i; }
    void ResetProgressBar();

    // Firmware (the image given at construction).
    uint32_t GetImageLength() const { return static_cast<uint32_t>(m_Image.size()); }
    unsigned int GetNumberOfFirmwareSequences() const;
    bool _PollControllerUSERMode(int32_t count_i, uint32_t timeoutMs_i);
    bool _PollControllerFirmwareMode(int32_t count_i, uint32_t timeoutMs_i);
    bool CheckIfControllerIsReachable_UserMode(int32_t totalMs_i);
    bool CheckIfControllerIsReachable_FirmwareMode(int32_t totalMs_i);
    bool CheckIfControllerIsReachable(int32_t totalMs_i, bool* inFirmwareMode_o);
    void EnableFirmwareUpload();
    bool _SendEnableFirmwareUploadTelegram();
    void UploadFile();
    uint16_t _CalcFletcherChecksum() const;
    static uint16_t CalcFletcherChecksum(const uint8_t* data_i, size_t length_i);
    void FormatFilesystem(uint8_t addressAfter_i);

    // Content.
    void UploadCidOrConfigFile(const KMRString& path_i, uint32_t cid_i, uint8_t type_i);
    void UploadBitmap(const KMRString& path_i, uint32_t cid_i, uint8_t signType_i);
    void DownloadContent(const KMRString& path_i, uint32_t cid_i, uint8_t type_i);
    void CheckIfCidExists(uint32_t cid_i);
    // Never fails towards the caller (a preparation step).
    void DeleteContentID(uint32_t cid_i);
    // Deletes and reports failures (timeouts, negative answers) as KMRExceptionBase.
    void DeleteContentIDChecked(uint32_t cid_i) { _SendDeleteContentIDTelegram(cid_i); }
    void ActivateContent(uint32_t cid_i);
    void SetSignBrightness(uint8_t brightness_i);
    static uint8_t CalcChecksum_CID(const uint8_t* data_i, size_t length_i);

    // Bitmaps: convert a picture file into the sign formats (result in GetBitmap()).
    bool LoadBMPFile1Bit(const KMRString& path_i);
    bool LoadBMPFile2Bit(const KMRString& path_i);
    bool LoadBMPFile8Bit(const KMRString& path_i);
    const std::vector<uint8_t>& GetBitmap() const { return m_pBitmap; }

    // Service commands.
    void ResetController(bool check_i);
    void ResetControllerFirmwareMode();
    KMRString ReadSoftwareVersion();
    KMRString _ReadBuildNumber();
    int32_t GetControllerTemperature();
    uint16_t GetLedTestTimer();
    void SetLedTestTimer(uint16_t value_i);
    // Best effort, never throws; true when the controller accepted the new time.
    bool SetDateTime();
    bool GetProtocolAddress(uint8_t type_i, uint8_t addresses_o[12]);
    bool SetProtocolAddress(uint8_t type_i, const uint8_t addresses_i[12]);
    void ChangeSlaveAddress(uint8_t newAddress_i);
    uint8_t GetKC2AddrOfConnectedDevice();
    void Test();

    // The date block for the given local standard time (hour + 2, day carry without month carry).
    static void BuildDateTimeBlock(const std::tm& localStandard_i, uint8_t block_o[6]);
    // Whole degrees from a temperature answer (2 or 4 bytes); TEMPERATURE_UNKNOWN otherwise.
    static int32_t DecodeTemperature(const uint8_t* data_i, unsigned int size_i);

    // The data of the last get-asynchronous-data or get-content answer.
    const std::vector<uint8_t>& GetAsyncData() const { return m_AsyncData; }

protected:
    // One request with the current address, sub-address 0 and a fresh tag.
    std::unique_ptr<KCSendTelegram> _CreateRequest(uint8_t command_i, const uint8_t* data_i = nullptr,
                                                   unsigned int length_i = 0) const;
    std::unique_ptr<KCSendTelegram> _CreateRequestTo(uint8_t address_i, uint8_t command_i,
                                                     const uint8_t* data_i = nullptr, unsigned int length_i = 0) const;
    void _SendTelegram(KCSendTelegram* telegram_i);
    bool _WaitForResponse(uint32_t timeoutMs_i);
    bool _SendTelegramAndWaitForResponse(KCSendTelegram* telegram_i, int32_t timeoutMs_i, int32_t attempts_i);
    bool _CheckResponse(const KCReceiveTelegram* response_i);
    // The retried exchange of the transfer telegrams (start, sequences, stop): an answer
    // "BUSY" means the controller did not take the request, so it is sent again, at most
    // MAX_BUSY_ANSWERS times; the last answer is then checked as usual. True on time-out.
    bool _SendTransferTelegram(KCSendTelegram* telegram_i, int32_t attempts_i);
    // Single exchange: send, wait with the engine time-out; true when an answer arrived.
    bool _Exchange(KCSendTelegram* telegram_i);
    void _RunMessageLoop();
    void _Log(const KMRString& text_i);
    void _InitializeProgressBar();
    void _StepProgressBar();

    // The answer to the current request (valid after a successful wait).
    const KCReceiveTelegram* _Response() const { return m_pResponse.get(); }

    void _SendStartUploadTelegram();
    void _SendSetContentTelegrams();
    void _SendStopUpload();
    void _SendFormatFileSystem();

    void _SendStartUploadTelegram_CID(uint32_t cid_i, uint8_t type_i);
    void _SendSetContentTelegrams_CID();
    void _SendStopUpload_CID();
    uint8_t _CalcChecksum_CID() const;
    uint32_t _SendStartDownloadTelegram(uint32_t cid_i, uint8_t type_i);
    void _SendGetContentDownloadTelegram(uint16_t counter_i);
    void _SendStopDownloadTelegram();
    void _SendCheckIfCidExistsTelegram(uint32_t cid_i);
    void _SendDeleteContentIDTelegram(uint32_t cid_i);
    bool _PollControllerGetAsyncData(int32_t count_i, uint32_t timeoutMs_i);

private:
    void _CheckContentSize() const;
    bool _PollUserModeCommand(uint8_t command_i, int32_t count_i, uint32_t timeoutMs_i, bool keepData_i);

    int32_t m_iResponseTimeout = 0;
    KMRAutoResetEvent m_ResponseEvent;
    // Written by the delivery thread, taken by the waiting thread; guarded by m_ResponseLock.
    std::mutex m_ResponseLock;
    std::unique_ptr<KCReceiveTelegram> m_pIncoming;
    // The answer accepted for the current request; touched by the calling thread only.
    std::unique_ptr<KCReceiveTelegram> m_pResponse;
    // Tag of the outstanding request; 0 when none. Guarded by m_ResponseLock.
    uint8_t m_ucExpectedTag = 0;

    IKMRTransmissionFactory* m_pTransmissionFactory;
    std::unique_ptr<IKMRTelegramFactory> m_pTelegramFactory;
    KMRTransmission* m_pTransmission = nullptr;

    std::vector<uint8_t> m_Image;
    std::vector<uint8_t> m_AsyncData;
    std::vector<uint8_t> m_pBitmap;
    std::vector<uint8_t> m_Content;

    KMRLogger m_Logger;
    uint8_t m_ucAddress = 0;
    uint8_t m_ucUserModeAddress = 0;
    IKMRProgressBar* m_pProgressBar = nullptr;
    IKMRPaintPump* m_pPaintPump = nullptr;
};
