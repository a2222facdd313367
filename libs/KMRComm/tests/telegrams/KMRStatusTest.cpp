// Status record bits and the communication exception's type table.
#include <KMRComm/KMRStatus.h>

#include <KMRComm/KMRCommException.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

TEST(KMRStatusTest, MaskAndUnmask)
{
    KMRStatus status;
    status.SetStatus1(0x81);
    status.SetError2(0x04);
    unsigned char s1 = 0x02, e1 = 0x10, e2 = 0x00;
    status.MaskStatus(s1, e1, e2);
    EXPECT_EQ(s1, 0x83);
    EXPECT_EQ(e1, 0x10);
    EXPECT_EQ(e2, 0x04);

    status.SetError1(0x34);
    status.UnmaskError1(0x30);
    EXPECT_EQ(status.GetError1(), 0x04);

    KMRStatus copy;
    copy = status;
    EXPECT_TRUE(copy.IsEqual(status));
    copy.ResetError2();
    EXPECT_FALSE(copy.IsEqual(status));
    copy.ResetStatus();
    EXPECT_TRUE(copy.IsEqual(KMRStatus()));
}

TEST(KMRStatusTest, NamedBits)
{
    KMRStatus status;
    status.AddStatusPictureActive();
    status.AddStatusAutoDimmingActive();
    status.AddStatusRestarted();
    status.AddStatusCommunicationTimeout();
    status.AddStatusBusy();
    EXPECT_EQ(status.GetStatus1(), 0x8F);
    EXPECT_TRUE(status.IsStatusPictureActive());
    EXPECT_TRUE(status.IsStatusRestartedActive());
    EXPECT_TRUE(status.IsStatusBusy());
    status.AddStatusIdle();
    EXPECT_FALSE(status.IsStatusBusy());

    status.AddLEDError();
    status.AddPowerError();
    status.SetInternalCommError();
    status.SetCommError();
    status.AddClimateError();
    EXPECT_EQ(status.GetError1(), 0xBC);
    EXPECT_TRUE(status.IsComError());
    EXPECT_TRUE(status.IsInternalComError());
    status.UnsetCommError();
    status.UnsetInternalCommError();
    EXPECT_EQ(status.GetError1(), 0x8C);

    status.AddOutOfRangeError();
    status.AddMemoryError();
    status.AddCIDError();
    status.AddInternalConflictError();
    status.AddSequenceError();
    status.AddDataFormatError();
    status.AddInternalError();
    EXPECT_EQ(status.GetError2(), 0x7F);
    EXPECT_TRUE(status.IsOutOfRangeError());
    EXPECT_TRUE(status.IsCIDError());
}

TEST(KMRCommExceptionTest, TypeTableAndThrowMacro)
{
    EXPECT_STREQ(KMRCommException::GetTitleFromType(KMR_COMM_EXC_SOCKET), "Socket");
    EXPECT_STREQ(KMRCommException::GetUserTextFromType(KMR_COMM_EXC_SOCKET), "A socket error occurred.");
    for (int type : {1, 2, 3, 9})
    {
        EXPECT_STREQ(KMRCommException::GetTitleFromType(static_cast<KMRCommExceptionType>(type)), "Software");
        EXPECT_STREQ(KMRCommException::GetUserTextFromType(static_cast<KMRCommExceptionType>(type)),
                     "An unexpected error occurred.");
    }
    try
    {
        KMR_COMM_THROW(KMR_COMM_EXC_SOCKET, "Test::Operation", "details");
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ(e.GetWhereText(), "Test::Operation");
        EXPECT_STREQ(e.GetDetails(), "details");
        EXPECT_STREQ(e.GetUserTitle(), "Socket");
    }
}

TEST(KMRCommExceptionTest, LastErrorDetails)
{
    errno = ENOENT;
    char* details = KMRCommException::GetWin32StatusDetails("open");
    EXPECT_EQ(std::string(details), std::string("open: ") + std::strerror(ENOENT));
    KMRCommException owning(__FILE__, __LINE__, "Test::Open", details, "", "");
    EXPECT_EQ(std::string(owning.GetDetails()), std::string("open: ") + std::strerror(ENOENT));

    errno = ECONNREFUSED;
    char* alone = KMRCommException::GetWinSocketStatusDetails();
    EXPECT_STREQ(alone, std::strerror(ECONNREFUSED));
    KMRException::FreeWinStatusDetails(alone);
}
