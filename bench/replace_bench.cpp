// How fast a replacement run rewrites contents, side by side in one run:
//   - the scan alone: the scanner against the plain loop for 1, 100, 1000 and 9999 definitions on
//     the same text (the loop on a shorter piece of it, both given per byte);
//   - the data pass (RunReplacement, data only) against the least any rewrite costs, reading and
//     writing back the same bytes, and against `sed -i` with the same pairs as literal expressions;
// on a generated corpus of mixed ASCII and Shift_JIS text: many small files and one big file. In
// every definition list only two pairs occur in the corpus (every file holds both); the rest do
// not.
//
//   replace_bench [--files N] [--file-kb N] [--big-mb N] [--sed-seconds N] [--repeat N]
//                 [--no-sed] [--no-scan] [--scan-only] [--pairs N] [--keep] [--dir PATH]
//   (defaults 2000 files of 50 KB, a big file of 200 MB or $KAVEX_BENCH_BIG_MB, the best of 3 runs
//   of each measurement, sed given about 15 s a list and skipped beyond 1000 pairs; --pairs
//   measures one pair count instead of 1, 100, 1000 and 9999, --scan-only skips the data pass)
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/Run.h"
#include "engine/RunHost.h"
#include "engine/Scanner.h"
#include "platform/CodePage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kMiB = 1024.0 * 1024.0;
const std::vector<std::size_t> kPairCounts = {1, 100, 1000, 9999};

