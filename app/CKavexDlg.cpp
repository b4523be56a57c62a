#include "app/CKavexDlg.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <optional>

#include "app/CRunProgressDlg.h"
#include "app/CRunSettingsDlg.h"
#include "app/CTargetListModel.h"
#include "app/DialogUnits.h"
#include "app/ProgramIcon.h"
#include "app/RunSettingsStore.h"
#include "engine/PathHelpers.h"
#include "engine/Run.h"
#include "engine/TargetList.h"

namespace kavex::app {
namespace {

// Every row of the list has one size (so a list of 100,000 rows lays out without measuring each),
// wide enough for the widest item, so the horizontal scroll bar reaches the end of every path.
class CTargetItemDelegate : public QStyledItemDelegate {
public:
    CTargetItemDelegate(const CTargetListModel& model, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const int margins = 2 * option.fontMetrics.horizontalAdvance(QLatin1Char(' '));
        size.setWidth(std::max(size.width(), m_model.WidestItemWidth(option.font) + margins));
        return size;
    }

private:
    const CTargetListModel& m_model;
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        bytes.push_back(text[i]);
    }
    return bytes;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

// The local path of one "file:" line of a text/uri-list, as raw bytes (the names' bytes are
// percent-encoded in the list, whatever their encoding); nothing for another scheme or host.
std::optional<std::string> LocalPathOfUri(std::string_view uri) {
    if (!StartsWithNoCase(uri, "file:")) return std::nullopt;
    std::string_view rest = uri.substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !StartsWithNoCase(host, "localhost")) return std::nullopt;
        if (slash == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(slash);
    }
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string path = PercentDecoded(rest);
    // file:///C:/dir names C:/dir.
    if (path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) &&
        path[2] == ':') {
        path.erase(0, 1);
    }
    if (path.empty()) return std::nullopt;
    return path;
}

}  // namespace

std::vector<std::string> DroppedPaths(const QMimeData& mime) {
    std::vector<std::string> paths;
    const QString uriList = QStringLiteral("text/uri-list");
    if (mime.hasFormat(uriList)) {
        const QByteArray list = mime.data(uriList);
        for (QByteArray line : list.split('\n')) {
            line = line.trimmed();
            if (line.isEmpty() || line.startsWith('#')) continue;
            if (auto path = LocalPathOfUri(
                    std::string_view(line.constData(), static_cast<std::size_t>(line.size())))) {
                paths.push_back(std::move(*path));
            }
        }
        return paths;
    }
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile()) paths.push_back(FromQString(url.toLocalFile()));
    }
    return paths;
}

CKavexDlg::CKavexDlg(QWidget* parent) : QDialog(parent) {
    static_cast<RunSettings&>(*this) = LoadRunSettings(*OpenSettingsStore());
    CreateControls();
}

CKavexDlg::~CKavexDlg() {
    m_pProgress.reset();
    StoreRunSettings(*OpenSettingsStore(), *this);
}

