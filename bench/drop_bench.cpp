// How long a drop of a folder of 100,000 entries takes on the main window, against the walk of
// that folder alone (the least a drop can cost): the window adds the whole drop as one sorted batch
// and the list lays it out without measuring each row, so the ratio stays near 1.
//
//   drop_bench [entries]    (default 100000; runs on the offscreen platform unless told otherwise)
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/CKavexDlg.h"
#include "engine/TargetList.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// `folders` folders of files under root, `entries` entries in all (the folders included).
void MakeTree(const std::filesystem::path& root, std::size_t entries) {
    const std::size_t folders = std::max<std::size_t>(1, entries / 1000);
    const std::size_t filesPerFolder = (entries - folders) / folders;
    std::size_t made = 0;
    for (std::size_t f = 0; f < folders; ++f) {
        const std::filesystem::path folder = root / ("folder" + std::to_string(f));
        std::filesystem::create_directories(folder);
        ++made;
        const std::size_t files = f + 1 == folders ? entries - made : filesPerFolder;
        for (std::size_t i = 0; i < files; ++i, ++made) {
            std::ofstream(folder / ("file " + std::to_string(i * 7919 % 100000) + ".txt"));
        }
    }
}

void DropOn(QWidget& window, const std::string& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::size_t entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    constexpr int kRounds = 5;

    const std::filesystem::path temporary =
        std::filesystem::temp_directory_path() / ("kavex-drop-bench-" + std::to_string(::getpid()));
    const std::filesystem::path root = temporary / "tree";
    MakeTree(root, entries);
    // The window loads and stores its settings; keep them away from the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((temporary / "config").string()));

    std::vector<std::string> warm;
    kavex::AppendFolderContents(root.string(), warm);  // the folder in the cache for every round
    std::printf("entries below the dropped folder: %zu\n", warm.size());

    std::vector<double> walk;
    std::vector<double> walkAndSort;
    std::vector<double> drop;
    std::vector<double> dropAndPaint;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::string> paths;
        walk.push_back(Seconds([&] { kavex::AppendFolderContents(root.string(), paths); }));

        // The walk and the shared list's sort of its result, with no window: what a drop must cost.
        kavex::TargetList list;  // freed outside the timing, as the window's list is
        walkAndSort.push_back(Seconds([&] { list.AddDropped({root.string()}); }));

        kavex::app::CKavexDlg window;
        window.m_sPath = (temporary / "definitions.txt").string();  // no default file made
        window.show();
        QApplication::processEvents();
        const double dropped = Seconds([&] { DropOn(window, root.string()); });
        // The list lays out its rows and paints the visible ones at the next event processing.
        const double painted = Seconds([&] { QApplication::processEvents(); });
        if (window.TargetCount() != warm.size() + 1) {
            std::fprintf(stderr, "listed %zu, expected %zu\n", window.TargetCount(),
                         warm.size() + 1);
            return 1;
        }
        drop.push_back(dropped);
        dropAndPaint.push_back(dropped + painted);
    }
    std::filesystem::remove_all(temporary);

    const double baseline = Median(walk);
    std::printf("walk alone (baseline)      %8.1f ms\n", baseline * 1e3);
    std::printf("walk and sorted list       %8.1f ms  ratio %.2f\n", Median(walkAndSort) * 1e3,
                Median(walkAndSort) / baseline);
    std::printf("drop on the window         %8.1f ms  ratio %.2f\n", Median(drop) * 1e3,
                Median(drop) / baseline);
    std::printf("drop, layout and painting  %8.1f ms  ratio %.2f\n", Median(dropAndPaint) * 1e3,
                Median(dropAndPaint) / baseline);
    return 0;
}
