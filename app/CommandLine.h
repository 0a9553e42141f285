#pragma once

#include <QString>
#include <QStringList>

namespace qx {

// What the command line asks of the game.
struct TCommandLine {
    bool Help = false;
    bool Version = false;
    QString ScreenshotsFolder;  // --screenshots DIR
    QString DataFolder;         // --data DIR
    QString Error;              // a one-line message for a bad command line

    // Reads the arguments after the program name.
    static TCommandLine Parse(const QStringList& arguments);
    static QString Usage();
};

} // namespace qx
