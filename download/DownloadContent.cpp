#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "download/HttpDownload.h"
#include "download/RequestChoice.h"
#include "log/Log.h"
#include "platform/Text.h"
#include "platform/ThreadInfo.h"
#include "tool/BaseRequest.h"

namespace {

constexpr std::int32_t kMaxDownloadThreads = 64;
constexpr int kLastAttempt = 10;
constexpr auto kRetryPause = std::chrono::milliseconds(2000);
constexpr std::int32_t kReadBufferBytes = 102400;
constexpr std::int32_t kMaxConnsPerServer = 50;
// Making a request object fails only when memory is exhausted; retry that a little only.
constexpr int kMaxCreateRetries = 100;

// "bytes first-last/total" of a partial response; total is -1 when given as "*".
bool ParseContentRange(const std::string& strValue, std::int64_t& nFirst, std::int64_t& nLast, std::int64_t& nTotal) {
    char szTotal[32] = {};
    long long nFirstValue = 0;
    long long nLastValue = 0;
    if (std::sscanf(strValue.c_str(), " bytes %lld-%lld/%31s", &nFirstValue, &nLastValue, szTotal) != 3) return false;
    nFirst = nFirstValue;
    nLast = nLastValue;
    nTotal = szTotal[0] == '*' ? -1 : std::atoll(szTotal);
    return true;
}

}  // namespace

bool CHttpDownload::DownLoadContent() {
    std::int32_t nThreads = std::min(std::max(m_param.nDownloadThread, 1), kMaxDownloadThreads);
    if (nThreads == m_param.nDownloadThread) {
        LOG_INFO("DownLoadContent: ThreadNum = %d", nThreads);
    } else {
        LOG_INFO("DownLoadContent: ThreadNum = %d (request thread num = %d)", nThreads, m_param.nDownloadThread);
    }
    std::int32_t nChunk = nTotalSize / nThreads;

    std::FILE* pFile = std::fopen(platform::WideToUtf8(m_param.strSavePath).c_str(), "wb");
    if (!pFile) {
        LOG_INFOW(L"ERR:Open file fail! (%s)", m_param.strSavePath.c_str());
        return false;
    }
    std::mutex lock;
    std::vector<DownloadTask> tasks(static_cast<std::size_t>(nThreads));
    std::vector<std::thread> threads;
    bool bAllStarted = true;
    for (std::int32_t i = 0; i < nThreads; ++i) {
        DownloadTask& task = tasks[static_cast<std::size_t>(i)];
        task.pOwner = this;
        task.nIndex = i;
        task.nStart = i * nChunk;
        task.nLength = i == nThreads - 1 ? nTotalSize - (nThreads - 1) * nChunk : nChunk;
        task.pFile = pFile;
        task.pLock = &lock;
        try {
            threads.emplace_back(&CHttpDownload::DownloadThreadProc, &task);
        } catch (const std::system_error&) {
            // The ranges already started still use the file and the lock: wait for them below.
            LOG_INFO("ERR:start thread %d fail!", i);
            bAllStarted = false;
            break;
        }
        DebugPrint("[%d] %d ~ %d,length = %d\n", i, task.nStart, task.nStart + task.nLength - 1, task.nLength);
    }
    LOG_INFO("WaitForMultipleObjects...\n");
    for (std::thread& thread : threads) thread.join();
    LOG_INFO("WaitForMultipleObjects end! WaitRet=%d\n", 0);

    bool bResult = bAllStarted;
    for (const DownloadTask& task : tasks) bResult = bResult && task.bResult;
    std::fclose(pFile);
    return bResult;
}

unsigned CHttpDownload::DownloadThreadProc(DownloadTask* pTask) {
    CHttpDownload* pOwner = pTask->pOwner;
    long nThreadId = platform::CurrentThreadId();
    std::wstring strRange = platform::FormatWide(L"Range:bytes=%d-%d", pTask->nStart, pTask->nStart + pTask->nLength - 1);
    LOG_INFOW(L"[Thread][%ld][%d][%s] beging...", nThreadId, pTask->nIndex, strRange.c_str());

    // A range without bytes is complete as it stands; no server answers an empty range.
    bool bDone = pTask->nLength == 0;
    int nCreateRetries = 0;
    for (int i = 0; !bDone;) {
        int nType = ChooseRequestType(i);
        std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(nType));
        if (!request && ++nCreateRetries < kMaxCreateRetries) {
            LOG_INFO("ERR:CBaseRequest::CreateInstance fail!");
            continue;
        }
        if (request) {
            request->nMaxConns = kMaxConnsPerServer;
            request->strHeaders = strRange;
            if (request->RequestUrl(pOwner->m_param.strDownloadUrl) && pOwner->ReadUrlContent(request.get(), pTask)) {
                bDone = true;
                break;
            }
        }
        AddRequestFailure(nType);
        LOG_INFO("[Thread][%ld][%d][%s] Request fail,  retry %d...(WinHttp fail:%d, Internet fail:%d)", nThreadId,
                 pTask->nIndex, request ? request->GetRequestName() : "", i, WinHttpFailCount(), InternetFailCount());
        request.reset();
        if (i >= kLastAttempt) break;
        std::this_thread::sleep_for(kRetryPause);
        ++i;
    }
    pTask->bResult = bDone;
    LOG_INFOW(L"[Thread][%ld][%d] SUCCCESS!", nThreadId, pTask->nIndex);
    return 0;
}

