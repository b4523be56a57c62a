// Runs the built kavex-cli as a child process and collects what it printed and its exit status.
#pragma once

#include <sys/resource.h>

#include <optional>
#include <string>
#include <vector>

namespace kavex::test {

struct CliInvocation {
    std::vector<std::string> args;  // after the program name
    std::string workingFolder;
    // "NAME=value" settings on top of LC_ALL=C.UTF-8 (LC_CTYPE and LANG are removed).
    std::vector<std::string> environment;
    std::optional<rlim_t> fileSizeLimit;  // RLIMIT_FSIZE of the child, in bytes
    bool stderrOnTerminal = false;        // standard error is a pseudo-terminal, not a pipe
    // Once standard error holds this text, these signals are sent to the child, one after the
    // other.
    std::string signalWhenStderrHas;
    std::vector<int> signals;
};

struct CliResult {
    int status = -1;  // the exit status, or minus the signal number that ended the child
    std::string out;
    std::string err;
};

[[nodiscard]] CliResult RunCli(const CliInvocation& invocation);

}  // namespace kavex::test
