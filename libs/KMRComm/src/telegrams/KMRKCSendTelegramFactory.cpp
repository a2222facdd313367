// KMRKCSendTelegramFactory: the data layouts of the controller commands and the sequence frames.
#include <KMRComm/KMRKCSendTelegramFactory.h>

#include <KMRBase/KMRException.h>

#include "telegrams/KCFrameData.h"

namespace
{
KCSendTelegram* Request(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char cmd_i,
                        const KCFrameData& data_i = KCFrameData())
{
    return new KCSendTelegram(addr_i, subAddr_i, tag_i, cmd_i, data_i.Data(), data_i.Size());
}

// Sequence counter_i of a content cut into pieces of sequenceLen_i bytes; the counter runs
// down, so counter n - 1 is the first piece and counter 0 the last. Null for a counter
// outside 0..n-1, which would address bytes outside the content.
KCSendTelegram* SequenceRequest(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                unsigned char cmd_i, const unsigned char* content_i, uint32_t size_i,
                                unsigned short counter_i, uint32_t sequenceLen_i)
{
    const uint32_t sequences = size_i / sequenceLen_i + (size_i % sequenceLen_i != 0 ? 1 : 0);
    if (content_i == nullptr || counter_i >= sequences)
        return nullptr;
    const uint32_t offset = (sequences - 1 - counter_i) * sequenceLen_i;
    const uint32_t length = counter_i != 0 ? sequenceLen_i : size_i - offset;
    auto* request = new KCSendTelegram();
    try
    {
        request->CreateExtendedTelegram(addr_i, subAddr_i, tag_i, cmd_i, counter_i, content_i + offset, length);
    }
    catch (...)
    {
        delete request;
        throw;
    }
    return request;
}
} // namespace

KMRKCSendTelegramFactory::~KMRKCSendTelegramFactory() = default;

KMRAbstractTelegram* KMRKCSendTelegramFactory::CreateTelegram()
{
    return new KCSendTelegram();
}

KMRAbstractTelegram* KMRKCSendTelegramFactory::CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i)
{
    if (iTelegramLen_i < 0)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KMRKCSendTelegramFactory::CreateTelegram", "Negative telegram length");
    return new KCSendTelegram(pTelegram_i, static_cast<unsigned int>(iTelegramLen_i));
}

