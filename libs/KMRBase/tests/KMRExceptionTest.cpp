// The exception record, its type table and the operating-system error texts.
#include <KMRBase/KMRException.h>
#include <KMRBase/KMRWin32Exception.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

TEST(KMRException, TypeTable)
{
    struct Case
    {
        int type;
        const char* title;
        const char* user;
    };
    const Case cases[] = {
        {0, "Ressources", "Internal Ressource not available."},
        {2, "Configuration", "Wrong Configuration."},
        {4, "Software", "Unable to create object."},
        {6, "Operating System", "Unexpected Operating System behaviour."},
        {7, "Plausibility", "Internal plausibility check failed."},
        {8, "Software", "Internal software error occurred."},
        {9, "Data", "Invalid data found."},
        {10, "Size", "Data size too long."},
        {11, "Access", "Access not allowed."},
        {12, "Argument", "Invalid argument found."},
        {13, "Software", "Unexpected error occurred."},
        {-1, "Software", "Unexpected error occurred."},
    };
    for (const Case& c : cases)
    {
        const auto type = static_cast<KMRExceptionType>(c.type);
        EXPECT_STREQ(c.title, KMRException::GetTitleFromType(type)) << c.type;
        EXPECT_STREQ(c.user, KMRException::GetUserTextFromType(type)) << c.type;
    }
}

TEST(KMRException, DetailsAreCutTo2047Characters)
{
    const std::string longText(3000, 'd');
    KMRException a("file.cpp", 12, "KCTelegram::KCTelegram", longText.c_str(), "user", "title");
    EXPECT_EQ(std::string(2047, 'd'), a.GetDetails());
    KMRException b("KMRSerial::Open", longText);
    EXPECT_EQ(std::string(2047, 'd'), b.GetDetails());
    EXPECT_STREQ("KMRSerial::Open", b.GetWhereText());
    EXPECT_EQ(0, b.GetLineNumber());
    EXPECT_STREQ("", b.GetSourceFile());
}

TEST(KMRException, RecordAndErrorCode)
{
    try
    {
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCTelegram::KCTelegram", "length 300");
    }
    catch (KMRException& e)
    {
        EXPECT_STREQ("Plausibility", e.GetUserTitle());
        EXPECT_STREQ("Internal plausibility check failed.", e.GetUserText());
        EXPECT_STREQ("length 300", e.GetDetails());
        EXPECT_STREQ("KCTelegram::KCTelegram", e.GetWhereText());
        EXPECT_GT(e.GetLineNumber(), 0);
        EXPECT_EQ(0u, e.GetErrorCode());
        e.SetErrorCode(0x80000000u);
        EXPECT_EQ(0x80000000u, e.GetErrorCode());
        EXPECT_EQ("", e.GetWhere());
        EXPECT_EQ("", e.GetMessage());
    }
}

TEST(KMRException, HandedOverDetailsSurviveCopies)
{
    errno = ENOENT;
    char* details = KMRException::GetWinStatusDetails("open");
    EXPECT_EQ(std::string("open: ") + GetLastErrorMessage(ENOENT), details);

    auto* original = new KMRException("f", 1, "A::B", details, "u", "t");
    KMRException copy(*original);
    KMRException assigned("x", "y");
    assigned = *original;
    delete original; // frees the handed-over buffer; the copies own their own
    EXPECT_EQ(std::string("open: ") + GetLastErrorMessage(ENOENT), copy.GetDetails());
    EXPECT_STREQ(copy.GetDetails(), assigned.GetDetails());
    EXPECT_STREQ("A::B", assigned.GetWhereText());
}

TEST(KMRException, StringConstructedWhereSurvivesCopies)
{
    auto* original = new KMRException(std::string("KMRUDPTransmission::Send"), "d");
    const KMRException copy(*original);
    delete original;
    EXPECT_STREQ("KMRUDPTransmission::Send", copy.GetWhereText());
}

TEST(KMRWin32Exception, CarriesTheErrorAndItsText)
{
    const KMRWin32Exception e("KMRSerial::Open", EACCES);
    EXPECT_EQ(static_cast<uint32_t>(EACCES), e.GetError());
    EXPECT_EQ(GetLastErrorMessage(EACCES), e.GetDetails());
    EXPECT_FALSE(GetLastErrorMessage(EACCES).empty());
    EXPECT_LE(GetLastErrorMessage(99999).size(), 511u);
}
