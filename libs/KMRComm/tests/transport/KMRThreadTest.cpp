// KMRThread: names, start/wait/terminate, and the fatal policy for escaping exceptions.
#include <KMRComm/KMRThread.h>

#include <KMRComm/KMREvent.h>
#include <KMRComm/KMRSETranslator.h>

#include <KMRBase/KMRException.h>

#include <gtest/gtest.h>
#include <log4cxx/consoleappender.h>
#include <log4cxx/logger.h>
#include <log4cxx/patternlayout.h>

#include <functional>
#include <string>
#include <typeinfo>

namespace
{
class FunctionThread : public KMRThread
{
public:
    explicit FunctionThread(std::function<void()> body_i, const char* name_i = "TestThread")
        : KMRThread(name_i), m_Body(std::move(body_i))
    {
    }
    int32_t Run() override
    {
        m_Body();
        return 7;
    }

private:
    std::function<void()> m_Body;
};

// The fatal log line reaches standard error, where the death test reads it.
void LogThreadLoggerToStderr()
{
    auto logger = log4cxx::Logger::getLogger("org.kelmar.comm.thread");
    auto layout = std::make_shared<log4cxx::PatternLayout>(LOG4CXX_STR("%p %m%n"));
    logger->addAppender(std::make_shared<log4cxx::ConsoleAppender>(layout, LOG4CXX_STR("System.err")));
}

void RunAndWait(std::function<void()> body_i)
{
    LogThreadLoggerToStderr();
    FunctionThread thread(std::move(body_i));
    thread.Start();
    thread.Wait();
}

class KMRThreadDeathTest : public ::testing::Test
{
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};
} // namespace

TEST(KMRThread, NameIsCutTo255Characters)
{
    const std::string exact(255, 'a');
    FunctionThread whole([] {}, exact.c_str());
    EXPECT_EQ(exact, whole.GetThreadName());

    const std::string tooLong = std::string(255, 'b') + std::string(45, 'c');
    FunctionThread cut([] {}, tooLong.c_str());
    EXPECT_EQ(std::string(255, 'b'), cut.GetThreadName());
    EXPECT_EQ(-1, cut.GetHandle()) << "no thread before Start";
}

TEST(KMRThread, WaitAnswersWhetherTheThreadHasEnded)
{
    KMRManualResetEvent release;
    FunctionThread thread([&] { release.Wait(); });
    thread.Start();
    EXPECT_NE(-1, thread.GetHandle());
    EXPECT_FALSE(thread.Wait(0));
    release.Set();
    EXPECT_TRUE(thread.Wait(KMRThread::INFINITE_WAIT));
    EXPECT_TRUE(thread.Wait(0)) << "an ended thread stays ended";
}

TEST(KMRThread, StartTwiceThrowsAndLeavesTheRunningThreadAlone)
{
    KMRManualResetEvent release;
    int runs = 0;
    FunctionThread thread([&] {
        ++runs;
        release.Wait();
    });
    thread.Start();
    try
    {
        thread.Start();
        FAIL() << "no exception";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ("KMRThread::Start()", e.GetWhereText());
        EXPECT_STREQ("Thread already running. It's not possible to call Start twice!", e.GetDetails());
    }
    EXPECT_FALSE(thread.Wait(0));
    release.Set();
    thread.Wait();
    EXPECT_EQ(1, runs);
    EXPECT_THROW(thread.Start(), KMRException) << "an ended thread is still started";
}

TEST(KMRThread, TerminateStopsABlockedThreadAndAllowsANewStart)
{
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer's runtime fails its own stack checks while a cancelled thread
    // unwinds (an internal CHECK in its sigaltstack interceptor), not in our code.
    GTEST_SKIP() << "thread cancellation is not supported under AddressSanitizer";
#endif
    KMRManualResetEvent never;
    KMRManualResetEvent started;
    FunctionThread thread([&] {
        started.Set();
        never.Wait();
    });
    thread.Start();
    started.Wait();
    thread.Terminate(3);
    EXPECT_EQ(-1, thread.GetHandle());
    never.Set();
    thread.Start();
    EXPECT_TRUE(thread.Wait(KMRThread::INFINITE_WAIT));
}

TEST_F(KMRThreadDeathTest, KMRExceptionInRunIsLoggedAndEndsTheProcessWithCode1)
{
    // Line 42, no details, a source file: no " Reason: " part.
    EXPECT_EXIT(RunAndWait([] { throw KMRException("Module.cpp", 42, "Test::Run", "", "", ""); }),
                ::testing::ExitedWithCode(1),
                "FATAL KMRException occurred in thread [0-9]+ Line Number: 42 File: Module.cpp\n");
    EXPECT_EXIT(RunAndWait([] { throw KMRException("Module.cpp", 7, "Test::Run", "broken", "", ""); }),
                ::testing::ExitedWithCode(1),
                "FATAL KMRException occurred in thread [0-9]+ Line Number: 7 Reason: broken File: Module.cpp\n");
}

TEST_F(KMRThreadDeathTest, OtherExceptionsInRunAreLoggedAndEndTheProcessWithCode1)
{
    EXPECT_EXIT(RunAndWait([] { throw 5; }), ::testing::ExitedWithCode(1),
                "FATAL Unknown exception occurred in thread named TestThread. -> Stopping process");
    EXPECT_EXIT(RunAndWait([] { throw std::bad_typeid(); }), ::testing::ExitedWithCode(1),
                "FATAL Non-RTTI-Object exception. Error message: std::bad_typeid. -> Stopping process");
}

TEST_F(KMRThreadDeathTest, TranslatedFaultInRunEndsTheProcessWithCode1)
{
    EXPECT_EXIT(RunAndWait([] {
                    KMRExceptionRecord record;
                    record.ExceptionCode = 0xC0000094u;
                    KMRExceptionPointers pointers;
                    pointers.ExceptionRecord = &record;
                    KMRSETranslator::translator(record.ExceptionCode, &pointers);
                }),
                ::testing::ExitedWithCode(1), "");
}

TEST(KMRThread, FormatExceptionMessageFitsTheBuffer)
{
    struct Probe : KMRThread
    {
        Probe() : KMRThread("Probe") {}
        int32_t Run() override { return 0; }
        using KMRThread::FormatExceptionMessage;
    };
    const KMRException e("File.cpp", 12, "X::Y", "why", "", "");
    char small[20];
    Probe::FormatExceptionMessage(e, small, sizeof(small));
    EXPECT_EQ(std::string("KMRException occurr"), small);
}
