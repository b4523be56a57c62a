#include "CliRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

#ifndef KAVEX_CLI_PATH
#error "KAVEX_CLI_PATH must name the kavex-cli executable"
#endif

namespace kavex::test {
namespace {

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + " failed");
}

// Opens a pseudo-terminal: the controller to read from and the terminal side for the child. Both
// are open before the child starts, so the controller never sees a terminal without users early.
void OpenTerminal(int& controller, int& terminal) {
    controller = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    Check(controller >= 0 && ::grantpt(controller) == 0 && ::unlockpt(controller) == 0,
          "posix_openpt");
    terminal = ::open(::ptsname(controller), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Check(terminal >= 0, "open terminal");
}

[[noreturn]] void ExecChild(const CliInvocation& invocation, int outWrite, int errWrite) {
    if (outWrite < 0 || errWrite < 0 || ::dup2(outWrite, STDOUT_FILENO) < 0 ||
        ::dup2(errWrite, STDERR_FILENO) < 0) {
        ::_exit(127);
    }
    const int devNull = ::open("/dev/null", O_RDONLY);
    ::dup2(devNull, STDIN_FILENO);
    if (!invocation.workingFolder.empty() && ::chdir(invocation.workingFolder.c_str()) != 0) {
        ::_exit(127);
    }
    ::unsetenv("LC_CTYPE");
    ::unsetenv("LANG");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    for (const std::string& setting : invocation.environment) {
        const auto equals = setting.find('=');
        ::setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
    if (invocation.fileSizeLimit) {
        const rlimit limit{*invocation.fileSizeLimit, *invocation.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    // The test's own dispositions must not leak into the child.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);

    std::vector<char*> argv;
    std::string program = KAVEX_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> args = invocation.args;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

CliResult RunCli(const CliInvocation& invocation) {
    int outPipe[2];
    int errPipe[2] = {-1, -1};
    Check(::pipe2(outPipe, O_CLOEXEC) == 0, "pipe");
    int errRead = -1;
    if (invocation.stderrOnTerminal) {
        OpenTerminal(errRead, errPipe[1]);
    } else {
        Check(::pipe2(errPipe, O_CLOEXEC) == 0, "pipe");
        errRead = errPipe[0];
    }

    const pid_t child = ::fork();
    Check(child >= 0, "fork");
    if (child == 0) ExecChild(invocation, outPipe[1], errPipe[1]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    CliResult result;
    bool signalsSent = invocation.signals.empty();
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errRead, POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {  // the end, or EIO once the terminal's last user has gone
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            sinks[i]->append(buffer, static_cast<std::size_t>(got));
        }
        if (!signalsSent && result.err.find(invocation.signalWhenStderrHas) != std::string::npos) {
            for (int signal : invocation.signals) ::kill(child, signal);
            signalsSent = true;
        }
    }
    int status = 0;
    Check(::waitpid(child, &status, 0) == child, "waitpid");
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return result;
}

}  // namespace kavex::test
