// The system's own texts (messages, captions, log lines, status lines), written once here in UTF-8
// and handed out as bytes of a code page: Shift_JIS under code page 932, UTF-8 under UTF-8.
//
//   const kavex::SystemTexts texts(kavex::platform::ProcessCodePage());
//   host.AppendLog(texts.Line(texts.noMatch));
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace kavex {

struct SystemTexts {
    explicit SystemTexts(const platform::CodePage& codePage);

    // Message boxes.
    std::string captionLevel1;         // "Error Lv.01"
    std::string captionError;          // "エラー"
    std::string definitionReadFailed;  // "定義ファイルの読み込みに失敗しました。"
    std::string tooManyDefinitions;  // "置換定義数が９９９９個を超えています！"
    std::string tooManyTargets;      // "ファイル数が９９９９個を超えています！"
    std::string writeFailedBefore;   // text of the stop on a file error, before the path
    std::string restoredNote;        // after the path: the file has its old bytes again
    std::string notRestoredNote;     // after the path: the old bytes could not be put back
    std::string journalFailed;       // text of the stop when a file's old bytes cannot be kept
    std::string journalKeptNote;     // after notRestoredNote: where the old bytes wait, then a path

    // The report of a recovery at start: files given their old bytes back, entries kept.
    std::string captionRecovery;   // "置換の復元"
    std::string recoveryRestored;  // before the restored paths
    std::string recoveryKept;      // before the kept entries
    std::string recoveryEntry;     // before the path of a kept entry
    std::string recoveryReason;    // before the reason it was kept
    std::string keptDamaged;
    std::string keptFileReplaced;
    std::string keptFileChanged;
    std::string keptFileBusy;
    std::string keptWriteFailed;

    // Status lines.
    std::string statusPreparing;  // "置換の計算＆準備中・・・"
    std::string statusData;       // "データの置換中・・・"

    // Log lines.
    std::string logStart;         // "------------------開始------------------"
    std::string logTotal;         // "トータル："
    std::string logDepthRange;    // "階層範囲："
    std::string logDataHeader;    // "-----------結果：データの置換-----------"
    std::string logNameHeader;    // "---------結果：ファイル名の置換---------"
    std::string readOpenFailed;   // "]：オープン(読み込み時)に失敗"
    std::string writeOpenFailed;  // "]：オープン(書き込み時)に失敗"
    std::string noMatch;          // "]：該当文字列なし。"
    std::string countBefore;      // "]："
    std::string countAfter;       // "個の文字列を置換"
    std::string unchanged;        // "]：変化なし"
    std::string renameFailed;     // "]：ミス"

    // "【" N "】行目に定義エラーがあります。"
    [[nodiscard]] std::string DefinitionError(std::int64_t line) const;
    // "データの置換中　File:%d/%d Size:%d/%dB"
    [[nodiscard]] std::string DataStatus(std::int64_t index, std::int64_t count, std::int64_t done,
                                         std::int64_t total) const;
    // "名前の置換中(%d/%d)"
    [[nodiscard]] std::string NameStatus(std::int64_t index, std::int64_t count) const;

private:
    std::string m_sDefinitionErrorBefore;
    std::string m_sDefinitionErrorAfter;
    std::string m_sDataStatus;
    std::string m_sNameStatus;
};

// CR LF, the bytes that begin every appended log line.
inline constexpr std::string_view kLineBreak = "\r\n";

}  // namespace kavex
