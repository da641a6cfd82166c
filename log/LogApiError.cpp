#include <cstring>

#include "log/Log.h"
#include "platform/ThreadInfo.h"

std::string SystemErrorText(unsigned long errorCode) {
    char buffer[260] = {};
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(errorCode), buffer, sizeof(buffer));
    return text ? std::string(text) + "\n" : std::string();
}

void ShowApiError(const char* apiName, unsigned long errorCode, ErrorTextLookup module, const char* context) {
    const std::string text = module ? module(errorCode) : SystemErrorText(errorCode);
    const long threadId = platform::CurrentThreadId();
    if (!context) {
        WriteLog("ShowApiError", "stdafx", __LINE__, kLogInfo, "[Thread][%ld] call %s fail %lu, %s\n", threadId,
                 apiName ? apiName : "", errorCode, text.c_str());
    } else {
        WriteLog("ShowApiError", "stdafx", __LINE__, kLogInfo, "[Thread][%ld] [%s]call %s fail %lu, %s\n", threadId,
                 context, apiName ? apiName : "", errorCode, text.c_str());
    }
}
