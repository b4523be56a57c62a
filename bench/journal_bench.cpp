// What the write journal costs: a data pass that changes every file, without the journal, with it
// (no syncs) and with it synced to the disk, against the read+write floor (each file read whole and
// written back in place) measured in the same run on the same files.
//
//   journal_bench [FOLDER]   (default: a new folder under $TMPDIR; use a folder on a real disk)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/Run.h"
#include "engine/RunHost.h"

namespace {

using Clock = std::chrono::steady_clock;

// A host that shows nothing: the run's own work is what is measured.
class QuietHost : public kavex::RunHost {
public:
    kavex::RunSettings settings;
    std::vector<std::string> targets;

    void ExchangeFromControls() override {}
    void ExchangeToControls() override {}
    [[nodiscard]] const kavex::RunSettings& Settings() const override { return settings; }
    [[nodiscard]] std::size_t TargetCount() const override { return targets.size(); }
    [[nodiscard]] std::string TargetItem(std::size_t index) const override {
        return targets[index];
    }
    void AssignLog(std::string_view) override {}
    void AppendLog(std::string_view) override {}
    void ShowMessageBox(std::string_view text, std::string_view) override {
        std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
    }
    void OpenProgress() override {}
    void SetProgressRange(std::int32_t, std::int32_t) override {}
    std::int32_t SetProgressPosition(std::int32_t) override { return 0; }
    void SetProgressStatus(std::string_view) override {}
    [[nodiscard]] bool TakeCancelRequest() override { return false; }
    void CloseProgress() override {}
};

void WriteWhole(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::perror(path.c_str());
        std::exit(1);
    }
    ::close(fd);
}

// Each file read whole (in the pass's 10240-byte chunks) and written back in place.
void ReadWriteFloor(const std::vector<std::string>& paths) {
    std::string bytes;
    char chunk[10240];
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDWR);
        bytes.clear();
        for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) {
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
        if (::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()) ||
            ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
}

struct Workload {
    const char* name;
    int files;
    std::size_t size;
};

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path top =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() /
                       ("kavex-journal-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(top);
    const Workload workloads[] = {{"64 files of 1 MiB", 64, 1 << 20},
                                  {"1000 files of 4 KiB", 1000, 4096}};
    constexpr int kRounds = 3;

    for (const Workload& workload : workloads) {
        const std::filesystem::path folder = top / "files";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        QuietHost host;
        host.settings.m_nES2 = 2;  // data only
        // Every file holds a match every 4 KiB; the definitions swap the two words back and
        // forth, so every run rewrites every file at the same length.
        std::string content;
        while (content.size() < workload.size) content += "foo" + std::string(4093, '.');
        content.resize(workload.size);
        for (int i = 0; i < workload.files; ++i) {
            std::string name = std::to_string(i);
            name.append(".txt");
            host.targets.push_back((folder / name).string());
            WriteWhole(host.targets.back(), content);
        }
        const std::string there = (top / "there.txt").string();
        const std::string back = (top / "back.txt").string();
        WriteWhole(there, "foo>bar");
        WriteWhole(back, "bar>foo");

        kavex::JournalSettings journal;
        journal.folder = (top / "state/kavex/journal").string();
        const struct {
            const char* name;
            kavex::JournalPolicy policy;
        } modes[] = {{"no journal", kavex::JournalPolicy::Off},
                     {"journal, no syncs", kavex::JournalPolicy::NoSync},
                     {"journal, synced", kavex::JournalPolicy::Durable}};
        std::vector<double> floor;
        std::vector<std::vector<double>> passes(std::size(modes));
        for (int round = 0; round < kRounds; ++round) {
            const Clock::time_point start = Clock::now();
            ReadWriteFloor(host.targets);
            floor.push_back(Seconds(Clock::now() - start));
            for (std::size_t m = 0; m < std::size(modes); ++m) {
                journal.policy = modes[m].policy;
                for (const std::string* definitions : {&there, &back}) {
                    host.settings.m_sPath = *definitions;
                    const Clock::time_point begin = Clock::now();
                    if (kavex::RunReplacement(host, journal) != kavex::RunOutcome::Completed) {
                        std::fprintf(stderr, "the run did not complete\n");
                        return 1;
                    }
                    passes[m].push_back(Seconds(Clock::now() - begin));
                }
            }
        }
        const auto best = [](std::vector<double> times) {
            return *std::min_element(times.begin(), times.end());
        };
        const double floorTime = best(floor);
        std::printf("%s (%.1f MiB), best of %d:\n", workload.name,
                    static_cast<double>(workload.size) * workload.files / (1 << 20), kRounds);
        std::printf("  read+write floor      %8.4f s   1.00\n", floorTime);
        for (std::size_t m = 0; m < std::size(modes); ++m) {
            const double time = best(passes[m]);
            std::printf("  data pass, %-18s %8.4f s  %5.2f x floor  %5.2f x no journal\n",
                        modes[m].name, time, time / floorTime, time / best(passes[0]));
        }
    }
    std::filesystem::remove_all(top);
    return 0;
}
