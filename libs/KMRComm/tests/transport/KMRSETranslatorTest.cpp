// Processor faults become exception objects on threads with a translator.
#include <KMRComm/KMRSETranslator.h>
#include <KMRComm/KMRWin32HardwareException.h>

#include <gtest/gtest.h>

#include <thread>

namespace
{
// The sanitizers would report these faults before the processor raises them.
volatile int g_iSink = 0;

// Stores the quotient so the optimiser can neither drop nor hoist the division.
__attribute__((noinline, no_sanitize("address"), no_sanitize("undefined"))) int Divide(int a_i, int b_i)
{
    const volatile int divisor = b_i;
    g_iSink = a_i / divisor;
    return g_iSink;
}

__attribute__((noinline, no_sanitize("address"), no_sanitize("undefined"))) void WriteTo(volatile int* target_i)
{
    *target_i = 42;
}

__attribute__((noinline, no_sanitize("address"), no_sanitize("undefined"))) int ReadFrom(volatile int* source_i)
{
    g_iSink = *source_i;
    return g_iSink;
}

volatile int g_iZero = 0;

// ThreadSanitizer takes over the fault signals and delivers them outside the faulting
// instruction, so faults cannot become exceptions in that build; the race checks of
// the threads do not need these tests.
#if defined(__SANITIZE_THREAD__)
#define KMR_SKIP_UNDER_TSAN() GTEST_SKIP() << "fault translation is not available under ThreadSanitizer"
#else
#define KMR_SKIP_UNDER_TSAN() (void)0
#endif
volatile int* g_pNull = nullptr;
} // namespace

TEST(KMRSETranslator, DivisionByZeroBecomesItsExceptionClass)
{
    KMR_SKIP_UNDER_TSAN();
    KMRSETranslator translator;
    try
    {
        Divide(1, g_iZero);
        FAIL() << "no exception";
    }
    catch (const KMRSETranslator::int_divide_by_zero& e)
    {
        EXPECT_EQ(0xC0000094u, e.GetCode());
        EXPECT_EQ("Integer Divide by Zero", e.GetName());
        EXPECT_EQ("The thread attempted to divide an integer value by an integer divisor of zero", e.GetDescription());
        EXPECT_NE(nullptr, e.GetAddress());
    }
    // The thread goes on and translates again: the signal is not left blocked.
    EXPECT_THROW(Divide(2, g_iZero), KMRSETranslator::exception);
}

TEST(KMRSETranslator, NullReadIsAnAccessViolation)
{
    KMR_SKIP_UNDER_TSAN();
    KMRSETranslator translator;
    try
    {
        ReadFrom(g_pNull);
        FAIL() << "no exception";
    }
    catch (const KMRSETranslator::access_violation& e)
    {
        EXPECT_EQ(0xC0000005u, e.GetCode());
        EXPECT_EQ(0u, e.GetRecord().ExceptionInformation[0]) << "a read";
        EXPECT_EQ(0u, e.GetRecord().ExceptionInformation[1]);
    }
}

TEST(KMRWin32HardwareException, NullWriteIsAWriteAccessViolationAtAddressZero)
{
    KMR_SKIP_UNDER_TSAN();
    std::thread worker([] {
        KMRWin32HardwareException::InstallHandler();
        try
        {
            WriteTo(g_pNull);
            ADD_FAILURE() << "no exception";
        }
        catch (const KMRWin32AccessViolation& e)
        {
            EXPECT_TRUE(e.IsWrite());
            EXPECT_EQ(0u, e.GetInaccessibleAddress());
            EXPECT_STREQ("Access violation", e.GetWin32ExceptionCodeString());
        }
        try
        {
            Divide(3, g_iZero);
            ADD_FAILURE() << "no exception";
        }
        catch (const KMRWin32AccessViolation&)
        {
            ADD_FAILURE() << "a division is not an access violation";
        }
        catch (const KMRWin32HardwareException& e)
        {
            EXPECT_EQ(0xC0000094u, e.GetExceptionCode());
            EXPECT_STREQ("Division by zero", e.what());
        }
        KMRSETranslator::SetThreadTranslator(nullptr);
    });
    worker.join();
}

TEST(KMRSETranslator, RestoresThePreviousTranslatorOnDestruction)
{
    KMR_SKIP_UNDER_TSAN();
    KMRSETranslator outer;
    {
        KMRSETranslator inner(&KMRWin32HardwareException::Translate);
        EXPECT_THROW(Divide(1, g_iZero), KMRWin32HardwareException);
    }
    EXPECT_THROW(Divide(1, g_iZero), KMRSETranslator::int_divide_by_zero);
}

TEST(KMRSETranslator, NamesAndDescriptions)
{
    struct Case
    {
        uint32_t code;
        const char* name;
    };
    const Case cases[] = {{0x80000001u, "Guard Page"},      {0x80000004u, "Single Step"},
                          {0xC0000005u, "Access Violation"}, {0xC000008Du, "Float Denormal Operand"},
                          {0xC0000096u, "Privileged Instruction"}, {0xC00000FDu, "Stack Overflow"},
                          {0xE06D7363u, "Microsoft C++ Exception"}, {0x1234ABu, "1234ab"},
                          {0u, "0"}};
    for (const Case& c : cases)
        EXPECT_EQ(c.name, KMRSETranslator::name(c.code)) << std::hex << c.code;
    EXPECT_EQ("The thread used up its stack", KMRSETranslator::description(0xC00000FDu));
    EXPECT_EQ("Guard Page Exception", KMRSETranslator::description(0x80000001u));
    EXPECT_EQ("Invalid Handle Exception", KMRSETranslator::description(0xC0000008u));
    EXPECT_EQ("The thread attempted to read from or write to a virtual address for which it does not have the "
              "appropriate access",
              KMRSETranslator::description(0xC0000005u));
}

TEST(KMRSETranslatorDeathTest, AnUntranslatedFaultEndsTheProcessWithCodeOne)
{
    KMR_SKIP_UNDER_TSAN();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            KMRSETranslator::InstallFaultHandlers();
            std::thread([] { Divide(1, g_iZero); }).join();
        },
        ::testing::ExitedWithCode(1), "untranslated fault: code 0x00000000c0000094");
    EXPECT_EXIT(
        {
            KMRSETranslator::InstallFaultHandlers();
            WriteTo(g_pNull);
        },
        ::testing::ExitedWithCode(1), "untranslated fault: code 0x00000000c0000005");
}
