#pragma once
// The process-wide record of failed attempts per back end, which steers every later
// attempt of every download towards the back end that has failed less often.
#include <cstdint>

// kRequest_WinHttp or kRequest_Internet for attempt number nAttempt, given the counts.
int ChooseRequestType(int nAttempt, std::int32_t nWinHttpFail, std::int32_t nInternetFail);
// The same with the process's own counts.
int ChooseRequestType(int nAttempt);

// Adds one failure to the back end's count; answers nothing, the counts are read below.
void AddRequestFailure(int nRequestType);
std::int32_t WinHttpFailCount();
std::int32_t InternetFailCount();
