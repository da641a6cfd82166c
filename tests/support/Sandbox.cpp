#include "tests/support/Sandbox.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {
namespace {

bool BringLoopbackUp() {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    ifreq req{};
    std::strncpy(req.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ioctl(fd, SIOCGIFFLAGS, &req) == 0;
    req.ifr_flags |= IFF_UP | IFF_RUNNING;
    ok = ok && ioctl(fd, SIOCSIFFLAGS, &req) == 0;
    close(fd);
    return ok;
}

bool MountTmpfs(const char* target) {
    mkdir(target, 0755);
    return mount("tmpfs", target, "tmpfs", 0, "mode=0755") == 0;
}

int ExitStatusOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits for one child and answers its exit status.
int WaitForChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return 1;
    }
    return ExitStatusOf(status);
}

// The namespace's first process: reaps every orphan (servers the tests started and left behind
// become its children) until the tests end; its exit then ends whatever still runs there.
[[noreturn]] void ReapUntilTestsEnd(pid_t tests) {
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(-1, &status, 0);
        if (ended == tests) _exit(ExitStatusOf(status));
        if (ended < 0 && errno == ECHILD) _exit(1);
    }
}

// Runs the tests in a new process-id namespace with its own /proc, so that tests that find or
// kill processes by name see only their own. The original process only waits and hands on the
// exit status.
bool ContinueInOwnProcessNamespace() {
    if (unshare(CLONE_NEWPID) != 0) return false;
    const pid_t init = fork();
    if (init < 0) return false;
    if (init > 0) {
        std::fflush(nullptr);
        _exit(WaitForChild(init));
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const bool mounted = mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) == 0;
    const pid_t tests = fork();
    if (tests < 0) _exit(1);
    if (tests > 0) ReapUntilTestsEnd(tests);
    return mounted;
}

}  // namespace

bool EnterSandbox() {
    if (geteuid() != 0) {
        std::fprintf(stderr, "tests need root to enter private namespaces; running unisolated\n");
        return false;
    }
    if (unshare(CLONE_NEWNS | CLONE_NEWNET) != 0) {
        std::perror("unshare");
        return false;
    }
    // Keep our mounts from propagating back to the machine.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::perror("mount private");
        return false;
    }
    bool ok = ContinueInOwnProcessNamespace();
    ok = BringLoopbackUp() && ok;
    ok = MountTmpfs("/opt") && ok;
    ok = MountTmpfs("/var/lib") && ok;
    if (!ok) std::fprintf(stderr, "sandbox set-up incomplete: %s\n", std::strerror(errno));
    return ok;
}

bool BindFileOver(const std::string& sourcePath, const std::string& targetPath) {
    if (!std::filesystem::exists(targetPath)) {
        std::filesystem::create_directories(std::filesystem::path(targetPath).parent_path());
        std::ofstream(targetPath).close();
    }
    return mount(sourcePath.c_str(), targetPath.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

CTempDir::CTempDir() {
    char tmpl[] = "/tmp/norvane-test-XXXXXX";
    const char* made = mkdtemp(tmpl);
    m_strPath = made ? made : "/tmp";
}

CTempDir::~CTempDir() {
    if (m_strPath != "/tmp") {
        std::error_code ec;
        std::filesystem::remove_all(m_strPath, ec);
    }
}

std::string SourcePath(const std::string& strRelative) {
    const char* root = std::getenv("NORVANE_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + strRelative;
}

std::string BinaryPath(const std::string& strRelative) {
    const char* root = std::getenv("NORVANE_BINARY_DIR");
    return std::string(root ? root : ".") + "/" + strRelative;
}

std::string ReadWholeFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool WriteWholeFile(const std::string& strPath, const std::string& strData) {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out.write(strData.data(), static_cast<std::streamsize>(strData.size()));
    return static_cast<bool>(out);
}

}  // namespace testsupport
