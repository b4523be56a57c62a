#include "engine/SystemTexts.h"

namespace kavex {

SystemTexts::SystemTexts(const platform::CodePage& codePage) {
    const auto text = [&codePage](std::string_view utf8) {
        return platform::FromUtf8(utf8, codePage);
    };
    captionLevel1 = "Error Lv.01";
    captionError = text("エラー");
    definitionReadFailed = text("定義ファイルの読み込みに失敗しました。");
    tooManyDefinitions = text("置換定義数が９９９９個を超えています！");
    tooManyTargets = text("ファイル数が９９９９個を超えています！");
    writeFailedBefore = text("ファイルの書き込みに失敗したため、置換を中止しました。\r\n");
    restoredNote = text("\r\nファイルは元の内容に戻しました。");
    notRestoredNote = text("\r\nファイルを元の内容に戻せませんでした。");
    journalFailed = text("ファイルの元の内容を保存できないため、置換を中止しました。\r\n");
    journalKeptNote =
        text("\r\n元の内容は次のファイルに保存してあり、次回の起動時に戻します。\r\n");
    captionRecovery = text("置換の復元");
    recoveryRestored =
        text("前回の置換が途中で中断されていたため、次のファイルを元の内容に戻しました。");
    recoveryKept =
        text("次のファイルは元の内容に戻せませんでした。元の内容は記録ファイルに残してあります。");
    recoveryEntry = text("　記録ファイル：");
    recoveryReason = text("　理由：");
    keptDamaged = text("記録ファイルが壊れています");
    keptFileReplaced = text("ファイルが削除されたか、別のファイルに置き換えられています");
    keptFileChanged = text("ファイルがその後変更されています");
    keptFileBusy = text("ファイルが他のプログラムで使用中です");
    keptWriteFailed = text("ファイルの書き込みに失敗しました");
    statusPreparing = text("置換の計算＆準備中・・・");
    statusData = text("データの置換中・・・");
    logStart = text("------------------開始------------------");
    logTotal = text("トータル：");
    logDepthRange = text("階層範囲：");
    logDataHeader = text("-----------結果：データの置換-----------");
    logNameHeader = text("---------結果：ファイル名の置換---------");
    readOpenFailed = text("]：オープン(読み込み時)に失敗");
    writeOpenFailed = text("]：オープン(書き込み時)に失敗");
    noMatch = text("]：該当文字列なし。");
    countBefore = text("]：");
    countAfter = text("個の文字列を置換");
    unchanged = text("]：変化なし");
    renameFailed = text("]：ミス");
    m_sDefinitionErrorBefore = text("【");
    m_sDefinitionErrorAfter = text("】行目に定義エラーがあります。");
    m_sDataStatus = text("データの置換中　File:");
    m_sNameStatus = text("名前の置換中(");
}

std::string SystemTexts::DefinitionError(std::int64_t line) const {
    return m_sDefinitionErrorBefore + std::to_string(line) + m_sDefinitionErrorAfter;
}

std::string SystemTexts::DataStatus(std::int64_t index, std::int64_t count, std::int64_t done,
                                    std::int64_t total) const {
    return m_sDataStatus + std::to_string(index) + "/" + std::to_string(count) +
           " Size:" + std::to_string(done) + "/" + std::to_string(total) + "B";
}

std::string SystemTexts::NameStatus(std::int64_t index, std::int64_t count) const {
    return m_sNameStatus + std::to_string(index) + "/" + std::to_string(count) + ")";
}

}  // namespace kavex
