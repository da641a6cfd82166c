#pragma once
// The funnel events sent to the analytics collection endpoint, one HEAD hit each, and the
// machine's client id that identifies them.
#include <atomic>
#include <cstdint>
#include <string>

enum UsageEventType : std::int32_t {
    kUsageStartInstall = 0,
    kUsageDownloaderInstalled = 1,
    kUsageInstalledSucceed = 2,
};

// The deployment's collection endpoint and analytics property; the demo site answers for this host.
inline constexpr const wchar_t* kAnalyticsHost = L"analytics.norvane.com";
inline constexpr const wchar_t* kAnalyticsTrackingId = L"UA-48207153-12";

// The hit without its action: "collect?v=1&t=event&tid=" trackingId "&cid=" clientId "&ec="
// category " (Windows version)&el=" clientId, nothing escaped.
std::wstring BuildUsageQuery(const std::wstring& trackingId, const std::wstring& clientId,
                             const std::wstring& category);

class UsageReporter {
public:
    // Reads the client id from the machine-wide settings store, creating and storing a new one
    // when the key or its value is missing; empty when the store cannot be used.
    std::wstring GetClientId();

    // host: the collection host's name; query: the hit without its "&ea=" action.
    void SetTarget(const std::wstring& host, const std::wstring& query);

    // Each answers true when the request was sent and response headers arrived.
    // The start event tries HTTPS, then HTTP, and the reporter stays with the scheme that worked.
    bool SendStartInstall();
    bool SendDownloaderInstalled();
    bool SendInstalledSucceed();

    bool SendEvent(std::int32_t eventType);

private:
    bool Send(const wchar_t* action, bool bHttps) const;

    std::wstring strHost;
    std::wstring strQuery;
    std::atomic<bool> bUseHttps{true};
};

// The one reporter, made on first call (first called on the UI thread before any event thread).
UsageReporter* GetUsageReporter();

// What an event thread is given; the thread stores the result and deletes the task.
struct UsageEventTask {
    bool bResult = false;
    UsageReporter* pReporter = nullptr;
    std::int32_t eventType = kUsageStartInstall;
};

// Thread routine: sends the task's event (an unknown type is sent as the start event).
void SendUsageEventThread(UsageEventTask* task);
// Starts SendUsageEventThread on a detached thread; false when the thread could not start.
bool StartUsageEventThread(UsageReporter* reporter, std::int32_t eventType);

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx": upper-case hexadecimal except the third group.
std::wstring FormatClientId(std::uint32_t data1, std::uint16_t data2, std::uint16_t data3, const std::uint8_t data4[8]);

// url + "&custom=" + custom when url holds "key=" and custom is not empty; url otherwise.
std::wstring AddCustomParam(const std::wstring& url, const std::wstring& custom);
