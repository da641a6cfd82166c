#include "tools/site/SiteFault.h"

#include <iterator>

namespace testsite {
namespace {

struct FaultName {
    SiteFault eFault;
    const char* pszName;
};

const FaultName kFaultNames[] = {
    {kFault_None, "none"},
    {kFault_HttpsRefused, "https-refused"},
    {kFault_OnlyHttp, "only-http"},
    {kFault_CloseMidBody, "close-mid-body"},
    {kFault_IgnoreRange, "ignore-range"},
    {kFault_ShortBody, "short-body"},
    {kFault_LongBody, "long-body"},
    {kFault_Stall, "stall"},
    {kFault_NoContentLength, "no-content-length"},
    {kFault_WrongContentLength, "wrong-content-length"},
    {kFault_ErrorStatus, "error-status"},
};

}  // namespace

const char* SiteFaultName(SiteFault eFault) {
    for (const FaultName& item : kFaultNames) {
        if (item.eFault == eFault) return item.pszName;
    }
    return "none";
}

bool ParseSiteFault(const std::string& strName, SiteFault& eFault) {
    for (const FaultName& item : kFaultNames) {
        if (strName == item.pszName) {
            eFault = item.eFault;
            return true;
        }
    }
    return false;
}

bool IsListenerFault(SiteFault eFault) {
    return eFault == kFault_HttpsRefused || eFault == kFault_OnlyHttp;
}

}  // namespace testsite
