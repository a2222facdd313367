// KMRKCReceiveTelegramFactory: creates KelmarCom2 responses, from received bytes or as a controller's answers.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <list>

// The telegram factory of every transmission that talks to controllers, and the builders
// of the controller's side of each exchange (simulators, protocol tests). Every builder
// takes address, sub-address, tag and flags first (the tag/flags byte is tag | flags);
// where "status" is named, Status1, Error1 and Error2 follow, otherwise they are 0.
// Multi-byte values go into the data big-endian unless stated. Every result is new and
// owned by the caller. Thread safety: stateless; usable from any thread.
class KMRComm_API KMRKCReceiveTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRKCReceiveTelegramFactory() = default;

    // A new empty response: the prototype whose SplitTelegram cuts received streams.
    KMRAbstractTelegram* CreateTelegram() override;
    // A response copied from one cut frame; throws KMRException (plausibility) for an
    // invalid frame or a negative size.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    ~KMRKCReceiveTelegramFactory() override;

    // Any basic response: the given command, status bytes and data.
    KCReceiveTelegram* CreateOnTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                        unsigned char flags_i, unsigned char status1_i, unsigned char error1_i,
                                        unsigned char error2_i, unsigned char cmd_i, const unsigned char* data_i,
                                        unsigned int len_i);

    // Status (command 0x01), no data.
    KCReceiveTelegram* CreateOnGetStatusTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                 unsigned char flags_i, unsigned char status1_i,
                                                 unsigned char error1_i, unsigned char error2_i);
    KCReceiveTelegram* CreateOnSetSlaveAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i);
    // Status, data: address.
    KCReceiveTelegram* CreateOnGetSlaveAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i,
                                                       unsigned char status1_i, unsigned char error1_i,
                                                       unsigned char error2_i, unsigned char address_i);
    KCReceiveTelegram* CreateOnSetGroupAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnGetGroupAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i,
                                                       const unsigned char* data_i, unsigned int len_i);
    KCReceiveTelegram* CreateOnSetBrightnessTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnGetBrightnessTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i,
                                                     unsigned char brightness_i);
    KCReceiveTelegram* CreateOnSetDateTimeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                   unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnGetDateTimeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                   unsigned char tag_i, unsigned char flags_i, unsigned char v1_i,
                                                   unsigned char v2_i, unsigned char v3_i, unsigned char v4_i,
                                                   unsigned char v5_i, unsigned char v6_i);
    KCReceiveTelegram* CreateOnGetSoftwareVersionTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                          unsigned char tag_i, unsigned char flags_i,
                                                          unsigned char first_i, unsigned char second_i);
    KCReceiveTelegram* CreateOnSetDigitalOutputTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                        unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnGetCategoryValuesTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                         unsigned char tag_i, unsigned char flags_i,
                                                         unsigned short value_i);
    // The values low byte first each (the controller's memory order), whatever the host's
    // byte order. At most 127 values fit into one frame.
    KCReceiveTelegram* CreateOnGetCategoryValuesTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                         unsigned char tag_i, unsigned char flags_i,
                                                         const unsigned short* values_i, unsigned int count_i);
    KCReceiveTelegram* CreateOnGetControllerIDTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i, unsigned char v1_i,
                                                       unsigned char v2_i, unsigned char v3_i, unsigned char v4_i,
                                                       unsigned char v5_i, unsigned char v6_i, unsigned char v7_i,
                                                       unsigned char v8_i);
    KCReceiveTelegram* CreateOnResetControllerTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnDeleteContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnDeleteAllContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                        unsigned char tag_i, unsigned char flags_i);
    // Status, data: size (4) (command 0x15).
    KCReceiveTelegram* CreateOnGetFileSizeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                   unsigned char flags_i, unsigned char status1_i,
                                                   unsigned char error1_i, unsigned char error2_i, uint32_t size_i);
    KCReceiveTelegram* CreateOnStartUploadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                   unsigned char flags_i);
    KCReceiveTelegram* CreateOnStopUploadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned char flags_i);
    // Data: sequences - 1 (2).
    KCReceiveTelegram* CreateOnStartDownloadTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i,
                                                     unsigned short sequences_i);
    KCReceiveTelegram* CreateOnStopDownloadTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                    unsigned char tag_i, unsigned char flags_i);
    // Status, data: counter (2), value.
    KCReceiveTelegram* CreateOnSetContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned char flags_i, unsigned char status1_i,
                                                  unsigned char error1_i, unsigned char error2_i,
                                                  unsigned short counter_i, unsigned char value_i);
    // One 125-byte sequence of the content as an extended response (command 0x1B, sequence
    // number = counter_i); the counter runs down, 0 carries the last (shorter) part. A size
    // of 0 gives an extended response without data. Null when counter_i is not in 0..n-1
    // (n = number of sequences) or content_i is null.
    KCReceiveTelegram* CreateOnGetContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned char flags_i, const unsigned char* content_i,
                                                  uint32_t size_i, unsigned short counter_i);
    // Appends the responses of a whole content download, in content order: basic responses
    // (command 0x1B) of 125 content bytes each, the last with the rest; nothing for size 0.
    void CreateOnGetContentTelegrams(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                     unsigned char flags_i, unsigned char status1_i, unsigned char error1_i,
                                     unsigned char error2_i, const unsigned char* content_i, uint32_t size_i,
                                     std::list<KCReceiveTelegram*>& out_o);
    KCReceiveTelegram* CreateOnActivateContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                       unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnPerformLEDTestTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                      unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnSetWigWagTimeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnSetWigWagModeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i);
    KCReceiveTelegram* CreateOnSyncWigWagTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                  unsigned char flags_i);
    // Data: bytes (4).
    KCReceiveTelegram* CreateOnGetFreeMemoryTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                     unsigned char tag_i, unsigned char flags_i, uint32_t bytes_i);
    KCReceiveTelegram* CreateOnEnableAutoDimming(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                 unsigned char flags_i);
    KCReceiveTelegram* CreateOnSetAutoDimming(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                              unsigned char flags_i);
    KCReceiveTelegram* CreateOnGetAutoDimming(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                              unsigned char flags_i, unsigned short a_i, unsigned short b_i,
                                              unsigned short c_i, unsigned char d_i);
};
