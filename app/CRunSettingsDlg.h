// The run settings dialog that the Replace command shows before a run: which entries, what to
// replace, the extension filter and the two extension lists. A radio member is the index of the
// checked button of its group, or -1 when none is checked; a value outside 0 to 2 shows the group
// with no button checked.
//
//   CRunSettingsDlg dialog;
//   dialog.m_nTargetKind = 2;
//   if (dialog.exec() == QDialog::Accepted) { use dialog.m_nTargetKind ... }
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "app/QtText.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kavex::app {

class CRunSettingsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRunSettingsDlg(QWidget* parent = nullptr);

    std::int32_t m_nTargetKind = -1;   // mirrors m_nES1
    std::int32_t m_nReplaceWhat = -1;  // mirrors m_nES2
    std::int32_t m_nFilterMode = -1;   // mirrors m_nES3
    std::string m_sExcludeExts;        // mirrors m_sES3, box 1001
    std::string m_sIncludeExts;        // mirrors m_sES2, box 1000

    // Into the controls (false) or out of them (true).
    void UpdateData(bool fromControls);

    void accept() override;  // copies the controls into the members, then ends with Accepted

protected:
    void showEvent(QShowEvent* event) override;

private:
    using RadioGroup = std::array<QRadioButton*, 3>;

    void DoDataExchange(bool fromControls);
    static void ExchangeRadioGroup(const RadioGroup& group, std::int32_t& value, bool fromControls);
    QRadioButton* AddRadio(const QString& text, const QString& name, QRect geometry);

    RadioGroup m_targetKind{};
    RadioGroup m_replaceWhat{};
    RadioGroup m_filterMode{};
    QLineEdit* m_pIncludeEdit = nullptr;  // 1000
    QLineEdit* m_pExcludeEdit = nullptr;  // 1001
    QPushButton* m_pExecuteButton = nullptr;
    ExchangedText m_excludeText;
    ExchangedText m_includeText;
};

}  // namespace kavex::app
