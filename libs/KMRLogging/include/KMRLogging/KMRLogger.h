// KMRLogger: the logging facade of the suite over one named log4cxx logger.
#pragma once

#include <KMRLogging/KMRLoggingExport.h>

#include <KMRBase/KMRString.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace log4cxx
{
class Logger;
}

// Thresholds for SetLevel; other values change nothing.
enum LoggerLevel
{
    LOGGER_LEVEL_FATAL = 0,
    LOGGER_LEVEL_ERROR = 1,
    LOGGER_LEVEL_WARN = 2,
    LOGGER_LEVEL_INFO = 3,
    LOGGER_LEVEL_DEBUG = 4
};

// One object per dotted logger name ("org.kelmar.comm.transmission"). Logging never
// throws to its caller: a failure of the back end is swallowed, reported once to the
// system log and switches logging off for the rest of the process.
// Thread safety: objects may be used from several threads; the back end serialises
// its appenders. Copies share the bound back-end logger.
class KMRLogging_API KMRLogger
{
public:
    KMRLogger();
    virtual ~KMRLogger();
    KMRLogger(const KMRLogger& other_i);
    KMRLogger& operator=(const KMRLogger& other_i);

    // Configures the whole back end from an XML configuration file (log4cxx DOM
    // configurator). Answers false when the file does not exist.
    static bool Configure(const char* file_i);
    // Configures the whole back end without a file: one appender on standard error,
    // root threshold level_i. For programs run without a configuration file.
    static void ConfigureConsole(LoggerLevel level_i);
    // Flushes and closes every appender; call once before the process exits.
    static void Shutdown();

    // Binds this object to the named back-end logger, creating it when needed.
    void SetLogger(const char* name_i);
    void SetLevel(LoggerLevel level_i);

    void Debug(const char* text_i);
    void Info(const char* text_i);
    void Warn(const char* text_i);
    void Error(const char* text_i);
    void Fatal(const char* text_i);

    bool IsDebugEnabled();
    bool IsInfoEnabled();
    bool IsWarnEnabled();
    bool IsErrorEnabled();
    bool IsFatalEnabled();

    // Writes one error entry to the system log (syslog, identity "KMRLogger"), or to
    // the hook when one is set.
    static void ReportErrorEvent(KMRString text_i);
    // Replaces the system log for ReportErrorEvent (tests capture reports with it);
    // an empty function restores syslog.
    static void SetEventLogHook(std::function<void(const std::string&)> hook_i);

    // Positive: logging works; 0: a failure happened and is not yet reported;
    // negative: logging is off for the rest of the process.
    static std::atomic<int32_t> m_iErrorCount;

private:
    enum class Level
    {
        Fatal,
        Error,
        Warn,
        Info,
        Debug
    };
    static bool _Gate();
    void _Write(Level level_i, const char* text_i);
    bool _IsEnabled(Level level_i);

    std::shared_ptr<log4cxx::Logger> m_pLogger;
};
