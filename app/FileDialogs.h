// The open and save-as dialogs of the definition-file commands, and their test hook.
//
//   std::string path;
//   if (kavex::app::PromptOpenPath(this, path, kavex::app::kDefinitionFileFilter)) { ... }
//
// Tests answer the dialogs instead of the user, and see what each dialog was asked to show:
//
//   FileDialogAnswer answer([&](const FileDialogRequest& request) { return dir / "a.txt"; });
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QFileDialog;
class QWidget;

namespace kavex::app {

// The file types of both dialogs, written as "display text|patterns|" per entry, the patterns of an
// entry separated by ';'. The first entry is in force when a dialog opens.
inline constexpr char kDefinitionFileFilter[] =
    "置換定義ファイル(*.txt,*.dat,*.dif)|*.txt;*.dat;*.dif|すべてのファイル(*.*)|*.*|";

// The entries of such a filter as Qt name filters, "display text (patterns)", which the dialog
// shows by their display text alone. "*.*" becomes "*": a name without a period is a file too.
[[nodiscard]] QStringList NameFiltersOf(std::string_view filter);

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QStringList nameFilters;  // the first is in force
    QString defaultSuffix;    // added by the dialog to a name typed without an extension
    QString initialFile;      // the file name the dialog opens with
};

// The dialog for a request: the program's own dialog (so the display texts show as given), any
// file name accepted when opening, also of a missing file, and an existing file confirmed before
// saving over it.
[[nodiscard]] std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner,
                                                          const FileDialogRequest& request);

// The full path the user confirmed, or nothing when the dialog was cancelled.
[[nodiscard]] std::optional<QString> AskForFile(QWidget* owner, const FileDialogRequest& request);

// While it lives, AskForFile shows nothing and returns what `answer` returns for the request.
class FileDialogAnswer {
public:
    using Answer = std::function<std::optional<QString>(const FileDialogRequest&)>;
    explicit FileDialogAnswer(Answer answer);
    ~FileDialogAnswer();
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

private:
    Answer m_previous;
};

// Shows the open dialog with the file name `path` and the filter (nothing at all when the filter is
// empty). True when the user confirmed a path other than `path`, which then holds it.
[[nodiscard]] bool PromptOpenPath(QWidget* owner, std::string& path, std::string_view filter);
// Shows the save-as dialog with no file name. True when the user confirmed; `path` then holds the
// chosen path and is left alone otherwise.
[[nodiscard]] bool PromptSavePath(QWidget* owner, std::string& path, std::string_view filter,
                                  std::string_view defaultExtension);

}  // namespace kavex::app
