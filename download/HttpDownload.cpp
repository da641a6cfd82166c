#include "download/HttpDownload.h"

#include <chrono>
#include <cstdio>
#include <memory>

#include "common/SystemQueries.h"
#include "log/Log.h"
#include "platform/Text.h"
#include "tool/BaseRequest.h"

namespace {

std::int64_t WallClockSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// One size probe through one back end; the body is never read.
bool ProbeSize(int nRequestType, const wchar_t* pszVerb, const std::wstring& strUrl, std::int32_t& nSize) {
    std::unique_ptr<CBaseRequest> request(CBaseRequest::CreateInstance(nRequestType));
    if (!request) return false;
    if (pszVerb) request->strVerb = pszVerb;
    return request->RequestUrl(strUrl) && request->GetUrlFileSize(nSize);
}

// HEAD through the first back end, then the second back end's default GET.
bool ProbeRemoteSize(const std::wstring& strUrl, std::int32_t& nSize) {
    return ProbeSize(kRequest_WinHttp, L"HEAD", strUrl, nSize) || ProbeSize(kRequest_Internet, nullptr, strUrl, nSize);
}

}  // namespace

bool HttpDownload(HttpDownloadParam& param, HttpDownloadCallback callback) {
    CHttpDownload download(param, callback);
    return download.Download() == kDownload_Complete;
}

std::int32_t GetRemoteFileSize(const std::wstring& strUrl) {
    std::int32_t nSize = 0;
    return ProbeRemoteSize(strUrl, nSize) ? nSize : 0;
}

CHttpDownload::CHttpDownload(HttpDownloadParam& param, HttpDownloadCallback callback)
    : m_param(param), m_callback(callback) {}

void CHttpDownload::Notify(int nEvent, std::int32_t a, std::int32_t b) {
    if (m_callback) m_callback(nEvent, a, b, m_param.pUserData);
}

int CHttpDownload::Download() {
    LOG_INFO("Download....");
    std::int64_t nStartSeconds = WallClockSeconds();
    Notify(kDownload_Start, 0, 0);
    int nResult = DownloadImp();
    auto nElapsed = static_cast<std::int32_t>(WallClockSeconds() - nStartSeconds);
    LOG_INFO("HttpDownload,ret = %d (time = %d \xE7\xA7\x92)", nResult, nElapsed);
    Notify(kDownload_End, nResult, nElapsed);
    return nResult;
}

int CHttpDownload::DownloadImp() {
    if (!CheckParam()) {
        LOG_INFO("ERR:CheckParam fail!");
        return kDownload_BadParam;
    }
    if (!GetDownloadFileSize()) {
        LOG_INFO("ERR:GetDownloadFileSize fail!");
        RemoveSavedFile();
        return kDownload_SizeProbeFailed;
    }
    Notify(kDownload_SizeKnown, nTotalSize, 0);
    if (!DownLoadContent()) {
        LOG_INFO("ERR:DownLoadContent fail!");
        RemoveSavedFile();
        return kDownload_ContentFailed;
    }
    return kDownload_Complete;
}

bool CHttpDownload::CheckParam() {
    if (m_param.nDownloadThread <= 0) {
        LOG_INFO("ERR:invalid param (nDownloadThread = %d)", m_param.nDownloadThread);
        return false;
    }
    if (m_param.strDownloadUrl.empty()) {
        LOG_INFO("ERR:invalid param (strDownloadUrl)");
        return false;
    }
    NormalizePath(m_param.strSavePath);
    std::size_t nSeparator = m_param.strSavePath.rfind(L'/');
    std::wstring strFolder = nSeparator == std::wstring::npos ? std::wstring() : m_param.strSavePath.substr(0, nSeparator);
    // A file right under the root has the root as its folder, which always exists.
    std::wstring strFolderToCheck = strFolder.empty() && nSeparator == 0 ? L"/" : strFolder;
    if (!PathExists(strFolderToCheck)) CreateFolderTree(strFolderToCheck);
    if (!PathExists(strFolderToCheck)) {
        LOG_INFOW(L"ERR:make dir (%s) fail!", strFolder.c_str());
        return false;
    }
    return true;
}

bool CHttpDownload::GetDownloadFileSize() {
    LOG_INFO("GetDownloadFileSize....");
    return ProbeRemoteSize(m_param.strDownloadUrl, nTotalSize);
}

// A failed or partial file must not pass for the complete setup later.
void CHttpDownload::RemoveSavedFile() { std::remove(platform::WideToUtf8(m_param.strSavePath).c_str()); }