// Only the bytes of the range may reach the file: a full file sent for one range of several,
// or a range other than the one asked for, would overwrite the other ranges.
bool CHttpDownload::ResponseFitsRange(CBaseRequest* pRequest, const DownloadTask* pTask) {
    int nStatus = pRequest->GetStatusCode();
    bool bWholeFile = pTask->nStart == 0 && pTask->nLength == nTotalSize;
    if (nStatus == 200 && bWholeFile) return true;
    std::string strContentRange;
    std::int64_t nFirst = 0;
    std::int64_t nLast = 0;
    std::int64_t nTotal = 0;
    if (nStatus == 206 && pRequest->GetResponseHeader("Content-Range", strContentRange) &&
        ParseContentRange(strContentRange, nFirst, nLast, nTotal) && nFirst == pTask->nStart &&
        nLast == static_cast<std::int64_t>(pTask->nStart) + pTask->nLength - 1 && (nTotal == -1 || nTotal == nTotalSize)) {
        return true;
    }
    LOG_INFO("ERR:[%s] response does not fit range %d-%d (status %d, Content-Range: %s)", pRequest->GetRequestName(),
             pTask->nStart, pTask->nStart + pTask->nLength - 1, nStatus, strContentRange.c_str());
    return false;
}

bool CHttpDownload::ReadUrlContent(CBaseRequest* pRequest, DownloadTask* pTask) {
    if (!ResponseFitsRange(pRequest, pTask)) {
        // Nothing of it was written; the attempt ends as any of the wrong length does.
        LOG_INFO("ERR:[%s] download Fail ,dstSize: %d !=  downloadingSize: %d)", pRequest->GetRequestName(),
                 pTask->nLength, 0);
        return false;
    }
    std::unique_ptr<char[]> buffer(new char[kReadBufferBytes]);
    std::int32_t nWritten = 0;
    std::int32_t nRead = 0;
    while ((nRead = pRequest->HttpRead(buffer.get(), kReadBufferBytes)) > 0) {
        // A body longer than the range would spill into the next range's bytes.
        if (nRead > pTask->nLength - nWritten) {
            LOG_INFO("ERR:[%s] body longer than range %d", pRequest->GetRequestName(), pTask->nIndex);
            break;
        }
        std::lock_guard<std::mutex> guard(*pTask->pLock);
        bool bWritten = std::fseek(pTask->pFile, static_cast<long>(pTask->nStart) + nWritten, SEEK_SET) == 0 &&
                        std::fflush(pTask->pFile) == 0 &&
                        std::fwrite(buffer.get(), 1, static_cast<std::size_t>(nRead), pTask->pFile) ==
                            static_cast<std::size_t>(nRead) &&
                        std::fflush(pTask->pFile) == 0;
        if (!bWritten) {
            // A full disk must fail the range, not report bytes that are not there.
            LOG_INFO("ERR:write range %d fail! errno %d", pTask->nIndex, errno);
            break;
        }
        nDownloadedSize += nRead;
        Notify(kDownload_Progress, nDownloadedSize, nTotalSize);
        nWritten += nRead;
    }
    // A read that fails after every byte of the range arrived (a server that claimed more
    // and closed) leaves the range complete; only a body running past it is refused.
    if (nWritten == pTask->nLength && nRead <= 0) return true;
    {
        std::lock_guard<std::mutex> guard(*pTask->pLock);
        nDownloadedSize -= nWritten;
    }
    LOG_INFO("ERR:[%s] download Fail ,dstSize: %d !=  downloadingSize: %d)", pRequest->GetRequestName(), pTask->nLength,
             nWritten);
    return false;
}
