#include "log/Log.h"

#include <log4cpp/Category.hh>
#include <log4cpp/PatternLayout.hh>
#include <log4cpp/Priority.hh>
#include <log4cpp/RollingFileAppender.hh>

#include <cstdarg>
#include <cstring>
#include <mutex>

#include "common/SystemQueries.h"
#include "log/LogCategory.h"
#include "platform/Text.h"

namespace {

constexpr std::size_t kMaxLogFileSize = 10485760;
constexpr unsigned int kBackupFiles = 1;
constexpr mode_t kLogFileMode = 0644;
constexpr const char* kFaultText = "***Fatal Error Check,Please Fix it!***";

std::mutex& OpenLock() {
    static std::mutex lock;
    return lock;
}

// Serialises appends: the rolling appender's size check and roll-over are not atomic.
std::mutex& WriteLock() {
    static std::mutex lock;
    return lock;
}

bool IsLogOpen() {
    return log4cpp::Category::getRoot().getAppender(LogCategoryName()) != nullptr;
}

void OpenLockedIfClosed() {
    std::lock_guard<std::mutex> guard(OpenLock());
    if (!IsLogOpen()) InitLog(nullptr, nullptr);
}

log4cpp::Priority::Value PriorityOfLevel(int level) {
    static constexpr log4cpp::Priority::Value kPriorities[] = {
        log4cpp::Priority::DEBUG, log4cpp::Priority::INFO, log4cpp::Priority::WARN, log4cpp::Priority::ERROR};
    return kPriorities[level];
}

void PassToLog(int level, const std::string& message) {
    OpenLockedIfClosed();
    if (message.empty() || level < kLogDebug || level > kLogError) return;
    std::lock_guard<std::mutex> guard(WriteLock());
    log4cpp::Category::getRoot().log(PriorityOfLevel(level), message);
}

std::string LastPathComponent(const char* sourceFile) {
    if (!sourceFile) return {};
    const char* slash = std::strrchr(sourceFile, '/');
    return slash ? slash + 1 : sourceFile;
}

void WriteFaultRecord(const char* function, const char* sourceFile, int line, int level) {
    const std::string record = platform::FormatNarrow("[%s:%d][%s] %s", LastPathComponent(sourceFile).c_str(), line,
                                                      function ? function : "", kFaultText);
    try {
        PassToLog(level, record);
    } catch (...) {
        // Nothing more can be done for a record that cannot be written.
    }
}

// The formatted message, or the fault record when the message could not be formatted.
void PassOrFault(bool bFormatted, const std::string& message, const char* function, const char* sourceFile, int line,
                 int level) {
    if (bFormatted) {
        PassToLog(level, message);
    } else {
        WriteFaultRecord(function, sourceFile, line, level);
    }
}

}  // namespace

void InitLog(const wchar_t* fileName, const wchar_t* folder) {
    const std::string& category = LogCategoryName();
    log4cpp::Category& root = log4cpp::Category::getRoot();
    if (root.getAppender(category)) return;

    std::wstring logFolder = (folder && *folder) ? std::wstring(folder) : LogDefaultFolder();
    CreateFolderTree(logFolder);
    std::wstring logName = (fileName && *fileName) ? std::wstring(fileName) : platform::Utf8ToWide(category) + L".log";
    const std::wstring path = platform::FormatWide(L"%s/%s", logFolder.c_str(), logName.c_str());

    auto* appender = new log4cpp::RollingFileAppender(category, platform::WideToUtf8(path), kMaxLogFileSize,
                                                      kBackupFiles, true, kLogFileMode);
    auto* layout = new log4cpp::PatternLayout();
    layout->setConversionPattern("%d %m%n ");
    appender->setLayout(layout);
    root.addAppender(appender);
    root.setPriority(log4cpp::Priority::DEBUG);
}

void WriteLog(const char* function, const char* sourceFile, int line, int level, const char* format, ...) {
    if (!format || !*format) return;
    try {
        va_list args;
        va_start(args, format);
        std::string message;
        const bool formatted = platform::FormatNarrowV(message, format, args);
        va_end(args);
        PassOrFault(formatted, message, function, sourceFile, line, level);
    } catch (...) {
        WriteFaultRecord(function, sourceFile, line, level);
    }
}

void WriteLogW(const char* function, const char* sourceFile, int line, int level, const wchar_t* format, ...) {
    if (!format || !*format) return;
    try {
        va_list args;
        va_start(args, format);
        std::wstring message;
        const bool formatted = platform::FormatWideV(message, format, args);
        va_end(args);
        PassOrFault(formatted, platform::WideToUtf8(message), function, sourceFile, line, level);
    } catch (...) {
        WriteFaultRecord(function, sourceFile, line, level);
    }
}