double Seconds(const std::function<void()>& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The shortest of `repeat` runs, each after its own `prepare` (not timed): the other programs of a
// busy machine only ever add time.
double BestSeconds(int repeat, const std::function<void()>& prepare,
                   const std::function<void()>& work) {
    double best = 0;
    for (int n = 0; n < repeat; ++n) {
        prepare();
        const double seconds = Seconds(work);
        if (n == 0 || seconds < best) best = seconds;
    }
    return best;
}

struct Options {
    std::size_t files = 2000;
    std::size_t fileBytes = 50 * 1024;
    std::size_t bigBytes = 200 * 1024 * 1024;
    double sedSeconds = 15;
    int repeat = 3;
    bool sed = true;
    bool scan = true;
    bool scanOnly = false;
    std::vector<std::size_t> pairCounts = kPairCounts;
    bool keep = false;
    std::string dir;
};

// --- Generated text ---------------------------------------------------------------------------

class TextMaker {
public:
    explicit TextMaker(std::uint64_t seed) : m_random(seed) {
        const auto& sjis = kavex::platform::CodePage::ShiftJis();
        m_sPlantedJapanese = kavex::platform::FromUtf8("置換前", sjis);
        m_sJapaneseReplacement = kavex::platform::FromUtf8("置換後", sjis);
    }

    // ASCII prose and code mixed with Japanese sentences; both planted words come about once
    // every 8 KB.
    std::string Text(std::size_t size) {
        std::string text;
        text.reserve(size + 256);
        std::size_t nextPlant = Pick(2000, 8000);
        while (text.size() < size) {
            if (text.size() >= nextPlant) {
                text += Pick(0, 1) == 0 ? kPlantedAscii : m_sPlantedJapanese;
                text += ' ';
                nextPlant = text.size() + Pick(4000, 12000);
            } else if (Pick(0, 9) < 5) {
                AsciiLine(text);
            } else {
                JapaneseLine(text);
            }
        }
        text.resize(size);
        return text;
    }

    // `count` pairs: the planted words first (one of them when count is 1), then search texts that
    // do not occur: identifiers that share a prefix with the corpus's words, random identifiers
    // and Japanese words. None holds '\\', '<' or '>', so the definition file needs no escapes.
    std::vector<std::pair<std::string, std::string>> Pairs(std::size_t count) {
        std::vector<std::pair<std::string, std::string>> pairs;
        pairs.emplace_back(kPlantedAscii, "kavexbar");
        if (count > 1) pairs.emplace_back(m_sPlantedJapanese, m_sJapaneseReplacement);
        while (pairs.size() < count) {
            std::string search;
            switch (pairs.size() % 3) {
                case 0:
                    search = std::string(kWords[Pick(0, kWordCount - 1)]) + "_" + Identifier(4, 8);
                    break;
                case 1:
                    search = Identifier(8, 16);
                    break;
                default:
                    for (std::size_t n = Pick(3, 6); n > 0; --n) Kanji(search);
                    break;
            }
            pairs.emplace_back(search, search + "_new");
        }
        return pairs;
    }

private:
    static constexpr const char* kPlantedAscii = "kavexfoo";
    static constexpr const char* kWords[] = {
        "the",   "file",  "return", "int",    "value", "const",  "std::string", "for",
        "while", "index", "buffer", "static", "void",  "count",  "name",        "path",
        "if",    "else",  "data",   "result", "error", "struct", "size_t",      "table"};
    static constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

    std::size_t Pick(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(m_random);
    }

    std::string Identifier(std::size_t shortest, std::size_t longest) {
        std::string id;
        for (std::size_t n = Pick(shortest, longest); n > 0; --n) {
            id += static_cast<char>('a' + Pick(0, 25));
        }
        return id;
    }

    void AsciiLine(std::string& text) {
        for (std::size_t n = Pick(4, 14); n > 0; --n) {
            text += Pick(0, 4) == 0 ? Identifier(3, 10) : kWords[Pick(0, kWordCount - 1)];
            text += Pick(0, 7) == 0 ? "(); " : " ";
        }
        text += "\r\n";
    }

    // A JIS level 1 kanji; its trail byte is never 0x5C, the backslash.
    void Kanji(std::string& text) {
        const auto lead = static_cast<char>(Pick(0x89, 0x97));
        std::size_t trail = Pick(0x40, 0xFC);
        if (trail == 0x7F || trail == 0x5C) ++trail;
        text += lead;
        text += static_cast<char>(trail);
    }

    void JapaneseLine(std::string& text) {
        for (std::size_t n = Pick(8, 40); n > 0; --n) {
            if (Pick(0, 9) < 6) {
                text += '\x82';  // hiragana
                text += static_cast<char>(Pick(0x9F, 0xF1));
            } else {
                Kanji(text);
            }
            if (Pick(0, 15) == 0) text += "\x81\x41";  // 、
        }
        text += "\x81\x42\r\n";  // 。
    }

    std::mt19937_64 m_random;
    std::string m_sPlantedJapanese;
    std::string m_sJapaneseReplacement;
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string DefinitionFile(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string content;
    for (const auto& [search, replacement] : pairs) {
        if (!content.empty()) content += "\r\n";  // no line after the last: 9999 lines at most
        content += search + ">" + replacement;
    }
    return content;
}

// The pairs as literal sed expressions, in the C locale: every byte stands for itself.
std::string SedScript(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string script;
    for (const auto& [search, replacement] : pairs) {
        script += "s/";
        for (const char c : search) {
            if (c == ']') {
                script += "[]]";
            } else {
                if (std::strchr("\\/.*[^$", c) != nullptr && c != '\0') script += '\\';
                script += c;
            }
        }
        script += '/';
        for (const char c : replacement) {
            if (c == '\\' || c == '&' || c == '/' || c == '\n') script += '\\';
            script += c;
        }
        script += "/g\n";
    }
    return script;
}

// --- The run's host -----------------------------------------------------------------------------

class BenchHost : public kavex::RunHost {
public:
    kavex::RunSettings settings;
    std::vector<std::string> targets;
    std::string log;

    void ExchangeFromControls() override {}
    void ExchangeToControls() override {}
    [[nodiscard]] const kavex::RunSettings& Settings() const override { return settings; }
    [[nodiscard]] std::size_t TargetCount() const override { return targets.size(); }
    [[nodiscard]] std::string TargetItem(std::size_t index) const override {
        return targets.at(index);
    }
    void AssignLog(std::string_view text) override { log = text; }
    void AppendLog(std::string_view text) override { log += text; }
    void ShowMessageBox(std::string_view text, std::string_view caption) override {
        std::fprintf(stderr, "message box: %.*s | %.*s\n", static_cast<int>(caption.size()),
                     caption.data(), static_cast<int>(text.size()), text.data());
    }
    void OpenProgress() override {}
    void SetProgressRange(std::int32_t, std::int32_t) override {}
    std::int32_t SetProgressPosition(std::int32_t position) override {
        return std::exchange(m_nPosition, position);
    }
    void SetProgressStatus(std::string_view) override {}
    [[nodiscard]] bool TakeCancelRequest() override { return false; }
    void CloseProgress() override {}

private:
    std::int32_t m_nPosition = 0;
};

// --- Measurements -------------------------------------------------------------------------------

std::vector<std::string> FilesOf(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// A fresh copy of the pristine set, so that every measurement finds the same matches.
fs::path FreshCopy(const fs::path& pristine, const fs::path& work) {
    fs::remove_all(work);
    fs::copy(pristine, work, fs::copy_options::recursive);
    return work;
}

// Each file read whole and its bytes written back over it: the least a rewrite costs.
void ReadAndWriteBack(const std::vector<std::string>& files) {
    std::string bytes;
    for (const std::string& path : files) {
        const int in = ::open(path.c_str(), O_RDONLY);
        const off_t size = ::lseek(in, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(size));
        if (::pread(in, bytes.data(), bytes.size(), 0) != size) std::abort();
        ::close(in);
        const int out = ::open(path.c_str(), O_WRONLY);
        if (::write(out, bytes.data(), bytes.size()) != size) std::abort();
        ::close(out);
    }
}

void DataPass(const std::vector<std::string>& files, const fs::path& definitions) {
    BenchHost host;
    host.settings.m_nES1 = 1;  // files
    host.settings.m_nES2 = 2;  // data only
    host.settings.m_nES3 = 0;  // every extension
    host.settings.m_sPath = definitions.string();
    host.targets = files;
    static const std::string failed =
        kavex::platform::FromUtf8("失敗", kavex::platform::CodePage::ShiftJis());
    if (kavex::RunReplacement(host) != kavex::RunOutcome::Completed ||
        host.log.find(failed) != std::string::npos) {
        std::fprintf(stderr, "the data pass did not complete:\n%s\n", host.log.c_str());
        std::exit(1);
    }
}

std::uint64_t Bytes(const std::vector<std::string>& files) {
    std::uint64_t total = 0;
    for (const std::string& path : files) total += fs::file_size(path);
    return total;
}

double MiBPerSecond(std::uint64_t bytes, double seconds) {
    return static_cast<double>(bytes) / kMiB / seconds;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// sed -i on the first files of the set; the number of files is chosen from a short trial so that
// the run takes about `budget` seconds. Returns MiB/s, or a negative value when sed failed.
double SedThroughput(const std::vector<std::string>& files, const fs::path& script, double budget) {
    auto run = [&](std::size_t count, std::uint64_t& bytes) {
        std::string list;
        for (std::size_t i = 0; i < count; ++i) list += Quoted(files[i]) + " ";
        bytes = Bytes({files.begin(), files.begin() + static_cast<std::ptrdiff_t>(count)});
        bool ok = true;
        const double seconds = Seconds(
            [&] { ok = Run("LC_ALL=C sed -i -f " + Quoted(script.string()) + " -- " + list); });
        return ok ? seconds : -1.0;
    };
    std::uint64_t bytes = 0;
    const std::size_t trial = std::min<std::size_t>(files.size(), 10);
    const double trialSeconds = run(trial, bytes);
    if (trialSeconds < 0) return -1;
    const double perFile = trialSeconds / static_cast<double>(trial);
    const auto count =
        std::clamp<std::size_t>(static_cast<std::size_t>(budget / perFile), trial, files.size());
    if (count == trial) return MiBPerSecond(bytes, trialSeconds);
    const double seconds = run(count, bytes);
    return seconds < 0 ? -1 : MiBPerSecond(bytes, seconds);
}

long PeakResidentMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    if (const char* big = std::getenv("KAVEX_BENCH_BIG_MB")) {
        options.bigBytes = static_cast<std::size_t>(std::atof(big) * kMiB);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--files" && hasValue) {
            options.files = static_cast<std::size_t>(std::atol(argv[++i]));
        } else if (arg == "--file-kb" && hasValue) {
            options.fileBytes = static_cast<std::size_t>(std::atof(argv[++i]) * 1024);
        } else if (arg == "--big-mb" && hasValue) {
            options.bigBytes = static_cast<std::size_t>(std::atof(argv[++i]) * kMiB);
        } else if (arg == "--repeat" && hasValue) {
            options.repeat = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--sed-seconds" && hasValue) {
            options.sedSeconds = std::atof(argv[++i]);
        } else if (arg == "--no-sed") {
            options.sed = false;
        } else if (arg == "--no-scan") {
            options.scan = false;
        } else if (arg == "--scan-only") {
            options.scanOnly = true;
        } else if (arg == "--pairs" && hasValue) {
            options.pairCounts = {
                std::clamp<std::size_t>(static_cast<std::size_t>(std::atol(argv[++i])), 1, 9999)};
        } else if (arg == "--keep") {
            options.keep = true;
        } else if (arg == "--dir" && hasValue) {
            options.dir = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: replace_bench [--files N] [--file-kb N] [--big-mb N] "
                         "[--sed-seconds N] [--repeat N] [--no-sed] [--no-scan] [--scan-only] "
                         "[--pairs N] [--keep] "
                         "[--dir PATH]\n");
            std::exit(2);
        }
    }
    options.files = std::clamp<std::size_t>(options.files, 1, kavex::kMaxTargets);
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    kavex::platform::SetProcessCodePage(kavex::platform::CodePage::ShiftJis());
    if (options.sed && !Run("sed --version >/dev/null 2>&1")) {
        std::fprintf(stderr, "sed not found; run with --no-sed\n");
        return 1;
    }

    fs::path root = options.dir;
    if (root.empty()) {
        std::string pattern = (fs::temp_directory_path() / "kavex-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return 1;
        root = pattern;
    }
    const fs::path pristine = root / "pristine";
    const fs::path small = pristine / "small";
    const fs::path big = pristine / "big";
    fs::create_directories(small);
    fs::create_directories(big);

    TextMaker maker(20261211);
    const double makeSeconds = Seconds([&] {
        char name[32];
        for (std::size_t i = 0; i < options.files; ++i) {
            std::snprintf(name, sizeof name, "%05zu.txt", i);
            WriteBytes(small / name, maker.Text(options.fileBytes));
        }
        WriteBytes(big / "big.txt", maker.Text(options.bigBytes));
    });
    std::printf("Corpus in %s (made in %.1f s): %zu files of %.0f KB, one file of %.0f MB\n",
                root.c_str(), makeSeconds, options.files,
                static_cast<double>(options.fileBytes) / 1024,
                static_cast<double>(options.bigBytes) / kMiB);

    // --- The scan alone ---
    const std::string text = maker.Text(std::min<std::size_t>(options.bigBytes, 64 << 20));
    std::printf("\nScan alone, %.0f MB of text (MB/s; the loop on a shorter piece)\n",
                static_cast<double>(text.size()) / kMiB);
    std::printf("%6s %10s %12s %12s %12s %14s\n", "pairs", "build ms", "scanner", "loop",
                "loop bytes", "scanner/loop");
    double scannerOnePair = 0;
    for (const std::size_t count : options.scan ? options.pairCounts : std::vector<std::size_t>{}) {
        kavex::DefinitionTable table;
        for (auto& [search, replacement] : maker.Pairs(count)) {
            table.rows.push_back({search, ">", replacement});
        }
        std::optional<kavex::Scanner> scanner;
        const double build = Seconds([&] { scanner.emplace(table); });
        std::int64_t found = 0;
        const double scan = BestSeconds(
            options.repeat, [] {}, [&] { found = scanner->ScanAndReplace(text).count; });
        const std::size_t loopBytes =
            std::clamp<std::size_t>((32u << 20) / count, 64 << 10, text.size());
        const std::string_view piece(text.data(), loopBytes);
        std::int64_t loopFound = 0;
        const double loop =
            Seconds([&] { loopFound = kavex::ScanAndReplaceByLoop(piece, table).count; });
        if (scanner->ScanAndReplace(piece).count != loopFound || found == 0) {
            std::fprintf(stderr, "the scanner and the loop disagree\n");
            return 1;
        }
        const double scannerRate = MiBPerSecond(text.size(), scan);
        const double loopRate = MiBPerSecond(loopBytes, loop);
        if (count == 1 || scannerOnePair == 0) scannerOnePair = scannerRate;
        std::printf("%6zu %10.1f %12.1f %12.2f %12zu %13.0fx   (%.2f of 1 pair's rate)\n", count,
                    build * 1000, scannerRate, loopRate, loopBytes, scannerRate / loopRate,
                    scannerRate / scannerOnePair);
    }

    // --- The data pass ---
    if (options.scanOnly) {
        if (!options.keep) fs::remove_all(root);
        return 0;
    }
    const fs::path work = root / "work";
    std::printf(
        "\nData pass (RunReplacement, data only) against reading and writing back the same bytes, "
        "and sed -i (MB/s; time ratios)\n");
    std::printf("%-6s %6s %10s %10s %12s %10s %12s\n", "set", "pairs", "floor", "pass",
                "pass/floor", "sed", "sed/pass");
    for (const std::size_t count : options.pairCounts) {
        const auto pairs = maker.Pairs(count);
        const fs::path definitions = root / ("definitions-" + std::to_string(count) + ".txt");
        WriteBytes(definitions, DefinitionFile(pairs));
        const fs::path script = root / ("definitions-" + std::to_string(count) + ".sed");
        WriteBytes(script, SedScript(pairs));
        for (const char* set : {"small", "big"}) {
            const std::vector<std::string> files = FilesOf(FreshCopy(pristine, work) / set);
            const std::uint64_t bytes = Bytes(files);
            const auto fresh = [&] { FreshCopy(pristine, work); };
            const double floor =
                BestSeconds(options.repeat, fresh, [&] { ReadAndWriteBack(files); });
            const double pass =
                BestSeconds(options.repeat, fresh, [&] { DataPass(files, definitions); });
            const double passRate = MiBPerSecond(bytes, pass);
            std::printf("%-6s %6zu %10.1f %10.1f %12.2f", set, count, MiBPerSecond(bytes, floor),
                        passRate, pass / floor);
            if (options.sed && count <= 1000 && std::string(set) == "small") {
                FreshCopy(pristine, work);
                const double sedRate = SedThroughput(files, script, options.sedSeconds);
                if (sedRate < 0) {
                    std::printf(" %10s %12s\n", "failed", "-");
                } else {
                    std::printf(" %10.2f %11.0fx\n", sedRate, passRate / sedRate);
                }
            } else {
                std::printf(" %10s %12s\n", "-", "-");
            }
            std::fflush(stdout);
        }
    }
    std::printf(
        "\nsed runs on as many of the small files as it handles in about %.0f s, and not beyond "
        "1000 pairs.\nPeak resident memory: %ld MB\n",
        options.sedSeconds, PeakResidentMiB());

    if (options.keep) {
        std::printf("kept %s\n", root.c_str());
    } else {
        fs::remove_all(root);
    }
    return 0;
}
