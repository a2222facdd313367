// LEA requests and responses: kinds, the return-text decoding, text forms, factories and the LEA configuration.
#include <KMRComm/KMRLEACommConfig.h>
#include <KMRComm/KMRLEAReceiveTelegramFactory.h>
#include <KMRComm/KMRLEASendTelegramFactory.h>
#include <KMRComm/LEAReceiveTelegram.h>
#include <KMRComm/LEASendTelegram.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(LEASendTelegram, FieldsKindAndText)
{
    LEASendTelegram request(1, 7, LEATelegram::CMD_STARTUPLOAD, KMRString("a.bmp"), KMRString("b.bmp"));
    EXPECT_EQ(request.GetAddr(), 1);
    EXPECT_EQ(request.GetSubAddr(), 1);
    EXPECT_EQ(request.GetTag(), 7);
    EXPECT_EQ(request.GetCmd(), 0x17);
    EXPECT_EQ(request.GetTelegram(), EStartUpload);
    EXPECT_STREQ(request.GetParameter1().GetString(), "a.bmp");
    EXPECT_STREQ(request.GetParameter2().GetString(), "b.bmp");
    EXPECT_EQ(request.GetIntParameter(), 0);
    EXPECT_EQ(request.GetTelegramStream(), nullptr);
    EXPECT_EQ(request.GetSize(), 0u);
    EXPECT_TRUE(request.IsTelegramString());
    EXPECT_TRUE(request.IsSuccessful());

    KMRString text;
    LEASendTelegram(2, 0, LEATelegram::CMD_TRIGGERFILEREAD, KMRString("x"), -5).ToString(text);
    EXPECT_STREQ(text.GetString(), "Command: 37,SubAddress: 02,Paramter1: x, Parameter2: , INTParameter -5");

    // The character form writes the same text, cut to the buffer and terminated.
    char buffer[12];
    std::memset(buffer, 'X', sizeof(buffer));
    LEASendTelegram(2, 0, LEATelegram::CMD_TRIGGERFILEREAD, KMRString("x"), -5).ToString(buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "Command: 37");
}

TEST(LEASendTelegram, KindTable)
{
    const std::pair<unsigned char, ETelegram> table[] = {
        {0x10, EPoll},
        {0x11, ESetBrightness},
        {0x12, EGetBrightness},
        {0x13, EGetSoftwareVersion},
        {0x14, EResetController},
        {0x15, EDeleteContent},
        {0x16, EGetContentSize},
        {0x17, EStartUpload},
        {0x18, EStartDownload},
        {0x19, ESetContent},
        {0x20, EGetContent},
        {0x21, EActivateContent},
        {0x22, EPerformLEDTest},
        {0x23, EPerformLEDTest},
        {0x24, ESetComTimeout},
        {0x25, EGetActiveContentID},
        {0x30, ENone},
        {0x39, ENone},
        {0x3e, ENone},
        {0xf6, EFormatDisk},
        {0x00, ENone},
        {0xff, ENone},
    };
    for (const auto& [cmd, kind] : table)
        EXPECT_EQ(LEASendTelegram(1, 0, cmd).GetTelegram(), kind) << static_cast<int>(cmd);
}

TEST(LEAReceiveTelegram, ReturnTextDecoding)
{
    struct Case
    {
        const char* text;
        unsigned char cmd;
        unsigned int statusReturn;
        unsigned char status1;
        unsigned char error1;
        unsigned char error2; // with Error2 bit 7 preset by the test where marked
        const char* information;
    };
    const Case cases[] = {
        {"OTready", 0x10, 0, 0x00, 0x00, 0x00, "ready"},
        {"OMready", 0x10, 0, 0x00, 0x00, 0x80, "ready"},
        {"Oready", 0x10, 0, 0x00, 0x00, 0x00, "ready"},
        {"otready", 0x10, 0, 0x00, 0x00, 0x00, "ready"},
        {"ET0110:disk full", 0x10, 0, 0x00, 0x44, 0x00, "disk full"},
        {"ET0105:x", 0x10, 0, 0x00, 0x04, 0x00, "x"},
        {"ET0100:x", 0x10, 0, 0x00, 0x04, 0x00, "x"},
        {"ET0124:x", 0x10, 0, 0x00, 0x04, 0x00, "x"},
        {"ET0125:x", 0x10, 0, 0x10, 0x00, 0x00, "x"},
        {"ET0200:x", 0x10, 0, 0x10, 0x00, 0x00, "x"},
        {"ET0115", 0x10, 0, 0x00, 0x04, 0x00, ""},
        // Too short for a code: unknown, and nothing read past the text.
        {"ET", 0x10, 0, 0x10, 0x00, 0x00, ""},
        {"ET01", 0x10, 0, 0x10, 0x00, 0x00, ""},
        {"ER0001:fault", 0x10, 0, 0x00, 0x10, 0x00, "fault"},
        {"ER", 0x10, 0, 0x00, 0x10, 0x00, ""},
        {"plain", 0x17, 8, 0x00, 0x00, 0x00, ""},
        {"plain", 0x16, 8, 0x00, 0x04, 0x00, ""},
        {"plain", 0x16, 0, 0x00, 0x00, 0x00, ""},
        {"", 0x10, 3, 0x00, 0x04, 0x00, ""},
    };
    for (const Case& c : cases)
    {
        LEAReceiveTelegram response(4, 2, c.cmd, KMRString(c.text), c.statusReturn);
        EXPECT_EQ(response.GetStatus1(), c.status1) << c.text;
        EXPECT_EQ(response.GetError1(), c.error1) << c.text;
        EXPECT_EQ(response.GetError2(), c.error2) << c.text;
        EXPECT_STREQ(response.GetStatusInformationString().GetString(), c.information) << c.text;
        EXPECT_STREQ(response.GetStatusReturnString().GetString(), c.text);
        EXPECT_EQ(response.GetStatusReturn(), c.statusReturn);
        EXPECT_FALSE(response.IsSuccessful());
    }
}

