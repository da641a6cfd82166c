#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/HttpTransfer.h"
#include "tests/net/ScriptedServer.h"

namespace {

using nettest::SendAll;

constexpr int kPort = 8080;

struct Exchange {
    bool bSent = false;
    int nStatus = 0;
    std::string strBody;
    int nLastRead = 1;
};

Exchange RunExchange(platform::IHttpTransfer& transfer, const std::string& strVerb = "GET") {
    Exchange result;
    if (!transfer.Connect("127.0.0.1", kPort, false) || !transfer.OpenRequest(strVerb, "file.exe") ||
        !transfer.AddHeaders("Range:bytes=0-99")) {
        return result;
    }
    result.bSent = transfer.Send();
    if (!result.bSent) return result;
    result.nStatus = transfer.StatusCode();
    char buffer[8192];
    while ((result.nLastRead = transfer.Read(buffer, sizeof(buffer))) > 0) {
        result.strBody.append(buffer, static_cast<std::size_t>(result.nLastRead));
        if (result.strBody.size() > (64u << 20)) break;
    }
    return result;
}

std::unique_ptr<platform::IHttpTransfer> MakeTransfer(int nBackEnd) {
    return nBackEnd == 0 ? platform::CreateCurlTransfer(false) : platform::CreateHttplibTransfer(false);
}

const char* BackEndName(int nBackEnd) { return nBackEnd == 0 ? "curl" : "httplib"; }

std::string Bytes(std::size_t nCount, char ch) { return std::string(nCount, ch); }

enum Expect {
    kExpect_Body,       // sent, status 206, exactly strBody, then 0
    kExpect_ReadFails,  // the send fails, or the body ends with -1 after fewer bytes than claimed
    kExpect_SendFails,  // Send answers false
    kExpect_NoMoreThan, // whatever happens, never more body than strBody
};

struct HostileCase {
    const char* pszName;
    std::string strAnswer;  // written as it is
    bool bReset;            // closed with a reset after the answer
    Expect eExpect;
    std::string strBody;
};

const std::string kHead206 = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-99/100\r\n";

const HostileCase kHostileCases[] = {
    {"BodyLongerThanContentLength", kHead206 + "Content-Length: 100\r\n\r\n" + Bytes(100, 'a') + Bytes(50, 'b'), false,
     kExpect_Body, Bytes(100, 'a')},
    {"ResetMidBody", kHead206 + "Content-Length: 100\r\n\r\n" + Bytes(40, 'a'), true, kExpect_ReadFails, ""},
    {"CloseMidBody", kHead206 + "Content-Length: 100\r\n\r\n" + Bytes(40, 'a'), false, kExpect_ReadFails, ""},
    {"ChunkedWithRange", kHead206 + "Transfer-Encoding: chunked\r\n\r\n32\r\n" + Bytes(50, 'a') + "\r\n32\r\n" +
                             Bytes(50, 'a') + "\r\n0\r\n\r\n", false, kExpect_Body, Bytes(100, 'a')},
    {"ChunkedCutBeforeLastChunk", kHead206 + "Transfer-Encoding: chunked\r\n\r\n32\r\n" + Bytes(50, 'a') + "\r\n", false,
     kExpect_ReadFails, ""},
    {"ChunkedLyingChunkSize", kHead206 + "Transfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\n" + Bytes(50, 'a'), false,
     kExpect_NoMoreThan, Bytes(50, 'a')},
    {"HugeHeaderValue", kHead206 + "X-Filler: " + Bytes(1 << 20, 'x') + "\r\nContent-Length: 100\r\n\r\n" + Bytes(100, 'a'),
     false, kExpect_SendFails, ""},
    {"HugeContentLength", kHead206 + "Content-Length: 99999999999999999999999\r\n\r\n" + Bytes(100, 'a'), false,
     kExpect_NoMoreThan, Bytes(100, 'a')},
    {"NegativeContentLength", kHead206 + "Content-Length: -5\r\n\r\n" + Bytes(100, 'a'), false, kExpect_NoMoreThan,
     Bytes(100, 'a')},
    {"HeadersOnlyThenClose", kHead206 + "Content-Length: 100\r\n\r\n", false, kExpect_ReadFails, ""},
    {"NoStatusLine", "garbage\r\n\r\n", false, kExpect_SendFails, ""},
};

class HostileServer : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileServer, BothBackEndsStayWithinWhatWasClaimed) {
    const HostileCase& item = GetParam();
    nettest::CScriptedServer server;
    ASSERT_TRUE(server.Start(kPort, [&item](int fd, const std::string&) {
        SendAll(fd, item.strAnswer);
        if (item.bReset) nettest::ResetConnection(fd);
    }));
    for (int nBackEnd : {0, 1}) {
        SCOPED_TRACE(BackEndName(nBackEnd));
        auto transfer = MakeTransfer(nBackEnd);
        ASSERT_TRUE(transfer);
        auto start = std::chrono::steady_clock::now();
        Exchange result = RunExchange(*transfer);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        switch (item.eExpect) {
            case kExpect_Body:
                EXPECT_TRUE(result.bSent);
                EXPECT_EQ(result.nStatus, 206);
                EXPECT_EQ(result.strBody, item.strBody);
                EXPECT_EQ(result.nLastRead, 0);
                break;
            case kExpect_ReadFails:
                if (result.bSent) {
                    EXPECT_LT(result.strBody.size(), 100u);
                    EXPECT_EQ(result.nLastRead, -1);
                }
                break;
            case kExpect_SendFails: EXPECT_FALSE(result.bSent); break;
            case kExpect_NoMoreThan:
                EXPECT_LE(result.strBody.size(), item.strBody.size());
                EXPECT_EQ(result.strBody, item.strBody.substr(0, result.strBody.size()));
                break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostileServer, testing::ValuesIn(kHostileCases),
                         [](const testing::TestParamInfo<HostileCase>& info) { return info.param.pszName; });

// Header lines without end must not be gathered without bound: the client gives up long
// before the server has sent a large amount.
TEST(HostileServerEndless, EndlessHeaderLinesAreCutShort) {
    for (int nBackEnd : {0, 1}) {
        SCOPED_TRACE(BackEndName(nBackEnd));
        std::atomic<std::size_t> nSentBytes{0};
        nettest::CScriptedServer server;
        ASSERT_TRUE(server.Start(kPort, [&nSentBytes, &server](int fd, const std::string&) {
            std::string strLine = "X-Filler: " + Bytes(100, 'x') + "\r\n";
            std::string strBlock = "HTTP/1.1 200 OK\r\n";
            while (strBlock.size() < 64 * 1024) strBlock += strLine;
            auto start = std::chrono::steady_clock::now();
            while (!server.Stopping() && nSentBytes < (256u << 20) &&
                   std::chrono::steady_clock::now() - start < std::chrono::seconds(8)) {
                if (!SendAll(fd, strBlock)) return;
                nSentBytes += strBlock.size();
                strBlock = Bytes(0, ' ');
                while (strBlock.size() < 64 * 1024) strBlock += strLine;
            }
        }));
        auto transfer = MakeTransfer(nBackEnd);
        Exchange result = RunExchange(*transfer);
        EXPECT_FALSE(result.bSent);
        transfer.reset();
        server.Stop();
        EXPECT_LT(nSentBytes.load(), 16u << 20);
    }
}


// A redirect on the same server: the header line goes along and the final answer is read.
// (The second library reuses the connection for it, so the server must say it closes.)
TEST(HostileServerRedirect, RangeFollowsTheRedirect) {
    nettest::CScriptedServer server;
    ASSERT_TRUE(server.Start(kPort, [](int fd, const std::string& strRequest) {
        if (strRequest.compare(0, 14, "GET /file.exe ") == 0) {
            SendAll(fd, "HTTP/1.1 302 Found\r\nLocation: /moved.exe\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
        } else if (strRequest.find("Range: bytes=0-99") != std::string::npos) {
            SendAll(fd, kHead206 + "Content-Length: 100\r\n\r\n" + Bytes(100, 'r'));
        } else {
            SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nbad");
        }
    }));
    for (int nBackEnd : {0, 1}) {
        SCOPED_TRACE(BackEndName(nBackEnd));
        auto transfer = MakeTransfer(nBackEnd);
        Exchange result = RunExchange(*transfer);
        EXPECT_TRUE(result.bSent);
        EXPECT_EQ(result.nStatus, 206);
        EXPECT_EQ(result.strBody, Bytes(100, 'r'));
        EXPECT_EQ(result.nLastRead, 0);
        std::string strRange;
        EXPECT_TRUE(transfer->ResponseHeader("Content-Range", strRange));
        EXPECT_EQ(strRange, "bytes 0-99/100");
    }
}

}  // namespace
