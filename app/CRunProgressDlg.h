// The progress display of a run in window form: a status line, a bar, a percent label and Cancel.
// It keeps its owner window disabled while it is open and lets the run, which has no thread of its
// own, keep every window alive by processing the thread's pending events whenever the bar moves or
// the run asks for a cancel request.
//
//   CRunProgressDlg progress;            // caption string 104, "進行状況"
//   progress.OpenProgress(mainWindow);   // disables mainWindow until closed or destroyed
//   progress.SetProgressRange(0, 100);
//   progress.SetProgressPosition(42);    // label "42%"
//   if (progress.TakeCancelRequest()) { ... }
#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <string_view>

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kavex::app {

class CRunProgressDlg : public QDialog {
    Q_OBJECT

public:
    // `captionString` is a string-table number; 0 means 104.
    explicit CRunProgressDlg(int captionString = 0);
    ~CRunProgressDlg() override;
    CRunProgressDlg(const CRunProgressDlg&) = delete;
    CRunProgressDlg& operator=(const CRunProgressDlg&) = delete;

    // Shows the window owned by `owner` (its top-level window; none: the active window), and
    // disables the owner if it was enabled. True when the window is shown.
    bool OpenProgress(QWidget* owner);
    void SetProgressRange(std::int32_t low, std::int32_t high);
    // Processes pending events, moves the bar and refreshes the label; returns the previous
    // position.
    std::int32_t SetProgressPosition(std::int32_t position);
    void SetProgressStatus(std::string_view text);
    // Processes pending events, then reports and clears the latched cancel request.
    [[nodiscard]] bool TakeCancelRequest();
    // Enables the owner again, then hides the window.
    void CloseProgress();

    // The label's text for a position: the percentage of the range, 100 for 100 and otherwise its
    // remainder by 100 (150 gives 50, 200 gives 0, -5 gives -5), followed by '%'.
    [[nodiscard]] static QString PercentText(std::int32_t position, std::int32_t low,
                                             std::int32_t high);

    [[nodiscard]] bool IsOpen() const { return m_bOpen; }

    void accept() override;  // OnOK
    void reject() override;  // OnCancel

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnInitDialog();
    void OnOK();
    void OnCancel();
    void RefreshPercentLabel(std::int32_t position);
    void PumpPendingMessages();
    void RestoreOwner();

    QProgressBar* m_ctlBar = nullptr;
    QLabel* m_pPercentLabel = nullptr;
    QLabel* m_pStatusLine = nullptr;
    QPushButton* m_pCancelButton = nullptr;
    QPointer<QWidget> m_pOwner;

    int m_nCaptionString = 104;
    std::int32_t m_nRangeLow = 0;
    std::int32_t m_nRangeHigh = 100;
    bool m_bCancelRequested = false;
    bool m_bOwnerDisabled = false;
    bool m_bOpen = false;
};

}  // namespace kavex::app
