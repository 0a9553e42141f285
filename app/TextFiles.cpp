#include "app/TextFiles.h"

#include <QFile>
#include <QFileInfo>

namespace qx {

QStringList DataLines(const QString& text) {
    QStringList lines;
    for (QString line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        lines << line;
    }
    return lines;
}

std::optional<QStringList> ReadDataLines(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    // A data file is small; anything huge is not one of ours.
    constexpr qint64 kLimit = 4 * 1024 * 1024;
    const QByteArray bytes = file.read(kLimit + 1);
    if (bytes.size() > kLimit) return std::nullopt;
    return DataLines(QString::fromUtf8(bytes));
}

QString MissingSyllablesMessage(const QString& path) {
    return QString("Could not locate StarSystem names file, \"%1\".  Using default names.").arg(path);
}

} // namespace qx
