#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "download/HttpDownload.h"
#include "log/Log.h"
#include "platform/Text.h"
#include "tests/net/ScriptedServer.h"
#include "tests/support/Sandbox.h"

namespace {

struct Progress {
    std::atomic<std::int32_t> nHighest{0};
    std::atomic<int> nResult{1};
};

void OnEvent(int nEvent, std::int32_t a, std::int32_t b, void* pUserData) {
    auto* progress = static_cast<Progress*>(pUserData);
    if (nEvent == kDownload_Progress && a > progress->nHighest) progress->nHighest = a;
    if (nEvent == kDownload_Progress) {
        EXPECT_LE(a, b);
    }
    if (nEvent == kDownload_End) progress->nResult = a;
}

std::string Content() {
    std::string strContent(1000, '\0');
    for (std::size_t i = 0; i < strContent.size(); ++i) strContent[i] = static_cast<char>('a' + i % 26);
    return strContent;
}

// A server that answers the first request for the first range with another range's bytes
// and that range's Content-Range: the downloader must not take them for its own.
TEST(HostileDownload, ContentRangeOfAnotherRangeIsRefused) {
    const std::string strContent = Content();
    std::atomic<int> nFirstRangeAsked{0};
    nettest::CScriptedServer server;
    ASSERT_TRUE(server.Start(80, [&](int fd, const std::string& strRequest) {
        if (strRequest.compare(0, 5, "HEAD ") == 0) {
            nettest::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n");
            return;
        }
        int nFirst = 0;
        int nLast = 0;
        std::size_t nRange = strRequest.find("Range: bytes=");
        if (nRange == std::string::npos || std::sscanf(strRequest.c_str() + nRange, "Range: bytes=%d-%d", &nFirst, &nLast) != 2) {
            return;
        }
        if (nFirst == 0 && nFirstRangeAsked++ == 0) nFirst = 500, nLast = 999;
        std::string strBody = strContent.substr(static_cast<std::size_t>(nFirst), static_cast<std::size_t>(nLast - nFirst + 1));
        nettest::SendAll(fd, "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(nFirst) + "-" +
                                 std::to_string(nLast) + "/1000\r\nContent-Length: " + std::to_string(strBody.size()) +
                                 "\r\nConnection: close\r\n\r\n" + strBody);
    }));
    testsupport::CTempDir folder;
    InitLog(L"hostile.log", platform::Utf8ToWide(folder.Path()).c_str());
    Progress progress;
    HttpDownloadParam param;
    param.nDownloadThread = 2;
    param.pUserData = &progress;
    param.strDownloadUrl = L"http://127.0.0.1/setup.exe";
    param.strSavePath = platform::Utf8ToWide(folder.File("setup.exe"));
    EXPECT_TRUE(HttpDownload(param, OnEvent));
    EXPECT_EQ(progress.nResult, kDownload_Complete);
    EXPECT_EQ(progress.nHighest, 1000);
    EXPECT_EQ(testsupport::ReadWholeFile(folder.File("setup.exe")), strContent);
    EXPECT_GE(nFirstRangeAsked.load(), 2);

    std::string strLog = testsupport::ReadWholeFile(folder.File("hostile.log"));
    for (const char* pszRecord :
         {"Download....", "GetDownloadFileSize....", "DownLoadContent: ThreadNum = 2\n", "][0][Range:bytes=0-499] beging...",
          "][1][Range:bytes=500-999] beging...", "][0] SUCCCESS!", "][1] SUCCCESS!",
          "ERR:[WinHttp] download Fail ,dstSize: 500 !=  downloadingSize: 0)", "[0][WinHttp] Request fail,  retry 0...(",
          "HttpDownload,ret = 0 (time = "}) {
        EXPECT_NE(strLog.find(pszRecord), std::string::npos) << pszRecord << "\n" << strLog;
    }
}

}  // namespace
