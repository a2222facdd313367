// KMRLogger over log4cxx, with the failure gate and the system-log report.
#include <KMRLogging/KMRLogger.h>

#include <log4cxx/consoleappender.h>
#include <log4cxx/logger.h>
#include <log4cxx/patternlayout.h>
#include <log4cxx/logmanager.h>
#include <log4cxx/xml/domconfigurator.h>

#include <mutex>
#include <sys/stat.h>
#include <syslog.h>

std::atomic<int32_t> KMRLogger::m_iErrorCount{1};

namespace
{
const char STOP_TEXT[] = "An Error occured when logging a Message! Logging will be stopped!";

std::mutex& HookMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::function<void(const std::string&)>& Hook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

const log4cxx::LevelPtr& BackEndLevel(int level_i)
{
    static const log4cxx::LevelPtr levels[] = {log4cxx::Level::getFatal(), log4cxx::Level::getError(),
                                               log4cxx::Level::getWarn(), log4cxx::Level::getInfo(),
                                               log4cxx::Level::getDebug()};
    return levels[level_i];
}
} // namespace

KMRLogger::KMRLogger() = default;
KMRLogger::~KMRLogger() = default;
KMRLogger::KMRLogger(const KMRLogger& other_i) = default;
KMRLogger& KMRLogger::operator=(const KMRLogger& other_i) = default;

bool KMRLogger::Configure(const char* file_i)
{
    struct stat info {};
    if (file_i == nullptr || ::stat(file_i, &info) != 0)
        return false;
    try
    {
        log4cxx::xml::DOMConfigurator::configure(std::string(file_i));
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void KMRLogger::ConfigureConsole(LoggerLevel level_i)
{
    try
    {
        auto layout = std::make_shared<log4cxx::PatternLayout>(std::string("%d{HH:mm:ss.SSS} %-5p %c - %m%n"));
        auto appender =
            std::make_shared<log4cxx::ConsoleAppender>(layout, log4cxx::ConsoleAppender::getSystemErr());
        log4cxx::LoggerPtr root = log4cxx::Logger::getRootLogger();
        root->removeAllAppenders();
        root->addAppender(appender);
        const int level = level_i >= LOGGER_LEVEL_FATAL && level_i <= LOGGER_LEVEL_DEBUG ? level_i : LOGGER_LEVEL_FATAL;
        root->setLevel(BackEndLevel(level));
    }
    catch (...)
    {
        --m_iErrorCount;
    }
}

void KMRLogger::Shutdown()
{
    try
    {
        log4cxx::LogManager::shutdown();
    }
    catch (...)
    {
    }
}

void KMRLogger::SetLogger(const char* name_i)
{
    try
    {
        m_pLogger = log4cxx::Logger::getLogger(std::string(name_i != nullptr ? name_i : ""));
    }
    catch (...)
    {
        m_pLogger.reset();
        --m_iErrorCount;
    }
}

void KMRLogger::SetLevel(LoggerLevel level_i)
{
    if (!m_pLogger || level_i < LOGGER_LEVEL_FATAL || level_i > LOGGER_LEVEL_DEBUG)
        return;
    m_pLogger->setLevel(BackEndLevel(level_i));
}

bool KMRLogger::_Gate()
{
    int32_t count = m_iErrorCount.load(std::memory_order_relaxed);
    if (count > 0)
        return true;
    if (count == 0 && m_iErrorCount.compare_exchange_strong(count, -1))
        ReportErrorEvent(STOP_TEXT);
    return false;
}

void KMRLogger::_Write(Level level_i, const char* text_i)
{
    if (!_Gate() || !m_pLogger)
        return;
    try
    {
        const log4cxx::LevelPtr& level = BackEndLevel(static_cast<int>(level_i));
        if (m_pLogger->isEnabledFor(level))
            m_pLogger->forcedLog(level, std::string(text_i != nullptr ? text_i : ""));
    }
    catch (...)
    {
        --m_iErrorCount;
    }
}

bool KMRLogger::_IsEnabled(Level level_i)
{
    if (!_Gate() || !m_pLogger)
        return false;
    try
    {
        return m_pLogger->isEnabledFor(BackEndLevel(static_cast<int>(level_i)));
    }
    catch (...)
    {
        --m_iErrorCount;
        return false;
    }
}

void KMRLogger::Debug(const char* text_i) { _Write(Level::Debug, text_i); }
void KMRLogger::Info(const char* text_i) { _Write(Level::Info, text_i); }
void KMRLogger::Warn(const char* text_i) { _Write(Level::Warn, text_i); }
void KMRLogger::Error(const char* text_i) { _Write(Level::Error, text_i); }
void KMRLogger::Fatal(const char* text_i) { _Write(Level::Fatal, text_i); }

bool KMRLogger::IsDebugEnabled() { return _IsEnabled(Level::Debug); }
bool KMRLogger::IsInfoEnabled() { return _IsEnabled(Level::Info); }
bool KMRLogger::IsWarnEnabled() { return _IsEnabled(Level::Warn); }
bool KMRLogger::IsErrorEnabled() { return _IsEnabled(Level::Error); }
bool KMRLogger::IsFatalEnabled() { return _IsEnabled(Level::Fatal); }

void KMRLogger::ReportErrorEvent(KMRString text_i)
{
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        hook = Hook();
    }
    if (hook)
    {
        hook(text_i.ToStdString());
        return;
    }
    // One entry, then the source is closed again, as the event log was used.
    ::openlog("KMRLogger", LOG_PID, LOG_USER);
    ::syslog(LOG_ERR, "%s", text_i.GetString());
    ::closelog();
}

void KMRLogger::SetEventLogHook(std::function<void(const std::string&)> hook_i)
{
    std::lock_guard<std::mutex> lock(HookMutex());
    Hook() = std::move(hook_i);
}
