#include "app/RunSettingsStore.h"

#include <QByteArray>
#include <QVariant>

#include "app/QtText.h"
#include "engine/PathHelpers.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace kavex::app {
namespace {

const QString kGroup = QStringLiteral("Kavex");

std::int32_t LoadInteger(const QSettings& store, const QString& name, std::int32_t fallback) {
    const QVariant value = store.value(name);
    if (!value.isValid()) return fallback;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : fallback;
}

std::string LoadText(const QSettings& store, const QString& name, const std::string& fallback) {
    const QVariant value = store.value(name);
    if (!value.isValid()) return fallback;
    if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
    }
    return FromQString(value.toString());
}

void StoreText(QSettings& store, const QString& name, const std::string& bytes) {
    const QString text = ToQString(bytes);
    if (FromQString(text) == bytes) {
        store.setValue(name, text);
    } else {
        store.setValue(name, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
}

}  // namespace

QString SettingsApplicationName() {
    const std::string name = LastPathComponent(platform::ExecutablePath());
    const std::size_t dot = name.rfind('.');
    const std::string withoutExtension =
        (dot == std::string::npos || dot == 0) ? name : name.substr(0, dot);
    // A file name is bytes of the file system, which Qt reads as UTF-8.
    return QString::fromUtf8(withoutExtension.data(),
                             static_cast<qsizetype>(withoutExtension.size()));
}

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Mivra"), SettingsApplicationName());
}

RunSettings LoadRunSettings(QSettings& store) {
    const RunSettings defaults;
    RunSettings settings;
    store.beginGroup(kGroup);
    settings.m_nES1 = LoadInteger(store, QStringLiteral("m_nES1"), defaults.m_nES1);
    settings.m_nES2 = LoadInteger(store, QStringLiteral("m_nES2"), defaults.m_nES2);
    settings.m_nES3 = LoadInteger(store, QStringLiteral("m_nES3"), defaults.m_nES3);
    settings.m_sES2 = LoadText(store, QStringLiteral("m_sES2"), defaults.m_sES2);
    settings.m_sES3 = LoadText(store, QStringLiteral("m_sES3"), defaults.m_sES3);
    settings.m_sPath = LoadText(store, QStringLiteral("m_sPath"), defaults.m_sPath);
    store.endGroup();
    return settings;
}

void StoreRunSettings(QSettings& store, const RunSettings& settings) {
    store.beginGroup(kGroup);
    store.setValue(QStringLiteral("m_nES1"), settings.m_nES1);
    store.setValue(QStringLiteral("m_nES2"), settings.m_nES2);
    store.setValue(QStringLiteral("m_nES3"), settings.m_nES3);
    StoreText(store, QStringLiteral("m_sES2"), settings.m_sES2);
    StoreText(store, QStringLiteral("m_sES3"), settings.m_sES3);
    StoreText(store, QStringLiteral("m_sPath"), settings.m_sPath);
    store.endGroup();
    store.sync();
}

}  // namespace kavex::app
