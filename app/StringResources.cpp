#include "app/StringResources.h"

namespace kavex::app {

QString LoadStringResource(int number) {
    switch (number) {
        case 100:
            return QStringLiteral(
                u"OLE の初期化に失敗しました。 OLE "
                u"ﾗｲﾌﾞﾗﾘのﾊﾞｰｼﾞｮﾝが正しいことを確認してください。");
        case 101:
            return QStringLiteral(u"Torvane のﾊﾞｰｼﾞｮﾝ情報(&A)...");
        case 104:
            return QStringLiteral(u"進行状況");
        default:
            return {};
    }
}

}  // namespace kavex::app
