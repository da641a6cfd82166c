#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "download/HttpDownload.h"
#include "platform/HttpTransfer.h"
#include "tests/net/LocalSite.h"
#include "tool/BaseRequest.h"

namespace {

using nettest::SiteUrl;

std::string ReadBody(CBaseRequest& request) {
    std::string strBody;
    char buffer[4096];
    std::int32_t nRead = 0;
    while ((nRead = request.HttpRead(buffer, sizeof(buffer))) > 0) strBody.append(buffer, static_cast<std::size_t>(nRead));
    EXPECT_EQ(nRead, 0);
    return strBody;
}

std::unique_ptr<CBaseRequest> Make(int nType) { return std::unique_ptr<CBaseRequest>(CBaseRequest::CreateInstance(nType)); }

class RequestOnSite : public testing::Test {
protected:
    void Start(testsite::SiteFault eListenerFault = testsite::kFault_None) {
        ASSERT_TRUE(nettest::StartSite(m_site, eListenerFault));
        m_site.AddFile("/setup.exe", m_strContent);
    }
    int HitsOn(const std::string& strScheme) const {
        int nCount = 0;
        for (const auto& hit : m_site.Hits()) nCount += hit.strScheme == strScheme;
        return nCount;
    }

    testsite::CTestSite m_site;
    std::string m_strContent = nettest::MakeContent(300000, 1);
};

TEST_F(RequestOnSite, BothBackEndsReadTheWholeBody) {
    Start();
    for (int nType : {kRequest_WinHttp, kRequest_Internet}) {
        auto request = Make(nType);
        ASSERT_TRUE(request->RequestUrl(SiteUrl("/setup.exe"))) << request->GetRequestName();
        std::int32_t nSize = 0;
        EXPECT_TRUE(request->GetUrlFileSize(nSize));
        EXPECT_EQ(nSize, 300000);
        EXPECT_EQ(ReadBody(*request), m_strContent) << request->GetRequestName();
    }
}

TEST_F(RequestOnSite, HeadProbeAndHeaderLineReachTheServer) {
    Start();
    auto request = Make(kRequest_WinHttp);
    request->strVerb = L"HEAD";
    ASSERT_TRUE(request->RequestUrl(SiteUrl("/setup.exe")));
    auto ranged = Make(kRequest_Internet);
    ranged->strHeaders = L"Range:bytes=10-19";
    ASSERT_TRUE(ranged->RequestUrl(SiteUrl("/setup.exe")));
    EXPECT_EQ(ReadBody(*ranged), m_strContent.substr(10, 10));
    auto hits = m_site.Hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].strMethod, "HEAD");
    EXPECT_EQ(hits[1].strRange, "bytes=10-19");
    EXPECT_EQ(ranged->GetStatusCode(), 206);
}

TEST_F(RequestOnSite, OnlyHttpServedByFirstBackEndOnSecondAttempt) {
    Start(testsite::kFault_OnlyHttp);
    auto winHttp = Make(kRequest_WinHttp);
    ASSERT_TRUE(winHttp->RequestUrl(SiteUrl("/setup.exe")));
    EXPECT_EQ(ReadBody(*winHttp), m_strContent);
    auto internet = Make(kRequest_Internet);
    EXPECT_FALSE(internet->RequestUrl(SiteUrl("/setup.exe")));
    EXPECT_EQ(HitsOn("http"), 1);
}

TEST_F(RequestOnSite, RefusedHttpsBehavesAsOnlyHttp) {
    Start(testsite::kFault_HttpsRefused);
    EXPECT_TRUE(Make(kRequest_WinHttp)->RequestUrl(SiteUrl("/setup.exe")));
    EXPECT_FALSE(Make(kRequest_Internet)->RequestUrl(SiteUrl("/setup.exe")));
    EXPECT_EQ(HitsOn("https"), 0);  // no handshake got as far as a request
}

TEST_F(RequestOnSite, ErrorStatusIsAFailedExchange) {
    Start();
    for (int nType : {kRequest_WinHttp, kRequest_Internet}) {
        EXPECT_FALSE(Make(nType)->RequestUrl(SiteUrl("/missing.exe")));
    }
    m_site.SetFault(testsite::kFault_ErrorStatus);
    EXPECT_FALSE(Make(kRequest_WinHttp)->RequestUrl(SiteUrl("/setup.exe")));
    EXPECT_EQ(GetRemoteFileSize(SiteUrl("/setup.exe")), 0);
}

TEST_F(RequestOnSite, MissingContentLengthFailsTheSize) {
    Start();
    m_site.SetFault(testsite::kFault_NoContentLength);
    auto request = Make(kRequest_Internet);
    ASSERT_TRUE(request->RequestUrl(SiteUrl("/setup.exe")));
    std::int32_t nSize = 0;
    EXPECT_FALSE(request->GetUrlFileSize(nSize));
    EXPECT_EQ(GetRemoteFileSize(SiteUrl("/setup.exe")), 0);
}

TEST_F(RequestOnSite, SizesOfTwoGiBAndMoreFailTheProbe) {
    Start();
    std::string strFolder = nettest::ScratchFolder() + "/www";
    mkdir(strFolder.c_str(), 0755);
    int fd = open((strFolder + "/huge.exe").c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 3LL * 1024 * 1024 * 1024), 0);  // sparse: takes no disk
    close(fd);
    for (int nType : {kRequest_WinHttp, kRequest_Internet}) {
        auto request = Make(nType);
        request->strVerb = L"HEAD";
        ASSERT_TRUE(request->RequestUrl(SiteUrl("/huge.exe")));
        std::int32_t nSize = 0;
        EXPECT_FALSE(request->GetUrlFileSize(nSize)) << request->GetRequestName();
    }
    EXPECT_EQ(GetRemoteFileSize(SiteUrl("/huge.exe")), 0);
    unlink((strFolder + "/huge.exe").c_str());
}

TEST_F(RequestOnSite, RemoteSizeOfTheExample) {
    Start();
    m_site.AddFile("/example.exe", nettest::MakeContent(1000003, 2));
    EXPECT_EQ(GetRemoteFileSize(SiteUrl("/example.exe")), 1000003);
}

TEST_F(RequestOnSite, ConnectionOptionOnlyTouchedWithMaxConns) {
    Start();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(CBaseRequest::QueryInternetOpt(platform::kHttpOptionMaxConnsPerServer, bytes));
    EXPECT_EQ(bytes[0], 0);
    ASSERT_TRUE(Make(kRequest_WinHttp)->RequestUrl(SiteUrl("/setup.exe")));
    ASSERT_TRUE(CBaseRequest::QueryInternetOpt(platform::kHttpOptionMaxConnsPerServer, bytes));
    EXPECT_EQ(bytes[0], 0);
    auto limited = Make(kRequest_WinHttp);
    limited->nMaxConns = 50;
    ASSERT_TRUE(limited->RequestUrl(SiteUrl("/setup.exe")));
    ASSERT_TRUE(CBaseRequest::QueryInternetOpt(platform::kHttpOptionMaxConnsPer10Server, bytes));
    EXPECT_EQ(bytes[0], 50);
}

}  // namespace
