// KMRSimController: the behaviour of a simulated sign controller, free of any frame format.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One request as the controller sees it. The payload is every byte between the command
// byte and the frame's closing checksum; for sequenced commands (set content, get content,
// firmware sequences) its first two bytes are the sequence counter, high byte first.
struct KMRSimRequest
{
    uint8_t addr = 0;
    uint8_t subAddr = 0;
    uint8_t cmd = 0;
    std::vector<uint8_t> payload;
};

// The controller's answer: accepted (the ACK flag) or not, the three status bytes, the
// command it answers and its data. Extended answers carry a sequence number before the data.
struct KMRSimAnswer
{
    bool accepted = true;
    uint8_t status1 = 0;
    uint8_t error1 = 0;
    uint8_t error2 = 0;
    uint8_t cmd = 0;
    bool extended = false;
    uint16_t seq = 0;
    std::vector<uint8_t> data;
};

// Fixed values the controller reports; all may be changed while it runs.
struct KMRSimControllerSettings
{
    uint8_t userAddress = 1;
    // Hundredths of a degree Celsius, as the controller reports them.
    int16_t temperatureHundredths = 2345;
    // Major, minor and a 16-bit build number (high byte first).
    std::array<uint8_t, 4> softwareVersion{1, 0, 0, 1};
    // Ten characters "YYMMDDhhmm" and the release flag ('1' release, '0' test version).
    std::array<uint8_t, 11> buildNumber{'2', '4', '0', '6', '0', '1', '1', '2', '0', '0', '1'};
};

// Notifications of completed transfers. They run on the thread that called Handle, after
// the controller's lock was released, so they may read the controller.
struct KMRSimControllerEvents
{
    // A firmware image arrived complete with a matching checksum; index counts from 1.
    std::function<void(std::size_t index_i, const std::vector<uint8_t>& image_i)> onFirmwareImage;
    // A content arrived complete with a matching checksum and is now stored under cid_i.
    std::function<void(uint16_t cid_i, uint8_t type_i, const std::vector<uint8_t>& content_i)> onContent;
    // One line about what happened: transfers started, completed or refused, mode changes.
    std::function<void(const std::string& line_i)> onLog;
};

// A sign controller: user mode at its own address, firmware mode (its loader) at 254.
//
// In user mode it answers the service commands, the content store (upload with running
// checksums, download, exists, delete, activate) and "enable firmware update"; a reset after
// that enable starts the loader. In firmware mode only the loader's commands are served
// (firmware poll, start/sequence/stop, reset firmware controller, format); resetting the loader
// starts the application again at address 254, where a firmware update leaves it.
//
// Transfers are checked sequence by sequence: a missing, repeated-with-other-data or
// misplaced sequence ends the transfer with a SEQUENCE error; a wrong length or checksum is
// a data format error; nothing is stored unless every byte arrived once and the checksum
// matches. A sequence repeated with the same bytes (a retransmission after a lost answer)
// is acknowledged again without being stored twice.
//
// Thread safety: every operation may be called from any thread; one lock guards the state.
class KMRSimController
{
public:
    enum class EMode
    {
        User,
        Firmware
    };

    static constexpr uint8_t FIRMWARE_ADDRESS = 254;
    static constexpr uint8_t BROADCAST_ADDRESS = 255;

    // Status and error bits the controller sets.
    static constexpr uint8_t STATUS1_BUSY = 0x80;
    static constexpr uint8_t ERROR2_OUT_OF_RANGE = 0x01;
    static constexpr uint8_t ERROR2_CID = 0x04;
    static constexpr uint8_t ERROR2_SEQUENCE = 0x10;
    static constexpr uint8_t ERROR2_DATA_FORMAT = 0x20;
    static constexpr uint8_t ERROR2_SUBADDRESS = 0x80;

    explicit KMRSimController(const KMRSimControllerSettings& settings_i = {});

    // The two Fletcher-16 check bytes of a firmware image, high byte = check1, so that both
    // running sums over image plus check bytes are zero ("abc" gives 0x4C8C).
    static uint16_t CalcFletcherChecksum(const uint8_t* data_i, std::size_t size_i);
    // The content checksum: 0 minus the sum of the bytes, modulo 256 ("abc" gives 0xDA).
    static uint8_t CalcContentChecksum(const uint8_t* data_i, std::size_t size_i);

    // Replaces the notifications; call before requests arrive.
    void SetEvents(KMRSimControllerEvents events_i);

