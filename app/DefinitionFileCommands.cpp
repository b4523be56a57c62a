// The main window's definition-file commands: "開く(&O)", "編集(&E)", "名前を付けて保存(&S)",
// "デフォルト(&D)", and the start-up default of the definition path. None of them refreshes the
// Replace button: it keeps its state until the next drop, Clear or selection change.
#include "app/CKavexDlg.h"
#include "app/DefaultDefinition.h"
#include "app/DesktopOpener.h"
#include "app/FileDialogs.h"
#include "engine/PathHelpers.h"

namespace kavex::app {

void CKavexDlg::EnsureDefaultDefinition() {
    // A stored path is kept even when its file is missing; a later run reports that.
    if (!m_sPath.empty()) return;
    const std::string path = DefaultDefinitionPath();
    CreateDefinitionFileIfMissing(path);
    m_sPath = path;
}

void CKavexDlg::OnOpenDefinition() {
    // The dialog starts with no name, so every confirmed choice is taken, also the current one.
    std::string path;
    if (!PromptOpenPath(this, path, kDefinitionFileFilter)) return;
    m_sPath = path;
    UpdateData(false);
}

void CKavexDlg::OnEditDefinition() {
    UpdateData(true);  // a path typed into the box is the one opened
    DesktopOpener::Open(FileAddress(m_sPath));
}

void CKavexDlg::OnSaveDefinitionAs() {
    std::string path;
    if (!PromptSavePath(this, path, kDefinitionFileFilter, "txt")) return;
    // The copy's source is m_sPath as last exchanged, not what was typed into the box since then.
    // A failed copy is not reported: a later run reports a missing definition file.
    (void)CopyFileReplacing(m_sPath, path);
    m_sPath = path;
    UpdateData(false);
}

void CKavexDlg::OnDefaultDefinition() {
    // Only the start creates the default file; this names it, present or not.
    m_sPath = DefaultDefinitionPath();
    UpdateData(false);
}

}  // namespace kavex::app
