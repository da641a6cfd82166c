#pragma once
// Downloads one URL into one file in equal byte ranges, each fetched on a thread of its own
// with up to eleven attempts two seconds apart. Progress, the learnt size and the result
// reach the caller through one callback.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

class CBaseRequest;

struct HttpDownloadParam {
    std::int32_t nDownloadThread = 0;  // ranges (and threads) wanted
    void* pUserData = nullptr;         // handed back unchanged to the callback
    std::wstring strDownloadUrl;
    std::wstring strSavePath;
};

// Events of the callback: the download starts (0, 0); the size is known (nTotalSize, 0);
// a chunk was written (nDownloadedSize, nTotalSize), on a range thread inside the
// download's lock, so keep it quick; the download ended (result code, whole seconds).
enum DownloadEvent {
    kDownload_Start = 0,
    kDownload_SizeKnown = 1,
    kDownload_Progress = 2,
    kDownload_End = 3,
};
using HttpDownloadCallback = void (*)(int nEvent, std::int32_t a, std::int32_t b, void* pUserData);

enum DownloadResult {
    kDownload_Complete = 0,
    kDownload_BadParam = -1,
    kDownload_SizeProbeFailed = -3,
    kDownload_ContentFailed = -4,
};

// Runs a whole download on the calling thread; true exactly when the file is complete.
// A failed download leaves no file at the save path.
bool HttpDownload(HttpDownloadParam& param, HttpDownloadCallback callback);

// The remote file's size in bytes, 0 when neither back end can tell it.
std::int32_t GetRemoteFileSize(const std::wstring& strUrl);

struct DownloadTask;

class CHttpDownload {
public:
    CHttpDownload(HttpDownloadParam& param, HttpDownloadCallback callback);

    // A DownloadResult code.
    int Download();
    int DownloadImp();
    bool CheckParam();
    bool GetDownloadFileSize();
    bool DownLoadContent();
    static unsigned DownloadThreadProc(DownloadTask* pTask);
    bool ReadUrlContent(CBaseRequest* pRequest, DownloadTask* pTask);

    std::int32_t nTotalSize = 0;
    std::int32_t nDownloadedSize = 0;

private:
    void Notify(int nEvent, std::int32_t a, std::int32_t b);
    bool ResponseFitsRange(CBaseRequest* pRequest, const DownloadTask* pTask);
    void RemoveSavedFile();

    HttpDownloadParam& m_param;
    HttpDownloadCallback m_callback;
};

struct DownloadTask {
    bool bResult = false;
    CHttpDownload* pOwner = nullptr;
    std::int32_t nStart = 0;
    std::int32_t nLength = 0;
    std::int32_t nIndex = 0;
    std::FILE* pFile = nullptr;
    std::mutex* pLock = nullptr;
};
