// qx-sim and qxctl as programs: run from their files with arguments, as a person runs them.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CliTestSupport.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    return clitest::ReadText(path.string());
}

// Runs a shell command line; its output and error text are kept.
Result RunProgram(const std::string& commandLine) {
    const fs::path dir = fs::temp_directory_path();
    const fs::path out = dir / ("qx-programs-out-" + std::to_string(getpid()));
    const fs::path err = dir / ("qx-programs-err-" + std::to_string(getpid()));
    const int status =
        std::system((commandLine + " >" + out.string() + " 2>" + err.string()).c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    fs::remove(out);
    fs::remove(err);
    return r;
}

const std::string kSim = QX_SIM_PROGRAM;
const std::string kQxctl = QXCTL_PROGRAM;

}  // namespace

TEST(ProgramsTest, EveryProgramGivesTheProjectVersion) {
    const Result sim = RunProgram(kSim + " --version");
    EXPECT_EQ(sim.code, 0);
    EXPECT_EQ(sim.out, std::string("qx-sim ") + QX_VERSION + "\n");
    const Result ctl = RunProgram(kQxctl + " --version");
    EXPECT_EQ(ctl.code, 0);
    EXPECT_EQ(ctl.out, std::string("qxctl ") + QX_VERSION + "\n");
}

TEST(ProgramsTest, SimulatorRefusesBadOptionsAsBadUsage) {
    for (const auto& [args, message] : {
             std::pair<std::string, std::string>{"--reject abc", "--reject takes a count"},
             {"--processing -5", "--processing takes milliseconds from 0 to 60000, not '-5'"},
             {"--store-permission 999", "--store-permission takes a byte from 0 to 255"},
             {"--chunk 0", "--chunk takes a size in bytes from 1 to 4230, not '0'"},
             {"--chunk-gap=", "--chunk-gap takes milliseconds"},
             {"--chunk", "option --chunk needs a value"},
             {"--colour", "unknown option --colour"},
         }) {
        for (const std::string& program : {kSim, kQxctl + " simulate"}) {
            const Result r = RunProgram(program + " " + args);
            EXPECT_EQ(r.code, 2) << program << " " << args;
            EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
            EXPECT_EQ(r.out, "");
        }
    }
    const Result missing = RunProgram(kSim + " --bank /nonexistent/all.dat");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err,
              "qx-sim: File read Error: /nonexistent/all.dat: No such file or directory\n");
}

TEST(ProgramsTest, SimulatorHelpIsTheSameUnderBothNames) {
    const Result sim = RunProgram(kSim + " --help");
    const Result ctl = RunProgram(kQxctl + " simulate --help");
    ASSERT_EQ(sim.code, 0);
    ASSERT_EQ(ctl.code, 0);
    EXPECT_NE(sim.out.find("(default 0)"), std::string::npos) << sim.out;
    // Everything after the usage line is the same text.
    EXPECT_EQ(sim.out.substr(sim.out.find('\n')), ctl.out.substr(ctl.out.find('\n')));
}

TEST(ProgramsTest, SimulatorStopsOnASignalThatArrivesAtOnce) {
    // A stop signal sent the moment the path is printed must end the program; a pause()
    // loop could sleep through it.
    for (int round = 0; round < 10; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            dup2(pipeFds[1], STDOUT_FILENO);
            close(pipeFds[0]);
            execl(kSim.c_str(), kSim.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        char c = 0;
        std::string line;
        while (read(pipeFds[0], &c, 1) == 1 && c != '\n') {
            line.push_back(c);
        }
        close(pipeFds[0]);
        EXPECT_EQ(line.rfind("/dev/", 0), 0u) << line;
        kill(pid, round % 2 == 0 ? SIGTERM : SIGINT);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        pid_t done = 0;
        while ((done = waitpid(pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (done == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            FAIL() << "qx-sim did not stop on a signal in round " << round;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << round;
    }
}

TEST(ProgramsTest, APortTheUserMayNotOpenSaysHowToGetAccess) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string port = ptsname(master);
    // Root may open anything, so root runs qxctl as an unprivileged user against a port only
    // root may open; anyone else takes away their own permission.
    std::string asUser;
    if (geteuid() == 0) {
        if (std::system("command -v setpriv >/dev/null") != 0) {
            close(master);
            GTEST_SKIP() << "setpriv is needed to run qxctl as another user";
        }
        ASSERT_EQ(chown(port.c_str(), 0, 0), 0);
        ASSERT_EQ(chmod(port.c_str(), 0600), 0);
        asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    } else {
        ASSERT_EQ(chmod(port.c_str(), 0), 0);
    }
    const Result r = RunProgram(asUser + kQxctl + " probe --port " + port);
    close(master);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "qxctl: probe: " + port +
                         ": permission denied (serial ports need membership of the dialout "
                         "group: sudo adduser $USER dialout, then log in again)\n");
}
