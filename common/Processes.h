#pragma once
// The installer's hold on other processes: find, stop, open with the desktop, run the
// downloaded setup silently, start the installed product.
#include <cstdint>
#include <string>

// True when a process whose executable file name equals exeName exactly (with case) runs;
// processId receives the first one's id and is untouched otherwise.
bool FindProcess(const std::wstring& exeName, std::uint32_t& processId);

// True when the process was terminated. Does not wait for more than its teardown.
bool KillProcess(std::uint32_t processId);

// Opens a web address or a file with the desktop's handler (as the invoking desktop user when
// elevated). Answers 0 when the handler started, a negative errno value otherwise.
int ShellOpen(void* ownerWindow, const std::wstring& target);

// Starts the setup with the silent command line and waits until it has ended. False, with a
// log record, when the setup could not be started.
bool RunSilentSetup(const std::wstring& setupPath, const std::wstring& installFolder,
                    const std::wstring& progressFile);

// throughShell true: the program runs with the installer's own rights; false: as the desktop
// user who started the installer, never as root by surprise. Nothing waits for the program.
void LaunchProgram(const std::wstring& programPath, bool throughShell);
