#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/SingleInstance.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

const std::string kInstaller = "norvane-web-setup";

int RunProgram(const std::string& path) {
    const int status = std::system(("'" + path + "' >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Holds an instance name in a child process until destroyed (or until the child is killed).
class CNameHolder {
public:
    explicit CNameHolder(const std::string& name) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        m_pid = fork();
        if (m_pid == 0) {
            const char held = platform::AcquireInstanceName(name) ? 'y' : 'n';
            (void)!write(ready[1], &held, 1);
            pause();
            _exit(0);
        }
        char held = 0;
        (void)!read(ready[0], &held, 1);
        close(ready[0]);
        close(ready[1]);
        EXPECT_EQ(held, 'y');
    }
    ~CNameHolder() { Kill(); }
    void Kill() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override { fs::remove_all("/opt/norvane_down"); }
    std::string CopyInstallerAs(const std::string& relative) {
        const std::string target = m_temp.File(relative);
        fs::create_directories(fs::path(target).parent_path());
        fs::copy_file(testsupport::BinaryPath(kInstaller), target);
        return target;
    }
    testsupport::CTempDir m_temp;
};

TEST_F(StartUpTest, StartCreatesWorkFolderAndLogWithStartRecords) {
    EXPECT_EQ(RunProgram(testsupport::BinaryPath(kInstaller)), 0);
    const std::string log = testsupport::ReadWholeFile("/opt/norvane_down/norvane-web-setup/Log/norvane_down.log");
    EXPECT_NE(log.find(" Windows Version:"), std::string::npos) << log;
    EXPECT_NE(log.find(" downloader version:1.0.0.1\n"), std::string::npos) << log;
}

TEST_F(StartUpTest, SecondCopyWithTheSameNameEndsAtOnceWithoutLog) {
    CNameHolder holder(kInstaller);
    EXPECT_EQ(RunProgram(CopyInstallerAs("elsewhere/" + kInstaller)), 255);
    EXPECT_FALSE(fs::exists("/opt/norvane_down"));
}

TEST_F(StartUpTest, CopiesNamedDifferentlyRunSideBySide) {
    CNameHolder holder(kInstaller);
    EXPECT_EQ(RunProgram(CopyInstallerAs("other-setup")), 0);
    EXPECT_TRUE(fs::exists("/opt/norvane_down/other-setup/Log/norvane_down.log"));
}

TEST_F(StartUpTest, CrashedCopyDoesNotBlockTheNext) {
    CNameHolder holder(kInstaller);
    holder.Kill();
    EXPECT_EQ(RunProgram(testsupport::BinaryPath(kInstaller)), 0);
}

TEST(SingleInstance, NameIsTakenOnceAndFreedWithItsHolder) {
    EXPECT_TRUE(platform::AcquireInstanceName("single-instance-test"));
    EXPECT_FALSE(platform::AcquireInstanceName("single-instance-test"));
    EXPECT_TRUE(platform::AcquireInstanceName("Single-Instance-Test")) << "names are case-sensitive";
}

}  // namespace

namespace {

TEST(Rights, WithoutRootTheInstallerSaysItNeedsAdministratorRights) {
    if (std::system("command -v pkexec >/dev/null") == 0) GTEST_SKIP() << "pkexec present: it would ask for a password";
    fs::remove_all("/opt/norvane_down");
    const std::string command = "setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                                testsupport::BinaryPath(kInstaller) + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof(buffer), pipe)) output += buffer;
    const int status = pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find("needs administrator rights"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists("/opt/norvane_down/norvane-web-setup/Log/norvane_down.log"));
}

}  // namespace
