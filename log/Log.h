#pragma once
// The rolling log: one log4cpp rolling file appender on the root category.
// Call sites use the LOG_INFO / LOG_INFOW macros, which supply function, file and line.
#include <string>

// Levels: 0 DEBUG, 1 INFO, 2 WARN, 3 ERROR. Every call site of the installer uses 1.
enum LogLevel { kLogDebug = 0, kLogInfo = 1, kLogWarn = 2, kLogError = 3 };

// Opens the log in folder/fileName (null or empty: {executable dir}/Log/{category}.log).
// The first opening wins; later calls change nothing.
void InitLog(const wchar_t* fileName, const wchar_t* folder);

void WriteLog(const char* function, const char* sourceFile, int line, int level, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
// Wide formats: "%s" takes a wide string (see platform::FormatWideV).
void WriteLogW(const char* function, const char* sourceFile, int line, int level, const wchar_t* format, ...);

// Explains an error code of one error table (the C library's errno, libcurl, ...).
using ErrorTextLookup = std::string (*)(unsigned long errorCode);
// The system's error texts (strerror); used when no table is given.
std::string SystemErrorText(unsigned long errorCode);

// Records a failed system call with the table's text for errorCode. module null = errno table.
void ShowApiError(const char* apiName, unsigned long errorCode, ErrorTextLookup module, const char* context);

// Until a message box presenter is installed, assertions are reported on standard error.
// The presenter shows text with caption "AssertError!" and Yes/No; answers true for Yes.
using AssertPresenter = bool (*)(const std::wstring& text, const std::wstring& caption);
void SetAssertPresenter(AssertPresenter presenter);
void ShowAssert(bool condition, const char* expression, const char* function, int line);
void ShowAssert(bool condition, const char* expression, const char* function, int line, const char* format, ...)
    __attribute__((format(printf, 5, 6)));

void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define LOG_INFO(...) WriteLog(__PRETTY_FUNCTION__, __FILE__, __LINE__, kLogInfo, __VA_ARGS__)
#define LOG_INFOW(...) WriteLogW(__PRETTY_FUNCTION__, __FILE__, __LINE__, kLogInfo, __VA_ARGS__)
#define LOG_API_ERROR(api, code, module) ShowApiError(api, code, module, __PRETTY_FUNCTION__)
