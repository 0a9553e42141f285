#include "app/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QX_INSTALLED_DATA_DIR
#define QX_INSTALLED_DATA_DIR ""
#endif

namespace qx {

QStringList TDataFolder::Candidates(const QString& programFolder, const QString& installedFolder) {
    const QDir program(programFolder);
    QStringList folders{program.absolutePath(), program.absoluteFilePath("data"),
                        QDir::cleanPath(program.absoluteFilePath("../data")),
                        QDir::cleanPath(program.absoluteFilePath("../share/quorvex"))};
    if (!installedFolder.isEmpty()) folders << QDir::cleanPath(installedFolder);
    folders.removeDuplicates();
    return folders;
}

QString TDataFolder::Find(const QStringList& candidates, const std::function<bool(const QString&)>& hasMarker) {
    for (const QString& folder : candidates)
        if (hasMarker(folder)) return folder;
    return QString();
}

QString TDataFolder::InstalledFolder() { return QString::fromUtf8(QX_INSTALLED_DATA_DIR); }

QString TDataFolder::Locate(const QString& overrideFolder) {
    if (!overrideFolder.isEmpty()) return QDir(overrideFolder).absolutePath();
    const QString program = QCoreApplication::applicationDirPath();
    const QString found = Find(Candidates(program, InstalledFolder()), [](const QString& folder) {
        return QFileInfo(QDir(folder).filePath(Marker)).isFile();
    });
    return found.isEmpty() ? program : found;
}

} // namespace qx
