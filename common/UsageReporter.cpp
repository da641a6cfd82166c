#include "common/UsageReporter.h"

#include <cstdio>
#include <new>
#include <system_error>
#include <thread>

#include "platform/Guid.h"
#include "platform/HeadRequest.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"

namespace {

const wchar_t* const kParentKey = L"SOFTWARE\\WOW6432Node\\Norvane";
const wchar_t* const kClientKey = L"SOFTWARE\\WOW6432Node\\Norvane\\NorvaneDown";
const wchar_t* const kClientValue = L"GUID";

const wchar_t* ActionOf(std::int32_t eventType) {
    switch (eventType) {
        case kUsageDownloaderInstalled:
            return L"&ea=Downloader_Installed";
        case kUsageInstalledSucceed:
            return L"&ea=Installed_Succeed";
        default:
            return L"&ea=Downloader_Start_Install";
    }
}

std::wstring CreateClientId() {
    platform::CGuidValue guid;
    if (!platform::CreateGuid(guid)) return L"";
    return FormatClientId(guid.nData1, guid.nData2, guid.nData3, guid.abData4);
}

}  // namespace

std::wstring BuildUsageQuery(const std::wstring& trackingId, const std::wstring& clientId,
                             const std::wstring& category) {
    return L"collect?v=1&t=event&tid=" + trackingId + L"&cid=" + clientId + L"&ec=" + category +
           L" (Windows version)&el=" + clientId;
}

std::wstring FormatClientId(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3,
                            const std::uint8_t data4[8]) {
    char szText[64] = {};
    std::snprintf(szText, sizeof(szText), "%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X", data1, data2, data3,
                  data4[0], data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
    return platform::Utf8ToWide(szText);
}

std::wstring UsageReporter::GetClientId() {
    platform::CSettingsStore store;
    bool bCreated = false;
    if (!store.CreateKey(platform::kHiveLocalMachine, kParentKey, bCreated) ||
        !store.CreateKey(platform::kHiveLocalMachine, kClientKey, bCreated)) {
        return L"";
    }
    std::wstring clientId;
    if (!bCreated && store.ReadString(platform::kHiveLocalMachine, kClientKey, kClientValue, clientId)) {
        return clientId;
    }
    std::wstring newId = CreateClientId();
    // An id that cannot be stored would change on every run and split one machine into many.
    // Another installer starting at the same moment may have stored its id first: both use that one.
    if (newId.empty() ||
        !store.ReadOrWriteString(platform::kHiveLocalMachine, kClientKey, kClientValue, newId, clientId)) {
        return L"";
    }
    return clientId;
}

void UsageReporter::SetTarget(const std::wstring& host, const std::wstring& query) {
    strHost = host;
    strQuery = query;
}

bool UsageReporter::Send(const wchar_t* action, bool bHttps) const {
    std::wstring path = strQuery + action;
    if (strHost.empty() || path.empty()) return false;
    return platform::SendHeadRequest(platform::WideToUtf8(strHost), platform::WideToUtf8(path),
                                     bHttps ? platform::kHeadHttps : platform::kHeadHttp);
}

bool UsageReporter::SendStartInstall() {
    const wchar_t* action = ActionOf(kUsageStartInstall);
    bUseHttps = true;
    if (Send(action, true)) return true;
    bUseHttps = false;
    return Send(action, false);
}

bool UsageReporter::SendDownloaderInstalled() { return Send(ActionOf(kUsageDownloaderInstalled), bUseHttps); }

bool UsageReporter::SendInstalledSucceed() { return Send(ActionOf(kUsageInstalledSucceed), bUseHttps); }

bool UsageReporter::SendEvent(std::int32_t eventType) {
    switch (eventType) {
        case kUsageDownloaderInstalled:
            return SendDownloaderInstalled();
        case kUsageInstalledSucceed:
            return SendInstalledSucceed();
        default:
            return SendStartInstall();
    }
}

UsageReporter* GetUsageReporter() {
    static UsageReporter* pReporter = new UsageReporter();
    return pReporter;
}

void SendUsageEventThread(UsageEventTask* task) {
    if (!task) return;
    if (task->pReporter) task->bResult = task->pReporter->SendEvent(task->eventType);
    delete task;
}

bool StartUsageEventThread(UsageReporter* reporter, std::int32_t eventType) {
    UsageEventTask* task = new (std::nothrow) UsageEventTask{false, reporter, eventType};
    if (!task) return false;
    try {
        std::thread(SendUsageEventThread, task).detach();
    } catch (const std::system_error&) {
        delete task;
        return false;
    }
    return true;
}

std::wstring AddCustomParam(const std::wstring& url, const std::wstring& custom) {
    if (url.empty()) return L"";
    if (custom.empty()) return url;
    if (url.find(L"key=") == std::wstring::npos) return url;
    return url + L"&custom=" + custom;
}
