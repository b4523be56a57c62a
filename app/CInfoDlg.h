// The information dialog: the program icon, the product line, the version and five pages of text
// about the program and its author, paged with "＞＞" and "＜＜". Every opening starts at page 2.
//
//   CInfoDlg dialog(this);
//   dialog.exec();
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;
class QPlainTextEdit;

namespace kavex::app {

class CInfoDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr std::int32_t kPageCount = 5;

    explicit CInfoDlg(QWidget* parent = nullptr);

    // The text of a page, 0 to 4, its lines separated by CR LF.
    [[nodiscard]] static QString PageText(std::int32_t page);

    // The page shown, 0 to 4. The texts are the dialog's own and never leave the window, so they
    // are held as the controls show them.
    std::int32_t m_nPage = 0;
    QString m_sVersion;
    QString m_sPageText;

    void OnNextPage();  // "＞＞": 2, 3, 4, 0, 1, 2
    void OnPrevPage();  // "＜＜": 2, 1, 0, 4, 3, 2
    void ShowPage();

    void accept() override;  // "閉じる": takes the boxes' texts back, then ends the dialog

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void OnInitDialog();
    void DoDataExchange(bool fromControls);

    QLineEdit* m_pVersionBox = nullptr;    // 1000
    QPlainTextEdit* m_pPageBox = nullptr;  // 1001
    bool m_bInitialised = false;
};

}  // namespace kavex::app
