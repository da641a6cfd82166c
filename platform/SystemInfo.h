#pragma once
#include <string>

namespace platform {

// The distribution's PRETTY_NAME from os-release; empty when unknown.
std::string OperatingSystemName();
// The machine architecture as the kernel names it ("x86_64", "aarch64", ...).
std::string MachineArchitecture();
// The user's interface language as a Windows language id (1033 English, 1025 Arabic, ...),
// from LC_ALL, LC_MESSAGES or LANG; 1033 when unset or unknown.
int UserInterfaceLanguageId();
// The same for one locale name such as "pt_BR.UTF-8" or "zh_TW"; 0 when unknown.
int LanguageIdOfLocale(const std::string& locale);

}  // namespace platform
