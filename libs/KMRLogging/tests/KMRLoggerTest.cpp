// The logging facade: configuration, levels, and the failure gate.
#include <KMRLogging/KMRLogger.h>

#include <gtest/gtest.h>

#include <log4cxx/appenderskeleton.h>
#include <log4cxx/logger.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
// An appender that fails on every write, as a broken back end would.
class ThrowingAppender : public log4cxx::AppenderSkeleton
{
public:
    void close() override {}
    bool requiresLayout() const override { return false; }

protected:
    void append(const log4cxx::spi::LoggingEventPtr&, log4cxx::helpers::Pool&) override
    {
        throw std::runtime_error("disk full");
    }
};

std::string ReadFile(const std::string& path_i)
{
    std::ifstream in(path_i);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class KMRLoggerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KMRLogger::m_iErrorCount = 1;
        KMRLogger::SetEventLogHook([this](const std::string& text_i) { m_Reports.push_back(text_i); });
    }
    void TearDown() override
    {
        KMRLogger::SetEventLogHook({});
        KMRLogger::m_iErrorCount = 1;
    }
    std::vector<std::string> m_Reports;
};
} // namespace

TEST_F(KMRLoggerTest, ConfiguresFromXmlAndWritesAtEnabledLevels)
{
    const std::string logFile = ::testing::TempDir() + "kmrlogger_test.log";
    const std::string config = ::testing::TempDir() + "kmrlogger_config.xml";
    std::ofstream(config) << R"(<?xml version="1.0" encoding="UTF-8"?>
<log4j:configuration xmlns:log4j="http://jakarta.apache.org/log4j/">
  <appender name="file" class="org.apache.log4j.FileAppender">
    <param name="File" value=")" << logFile << R"("/>
    <param name="Append" value="false"/>
    <layout class="org.apache.log4j.PatternLayout"><param name="ConversionPattern" value="%p %c %m%n"/></layout>
  </appender>
  <logger name="org.kelmar.test"><level value="info"/></logger>
  <root><priority value="debug"/><appender-ref ref="file"/></root>
</log4j:configuration>)";
    EXPECT_FALSE(KMRLogger::Configure("/nonexistent/config.xml"));
    ASSERT_TRUE(KMRLogger::Configure(config.c_str()));

    KMRLogger logger;
    EXPECT_FALSE(logger.IsErrorEnabled()) << "no logger bound yet";
    logger.Error("unbound");
    logger.SetLogger("org.kelmar.test");
    EXPECT_TRUE(logger.IsInfoEnabled());
    EXPECT_FALSE(logger.IsDebugEnabled());
    logger.Debug("hidden");
    logger.Info("SEND:    ÄÖÜ");
    logger.SetLevel(static_cast<LoggerLevel>(7));
    EXPECT_FALSE(logger.IsDebugEnabled()) << "an unknown level changes nothing";
    logger.SetLevel(LOGGER_LEVEL_DEBUG);
    EXPECT_TRUE(logger.IsDebugEnabled());
    logger.Debug("visible");
    logger.SetLevel(LOGGER_LEVEL_ERROR);
    EXPECT_FALSE(logger.IsWarnEnabled());
    EXPECT_TRUE(logger.IsFatalEnabled());

    const std::string text = ReadFile(logFile);
    EXPECT_NE(std::string::npos, text.find("INFO org.kelmar.test SEND:    ")) << text;
    EXPECT_NE(std::string::npos, text.find("DEBUG org.kelmar.test visible")) << text;
    EXPECT_EQ(std::string::npos, text.find("hidden"));
    EXPECT_EQ(std::string::npos, text.find("unbound"));
    EXPECT_TRUE(m_Reports.empty());
}

TEST_F(KMRLoggerTest, SameNameSharesOneBackEndLogger)
{
    KMRLogger a;
    KMRLogger b;
    a.SetLogger("org.kelmar.shared");
    b.SetLogger("org.kelmar.shared");
    a.SetLevel(LOGGER_LEVEL_WARN);
    EXPECT_FALSE(b.IsInfoEnabled());
    b.SetLevel(LOGGER_LEVEL_DEBUG);
    EXPECT_TRUE(a.IsDebugEnabled());
    KMRLogger copy(a);
    EXPECT_TRUE(copy.IsDebugEnabled());
}

TEST_F(KMRLoggerTest, ABackEndFailureIsSwallowedReportedOnceAndStopsLogging)
{
    KMRLogger logger;
    logger.SetLogger("org.kelmar.failing");
    auto backEnd = log4cxx::Logger::getLogger("org.kelmar.failing");
    backEnd->setAdditivity(false);
    backEnd->addAppender(std::make_shared<ThrowingAppender>());
    logger.SetLevel(LOGGER_LEVEL_DEBUG);

    EXPECT_NO_THROW(logger.Error("first"));
    EXPECT_EQ(0, KMRLogger::m_iErrorCount.load());
    EXPECT_TRUE(m_Reports.empty());

    logger.Error("second");
    ASSERT_EQ(1u, m_Reports.size());
    EXPECT_EQ("An Error occured when logging a Message! Logging will be stopped!", m_Reports[0]);

    logger.Error("third");
    EXPECT_FALSE(logger.IsErrorEnabled());
    EXPECT_FALSE(logger.IsFatalEnabled());
    EXPECT_EQ(1u, m_Reports.size());
    EXPECT_LT(KMRLogger::m_iErrorCount.load(), 0);
    backEnd->removeAllAppenders();
}
