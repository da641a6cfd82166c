#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/SettingsStore.h"
#include "platform/Text.h"

namespace platform {
namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kStringValueType = 1;

const char* HiveName(ESettingsHive eHive) {
    switch (eHive) {
        case kHiveLocalMachine:
            return "HKLM";
    }
    return "HKLM";
}

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS setting_keys("
    " hive TEXT NOT NULL, path TEXT NOT NULL COLLATE NOCASE, PRIMARY KEY(hive, path));"
    "CREATE TABLE IF NOT EXISTS setting_values("
    " hive TEXT NOT NULL, path TEXT NOT NULL COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE,"
    " type INTEGER NOT NULL, data TEXT, PRIMARY KEY(hive, path, name));";

// Trailing and doubled separators would otherwise name different keys for the same place.
std::string CanonicalKeyPath(const std::wstring& strKeyPath) {
    std::string strPath;
    for (char ch : WideToUtf8(strKeyPath)) {
        if (ch == '\\' && (strPath.empty() || strPath.back() == '\\')) continue;
        strPath += ch;
    }
    while (!strPath.empty() && strPath.back() == '\\') strPath.pop_back();
    return strPath;
}

std::vector<std::string> KeyAndParents(const std::string& strPath) {
    std::vector<std::string> paths;
    for (std::size_t nPos = strPath.find('\\'); nPos != std::string::npos; nPos = strPath.find('\\', nPos + 1)) {
        paths.push_back(strPath.substr(0, nPos));
    }
    paths.push_back(strPath);
    return paths;
}

class CStatement {
public:
    CStatement(sqlite3* pDatabase, const char* pszSql) {
        if (sqlite3_prepare_v2(pDatabase, pszSql, -1, &m_pStatement, nullptr) != SQLITE_OK) m_pStatement = nullptr;
    }
    ~CStatement() { sqlite3_finalize(m_pStatement); }
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    bool IsValid() const { return m_pStatement != nullptr; }
    void Bind(int nIndex, const std::string& strText) {
        sqlite3_bind_text(m_pStatement, nIndex, strText.c_str(), static_cast<int>(strText.size()), SQLITE_TRANSIENT);
    }
    void Bind(int nIndex, int nValue) { sqlite3_bind_int(m_pStatement, nIndex, nValue); }
    int Step() { return sqlite3_step(m_pStatement); }
    std::string ColumnText(int nIndex) {
        const unsigned char* pText = sqlite3_column_text(m_pStatement, nIndex);
        int nBytes = sqlite3_column_bytes(m_pStatement, nIndex);
        return pText ? std::string(reinterpret_cast<const char*>(pText), static_cast<std::size_t>(nBytes)) : "";
    }

private:
    sqlite3_stmt* m_pStatement = nullptr;
};

bool InsertKeys(sqlite3* pDatabase, const char* pszHive, const std::string& strPath, bool& bCreated) {
    for (const std::string& strKey : KeyAndParents(strPath)) {
        CStatement insert(pDatabase, "INSERT OR IGNORE INTO setting_keys(hive, path) VALUES(?1, ?2)");
        if (!insert.IsValid()) return false;
        insert.Bind(1, std::string(pszHive));
        insert.Bind(2, strKey);
        if (insert.Step() != SQLITE_DONE) return false;
        if (strKey == strPath) bCreated = sqlite3_changes(pDatabase) > 0;
    }
    return true;
}

}  // namespace

std::string CSettingsStore::DefaultPath() { return "/var/lib/norvane/settings.db"; }

CSettingsStore::CSettingsStore(std::string strDatabasePath) : m_strPath(std::move(strDatabasePath)) {}

CSettingsStore::~CSettingsStore() { Close(); }

void CSettingsStore::Close() {
    if (m_pDatabase) sqlite3_close_v2(m_pDatabase);
    m_pDatabase = nullptr;
    m_bWritable = false;
}

bool CSettingsStore::Execute(const char* pszSql) {
    return sqlite3_exec(m_pDatabase, pszSql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool CSettingsStore::OpenForReading() {
    if (m_pDatabase) return true;
    if (sqlite3_open_v2(m_strPath.c_str(), &m_pDatabase, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr) !=
        SQLITE_OK) {
        Close();
        return false;
    }
    sqlite3_busy_timeout(m_pDatabase, kBusyTimeoutMs);
    return true;
}

bool CSettingsStore::OpenForWriting() {
    if (m_pDatabase && m_bWritable) return true;
    Close();
    std::size_t nSlash = m_strPath.rfind('/');
    if (nSlash != std::string::npos && nSlash > 0) {
        std::string strFolder = m_strPath.substr(0, nSlash);
        if (mkdir(strFolder.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    // Machine-wide values are readable by every user and writable by the administrator only.
    mode_t nOldMask = umask(022);
    int nResult = sqlite3_open_v2(m_strPath.c_str(), &m_pDatabase,
                                  SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    umask(nOldMask);
    if (nResult != SQLITE_OK) {
        Close();
        return false;
    }
    sqlite3_busy_timeout(m_pDatabase, kBusyTimeoutMs);
    m_bWritable = Execute("PRAGMA synchronous=FULL") && Execute(kSchema);
    if (!m_bWritable) Close();
    return m_bWritable;
}

bool CSettingsStore::CreateKey(ESettingsHive eHive, const std::wstring& strKeyPath, bool& bCreated) {
    bCreated = false;
    std::string strPath = CanonicalKeyPath(strKeyPath);
    if (strPath.empty() || !OpenForWriting()) return false;
    if (!Execute("BEGIN IMMEDIATE")) return false;
    if (!InsertKeys(m_pDatabase, HiveName(eHive), strPath, bCreated) || !Execute("COMMIT")) {
        Execute("ROLLBACK");
        bCreated = false;
        return false;
    }
    return true;
}

bool CSettingsStore::KeyExists(ESettingsHive eHive, const std::wstring& strKeyPath) {
    std::string strPath = CanonicalKeyPath(strKeyPath);
    if (strPath.empty() || !OpenForReading()) return false;
    CStatement query(m_pDatabase, "SELECT 1 FROM setting_keys WHERE hive = ?1 AND path = ?2");
    if (!query.IsValid()) return false;
    query.Bind(1, std::string(HiveName(eHive)));
    query.Bind(2, strPath);
    return query.Step() == SQLITE_ROW;
}

bool CSettingsStore::SelectString(const char* pszHive, const std::string& strPath, const std::string& strName,
                                  std::wstring& strValue) {
    CStatement query(m_pDatabase,
                     "SELECT data FROM setting_values WHERE hive = ?1 AND path = ?2 AND name = ?3 AND type = ?4");
    if (!query.IsValid()) return false;
    query.Bind(1, std::string(pszHive));
    query.Bind(2, strPath);
    query.Bind(3, strName);
    query.Bind(4, kStringValueType);
    if (query.Step() != SQLITE_ROW) return false;
    strValue = Utf8ToWide(query.ColumnText(0));
    return true;
}

bool CSettingsStore::UpsertString(const char* pszHive, const std::string& strPath, const std::string& strName,
                                  const std::wstring& strValue) {
    bool bCreated = false;
    if (!InsertKeys(m_pDatabase, pszHive, strPath, bCreated)) return false;
    CStatement upsert(m_pDatabase,
                      "INSERT INTO setting_values(hive, path, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
                      " ON CONFLICT(hive, path, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!upsert.IsValid()) return false;
    upsert.Bind(1, std::string(pszHive));
    upsert.Bind(2, strPath);
    upsert.Bind(3, strName);
    upsert.Bind(4, kStringValueType);
    upsert.Bind(5, WideToUtf8(strValue));
    return upsert.Step() == SQLITE_DONE;
}

bool CSettingsStore::ReadString(ESettingsHive eHive, const std::wstring& strKeyPath,
                                const std::wstring& strValueName, std::wstring& strValue) {
    std::string strPath = CanonicalKeyPath(strKeyPath);
    if (strPath.empty() || !OpenForReading()) return false;
    return SelectString(HiveName(eHive), strPath, WideToUtf8(strValueName), strValue);
}

bool CSettingsStore::WriteString(ESettingsHive eHive, const std::wstring& strKeyPath,
                                 const std::wstring& strValueName, const std::wstring& strValue) {
    std::string strPath = CanonicalKeyPath(strKeyPath);
    if (strPath.empty() || !OpenForWriting()) return false;
    if (!Execute("BEGIN IMMEDIATE")) return false;
    if (!UpsertString(HiveName(eHive), strPath, WideToUtf8(strValueName), strValue) || !Execute("COMMIT")) {
        Execute("ROLLBACK");
        return false;
    }
    return true;
}

bool CSettingsStore::ReadOrWriteString(ESettingsHive eHive, const std::wstring& strKeyPath,
                                       const std::wstring& strValueName, const std::wstring& strCandidate,
                                       std::wstring& strValue) {
    std::string strPath = CanonicalKeyPath(strKeyPath);
    if (strPath.empty() || !OpenForWriting()) return false;
    // IMMEDIATE takes the write lock before the read, so no other writer comes in between.
    if (!Execute("BEGIN IMMEDIATE")) return false;
    std::string strName = WideToUtf8(strValueName);
    std::wstring stored;
    bool bOk = SelectString(HiveName(eHive), strPath, strName, stored);
    if (!bOk) {
        stored = strCandidate;
        bOk = UpsertString(HiveName(eHive), strPath, strName, stored);
    }
    if (!bOk || !Execute("COMMIT")) {
        Execute("ROLLBACK");
        return false;
    }
    strValue = stored;
    return true;
}

}  // namespace platform
