// KMRKCReceiveTelegramFactory: responses from received frames and the controller's answers to each command.
#include <KMRComm/KMRKCReceiveTelegramFactory.h>

#include <KMRBase/KMRException.h>

#include "telegrams/KCFrameData.h"

#include <memory>

namespace
{
KCReceiveTelegram* Response(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i,
                            unsigned char cmd_i, const KCFrameData& data_i = KCFrameData(),
                            unsigned char status1_i = 0, unsigned char error1_i = 0, unsigned char error2_i = 0)
{
    return new KCReceiveTelegram(addr_i, subAddr_i, static_cast<unsigned char>(tag_i | flags_i), status1_i, error1_i,
                                 error2_i, cmd_i, data_i.Data(), data_i.Size());
}

uint32_t NumberOfSequences(uint32_t size_i)
{
    const uint32_t len = KCReceiveTelegram::MAX_SEQUENCEDATALEN;
    return size_i / len + (size_i % len != 0 ? 1 : 0);
}
} // namespace

KMRKCReceiveTelegramFactory::~KMRKCReceiveTelegramFactory() = default;

KMRAbstractTelegram* KMRKCReceiveTelegramFactory::CreateTelegram()
{
    return new KCReceiveTelegram();
}

KMRAbstractTelegram* KMRKCReceiveTelegramFactory::CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i)
{
    if (iTelegramLen_i < 0)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KMRKCReceiveTelegramFactory::CreateTelegram", "Negative telegram length");
    return new KCReceiveTelegram(pTelegram_i, static_cast<unsigned int>(iTelegramLen_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnTelegram(unsigned char addr_i, unsigned char subAddr_i,
                                                                 unsigned char tag_i, unsigned char flags_i,
                                                                 unsigned char status1_i, unsigned char error1_i,
                                                                 unsigned char error2_i, unsigned char cmd_i,
                                                                 const unsigned char* data_i, unsigned int len_i)
{
    return new KCReceiveTelegram(addr_i, subAddr_i, static_cast<unsigned char>(tag_i | flags_i), status1_i, error1_i,
                                 error2_i, cmd_i, data_i, len_i);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetStatusTelegram(unsigned char addr_i,
                                                                          unsigned char subAddr_i,
                                                                          unsigned char tag_i, unsigned char flags_i,
                                                                          unsigned char status1_i,
                                                                          unsigned char error1_i,
                                                                          unsigned char error2_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_POLL, KCFrameData(), status1_i, error1_i,
                    error2_i);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetSlaveAddressTelegram(unsigned char addr_i,
                                                                                unsigned char subAddr_i,
                                                                                unsigned char tag_i,
                                                                                unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETSLAVEADDRESS);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetSlaveAddressTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i,
    unsigned char status1_i, unsigned char error1_i, unsigned char error2_i, unsigned char address_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETSLAVEADDRESS, KCFrameData().U8(address_i),
                    status1_i, error1_i, error2_i);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetGroupAddressTelegram(unsigned char addr_i,
                                                                                unsigned char subAddr_i,
                                                                                unsigned char tag_i,
                                                                                unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETGROUPADDRESS);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetGroupAddressTelegram(unsigned char addr_i,
                                                                                unsigned char subAddr_i,
                                                                                unsigned char tag_i,
                                                                                unsigned char flags_i,
                                                                                const unsigned char* data_i,
                                                                                unsigned int len_i)
{
    return CreateOnTelegram(addr_i, subAddr_i, tag_i, flags_i, 0, 0, 0, KCTelegram::CMD_GETGROUPADDRESS, data_i,
                            len_i);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetBrightnessTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETBRIGHTNESS);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetBrightnessTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i,
                                                                              unsigned char brightness_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETBRIGHTNESS, KCFrameData().U8(brightness_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetDateTimeTelegram(unsigned char addr_i,
                                                                            unsigned char subAddr_i,
                                                                            unsigned char tag_i, unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETDATETIME);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetDateTimeTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i, unsigned char v1_i,
    unsigned char v2_i, unsigned char v3_i, unsigned char v4_i, unsigned char v5_i, unsigned char v6_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETDATETIME,
                    KCFrameData().U8(v1_i).U8(v2_i).U8(v3_i).U8(v4_i).U8(v5_i).U8(v6_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetSoftwareVersionTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i, unsigned char first_i,
    unsigned char second_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETSOFTWAREVERSION,
                    KCFrameData().U8(first_i).U8(second_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetDigitalOutputTelegram(unsigned char addr_i,
                                                                                 unsigned char subAddr_i,
                                                                                 unsigned char tag_i,
                                                                                 unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETDIGITALOUTPUT);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetCategoryValuesTelegram(unsigned char addr_i,
                                                                                  unsigned char subAddr_i,
                                                                                  unsigned char tag_i,
                                                                                  unsigned char flags_i,
                                                                                  unsigned short value_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETCATEGORYVALUES, KCFrameData().U16(value_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetCategoryValuesTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i,
    const unsigned short* values_i, unsigned int count_i)
{
    KCFrameData data;
    for (unsigned int i = 0; values_i != nullptr && i < count_i; ++i)
        data.U8(static_cast<unsigned char>(values_i[i] & 0xFF)).U8(static_cast<unsigned char>(values_i[i] >> 8));
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETCATEGORYVALUES, data);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetControllerIDTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i, unsigned char v1_i,
    unsigned char v2_i, unsigned char v3_i, unsigned char v4_i, unsigned char v5_i, unsigned char v6_i,
    unsigned char v7_i, unsigned char v8_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETCONTROLLERID,
                    KCFrameData().U8(v1_i).U8(v2_i).U8(v3_i).U8(v4_i).U8(v5_i).U8(v6_i).U8(v7_i).U8(v8_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnResetControllerTelegram(unsigned char addr_i,
                                                                                unsigned char subAddr_i,
                                                                                unsigned char tag_i,
                                                                                unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_RESETCONTROLLER);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnDeleteContentTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_DELETECONTENT);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnDeleteAllContentTelegram(unsigned char addr_i,
                                                                                 unsigned char subAddr_i,
                                                                                 unsigned char tag_i,
                                                                                 unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_DELETEALLCONTENT);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetFileSizeTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i,
    unsigned char status1_i, unsigned char error1_i, unsigned char error2_i, uint32_t size_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETCONTENTSIZE, KCFrameData().U32(size_i),
                    status1_i, error1_i, error2_i);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnStartUploadTelegram(unsigned char addr_i,
                                                                            unsigned char subAddr_i,
                                                                            unsigned char tag_i, unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_STARTUPLOAD);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnStopUploadTelegram(unsigned char addr_i,
                                                                           unsigned char subAddr_i,
                                                                           unsigned char tag_i, unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_STOPUPLOAD);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnStartDownloadTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i,
                                                                              unsigned short sequences_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_STARTDOWNLOAD,
                    KCFrameData().U16(static_cast<unsigned short>(sequences_i - 1)));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnStopDownloadTelegram(unsigned char addr_i,
                                                                             unsigned char subAddr_i,
                                                                             unsigned char tag_i,
                                                                             unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_STOPDOWNLOAD);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetContentTelegram(
    unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i, unsigned char flags_i,
    unsigned char status1_i, unsigned char error1_i, unsigned char error2_i, unsigned short counter_i,
    unsigned char value_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETCONTENT,
                    KCFrameData().U16(counter_i).U8(value_i), status1_i, error1_i, error2_i);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetContentTelegram(unsigned char addr_i,
                                                                           unsigned char subAddr_i,
                                                                           unsigned char tag_i, unsigned char flags_i,
                                                                           const unsigned char* content_i,
                                                                           uint32_t size_i, unsigned short counter_i)
{
    const auto tagFlags = static_cast<unsigned char>(tag_i | flags_i);
    if (size_i == 0)
        return new KCReceiveTelegram(addr_i, subAddr_i, tagFlags, 0, 0, 0, KCTelegram::CMD_GETCONTENT, counter_i,
                                     nullptr, 0);
    // The counter runs down: n - 1 is the first sequence of the content, 0 the last. Any
    // other counter would address bytes outside the content.
    const uint32_t sequences = NumberOfSequences(size_i);
    if (content_i == nullptr || counter_i >= sequences)
        return nullptr;
    const uint32_t len = KCReceiveTelegram::MAX_SEQUENCEDATALEN;
    const uint32_t offset = (sequences - 1 - counter_i) * len;
    const uint32_t length = counter_i != 0 ? len : size_i - offset;
    return new KCReceiveTelegram(addr_i, subAddr_i, tagFlags, 0, 0, 0, KCTelegram::CMD_GETCONTENT, counter_i,
                                 content_i + offset, length);
}

void KMRKCReceiveTelegramFactory::CreateOnGetContentTelegrams(unsigned char addr_i, unsigned char subAddr_i,
                                                              unsigned char tag_i, unsigned char flags_i,
                                                              unsigned char status1_i, unsigned char error1_i,
                                                              unsigned char error2_i, const unsigned char* content_i,
                                                              uint32_t size_i, std::list<KCReceiveTelegram*>& out_o)
{
    if (content_i == nullptr)
        return;
    const uint32_t len = KCReceiveTelegram::MAX_SEQUENCEDATALEN;
    // Build all first so that a failure leaves the caller's list as it was.
    std::list<KCReceiveTelegram*> built;
    try
    {
        for (uint32_t offset = 0; offset < size_i; offset += len)
        {
            const uint32_t length = size_i - offset < len ? size_i - offset : len;
            built.push_back(CreateOnTelegram(addr_i, subAddr_i, tag_i, flags_i, status1_i, error1_i, error2_i,
                                             KCTelegram::CMD_GETCONTENT, content_i + offset, length));
        }
    }
    catch (...)
    {
        for (KCReceiveTelegram* telegram : built)
            delete telegram;
        throw;
    }
    out_o.splice(out_o.end(), built);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnActivateContentTelegram(unsigned char addr_i,
                                                                                unsigned char subAddr_i,
                                                                                unsigned char tag_i,
                                                                                unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_ACTIVATECONTENT);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnPerformLEDTestTelegram(unsigned char addr_i,
                                                                               unsigned char subAddr_i,
                                                                               unsigned char tag_i,
                                                                               unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_PERFORMLEDTEST);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetWigWagTimeTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETWIGWAGTIME);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetWigWagModeTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETWIGWAGMODE);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSyncWigWagTelegram(unsigned char addr_i,
                                                                           unsigned char subAddr_i,
                                                                           unsigned char tag_i, unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SYNCWIGWAG);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetFreeMemoryTelegram(unsigned char addr_i,
                                                                              unsigned char subAddr_i,
                                                                              unsigned char tag_i,
                                                                              unsigned char flags_i, uint32_t bytes_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETFREEMEMORY, KCFrameData().U32(bytes_i));
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnEnableAutoDimming(unsigned char addr_i,
                                                                          unsigned char subAddr_i,
                                                                          unsigned char tag_i, unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_ENABLEAUTODIMMING);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnSetAutoDimming(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i, unsigned char flags_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_SETAUTODIMMING);
}

KCReceiveTelegram* KMRKCReceiveTelegramFactory::CreateOnGetAutoDimming(unsigned char addr_i, unsigned char subAddr_i,
                                                                       unsigned char tag_i, unsigned char flags_i,
                                                                       unsigned short a_i, unsigned short b_i,
                                                                       unsigned short c_i, unsigned char d_i)
{
    return Response(addr_i, subAddr_i, tag_i, flags_i, KCTelegram::CMD_GETAUTODIMMING,
                    KCFrameData().U16(a_i).U16(b_i).U16(c_i).U8(d_i));
}
