#include "app/CRunProgressDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>
#include <algorithm>
#include <limits>

#include "app/DialogUnits.h"
#include "app/QtText.h"
#include "app/StringResources.h"

namespace kavex::app {
namespace {

// The bar takes each bound cut to its low 16 bits, as the platform's progress control does.
int BarBound(std::int32_t bound) { return static_cast<std::uint16_t>(bound); }

// Wraps like the 32-bit arithmetic the label rule is written in, without overflowing.
std::int32_t Wrap32(std::int64_t value) { return static_cast<std::int32_t>(value); }

}  // namespace

CRunProgressDlg::CRunProgressDlg(int captionString) : QDialog(nullptr) {
    if (captionString != 0) m_nCaptionString = captionString;
    setObjectName(QStringLiteral("CRunProgressDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(186, 79));

    m_pCancelButton = new QPushButton(QStringLiteral(u"ｷｬﾝｾﾙ"), this);
    m_pCancelButton->setObjectName(QStringLiteral("CancelButton"));
    m_pCancelButton->setGeometry(units.Rect(67, 58, 50, 14));
    m_pCancelButton->setDefault(true);
    connect(m_pCancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });

    m_ctlBar = new QProgressBar(this);
    m_ctlBar->setObjectName(QStringLiteral("ProgressBar"));
    m_ctlBar->setGeometry(units.Rect(15, 34, 154, 13));
    m_ctlBar->setTextVisible(false);
    m_ctlBar->setFocusPolicy(Qt::NoFocus);

    m_pPercentLabel = new QLabel(QStringLiteral(" 0 %"), this);
    m_pPercentLabel->setObjectName(QStringLiteral("PercentLabel"));
    m_pPercentLabel->setGeometry(units.Rect(85, 23, 18, 8));

    m_pStatusLine = new QLabel(this);
    m_pStatusLine->setObjectName(QStringLiteral("StatusLine"));
    m_pStatusLine->setGeometry(units.Rect(13, 7, 158, 8));
    m_pStatusLine->setTextFormat(Qt::PlainText);
}

CRunProgressDlg::~CRunProgressDlg() {
    if (m_bOpen) CloseProgress();
    RestoreOwner();
}

bool CRunProgressDlg::OpenProgress(QWidget* owner) {
    m_pOwner = owner != nullptr ? owner->window() : QApplication::activeWindow();
    if (m_pOwner != nullptr && m_pOwner->isEnabled()) {
        m_pOwner->setEnabled(false);
        m_bOwnerDisabled = true;
    }
    // Not a child of the owner, whose disabling would reach it, but a window kept above it.
    winId();
    if (m_pOwner != nullptr && m_pOwner->windowHandle() != nullptr && windowHandle() != nullptr) {
        windowHandle()->setTransientParent(m_pOwner->windowHandle());
        move(m_pOwner->geometry().center() - rect().center());
    }
    OnInitDialog();
    show();
    m_bOpen = true;
    return true;
}

void CRunProgressDlg::OnInitDialog() {
    m_ctlBar->setRange(BarBound(m_nRangeLow), BarBound(m_nRangeHigh));
    m_ctlBar->setValue(m_ctlBar->minimum());
    setWindowTitle(LoadStringResource(m_nCaptionString));
    m_pCancelButton->setFocus();
}

void CRunProgressDlg::SetProgressRange(std::int32_t low, std::int32_t high) {
    m_nRangeLow = low;
    m_nRangeHigh = high;
    m_ctlBar->setRange(BarBound(low), BarBound(high));
}

std::int32_t CRunProgressDlg::SetProgressPosition(std::int32_t position) {
    PumpPendingMessages();
    const int previous = m_ctlBar->value();
    // The bar shows a position outside its range at the nearest end.
    m_ctlBar->setValue(std::clamp(position, m_ctlBar->minimum(), m_ctlBar->maximum()));
    RefreshPercentLabel(position);
    return previous;
}

QString CRunProgressDlg::PercentText(std::int32_t position, std::int32_t low, std::int32_t high) {
    const std::int32_t numerator = Wrap32((static_cast<std::int64_t>(position) - low) * 100);
    const std::int32_t range = Wrap32(static_cast<std::int64_t>(high) - low);
    std::int32_t percent = 0;
    if (range != 0 && !(numerator == std::numeric_limits<std::int32_t>::min() && range == -1)) {
        percent = numerator / range;
    }
    if (percent != 100) percent %= 100;
    return QString::number(percent) + QLatin1Char('%');
}

void CRunProgressDlg::RefreshPercentLabel(std::int32_t position) {
    const QString text = PercentText(position, m_nRangeLow, m_nRangeHigh);
    // Repeated positions with the same percentage cost no repaint.
    if (m_pPercentLabel->text() != text) m_pPercentLabel->setText(text);
}

void CRunProgressDlg::SetProgressStatus(std::string_view text) {
    m_pStatusLine->setText(ToQString(text));
}

bool CRunProgressDlg::TakeCancelRequest() {
    PumpPendingMessages();
    const bool requested = m_bCancelRequested;
    m_bCancelRequested = false;
    return requested;
}

void CRunProgressDlg::CloseProgress() {
    RestoreOwner();
    hide();
    m_bOpen = false;
}

void CRunProgressDlg::RestoreOwner() {
    if (m_bOwnerDisabled && m_pOwner != nullptr) m_pOwner->setEnabled(true);
    m_bOwnerDisabled = false;
}

void CRunProgressDlg::PumpPendingMessages() { QCoreApplication::processEvents(); }

void CRunProgressDlg::accept() { OnOK(); }
void CRunProgressDlg::reject() { OnCancel(); }

void CRunProgressDlg::OnOK() {
    // The dialog cannot be ended by an OK command.
}

void CRunProgressDlg::OnCancel() { m_bCancelRequested = true; }

void CRunProgressDlg::closeEvent(QCloseEvent* event) {
    // Closing the window is a cancel request; the window stays until the run closes it.
    OnCancel();
    event->ignore();
}

}  // namespace kavex::app