void CKavexDlg::CreateControls() {
    setObjectName(QStringLiteral("CKavexDlg"));
    setWindowTitle(QStringLiteral("Torvane Version2.10"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAcceptDrops(true);
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(271, 263));

    const auto button = [this](const QString& text, const QString& name, QRect geometry) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        pushButton->setGeometry(geometry);
        return pushButton;
    };
    // In the order of the tab chain.
    m_pExitButton =
        button(QStringLiteral(u"終了"), QStringLiteral("ExitButton"), units.Rect(211, 241, 50, 14));
    m_pExitButton->setDefault(true);
    connect(m_pExitButton, &QPushButton::clicked, this, [this] { OnOK(); });

    m_pPathBox = new QLineEdit(this);
    m_pPathBox->setObjectName(QStringLiteral("DefinitionPath"));
    m_pPathBox->setGeometry(units.Rect(4, 11, 228, 14));

    m_pMessageBox = new QPlainTextEdit(this);
    m_pMessageBox->setObjectName(QStringLiteral("MessageLog"));
    m_pMessageBox->setGeometry(units.Rect(6, 187, 198, 68));
    m_pMessageBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pMessageBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pMessageBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pMessageBox->setTabChangesFocus(true);

    m_pTargetModel = new CTargetListModel(this);
    TargetList = new QListView(this);
    TargetList->setObjectName(QStringLiteral("TargetList"));
    TargetList->setGeometry(units.Rect(6, 60, 255, 110));
    TargetList->setUniformItemSizes(true);
    TargetList->setItemDelegate(new CTargetItemDelegate(*m_pTargetModel, TargetList));
    TargetList->setModel(m_pTargetModel);
    TargetList->setSelectionMode(QAbstractItemView::MultiSelection);
    TargetList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TargetList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TargetList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TargetList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(TargetList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { RefreshReplaceButton(); });

    auto* targetLabel = new QLabel(QStringLiteral(u"置換対象ファイル（ドラッグ＆ドロップ）"), this);
    targetLabel->setObjectName(QStringLiteral("TargetLabel"));
    targetLabel->setGeometry(units.Rect(7, 49, 114, 8));
    auto* messageLabel = new QLabel(QStringLiteral(u"Message："), this);
    messageLabel->setObjectName(QStringLiteral("MessageLabel"));
    messageLabel->setGeometry(units.Rect(6, 176, 83, 8));
    KeepTextWhole(*targetLabel);
    KeepTextWhole(*messageLabel);

    m_pReplaceButton = button(QStringLiteral(u"置換"), QStringLiteral("ReplaceButton"),
                              units.Rect(211, 226, 50, 14));
    connect(m_pReplaceButton, &QPushButton::clicked, this, [this] { OnReplace(); });
    m_pClearButton = button(QStringLiteral(u"クリア"), QStringLiteral("ClearButton"),
                            units.Rect(211, 171, 50, 14));
    connect(m_pClearButton, &QPushButton::clicked, this, [this] { OnClear(); });

    auto* group = new QGroupBox(QStringLiteral(u"置換定義ファイル"), this);
    group->setObjectName(QStringLiteral("DefinitionGroup"));
    group->setGeometry(units.Rect(0, 0, 270, 46));
    group->lower();  // the frame goes behind the controls it frames

    connect(button(QStringLiteral(u"開く(&O)"), QStringLiteral("OpenButton"),
                   units.Rect(233, 11, 34, 14)),
            &QPushButton::clicked, this, [this] { OnOpenDefinition(); });
    connect(button(QStringLiteral(u"編集(&E)"), QStringLiteral("EditButton"),
                   units.Rect(217, 28, 50, 14)),
            &QPushButton::clicked, this, [this] { OnEditDefinition(); });
    connect(button(QStringLiteral(u"名前を付けて保存(&S)"), QStringLiteral("SaveAsButton"),
                   units.Rect(144, 28, 71, 14)),
            &QPushButton::clicked, this, [this] { OnSaveDefinitionAs(); });
    connect(button(QStringLiteral(u"デフォルト(&D)"), QStringLiteral("DefaultButton"),
                   units.Rect(4, 27, 50, 14)),
            &QPushButton::clicked, this, [this] { OnDefaultDefinition(); });

    // Drops on the boxes and the list are drops on the window, not text for the boxes.
    m_pPathBox->setAcceptDrops(false);
    m_pMessageBox->setAcceptDrops(false);
    TargetList->setAcceptDrops(false);
    TargetList->viewport()->setAcceptDrops(false);
}

void CKavexDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised) {
        m_bInitialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CKavexDlg::OnInitDialog() {
    UpdateData(false);
    // The desktop owns the window menu and takes no entry of ours there: the information dialog
    // is reached through the popup menu.
    setWindowIcon(ProgramIcon());
    EnsureDefaultDefinition();
    UpdateData(false);
    RefreshReplaceButton();
    m_pExitButton->setFocus();
}

bool CKavexDlg::UpdateData(bool fromControls) {
    DoDataExchange(fromControls);
    return true;
}

void CKavexDlg::DoDataExchange(bool fromControls) {
    if (fromControls) {
        MessageLog = m_logText.Take(m_pMessageBox->toPlainText(), true);
        m_sPath = m_pathText.Take(m_pPathBox->text());
    } else {
        m_pMessageBox->setPlainText(m_logText.Show(MessageLog, true));
        m_pPathBox->setText(m_pathText.Show(m_sPath));
    }
}

void CKavexDlg::RefreshReplaceButton() {
    UpdateData(true);
    const std::size_t count = m_pTargetModel->Count();
    m_pReplaceButton->setEnabled(FileExists(m_sPath) && count > 0);
}

void CKavexDlg::AddFolderContents(const std::string& folder) {
    std::vector<std::string> contents;
    kavex::AppendFolderContents(folder, contents);
    m_pTargetModel->AddPaths(std::move(contents));
}

void CKavexDlg::OnDropFiles(const std::vector<std::string>& paths) {
    // One batch: the list sorts the whole drop once.
    m_pTargetModel->AddPaths(ExpandDroppedPaths(paths));
    RefreshReplaceButton();
}

void CKavexDlg::OnClear() {
    m_pTargetModel->Clear();
    RefreshReplaceButton();
    MessageLog.clear();
    UpdateData(false);
}

void CKavexDlg::OnReplace() {
    CRunSettingsDlg dialog(this);
    dialog.m_nTargetKind = m_nES1;
    dialog.m_nReplaceWhat = m_nES2;
    dialog.m_nFilterMode = m_nES3;
    dialog.m_sIncludeExts = m_sES2;
    dialog.m_sExcludeExts = m_sES3;
    if (dialog.exec() != QDialog::Accepted) return;
    m_nES1 = dialog.m_nTargetKind;
    m_nES2 = dialog.m_nReplaceWhat;
    m_nES3 = dialog.m_nFilterMode;
    m_sES2 = dialog.m_sIncludeExts;
    m_sES3 = dialog.m_sExcludeExts;
    // The run reports everything itself: its log, and message boxes for what stopped it.
    (void)RunReplacement(*this);
}

bool CKavexDlg::AllowClose() {
    // No other program can hold this window open (there is no automation object on this
    // platform), so every way of closing closes it.
    return true;
}

void CKavexDlg::OnOK() {
    if (!AllowClose()) return;
    UpdateData(true);
    QDialog::accept();
}

void CKavexDlg::OnCancel() {
    if (!AllowClose()) return;
    QDialog::reject();
}

void CKavexDlg::closeEvent(QCloseEvent* event) { OnClose(event); }

void CKavexDlg::OnClose(QCloseEvent* event) {
    // While a run holds the window disabled, a close request from the desktop waits for its end.
    if (!isEnabled() || !AllowClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);  // turns the request into Cancel
}

void CKavexDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedPaths(*event->mimeData()).empty()) event->acceptProposedAction();
}

void CKavexDlg::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void CKavexDlg::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = DroppedPaths(*event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    OnDropFiles(paths);
}

const std::vector<std::string>& CKavexDlg::TargetItems() const { return m_pTargetModel->Items(); }

std::size_t CKavexDlg::TargetCount() const { return m_pTargetModel->Count(); }

std::string CKavexDlg::TargetItem(std::size_t index) const { return m_pTargetModel->Item(index); }

void CKavexDlg::ShowMessageBox(std::string_view text, std::string_view caption) {
    const QString shownText = ToMultiLineText(text);
    const QString shownCaption = ToQString(caption);
    if (m_messageBoxHandler) {
        m_messageBoxHandler(shownText, shownCaption);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, shownCaption, shownText, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void CKavexDlg::OpenProgress() {
    m_pProgress = std::make_unique<CRunProgressDlg>();
    m_pProgress->OpenProgress(this);
}

void CKavexDlg::SetProgressRange(std::int32_t low, std::int32_t high) {
    if (m_pProgress) m_pProgress->SetProgressRange(low, high);
}

std::int32_t CKavexDlg::SetProgressPosition(std::int32_t position) {
    return m_pProgress ? m_pProgress->SetProgressPosition(position) : 0;
}

void CKavexDlg::SetProgressStatus(std::string_view text) {
    if (m_pProgress) m_pProgress->SetProgressStatus(text);
}

bool CKavexDlg::TakeCancelRequest() { return m_pProgress && m_pProgress->TakeCancelRequest(); }

void CKavexDlg::CloseProgress() { m_pProgress.reset(); }

}  // namespace kavex::app
