#pragma once
#include <string>

namespace testsupport {

// Enters private network, mount and process-id namespaces, brings up loopback and lays tmpfs
// over /opt and /var/lib, so that tests may bind 127.0.0.1:443/80, write machine-wide folders
// and find or kill processes by name without touching the machine. Must run before any thread
// starts; the tests then run in a child process that is the namespace's first process.
// Returns false (with a message on stderr) when not running as root.
bool EnterSandbox();

// Bind-mounts the file at sourcePath over targetPath inside the private mount namespace,
// e.g. a test CA bundle over the system bundle or a hosts file over /etc/hosts.
bool BindFileOver(const std::string& sourcePath, const std::string& targetPath);

// A fresh folder under /tmp, removed with its contents on destruction.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};

// Absolute path of a file in the source tree (tests/data/..., resources/...).
std::string SourcePath(const std::string& strRelative);
// Absolute path of a file in the build tree (the installer executable, tools).
std::string BinaryPath(const std::string& strRelative);

std::string ReadWholeFile(const std::string& strPath);
bool WriteWholeFile(const std::string& strPath, const std::string& strData);

}  // namespace testsupport
