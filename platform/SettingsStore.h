#pragma once
// The machine-wide settings store: string values under key paths in hives, kept in one SQLite
// file under /var/lib. Key paths use "\" between their names, as keys are names, not file
// paths; key paths and value names compare without regard to case. Every write is one
// transaction, so a value is either stored whole or not at all, and concurrent writers wait
// for each other.
#include <string>

struct sqlite3;

namespace platform {

enum ESettingsHive { kHiveLocalMachine };

class CSettingsStore {
public:
    // "/var/lib/norvane/settings.db"
    static std::string DefaultPath();

    explicit CSettingsStore(std::string strDatabasePath = DefaultPath());
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    // Creates the key with its missing parents, or opens it; bCreated tells whether the key
    // itself is new. False when the store cannot be written.
    bool CreateKey(ESettingsHive eHive, const std::wstring& strKeyPath, bool& bCreated);
    bool KeyExists(ESettingsHive eHive, const std::wstring& strKeyPath);
    // False when the key or the value is missing or the store cannot be read.
    bool ReadString(ESettingsHive eHive, const std::wstring& strKeyPath, const std::wstring& strValueName,
                    std::wstring& strValue);
    // Creates the key when needed.
    bool WriteString(ESettingsHive eHive, const std::wstring& strKeyPath, const std::wstring& strValueName,
                     const std::wstring& strValue);
    // In one transaction: strValue receives the stored string value when there is one, else
    // strCandidate is stored and becomes strValue. Concurrent callers thus agree on one value.
    bool ReadOrWriteString(ESettingsHive eHive, const std::wstring& strKeyPath, const std::wstring& strValueName,
                           const std::wstring& strCandidate, std::wstring& strValue);

private:
    bool OpenForReading();
    bool OpenForWriting();
    bool Execute(const char* pszSql);
    bool SelectString(const char* pszHive, const std::string& strPath, const std::string& strName,
                      std::wstring& strValue);
    bool UpsertString(const char* pszHive, const std::string& strPath, const std::string& strName,
                      const std::wstring& strValue);
    void Close();

    std::string m_strPath;
    sqlite3* m_pDatabase = nullptr;
    bool m_bWritable = false;
};

}  // namespace platform
