// KMRKCSendTelegramFactory: creates KelmarCom2 requests, one operation per controller command.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KCSendTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>

// Every operation returns a new request owned by the caller; each takes the address,
// sub-address and tag byte first. Multi-byte values go into the data big-endian. Builders
// throw KMRException (plausibility) for more data than one frame holds.
// Thread safety: stateless; usable from any thread.
class KMRComm_API KMRKCSendTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRKCSendTelegramFactory() = default;

    // A new empty request (a prototype; requests are never cut from streams).
    KMRAbstractTelegram* CreateTelegram() override;
    // A request copied from bytes; throws KMRException (plausibility) for an invalid frame
    // or a negative size.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    ~KMRKCSendTelegramFactory() override;
    // A basic request with the given command and data.
    virtual KMRAbstractTelegram* CreateTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned char cmd_i, const unsigned char* data_i, unsigned int len_i);

    KCSendTelegram* CreateGetStatusTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetSlaveAddressTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned char address_i);
    KCSendTelegram* CreateGetSlaveAddressTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetGroupAddressTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  const unsigned char* data_i, unsigned int len_i);
    KCSendTelegram* CreateGetGroupAddressTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetBrightnessTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned char brightness_i);
    KCSendTelegram* CreateGetBrightnessTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetDateTimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                              unsigned char v1_i, unsigned char v2_i, unsigned char v3_i,
                                              unsigned char v4_i, unsigned char v5_i, unsigned char v6_i);
    KCSendTelegram* CreateGetDateTimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetSoftwareVersionTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                     unsigned char which_i);
    KCSendTelegram* CreateSetDigitalOutputTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                   unsigned char value_i);
    KCSendTelegram* CreateGetCategoryValuesTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                    unsigned char category_i);
    KCSendTelegram* CreateGetWigWagParametersTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                      unsigned char tag_i);
    KCSendTelegram* CreateGetControllerIDTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateDeleteContentIDTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned short contentId_i);
    KCSendTelegram* CreateDeleteAllContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetContentSizeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                 unsigned short contentId_i);
    // Data: sequences - 1 (the counter of the first sequence sent), content ID, last length,
    // checksum, type.
    KCSendTelegram* CreateStartUploadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                              unsigned short sequences_i, unsigned short contentId_i,
                                              unsigned char lastLength_i, unsigned char checksum_i,
                                              unsigned char type_i);
    KCSendTelegram* CreateStopUploadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateStartDownloadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned short contentId_i, unsigned char type_i);
    KCSendTelegram* CreateStopDownloadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                             unsigned short counter_i);
    // One 125-byte sequence of the content as an extended request (command 0x1A, sequence
    // number = counter_i). The counter runs down: n - 1 carries the first bytes, 0 the last
    // (shorter) part. Null when counter_i is not in 0..n-1 or content_i is null.
    KCSendTelegram* CreateSetContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                             const unsigned char* content_i, uint32_t size_i,
                                             unsigned short reserved_i, unsigned short counter_i);
    // The same for a firmware image in 128-byte sequences (command 0xF3, extended layout).
    KCSendTelegram* CreateSetContentFirmwareTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, const unsigned char* image_i,
                                                     uint32_t size_i, unsigned short counter_i);
    KCSendTelegram* CreateActivateContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned short contentId_i);
    KCSendTelegram* CreateActivateContentSignalgeeverTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                              unsigned char tag_i, unsigned short contentId_i,
                                                              unsigned char value_i);
    KCSendTelegram* CreatePerformLEDTestTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetWigWagTimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned char first_i, unsigned char second_i);
    KCSendTelegram* CreateSetWigWagModeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned char mode_i);
    KCSendTelegram* CreateSyncWigWagTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetFreeMemoryTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateEnableAutoDimmingTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                    unsigned char enable_i);
    KCSendTelegram* CreateSetAutoDimmingTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                 unsigned short a_i, unsigned short b_i, unsigned short c_i,
                                                 unsigned char d_i);
    KCSendTelegram* CreateGetAutoDimmingTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetAsyncDataTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetComTimeoutTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                uint32_t timeout_i);
    KCSendTelegram* CreateGetComTimeoutTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetActiveContentIDTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i);
    KCSendTelegram* CreateSetLedErrorFilterTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                    uint32_t filter_i);
    KCSendTelegram* CreateGetLedErrorFilterTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                    unsigned char tag_i);
    KCSendTelegram* CreateSetBlinktimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                               unsigned char time_i);
    KCSendTelegram* CreateGetBlinktimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetActiveSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                    unsigned char tag_i);
    KCSendTelegram* CreateGetContentIDChecksumTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned short contentId_i);
    KCSendTelegram* CreateSyncSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                               unsigned char value_i);
    KCSendTelegram* CreateStartSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned short sequence_i);
    KCSendTelegram* CreateStopSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateSetComTimeoutContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned short contentId_i,
                                                       unsigned char value_i);
    KCSendTelegram* CreateGetComTimeoutContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i);
    KCSendTelegram* CreateGetBuildNumberTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                 unsigned char which_i);
    KCSendTelegram* CreateGenerateDirTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                              unsigned short value_i);
    KCSendTelegram* CreateSetManualControlTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                   unsigned char mode_i);
    KCSendTelegram* CreateGetStatusExTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateGetAsyncFWDataTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    // Data (12 bytes): sequences - 1, last length, checksum (2), value (4), flag, 0, 0.
    KCSendTelegram* CreateStartUploadFirmwareTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                      unsigned char tag_i, unsigned short sequences_i,
                                                      unsigned char lastLength_i, unsigned short checksum_i,
                                                      uint32_t value_i, unsigned char flag_i);
    KCSendTelegram* CreateStopUploadFirmwareTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i);
    KCSendTelegram* CreateEnableFirmwareUpdate(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateResetFWController(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateResetController(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
    KCSendTelegram* CreateResetControllerTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i);
};
