#include "app/CInfoDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/AuthorLinks.h"
#include "app/DialogUnits.h"
#include "app/ProgramIcon.h"

namespace kavex::app {
namespace {

QString Lines(std::initializer_list<QString> lines) {
    return QStringList(lines).join(QStringLiteral("\r\n"));
}

}  // namespace

CInfoDlg::CInfoDlg(QWidget* parent) : QDialog(parent) { CreateControls(); }

QString CInfoDlg::PageText(std::int32_t page) {
    const QString mail = QString::fromUtf8(kAuthorMailAddress);
    const QString support = QString::fromUtf8(kSupportPageAddress);
    switch (page) {
        case 0:
            return QStringLiteral(
                u"最後に、本ソフトの作製の力になってくださったすべての方に感謝します・・・");
        case 1:
            return QStringLiteral(
                u"バグ\r\n何らかの障害が出た場合、当方は一切責任は負いませんができることなら･･･\r\n"
                u"\r\n機能追加\r\n追加・変更したほうがいい機能、設定で変更できるようにして欲しいこ"
                u"と"
                u"など\r\n操作性\r\nここはダブルクリックではなくシングルクリックで!とか");
        case 2:
            return Lines({QStringLiteral(u"Torvane はフリーソフトです。"),
                          QStringLiteral(u"バグ・機能追加・操作性、何でもお気軽にメールください!"),
                          QString(), QStringLiteral("e-mail"), mail, QStringLiteral("URL"),
                          support});
        case 3:
            return Lines({QString::fromUtf8(kAuthorName), QStringLiteral(u"ホームページ"),
                          QString::fromUtf8(kAuthorPageAddress),
                          QStringLiteral(u"Torvaneサポートページ"), support,
                          QStringLiteral(u"電子メール"), mail});
        case 4:
            return QStringLiteral("-=<[Your Status]>=-");
        default:
            return {};
    }
}

void CInfoDlg::CreateControls() {
    setObjectName(QStringLiteral("CInfoDlg"));
    setWindowTitle(QStringLiteral(u"Kavexのﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(ProgramIcon());
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(218, 171));

    // The frame first, so that what it frames is drawn above it.
    auto* frame = new QGroupBox(this);
    frame->setGeometry(units.Rect(30, 0, 155, 47));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(units.Rect(36, 11, 19, 23));
    icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));

    auto* closeButton = new QPushButton(QStringLiteral(u"閉じる"), this);
    closeButton->setObjectName(QStringLiteral("CloseButton"));
    closeButton->setGeometry(units.Rect(58, 150, 101, 14));
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &CInfoDlg::accept);

    auto* product = new QLabel(QStringLiteral("Torvane for Windows"), this);
    product->setGeometry(units.Rect(61, 11, 112, 8));
    KeepTextWhole(*product);

    m_pVersionBox = new QLineEdit(this);
    m_pVersionBox->setObjectName(QStringLiteral("VersionBox"));
    m_pVersionBox->setGeometry(units.Rect(102, 19, 40, 12));
    m_pVersionBox->setReadOnly(true);
    m_pVersionBox->setFrame(false);
    QPalette plain = m_pVersionBox->palette();  // a read-only text on the dialog's own background
    plain.setColor(QPalette::Base, plain.color(QPalette::Window));
    m_pVersionBox->setPalette(plain);

    auto* notice = new QLabel(QString::fromUtf8(kNoticeLine), this);
    notice->setObjectName(QStringLiteral("NoticeLine"));
    notice->setGeometry(units.Rect(91, 33, 86, 8));
    KeepTextWhole(*notice);

    auto* infoLabel = new QLabel(QStringLiteral(u"情報："), this);
    infoLabel->setGeometry(units.Rect(7, 55, 18, 8));
    KeepTextWhole(*infoLabel);

    m_pPageBox = new QPlainTextEdit(this);
    m_pPageBox->setObjectName(QStringLiteral("PageBox"));
    m_pPageBox->setGeometry(units.Rect(7, 66, 204, 81));
    m_pPageBox->setReadOnly(true);
    m_pPageBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pPageBox->setLineWidth(2);
    m_pPageBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_pPageBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pPageBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pPageBox->setTabChangesFocus(true);

    auto* nextButton = new QPushButton(QStringLiteral(u"＞＞"), this);
    nextButton->setObjectName(QStringLiteral("NextPageButton"));
    nextButton->setGeometry(units.Rect(161, 150, 50, 14));
    nextButton->setAutoDefault(false);
    connect(nextButton, &QPushButton::clicked, this, [this] { OnNextPage(); });

    auto* prevButton = new QPushButton(QStringLiteral(u"＜＜"), this);
    prevButton->setObjectName(QStringLiteral("PrevPageButton"));
    prevButton->setGeometry(units.Rect(7, 150, 50, 14));
    prevButton->setAutoDefault(false);
    connect(prevButton, &QPushButton::clicked, this, [this] { OnPrevPage(); });

    setTabOrder(closeButton, m_pVersionBox);
    setTabOrder(m_pVersionBox, m_pPageBox);
    setTabOrder(m_pPageBox, nextButton);
    setTabOrder(nextButton, prevButton);
}

void CInfoDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CInfoDlg::OnInitDialog() {
    DoDataExchange(false);
    m_nPage = 2;
    m_sVersion = QStringLiteral("Version2.00");
    ShowPage();
    if (auto* closeButton = findChild<QPushButton*>(QStringLiteral("CloseButton"))) {
        closeButton->setFocus();
    }
}

void CInfoDlg::ShowPage() {
    m_sPageText = PageText(m_nPage);
    DoDataExchange(false);
}

void CInfoDlg::OnNextPage() {
    m_nPage += 1;
    if (m_nPage > kPageCount - 1) m_nPage = 0;
    ShowPage();
}

void CInfoDlg::OnPrevPage() {
    m_nPage -= 1;
    if (m_nPage < 0) m_nPage = kPageCount - 1;
    ShowPage();
}

void CInfoDlg::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CInfoDlg::DoDataExchange(bool fromControls) {
    if (fromControls) {
        m_sVersion = m_pVersionBox->text();
        m_sPageText = m_pPageBox->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    } else {
        m_pVersionBox->setText(m_sVersion);
        // The box keeps its lines apart by LF.
        m_pPageBox->setPlainText(
            QString(m_sPageText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

}  // namespace kavex::app
