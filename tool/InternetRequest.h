#pragma once
// The second back end: HTTPS on 443 for both attempts; the size probe is a GET whose body
// is never read.
#include "tool/BaseRequest.h"

class CInternetRequest : public CBaseRequest {
public:
    const char* GetRequestName() override { return "Internet"; }
    bool GetUrlFileSize(std::int32_t& nSize) override;
    std::int32_t HttpRead(char* pBuffer, std::int32_t nSize) override;
    bool OpenSession() override;
    bool ConnectSession(bool bHttps) override;
    bool OpenRequest(bool bHttps) override;
    bool SendRequest() override;
};
