// The command line of kavex-cli: options that mirror the run settings, the definition file and the
// targets, read into CommandLine; a usage error comes back as a message instead.
//
//   kavex::cli::ParsedCommandLine parsed = kavex::cli::ParseCommandLine(args);
//   if (!parsed.error.empty()) { /* usage error, exit status 2 */ }
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/RunSettings.h"

namespace kavex::cli {

enum class Action { Run, ShowHelp, ShowVersion };

struct CommandLine {
    Action action = Action::Run;
    RunSettings settings;                     // m_sPath is the -d file
    std::vector<std::string> targets;         // as given, in the order given
    std::optional<std::string> codePageName;  // --code-page; the locale's when absent
    bool quiet = false;
};

struct ParsedCommandLine {
    CommandLine commandLine;
    std::string error;  // empty when the command line is usable
};

// args are the arguments after the program name. Options and targets may be mixed; "--" ends the
// options. Long options take their value as "--name=value" or as the next argument.
[[nodiscard]] ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

[[nodiscard]] std::string HelpText();
[[nodiscard]] std::string VersionText();

}  // namespace kavex::cli
