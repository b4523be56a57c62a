#include "app/CRunSettingsDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/DialogUnits.h"
#include "app/QtText.h"

namespace kavex::app {

CRunSettingsDlg::CRunSettingsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CRunSettingsDlg"));
    setWindowTitle(QStringLiteral(u"設定"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(187, 137));

    // Frames first, so the controls they frame are drawn above them.
    const auto frame = [this](const QString& text, QRect geometry) {
        auto* box = new QGroupBox(text, this);
        box->setGeometry(geometry);
        return box;
    };
    frame(QStringLiteral(u"対象文字列"), units.Rect(7, 60, 59, 49));
    frame(QStringLiteral(u"対象"), units.Rect(7, 7, 59, 48));
    frame(QStringLiteral(u"ファイル詳細(拡張子)"), units.Rect(69, 7, 111, 102));

    m_pExecuteButton = new QPushButton(QStringLiteral(u"上記設定で実行"), this);
    m_pExecuteButton->setObjectName(QStringLiteral("ExecuteButton"));
    m_pExecuteButton->setGeometry(units.Rect(7, 116, 123, 14));
    m_pExecuteButton->setDefault(true);
    connect(m_pExecuteButton, &QPushButton::clicked, this, &CRunSettingsDlg::accept);

    auto* cancelButton = new QPushButton(QStringLiteral(u"ｷｬﾝｾﾙ"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    cancelButton->setGeometry(units.Rect(130, 116, 50, 14));
    connect(cancelButton, &QPushButton::clicked, this, &CRunSettingsDlg::reject);

    const QString all = QStringLiteral(u"すべて");
    m_targetKind = {AddRadio(all, QStringLiteral("TargetKind0"), units.Rect(13, 18, 36, 10)),
                    AddRadio(QStringLiteral(u"ファイル"), QStringLiteral("TargetKind1"),
                             units.Rect(13, 29, 48, 10)),
                    AddRadio(QStringLiteral(u"フォルダ"), QStringLiteral("TargetKind2"),
                             units.Rect(13, 41, 48, 10))};
    m_replaceWhat = {AddRadio(all, QStringLiteral("ReplaceWhat0"), units.Rect(13, 70, 36, 10)),
                     AddRadio(QStringLiteral(u"名前"), QStringLiteral("ReplaceWhat1"),
                              units.Rect(13, 82, 30, 10)),
                     AddRadio(QStringLiteral(u"データ"), QStringLiteral("ReplaceWhat2"),
                              units.Rect(13, 95, 35, 10))};
    QRadioButton* filterAll =
        AddRadio(all, QStringLiteral("FilterMode0"), units.Rect(74, 17, 36, 10));
    QRadioButton* filterInclude =
        AddRadio(QStringLiteral(u"選択したものだけ"), QStringLiteral("FilterMode1"),
                 units.Rect(74, 31, 66, 10));
    m_pIncludeEdit = new QLineEdit(this);
    m_pIncludeEdit->setObjectName(QStringLiteral("IncludeExts"));
    m_pIncludeEdit->setGeometry(units.Rect(85, 43, 88, 14));
    QRadioButton* filterExclude = AddRadio(
        QStringLiteral(u"次のもの以外"), QStringLiteral("FilterMode2"), units.Rect(75, 64, 56, 10));
    m_pExcludeEdit = new QLineEdit(this);
    m_pExcludeEdit->setObjectName(QStringLiteral("ExcludeExts"));
    m_pExcludeEdit->setGeometry(units.Rect(85, 75, 88, 14));
    m_filterMode = {filterAll, filterInclude, filterExclude};

    auto* example = new QLabel(QStringLiteral(u"例：jpg,zip,gif"), this);
    example->setGeometry(units.Rect(119, 96, 53, 8));
    KeepTextWhole(*example);

    // The keyboard reaches the two command buttons and the two edit boxes.
    setTabOrder(m_pExecuteButton, cancelButton);
    setTabOrder(cancelButton, m_pIncludeEdit);
    setTabOrder(m_pIncludeEdit, m_pExcludeEdit);
}

QRadioButton* CRunSettingsDlg::AddRadio(const QString& text, const QString& name, QRect geometry) {
    auto* radio = new QRadioButton(text, this);
    radio->setObjectName(name);
    radio->setGeometry(geometry);
    KeepTextWhole(*radio);
    // Not a tab stop; grouping is by the three arrays, not by the parent widget.
    radio->setFocusPolicy(Qt::ClickFocus);
    radio->setAutoExclusive(false);
    connect(radio, &QRadioButton::clicked, this, [this, radio] {
        for (const RadioGroup* group : {&m_targetKind, &m_replaceWhat, &m_filterMode}) {
            if (std::find(group->begin(), group->end(), radio) == group->end()) continue;
            for (QRadioButton* other : *group) other->setChecked(other == radio);
        }
    });
    return radio;
}

void CRunSettingsDlg::showEvent(QShowEvent* event) {
    // The dialog's initialisation: the members go into the controls.
    UpdateData(false);
    m_pExecuteButton->setFocus();
    QDialog::showEvent(event);
}

void CRunSettingsDlg::UpdateData(bool fromControls) { DoDataExchange(fromControls); }

void CRunSettingsDlg::DoDataExchange(bool fromControls) {
    ExchangeRadioGroup(m_targetKind, m_nTargetKind, fromControls);
    ExchangeRadioGroup(m_replaceWhat, m_nReplaceWhat, fromControls);
    ExchangeRadioGroup(m_filterMode, m_nFilterMode, fromControls);
    if (fromControls) {
        m_sExcludeExts = m_excludeText.Take(m_pExcludeEdit->text());
        m_sIncludeExts = m_includeText.Take(m_pIncludeEdit->text());
    } else {
        m_pExcludeEdit->setText(m_excludeText.Show(m_sExcludeExts));
        m_pIncludeEdit->setText(m_includeText.Show(m_sIncludeExts));
    }
}

void CRunSettingsDlg::ExchangeRadioGroup(const RadioGroup& group, std::int32_t& value,
                                         bool fromControls) {
    if (fromControls) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked()) value = static_cast<std::int32_t>(i);
        }
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        group[i]->setChecked(static_cast<std::int32_t>(i) == value);
    }
}

void CRunSettingsDlg::accept() {
    UpdateData(true);
    QDialog::accept();
}

}  // namespace kavex::app