    // True when the controller answers a request with this address and command in its
    // current mode (its own address, or 255 for "get slave address").
    bool IsAddressed(uint8_t addr_i, uint8_t cmd_i) const;
    // Executes one request. No answer (nullopt) when it is not addressed to this controller.
    std::optional<KMRSimAnswer> Handle(const KMRSimRequest& request_i);

    // State, as copies.
    EMode GetMode() const;
    // The address the controller answers at now (254 in firmware mode).
    uint8_t GetAddress() const;
    std::vector<std::vector<uint8_t>> GetFirmwareImages() const;
    std::optional<std::vector<uint8_t>> GetContent(uint16_t cid_i) const;
    std::optional<uint8_t> GetContentType(uint16_t cid_i) const;
    std::vector<uint16_t> GetContentIds() const;
    std::optional<uint16_t> GetActiveContent() const;
    std::optional<std::array<uint8_t, 6>> GetDateTime() const;
    uint8_t GetBrightness() const;
    uint16_t GetLedTestTimer() const;
    std::array<uint8_t, 12> GetProtocolAddress(uint8_t type_i) const;
    bool IsTestRunning() const;
    unsigned int GetFormatCount() const;

    // Settings that tests and the program change while the controller runs.
    void SetTemperature(int16_t hundredths_i);
    // Puts content into the store as if it had been uploaded (for download tests).
    void PutContent(uint16_t cid_i, uint8_t type_i, std::vector<uint8_t> content_i);

private:
    // One upload in progress (firmware image or content).
    struct Upload
    {
        bool active = false;
        uint16_t firstCounter = 0;
        uint16_t nextCounter = 0; // the counter the next new sequence must carry
        bool complete = false;    // the sequence with counter 0 arrived
        uint8_t lastLength = 0;
        uint16_t checksum = 0; // Fletcher for firmware, 8-bit sum for content
        uint16_t cid = 0;
        uint8_t type = 0;
        std::optional<uint16_t> lastCounter;
        std::vector<uint8_t> lastSequence;
        std::vector<uint8_t> bytes;
    };
    struct Content
    {
        uint8_t type = 0;
        std::vector<uint8_t> bytes;
    };
    using Deferred = std::vector<std::function<void()>>;

    KMRSimAnswer _HandleUser(const KMRSimRequest& request_i, KMRSimAnswer answer_i, Deferred& deferred_io);
    KMRSimAnswer _HandleFirmware(const KMRSimRequest& request_i, KMRSimAnswer answer_i, Deferred& deferred_io);
    void _StartFirmwareUpload(const std::vector<uint8_t>& data_i, KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _FirmwareSequence(const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _StopFirmwareUpload(KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _StartContentUpload(const std::vector<uint8_t>& data_i, KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _ContentSequence(const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _StopContentUpload(KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _StartDownload(const std::vector<uint8_t>& data_i, KMRSimAnswer& answer_io);
    void _GetContent(const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io);
    // Checks the counter and length of one sequence, appends it and answers true; sets the
    // error bit, ends the upload and answers false otherwise. A repetition of the last
    // sequence with the same bytes answers true without appending.
    bool _AcceptSequence(Upload& upload_io, const char* what_i, unsigned int sequenceSize_i,
                         const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _Fail(Upload& upload_io, const char* what_i, uint8_t error2_i, const std::string& why_i,
               KMRSimAnswer& answer_io, Deferred& deferred_io);
    void _Log(Deferred& deferred_io, std::string line_i);
    void _ResetTransfers();

    mutable std::mutex m_mtxState;
    KMRSimControllerEvents m_events;
    KMRSimControllerSettings m_settings;
    EMode m_eMode = EMode::User;
    uint8_t m_ucUserAddress;
    bool m_bFirmwareUpdateEnabled = false;
    Upload m_firmwareUpload;
    Upload m_contentUpload;
    std::vector<std::vector<uint8_t>> m_vecFirmwareImages;
    std::map<uint16_t, Content> m_mapContents;
    std::optional<uint16_t> m_activeContent;
    // Download in progress: a copy of the content and its highest counter.
    bool m_bDownloadActive = false;
    std::vector<uint8_t> m_vecDownload;
    uint16_t m_usDownloadLastCounter = 0;
    // Data returned by "get asynchronous data".
    std::vector<uint8_t> m_vecAsyncData;
    std::optional<std::array<uint8_t, 6>> m_dateTime;
    uint8_t m_ucBrightness = 100;
    uint16_t m_usLedTestTimer = 0;
    std::map<uint8_t, std::array<uint8_t, 12>> m_mapProtocolAddresses;
    bool m_bTestRunning = false;
    unsigned int m_uiFormatCount = 0;
};
