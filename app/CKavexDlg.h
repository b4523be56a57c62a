// The main window: the box with the definition file's path, the sorted list of target files and
// folders dropped on the window, the Message box that shows the run's report, and the buttons that
// start a run, clear the list and manage the definition file. It owns the run settings (loaded when
// the object is made, stored when it is destroyed) and is the host of the replacement run.
//
//   CKavexDlg dialog;   // loads the settings
//   dialog.exec();      // the program's modal loop
//                       // leaving scope stores the settings
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/QtText.h"
#include "engine/RunHost.h"
#include "engine/RunSettings.h"

class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMimeData;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;

namespace kavex::app {

class CRunProgressDlg;
class CTargetListModel;

// The paths of a drop of local files and folders, in the drop's order, as the file system's bytes.
[[nodiscard]] std::vector<std::string> DroppedPaths(const QMimeData& mime);

// The run settings m_nES1, m_nES2, m_nES3, m_sES2, m_sES3 and m_sPath are members of the window.
class CKavexDlg : public QDialog, public RunHost, public RunSettings {
    Q_OBJECT

public:
    explicit CKavexDlg(QWidget* parent = nullptr);
    ~CKavexDlg() override;
    CKavexDlg(const CKavexDlg&) = delete;
    CKavexDlg& operator=(const CKavexDlg&) = delete;

    std::string MessageLog;  // the text of the Message box, CR LF between lines

    // Exchange between the members and the two boxes: from the controls (true) copies the path
    // box into m_sPath and the Message box into MessageLog; to the controls (false) shows them.
    bool UpdateData(bool fromControls = true);

    // Enables "置換" when m_sPath names an existing entry and the list is not empty.
    void RefreshReplaceButton();
    // Adds everything below the folder to the list (the shared walk of both front ends).
    void AddFolderContents(const std::string& folder);
    // Adds the dropped paths, each folder followed by its contents, then refreshes "置換".
    void OnDropFiles(const std::vector<std::string>& paths);
    // "クリア": empties the list and the Message box.
    void OnClear();
    // "置換": the run settings dialog, then the run when it is confirmed.
    void OnReplace();
    [[nodiscard]] bool AllowClose();
    void OnOK();      // "終了" and Enter: takes the boxes' texts, then ends the modal loop
    void OnCancel();  // Escape and the close box: ends the modal loop without taking them

    // The definition-file commands (DefinitionFileCommands.cpp). None of them refreshes "置換".
    void OnOpenDefinition();  // "開く(&O)": a file chosen in an open dialog becomes m_sPath
    void OnEditDefinition();  // "編集(&E)": opens m_sPath (as typed) in the desktop's program
    void
    OnSaveDefinitionAs();  // "名前を付けて保存(&S)": copies the file, then switches to the copy
    void OnDefaultDefinition();  // "デフォルト(&D)": m_sPath becomes the default file's path
    // At start: an empty m_sPath becomes the default path, and an empty default file is made
    // when there is none.
    void EnsureDefaultDefinition();

    // The popup menu's commands 32771 to 32775 (LinkCommands.cpp).
    void OnCommand(int command);
    void OpenAuthorPage();
    void MailAuthor();
    void DownloadLatest();
    void OpenCompanionService();
    void ShowVersionInfo();

    // The items of the target list, in the list's sorted order.
    [[nodiscard]] const std::vector<std::string>& TargetItems() const;

    // Test hook: message boxes go to `handler` (text, caption) instead of being shown.
    using MessageBoxHandler = std::function<void(const QString& text, const QString& caption)>;
    void SetMessageBoxHandler(MessageBoxHandler handler) {
        m_messageBoxHandler = std::move(handler);
    }

    // RunHost: the window's side.
    void ExchangeFromControls() override { UpdateData(true); }
    void ExchangeToControls() override { UpdateData(false); }
    [[nodiscard]] const RunSettings& Settings() const override { return *this; }
    [[nodiscard]] std::size_t TargetCount() const override;
    [[nodiscard]] std::string TargetItem(std::size_t index) const override;
    void AssignLog(std::string_view text) override { MessageLog.assign(text); }
    void AppendLog(std::string_view text) override { MessageLog.append(text); }
    void ShowMessageBox(std::string_view text, std::string_view caption) override;
    // RunHost: the progress dialog's side.
    void OpenProgress() override;
    void SetProgressRange(std::int32_t low, std::int32_t high) override;
    std::int32_t SetProgressPosition(std::int32_t position) override;
    void SetProgressStatus(std::string_view text) override;
    [[nodiscard]] bool TakeCancelRequest() override;
    void CloseProgress() override;

    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A right-button release on the window's own surface shows the popup menu.
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void DoDataExchange(bool fromControls);
    void OnClose(QCloseEvent* event);

    QPushButton* m_pExitButton = nullptr;        // 1
    QLineEdit* m_pPathBox = nullptr;             // 1024
    QPlainTextEdit* m_pMessageBox = nullptr;     // 1002
    QListView* TargetList = nullptr;             // 1003
    QPushButton* m_pReplaceButton = nullptr;     // 1007
    QPushButton* m_pClearButton = nullptr;       // 1008
    CTargetListModel* m_pTargetModel = nullptr;  // the items behind 1003

    ExchangedText m_pathText;
    ExchangedText m_logText;
    std::unique_ptr<CRunProgressDlg> m_pProgress;
    MessageBoxHandler m_messageBoxHandler;
    bool m_bInitialised = false;
};

}  // namespace kavex::app