KMRAbstractTelegram* KMRKCSendTelegramFactory::CreateTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                              unsigned char tag_i, unsigned char cmd_i,
                                                              const unsigned char* data_i, unsigned int len_i)
{
    return new KCSendTelegram(addr_i, subAddr_i, tag_i, cmd_i, data_i, len_i);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetStatusTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_POLL);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetSlaveAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i, unsigned char address_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETSLAVEADDRESS, KCFrameData().U8(address_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetSlaveAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETSLAVEADDRESS);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetGroupAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i, const unsigned char* data_i,
                                                                        unsigned int len_i)
{
    return new KCSendTelegram(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETGROUPADDRESS, data_i, len_i);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetGroupAddressTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETGROUPADDRESS);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetBrightnessTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i, unsigned char brightness_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETBRIGHTNESS, KCFrameData().U8(brightness_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetBrightnessTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETBRIGHTNESS);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetDateTimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                                    unsigned char v1_i, unsigned char v2_i,
                                                                    unsigned char v3_i, unsigned char v4_i,
                                                                    unsigned char v5_i, unsigned char v6_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETDATETIME,
                   KCFrameData().U8(v1_i).U8(v2_i).U8(v3_i).U8(v4_i).U8(v5_i).U8(v6_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetDateTimeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETDATETIME);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetSoftwareVersionTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                           unsigned char tag_i, unsigned char which_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETSOFTWAREVERSION, KCFrameData().U8(which_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetDigitalOutputTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                         unsigned char tag_i, unsigned char value_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETDIGITALOUTPUT, KCFrameData().U8(value_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetCategoryValuesTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                          unsigned char tag_i, unsigned char category_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCATEGORYVALUES, KCFrameData().U8(category_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetWigWagParametersTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                            unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETWIGWAGPARAMETERS);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetControllerIDTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCONTROLLERID);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateDeleteContentIDTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i, unsigned short contentId_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_DELETECONTENT, KCFrameData().U16(contentId_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateDeleteAllContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                         unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_DELETEALLCONTENT);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetContentSizeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i, unsigned short contentId_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCONTENTSIZE, KCFrameData().U16(contentId_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStartUploadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                                    unsigned short sequences_i,
                                                                    unsigned short contentId_i,
                                                                    unsigned char lastLength_i,
                                                                    unsigned char checksum_i, unsigned char type_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STARTUPLOAD,
                   KCFrameData()
                       .U16(static_cast<unsigned short>(sequences_i - 1))
                       .U16(contentId_i)
                       .U8(lastLength_i)
                       .U8(checksum_i)
                       .U8(type_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStopUploadTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STOPUPLOAD);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStartDownloadTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i, unsigned short contentId_i,
                                                                      unsigned char type_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STARTDOWNLOAD, KCFrameData().U16(contentId_i).U8(type_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStopDownloadTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                     unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STOPDOWNLOAD);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                                   unsigned short counter_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCONTENT, KCFrameData().U16(counter_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetContentTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                                   const unsigned char* content_i, uint32_t size_i,
                                                                   unsigned short /*reserved_i*/,
                                                                   unsigned short counter_i)
{
    return SequenceRequest(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETCONTENT, content_i, size_i, counter_i,
                           KCSendTelegram::MAX_SEQUENCEDATALEN);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetContentFirmwareTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                           unsigned char tag_i,
                                                                           const unsigned char* image_i,
                                                                           uint32_t size_i, unsigned short counter_i)
{
    return SequenceRequest(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETCONTENTFIRMWARE, image_i, size_i, counter_i,
                           KCSendTelegram::MAX_SEQUENCEDATALENFIRMWARE);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateActivateContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i, unsigned short contentId_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_ACTIVATECONTENT, KCFrameData().U16(contentId_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateActivateContentSignalgeeverTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                                    unsigned char tag_i,
                                                                                    unsigned short contentId_i,
                                                                                    unsigned char value_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_ACTIVATECONTENT, KCFrameData().U16(contentId_i).U8(value_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreatePerformLEDTestTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_PERFORMLEDTEST);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetWigWagTimeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i, unsigned char first_i,
                                                                      unsigned char second_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETWIGWAGTIME, KCFrameData().U8(first_i).U8(second_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetWigWagModeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i, unsigned char mode_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETWIGWAGMODE, KCFrameData().U8(mode_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSyncWigWagTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SYNCWIGWAG);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetFreeMemoryTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETFREEMEMORY);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateEnableAutoDimmingTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                          unsigned char tag_i, unsigned char enable_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_ENABLEAUTODIMMING, KCFrameData().U8(enable_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetAutoDimmingTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i, unsigned short a_i,
                                                                       unsigned short b_i, unsigned short c_i,
                                                                       unsigned char d_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETAUTODIMMING, KCFrameData().U16(a_i).U16(b_i).U16(c_i).U8(d_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetAutoDimmingTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETAUTODIMMING);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetAsyncDataTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                     unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETASYNCDATA);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetComTimeoutTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i, uint32_t timeout_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETCOMTIMEOUT, KCFrameData().U32(timeout_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetComTimeoutTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCOMTIMEOUT);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetActiveContentIDTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                           unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETACTIVECONTENTID);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetLedErrorFilterTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                          unsigned char tag_i, uint32_t filter_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETLEDERRORFILTER, KCFrameData().U32(filter_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetLedErrorFilterTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                          unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETLEDERRORFILTER);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetBlinktimeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                     unsigned char tag_i, unsigned char time_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETBLINKTIME, KCFrameData().U8(time_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetBlinktimeTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                     unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETBLINKTIME);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetActiveSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                          unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETACTIVESEQUENCE);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetContentIDChecksumTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                             unsigned char tag_i,
                                                                             unsigned short contentId_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCONTENTIDCHECKSUM, KCFrameData().U16(contentId_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSyncSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                     unsigned char tag_i, unsigned char value_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SYNCSEQUENCE, KCFrameData().U8(value_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStartSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                      unsigned char tag_i, unsigned short sequence_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STARTSEQUENCE, KCFrameData().U16(sequence_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStopSequenceTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                     unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STOPSEQUENCE);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetComTimeoutContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                             unsigned char tag_i,
                                                                             unsigned short contentId_i,
                                                                             unsigned char value_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETCOMTIMEOUTCONTENT, KCFrameData().U16(contentId_i).U8(value_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetComTimeoutContentTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                             unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETCOMTIMEOUTCONTENT);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetBuildNumberTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i, unsigned char which_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETBUILDNUMBER, KCFrameData().U8(which_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGenerateDirTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                                    unsigned short value_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GENERATEDIR, KCFrameData().U16(value_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateSetManualControlTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                         unsigned char tag_i, unsigned char mode_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_SETMANUALCONTROL, KCFrameData().U8(mode_i));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetStatusExTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_GETSTATUSEX);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateGetAsyncFWDataTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_POLLFIRMWARE);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStartUploadFirmwareTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                            unsigned char tag_i,
                                                                            unsigned short sequences_i,
                                                                            unsigned char lastLength_i,
                                                                            unsigned short checksum_i,
                                                                            uint32_t value_i, unsigned char flag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STARTUPLOADFIRMWARE,
                   KCFrameData()
                       .U16(static_cast<unsigned short>(sequences_i - 1))
                       .U8(lastLength_i)
                       .U16(checksum_i)
                       .U32(value_i)
                       .U8(flag_i)
                       .U8(0x00)
                       .U8(0x00));
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateStopUploadFirmwareTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                           unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_STOPUPLOADFIRMWARE);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateEnableFirmwareUpdate(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_ENABLEFIRMWAREUPDATE);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateResetFWController(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_RESETFWCONTROLLER);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateResetController(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i)
{
    return Request(addr_i, subAddr_i, tag_i, KCTelegram::CMD_RESETCONTROLLER);
}

KCSendTelegram* KMRKCSendTelegramFactory::CreateResetControllerTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                        unsigned char tag_i)
{
    return CreateResetController(addr_i, subAddr_i, tag_i);
}
