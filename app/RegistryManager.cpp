#include "app/RegistryManager.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include "app/AppInfo.h"
#include "app/SettingsRules.h"

namespace qx {

QString TRegistryManager::DefaultFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QDir::home().filePath(".config");
    return QDir(folder).filePath(QString::fromLatin1(app::SettingsFolder) + "/" + app::SettingsFile);
}

TRegistryManager::TRegistryManager(const QString& file)
    : file_(file), settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

TRegistryManager::~TRegistryManager() = default;

QString TRegistryManager::Key(const QString& name) const {
    return SubKey.isEmpty() ? name : SubKey + "/" + name;
}

QString TRegistryManager::ReadString(const QString& name) const {
    const QVariant value = settings_->value(Key(name));
    // The INI reader turns a text with commas into a list: give the text back.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(',');
    return value.toString();
}

int TRegistryManager::ReadInteger(const QString& name) const { return SettingToInt(ReadString(name)); }

void TRegistryManager::WriteString(const QString& name, const QString& value) { settings_->setValue(Key(name), value); }

void TRegistryManager::WriteInteger(const QString& name, int value) { WriteString(name, QString::number(value)); }

bool TRegistryManager::RestorePosition(QWidget* window, const QString& prefix, const QList<QRect>& screens) const {
    const QRect saved(ReadInteger(prefix + "Left"), ReadInteger(prefix + "Top"), ReadInteger(prefix + "Width"),
                      ReadInteger(prefix + "Height"));
    const std::optional<QRect> fitted = FitSavedRect(saved, screens, window->minimumSize());
    if (!fitted) return false;
    window->move(fitted->topLeft());
    window->resize(fitted->size());
    return true;
}

void TRegistryManager::SavePosition(const QWidget* window, const QString& prefix) {
    WriteInteger(prefix + "Left", window->x());
    WriteInteger(prefix + "Top", window->y());
    WriteInteger(prefix + "Width", window->width());
    WriteInteger(prefix + "Height", window->height());
}

QString TRegistryManager::Flush() {
    const QString folder = QFileInfo(file_).absolutePath();
    if (!QDir().mkpath(folder)) return QString("Could not create the settings folder \"%1\".").arg(folder);
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        return QString("Could not write the settings file \"%1\"; your settings were not saved.").arg(file_);
    return QString();
}

} // namespace qx
