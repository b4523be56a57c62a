#include "cli/CommandLine.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/CodePage.h"

#ifndef KAVEX_VERSION
#define KAVEX_VERSION "unknown"
#endif

namespace kavex::cli {
namespace {

// One choice option: its words in the order of the setting's values 0, 1, 2.
struct ChoiceOption {
    std::string_view name;
    std::array<std::string_view, 3> words;
    std::int32_t RunSettings::*setting;
};

constexpr std::array<ChoiceOption, 3> kChoiceOptions = {{
    {"entries", {"all", "files", "folders"}, &RunSettings::m_nES1},
    {"replace", {"both", "names", "data"}, &RunSettings::m_nES2},
    {"extensions", {"all", "only", "except"}, &RunSettings::m_nES3},
}};

enum class LongOption {
    Definitions,
    Only,
    Except,
    CodePage,
    Quiet,
    Help,
    Version,
    Choice,
    Unknown
};

struct Parser {
    explicit Parser(const std::vector<std::string>& arguments) : args(arguments) {}

    const std::vector<std::string>& args;
    std::size_t next = 0;
    bool definitionsGiven = false;
    ParsedCommandLine result;

    bool Fail(std::string message) {
        result.error = std::move(message);
        return false;
    }

    // The value of an option: the text after "=" if there was one, else the next argument.
    bool TakeValue(std::string_view option, const std::optional<std::string>& attached,
                   std::string& value) {
        if (attached) {
            value = *attached;
            return true;
        }
        if (next >= args.size()) return Fail("option '" + std::string(option) + "' needs a value");
        value = args[next++];
        return true;
    }

    bool SetCodePage(const std::string& name) {
        if (!platform::CodePage::FromName(name)) return Fail("unknown code page '" + name + "'");
        result.commandLine.codePageName = name;
        return true;
    }

    bool SetChoice(const ChoiceOption& option, const std::string& word) {
        for (std::size_t i = 0; i < option.words.size(); ++i) {
            if (word == option.words[i]) {
                result.commandLine.settings.*option.setting = static_cast<std::int32_t>(i);
                return true;
            }
        }
        return Fail("invalid value '" + word + "' for --" + std::string(option.name) + " (" +
                    std::string(option.words[0]) + ", " + std::string(option.words[1]) + " or " +
                    std::string(option.words[2]) + ")");
    }

    // "--name" or "--name=value"; false on an error or when parsing is done (help, version).
    bool Long(std::string_view argument) {
        std::string_view name = argument.substr(2);
        std::optional<std::string> attached;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            attached = std::string(name.substr(equals + 1));
            name = name.substr(0, equals);
        }
        const std::string option = "--" + std::string(name);
        CommandLine& line = result.commandLine;
        std::string value;

        for (const ChoiceOption& choice : kChoiceOptions) {
            if (name == choice.name)
                return TakeValue(option, attached, value) && SetChoice(choice, value);
        }
        if (name == "definitions") {
            definitionsGiven = true;
            return TakeValue(option, attached, line.settings.m_sPath);
        }
        if (name == "only") return TakeValue(option, attached, line.settings.m_sES2);
        if (name == "except") return TakeValue(option, attached, line.settings.m_sES3);
        if (name == "code-page") return TakeValue(option, attached, value) && SetCodePage(value);

        const bool isFlag = name == "quiet" || name == "help" || name == "version";
        if (!isFlag) return Fail("unknown option '" + option + "'");
        if (attached) return Fail("option '" + option + "' takes no value");
        if (name == "quiet") {
            line.quiet = true;
            return true;
        }
        line.action = name == "help" ? Action::ShowHelp : Action::ShowVersion;
        return false;
    }

    // "-q", "-h", "-d FILE", "-dFILE" and clusters such as "-qd FILE".
    bool Short(std::string_view argument) {
        for (std::size_t i = 1; i < argument.size(); ++i) {
            switch (argument[i]) {
                case 'q':
                    result.commandLine.quiet = true;
                    break;
                case 'h':
                    result.commandLine.action = Action::ShowHelp;
                    return false;
                case 'd': {
                    definitionsGiven = true;
                    const std::string_view rest = argument.substr(i + 1);
                    const std::optional<std::string> attached =
                        rest.empty() ? std::nullopt : std::optional<std::string>(rest);
                    return TakeValue("-d", attached, result.commandLine.settings.m_sPath);
                }
                default:
                    return Fail("unknown option '-" + std::string(1, argument[i]) + "'");
            }
        }
        return true;
    }

    void Run() {
        bool optionsEnded = false;
        while (next < args.size()) {
            const std::string& argument = args[next++];
            if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
                result.commandLine.targets.push_back(argument);
                continue;
            }
            if (argument == "--") {
                optionsEnded = true;
                continue;
            }
            const bool goOn = argument[1] == '-' ? Long(argument) : Short(argument);
            if (!goOn) return;
        }
        if (!definitionsGiven) {
            Fail("missing -d DEFINITION_FILE");
        } else if (result.commandLine.targets.empty()) {
            Fail("no TARGET given");
        }
    }
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    Parser parser(args);
    parser.Run();
    return std::move(parser.result);
}

std::string HelpText() {
    return R"(Usage: kavex-cli [OPTIONS] -d DEFINITION_FILE TARGET...
Applies the replacements of DEFINITION_FILE (one "search>replacement" or "replacement<search"
line each) to the contents and the names of the TARGETs, and prints the run's report.

Each TARGET is taken as given (a relative path stays relative; a bare name such as a.txt is taken
as ./a.txt); a folder brings everything below it, hidden entries included. A symbolic link to a
folder is listed itself but not descended into. Every TARGET must exist. The targets are kept in
a list sorted without regard to letter case; contents are replaced shallowest first, names are
replaced deepest first.

Options:
  -d, --definitions FILE   the definition file (required)
      --entries WHICH      all (default), files or folders
      --replace WHAT       both (default: names and data), names or data
      --extensions MODE    all (default), only (the --only list) or except (the --except list)
      --only LIST          extensions to take with --extensions only (default "txt,c,cpp,h")
      --except LIST        extensions to leave with --extensions except (default "exe,dll")
                           (a LIST is comma-separated, without dots; letter case matters)
      --code-page NAME     the code page of definitions, contents, names and report instead of
                           the locale's: 932 (shift_jis, cp932, sjis), 936 (gbk), 949 (uhc),
                           950 (big5) or utf-8
  -q, --quiet              do not print the report
  -h, --help               show this help and exit
      --version            show the version and exit

The report goes to standard output when the run ends (also after Ctrl-C), in the code page's bytes.
Messages go to standard error as "CAPTION: TEXT". When standard error is a terminal, a progress
line is shown there while the run goes on.

Exit status: 0 the run went to its end; 1 it ended with a message before any change (definition
file errors, too many targets); 2 usage error; 3 it stopped on a file that could not be written
(the file keeps its old contents); 130 cancelled by Ctrl-C or SIGTERM (files already done keep
their changes; no file is left half-written).
)";
}

std::string VersionText() { return std::string("kavex-cli ") + KAVEX_VERSION + "\n"; }

}  // namespace kavex::cli
