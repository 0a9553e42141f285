#include "app/RegistryManager.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include "app/AppInfo.h"
#include "app/SettingsRules.h"
#include "base/AtomicFile.h"

namespace qx {

QString TRegistryManager::DefaultFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QDir::home().filePath(".config");
    return QDir(folder).filePath(QString::fromLatin1(app::SettingsFolder) + "/" + app::SettingsFile);
}

TRegistryManager::TRegistryManager(const QString& file) : file_(file) {
    // A missing or unreadable file means the defaults; a damaged line is skipped.
    try {
        ini_.Load(ReadWholeFile(file_.toStdString(), 1 << 20));
    } catch (const EFileError&) {
    }
}

TRegistryManager::~TRegistryManager() = default;

std::string TRegistryManager::Section() const {
    return SubKey.isEmpty() ? TIniFile::DefaultSection : SubKey.toStdString();
}

QString TRegistryManager::ReadString(const QString& name) const {
    const std::optional<std::string> value = ini_.Read(Section(), name.toStdString());
    return value ? QString::fromStdString(*value) : QString();
}

int TRegistryManager::ReadInteger(const QString& name) const { return SettingToInt(ReadString(name)); }

void TRegistryManager::WriteString(const QString& name, const QString& value) {
    ini_.Write(Section(), name.toStdString(), value.toStdString());
}

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
    try {
        WriteFileAtomically(file_.toStdString(), ini_.Save());
    } catch (const EFileError& error) {
        return QString("Could not write the settings file \"%1\"; your settings were not saved (%2).")
            .arg(file_, QString::fromStdString(error.what()));
    }
    return QString();
}

} // namespace qx
