// Test helper: collects the lines written to one logger (and its children).
#pragma once

#include <log4cxx/appenderskeleton.h>
#include <log4cxx/logger.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kmrtest
{
class CollectingAppender : public log4cxx::AppenderSkeleton
{
public:
    void close() override {}
    bool requiresLayout() const override { return false; }

    std::vector<std::string> Lines() const
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_Lines;
    }

protected:
    void append(const log4cxx::spi::LoggingEventPtr& event_i, log4cxx::helpers::Pool&) override
    {
        std::string line;
        log4cxx::helpers::Transcoder::encode(event_i->getMessage(), line);
        std::lock_guard<std::mutex> guard(m_Lock);
        m_Changed.notify_all();
        m_Lines.push_back(event_i->getLevel()->toString() == LOG4CXX_STR("FATAL") ? "FATAL " + line
                          : event_i->getLevel()->toString() == LOG4CXX_STR("ERROR") ? "ERROR " + line
                          : event_i->getLevel()->toString() == LOG4CXX_STR("WARN")  ? "WARN " + line
                          : event_i->getLevel()->toString() == LOG4CXX_STR("INFO")  ? "INFO " + line
                                                                                    : "DEBUG " + line);
    }

public:
    // Blocks until count_i lines start with the prefix.
    void WaitFor(const std::string& prefix_i, size_t count_i) const
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        m_Changed.wait(lock, [&] {
            return static_cast<size_t>(std::count_if(m_Lines.begin(), m_Lines.end(), [&](const std::string& line_i) {
                       return line_i.rfind(prefix_i, 0) == 0;
                   })) >= count_i;
        });
    }

private:
    mutable std::mutex m_Lock;
    mutable std::condition_variable m_Changed;
    std::vector<std::string> m_Lines;
};

// Attaches a collecting appender to the named logger for the lifetime of the object,
// with every level enabled. Lines read "<LEVEL> <message>".
class LogCapture
{
public:
    explicit LogCapture(const char* loggerName_i)
        : m_pLogger(log4cxx::Logger::getLogger(loggerName_i)), m_pAppender(std::make_shared<CollectingAppender>())
    {
        m_pLogger->setLevel(log4cxx::Level::getDebug());
        m_pLogger->addAppender(m_pAppender);
    }
    ~LogCapture() { m_pLogger->removeAppender(m_pAppender); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> Lines() const { return m_pAppender->Lines(); }
    // Blocks until count_i lines start with the prefix ("INFO Listen for ...").
    void WaitFor(const std::string& prefix_i, size_t count_i = 1) const { m_pAppender->WaitFor(prefix_i, count_i); }
    // Lines that start with the given prefix ("ERROR ", "WARN The telegram...").
    std::vector<std::string> LinesStartingWith(const std::string& prefix_i) const
    {
        std::vector<std::string> found;
        for (const auto& line : Lines())
            if (line.rfind(prefix_i, 0) == 0)
                found.push_back(line);
        return found;
    }

private:
    log4cxx::LoggerPtr m_pLogger;
    std::shared_ptr<CollectingAppender> m_pAppender;
};
} // namespace kmrtest
