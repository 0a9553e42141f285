#pragma once

#include <functional>

#include <QString>
#include <QStringList>

namespace qx {

// Where the program's own data (pictures, font, help, tips, syllables,
// scenarios, brains) lives: beside the executable in a build tree or a
// portable unpacking, or under the install prefix.
class TDataFolder {
public:
    // The file whose presence marks a data folder.
    static constexpr const char* Marker = "TitleScreen.bmp";

    // Candidate folders in the order they are tried, for an executable in
    // `programFolder` installed with data under `installedFolder`.
    static QStringList Candidates(const QString& programFolder, const QString& installedFolder);
    // The first candidate that holds the marker; empty when none does.
    static QString Find(const QStringList& candidates, const std::function<bool(const QString&)>& hasMarker);
    // The folder for this program: `overrideFolder` when given, else the
    // first candidate with the marker, else the program's own folder.
    static QString Locate(const QString& overrideFolder = QString());
    // The data folder compiled in for the install prefix.
    static QString InstalledFolder();
};

} // namespace qx
