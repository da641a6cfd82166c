#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "log/Log.h"
#include "platform/Text.h"
#include "platform/ThreadInfo.h"

namespace {

std::atomic<AssertPresenter> g_assertPresenter{nullptr};

void PresentAssert(const char* expression, const char* function, int line, const std::string& message) {
    const std::string text = platform::FormatNarrow("Assert(%s);\n (in function %s,at line %d)\n is Debug?\n%s\n",
                                                    expression ? expression : "", function ? function : "", line,
                                                    message.c_str());
    AssertPresenter presenter = g_assertPresenter.load();
    if (!presenter) {
        // No message box exists yet: standard error is the only place a user or developer sees it.
        std::fprintf(stderr, "AssertError!\n%s", text.c_str());
        return;
    }
    if (presenter(platform::Utf8ToWide(text), L"AssertError!") && platform::IsDebuggerAttached()) {
        platform::BreakIntoDebugger();
    }
}

}  // namespace

void SetAssertPresenter(AssertPresenter presenter) {
    g_assertPresenter.store(presenter);
}

void ShowAssert(bool condition, const char* expression, const char* function, int line) {
    if (condition) return;
    PresentAssert(expression, function, line, std::string());
}

void ShowAssert(bool condition, const char* expression, const char* function, int line, const char* format, ...) {
    if (condition) return;
    std::string message;
    va_list args;
    va_start(args, format);
    platform::FormatNarrowV(message, format, args);
    va_end(args);
    PresentAssert(expression, function, line, message);
}

void DebugPrint(const char* format, ...) {
    if (!format || !*format) return;
    std::string text;
    va_list args;
    va_start(args, format);
    const bool formatted = platform::FormatNarrowV(text, format, args);
    va_end(args);
    if (formatted) std::fputs(text.c_str(), stdout);
}
