#pragma once
#include <string>

// The program's entry: rights, single instance, one-time set-up. Answers the exit code.
int RunInstaller();

class LanguageManager;

// The one-time set-up: work folder, log, product pack unpacked, languages loaded. Only the
// first call does anything; every call answers the work folder it fixed.
const std::wstring& PrepareWorkFolder();

// The texts, facts and addresses loaded by PrepareWorkFolder; held here until the installer
// window takes them over.
LanguageManager& InstallerLanguage();

// The single-instance name of an executable: its file name without folder and last extension.
std::wstring InstanceNameOfPath(const std::wstring& modulePath);