TEST(LEAReceiveTelegram, DataFormTakesTheTextUpToTheFirstNul)
{
    const Bytes data = {'E', 'R', '0', '0', '0', '1', ':', 'f', 0x00, 0x41, 0x42};
    LEAReceiveTelegram response(3, 1, LEATelegram::CMD_TRIGGERFILEREAD, data.data(),
                                static_cast<unsigned int>(data.size()), 0);
    EXPECT_EQ(DataOf(response), data);
    EXPECT_EQ(FrameOf(response), data);
    EXPECT_STREQ(response.GetStatusReturnString().GetString(), "ER0001:f");
    EXPECT_EQ(response.GetError1(), 0x10);
    EXPECT_EQ(response.GetTelegram(), ENone);
    EXPECT_EQ(response.GetTagFlags(), 0x10);

    LEAReceiveTelegram copy(response);
    EXPECT_EQ(DataOf(copy), data);
    EXPECT_NE(copy.GetData(), response.GetData());

    KMRString text;
    response.ToString(text);
    EXPECT_STREQ(text.GetString(), "Command: 37,SubAddress: 03, Return: ER0001:f");
    char buffer[64];
    response.ToString(buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "Command: 37,SubAddress: 03, Return: ER0001:f");
    char tiny[1] = {'X'};
    response.ToString(tiny, 1);
    EXPECT_EQ(tiny[0], '\0');
}

TEST(LEAReceiveTelegram, StreamOperationsTakeTheWholeInput)
{
    LEAReceiveTelegram response;
    unsigned int consumed = 0;
    const Bytes input = {0x01, 0x02, 0x03};
    EXPECT_EQ(response.SplitTelegram(input.data(), 3, consumed), ETelegramComplete);
    EXPECT_EQ(consumed, 3u);
    EXPECT_FALSE(response.IsTelegramValid(input.data(), 3));
    EXPECT_EQ(response.GetDataSize(), 0u);
    EXPECT_EQ(response.GetData(), nullptr);
}

TEST(LEAFactories, CreateRequestsAndResponses)
{
    KMRLEASendTelegramFactory requests;
    KMRTelegramPtr request(requests.CreateTelegram());
    EXPECT_NE(dynamic_cast<LEASendTelegram*>(request.get()), nullptr);
    const Bytes bytes = {0x80, 0x3C};
    EXPECT_EQ(requests.CreateTelegram(bytes.data(), 2), nullptr);

    KMRLEAReceiveTelegramFactory responses;
    KMRTelegramPtr empty(responses.CreateTelegram(bytes.data(), 2));
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_STREQ(empty->GetStatusReturnString().GetString(), "");

    unsigned char answer[] = {'O', 'T', 'o', 'k'};
    KMRTelegramPtr fromData(responses.CreateTelegram(5, 1, 0x37, answer, 4, 0));
    EXPECT_STREQ(fromData->GetStatusInformationString().GetString(), "ok");
    EXPECT_EQ(fromData->GetAddr(), 5);
    KMRTelegramPtr fromText(responses.CreateTelegram(5, 1, 0x17, KMRString(""), 8));
    EXPECT_EQ(fromText->GetError1(), 0);
    EXPECT_EQ(fromText->GetCmd(), 0x17);
}

TEST(KMRLEACommConfig, DefaultsAndCopies)
{
    KMRLEACommConfig config;
    EXPECT_EQ(config.GetDeviceNr(), 0u);
    EXPECT_TRUE(config.GetLeaConfigurationFile().IsEmpty());
    EXPECT_TRUE(config.GetLEAContentPath().IsEmpty());
    EXPECT_TRUE(config.GetApplicationTriggerName().IsEmpty());
    EXPECT_TRUE(config.GetLuminosityVariableName().IsEmpty());
    EXPECT_TRUE(config.GetPictureVariableName().IsEmpty());
    EXPECT_TRUE(config.GetTriggerCommTimeoutVariableName().IsEmpty());
    EXPECT_FALSE(config.GetEthernet());
    EXPECT_FALSE(config.GetSniff());

    config.SetDeviceNr(3);
    config.SetLEAContentPath("C:\\content");
    config.SetEthernet(true);
    config.SetSniff(true);
    auto* copy = new KMRLEACommConfig(config);
    EXPECT_EQ(copy->GetDeviceNr(), 3u);
    EXPECT_STREQ(copy->GetLEAContentPath().GetString(), "C:\\content");
    EXPECT_TRUE(copy->GetEthernet());
    EXPECT_TRUE(copy->GetSniff());
    copy->Release();
}
