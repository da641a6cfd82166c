#pragma once
// The first back end: HTTPS on 443, then plain HTTP on 80; HEAD answers the size probe.
#include "tool/BaseRequest.h"

class CWinHttpRequest : public CBaseRequest {
public:
    const char* GetRequestName() override { return "WinHttp"; }
    bool GetUrlFileSize(std::int32_t& nSize) override;
    std::int32_t HttpRead(char* pBuffer, std::int32_t nSize) override;
    bool OpenSession() override;
    bool ConnectSession(bool bHttps) override;
    bool OpenRequest(bool bHttps) override;
    bool SendRequest() override;
};
