#pragma once
// The contract with the downloaded setup program: its file and its running child's name, the
// progress file it writes, the domain value carried into the product folder, and the clean-up
// of what the installer left in its work folder. CInstallerWnd calls these.
#include <string>
#include <string_view>

// Name of the downloaded setup inside the work folder.
inline constexpr const wchar_t* kDownloadedSetupName = L"norvane-download.exe";
// Executable name of the setup's running child: such a process is a running silent setup.
inline constexpr const wchar_t* kSilentSetupProcessName = L"norvane-download.tmp";
inline constexpr const wchar_t* kProgressFileName = L"temp.progress";
inline constexpr const wchar_t* kDomainFileName = L"domain";

// Reads the setup's progress: the decimal integer at the start of the file's first 10 bytes
// (leading blanks and a sign allowed, 0 when there are no digits, held within int's range).
// False when the file cannot be opened for reading.
bool ReadProgressFile(const std::wstring& progressFile, int& setupPercent);

// The bar's percentage for the setup's own percent: downloadRatio + (100 - downloadRatio) * n / 100,
// truncated toward zero and not clamped (120 % of the setup shows 104 with a ratio of 80).
int MapSetupProgress(int setupPercent, int downloadRatio);

// The domain value from the bytes of the domain resource: at most 255 bytes, up to the first
// NUL, every CR LF pair removed. Logs "LoadDomainFile" and the bytes read.
std::wstring LoadDomainValue(std::string_view resourceBytes);

// Writes the domain value, without terminator or line end, to installPath + productSubFolder
// + "domain". Nothing is written for an empty value; failures are silent.
bool WriteDomainFile(const std::wstring& domain, const std::wstring& installPath,
                     const std::wstring& productSubFolder);

// Stops the first running silent setup found.
void KillSilentInstallProcess();

// KillSilentInstallProcess, then deletes workFolder + the downloaded setup and the progress file.
void CleanUpSetup(const std::wstring& workFolder, const std::wstring& progressFile);
