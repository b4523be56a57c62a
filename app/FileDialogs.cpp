#include "app/FileDialogs.h"

#include <QFileDialog>
#include <utility>

#include "app/QtText.h"

namespace kavex::app {
namespace {

// The only test hook of the dialogs; empty outside tests.
FileDialogAnswer::Answer& InstalledAnswer() {
    static FileDialogAnswer::Answer answer;
    return answer;
}

}  // namespace

QStringList NameFiltersOf(std::string_view filter) {
    const QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
            .split(QLatin1Char('|'));
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        nameFilters.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')'));
    }
    return nameFilters;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileDialogRequest& request) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    // The desktop's own dialog may show the patterns beside the display texts, or not at all.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(request.kind == FileDialogRequest::Kind::Save ? QFileDialog::AcceptSave
                                                                        : QFileDialog::AcceptOpen);
    dialog->setNameFilters(request.nameFilters);
    if (!request.nameFilters.isEmpty()) dialog->selectNameFilter(request.nameFilters.front());
    dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.initialFile.isEmpty()) dialog->selectFile(request.initialFile);
    return dialog;
}

std::optional<QString> AskForFile(QWidget* owner, const FileDialogRequest& request) {
    if (const FileDialogAnswer::Answer& answer = InstalledAnswer()) return answer(request);
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(owner, request);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.front();
}

FileDialogAnswer::FileDialogAnswer(Answer answer)
    : m_previous(std::exchange(InstalledAnswer(), std::move(answer))) {}

FileDialogAnswer::~FileDialogAnswer() { InstalledAnswer() = std::move(m_previous); }

bool PromptOpenPath(QWidget* owner, std::string& path, std::string_view filter) {
    if (filter.empty()) return false;
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.nameFilters = NameFiltersOf(filter);
    request.initialFile = ToQString(path);
    const std::optional<QString> chosen = AskForFile(owner, request);
    if (!chosen) return false;
    std::string chosenPath = FromQString(*chosen);
    if (chosenPath == path) return false;
    path = std::move(chosenPath);
    return true;
}

bool PromptSavePath(QWidget* owner, std::string& path, std::string_view filter,
                    std::string_view defaultExtension) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.nameFilters = NameFiltersOf(filter);
    request.defaultSuffix =
        QString::fromUtf8(defaultExtension.data(), static_cast<qsizetype>(defaultExtension.size()));
    const std::optional<QString> chosen = AskForFile(owner, request);
    if (!chosen) return false;
    path = FromQString(*chosen);
    return true;
}

}  // namespace kavex::app
