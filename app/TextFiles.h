#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace qx {

// The lines of a text file that carry data: "#" comment lines and blank
// lines are skipped, line ends (LF or CR LF) and surrounding blanks dropped.
QStringList DataLines(const QString& text);
// The same read from a file; nothing when it cannot be read.
std::optional<QStringList> ReadDataLines(const QString& path);

// The message shown when the star-name syllables cannot be read, naming the
// file that was tried.
QString MissingSyllablesMessage(const QString& path);

} // namespace qx
