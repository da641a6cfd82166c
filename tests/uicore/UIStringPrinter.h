#pragma once
// Lets GoogleTest show framework strings as text in failure messages.
#include <ostream>

#include "platform/Text.h"
#include "ui/core/UIString.h"

inline void PrintTo(const CUIString& str, std::ostream* pStream)
{
    *pStream << '"' << platform::WideToUtf8(str.View()) << '"';
}
