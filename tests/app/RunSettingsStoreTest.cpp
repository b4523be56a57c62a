#include <QFile>

#include "AppFixture.h"
#include "app/CKavexDlg.h"
#include "app/RunSettingsStore.h"

namespace kavex::test {
namespace {

using app::LoadRunSettings;
using app::OpenSettingsStore;
using app::StoreRunSettings;

class RunSettingsStoreTest : public AppFixture {
protected:
    // Writes one raw value under the group, as another program (or an older start) would have.
    static void WriteRaw(const QString& name, const QVariant& value) {
        auto store = OpenSettingsStore();
        store->setValue(QStringLiteral("Kavex/") + name, value);
    }
    static QVariant ReadRaw(const QString& name) {
        return OpenSettingsStore()->value(QStringLiteral("Kavex/") + name);
    }
};

void ExpectSameSettings(const RunSettings& actual, const RunSettings& expected) {
    EXPECT_EQ(actual.m_nES1, expected.m_nES1);
    EXPECT_EQ(actual.m_nES2, expected.m_nES2);
    EXPECT_EQ(actual.m_nES3, expected.m_nES3);
    EXPECT_EQ(actual.m_sES2, expected.m_sES2);
    EXPECT_EQ(actual.m_sES3, expected.m_sES3);
    EXPECT_EQ(actual.m_sPath, expected.m_sPath);
}

// A first start: every value has its default.
TEST_F(RunSettingsStoreTest, AbsentValuesGiveTheirDefaults) {
    ExpectSameSettings(LoadRunSettings(*OpenSettingsStore()), RunSettings{});
}

// The store lives in the user's configuration folder under the organisation and the program's name.
TEST_F(RunSettingsStoreTest, StoreIsAnIniFileNamedAfterTheOrganisationAndTheProgram) {
    StoreRunSettings(*OpenSettingsStore(), RunSettings{});
    EXPECT_EQ(app::SettingsApplicationName(), QStringLiteral("kavex_app_tests"));
    QFile file(QString::fromStdString(dir / "config/Mivra/kavex_app_tests.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("[Kavex]")) << content.constData();
    EXPECT_TRUE(content.contains("m_nES1=0")) << content.constData();
}

// Values outside 0 to 2 and empty texts come back as they were stored, with the exact bytes of
// Shift_JIS texts, also a byte sequence that is not valid Shift_JIS.
TEST_F(RunSettingsStoreTest, EveryValueRoundTripsExactly) {
    platform::SetProcessCodePage(platform::CodePage::ShiftJis());
    RunSettings settings;
    settings.m_nES1 = 5;
    settings.m_nES2 = -7;
    settings.m_nES3 = 2;
    settings.m_sES2 = "";
    settings.m_sES3 = "bak,\x95\x5C";                    // 表: a trail byte 0x5C
    settings.m_sPath = Sjis("/定義/置換.txt") + "\x81";  // a lead byte with no trail byte
    StoreRunSettings(*OpenSettingsStore(), settings);
    ExpectSameSettings(LoadRunSettings(*OpenSettingsStore()), settings);
}

// A text whose bytes convert is stored as a readable text; one whose bytes do not, as bytes.
TEST_F(RunSettingsStoreTest, TextsAreStoredAsTextWhenTheyConvert) {
    platform::SetProcessCodePage(platform::CodePage::ShiftJis());
    RunSettings settings;
    settings.m_sES2 = Sjis("表,txt");
    settings.m_sPath = "bad\x81";
    StoreRunSettings(*OpenSettingsStore(), settings);
    EXPECT_EQ(ReadRaw(QStringLiteral("m_sES2")), QVariant(QString::fromUtf8("表,txt")));
    EXPECT_EQ(ReadRaw(QStringLiteral("m_sPath")).typeId(), QMetaType::QByteArray);
    EXPECT_EQ(ReadRaw(QStringLiteral("m_nES1")).toInt(), 0);
}

// Present values are taken as stored; an integer value that is no integer counts as absent.
TEST_F(RunSettingsStoreTest, PresentValuesAreTakenAsStored) {
    WriteRaw(QStringLiteral("m_nES1"), 3);
    WriteRaw(QStringLiteral("m_nES2"), QStringLiteral("not a number"));
    WriteRaw(QStringLiteral("m_nES3"), QStringLiteral("-1"));
    WriteRaw(QStringLiteral("m_sES2"), QString());
    WriteRaw(QStringLiteral("m_sPath"), QStringLiteral("/gone/definitions.txt"));
    const RunSettings loaded = LoadRunSettings(*OpenSettingsStore());
    EXPECT_EQ(loaded.m_nES1, 3);
    EXPECT_EQ(loaded.m_nES2, 0);
    EXPECT_EQ(loaded.m_nES3, -1);
    EXPECT_EQ(loaded.m_sES2, "");
    EXPECT_EQ(loaded.m_sES3, "exe,dll");
    EXPECT_EQ(loaded.m_sPath, "/gone/definitions.txt");
}

// The main window loads the settings when it is made and stores them when it is destroyed.
TEST_F(RunSettingsStoreTest, MainWindowLoadsOnConstructionAndStoresOnDestruction) {
    WriteRaw(QStringLiteral("m_nES1"), 2);
    {
        app::CKavexDlg window;
        EXPECT_EQ(window.m_nES1, 2);
        window.m_nES3 = 1;
        window.m_sES3 = "bak";
        EXPECT_EQ(LoadRunSettings(*OpenSettingsStore()).m_nES3, 0);  // nothing written meanwhile
    }
    const RunSettings stored = LoadRunSettings(*OpenSettingsStore());
    EXPECT_EQ(stored.m_nES1, 2);
    EXPECT_EQ(stored.m_nES3, 1);
    EXPECT_EQ(stored.m_sES3, "bak");
}

}  // namespace
}  // namespace kavex::test
