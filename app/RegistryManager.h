#pragma once

#include <optional>

#include <QList>
#include <QRect>
#include <QString>

#include "base/IniFile.h"

class QWidget;

namespace qx {

// The settings kept between runs: one INI file per user under the XDG
// configuration folder, every value stored as text under the game's names.
// The file is read once and written whole by Flush, through a temporary file
// that is flushed to disk and renamed, so a crash never leaves half a file.
class TRegistryManager {
public:
    // The settings file of this user: $XDG_CONFIG_HOME/quorvex/quorvex.ini.
    static QString DefaultFile();

    explicit TRegistryManager(const QString& file = DefaultFile());
    ~TRegistryManager();

    QString File() const { return file_; }
    // A group inside the file the names live under; empty for the top.
    QString SubKey;

    // The value's text, empty when absent.
    QString ReadString(const QString& name) const;
    // The text as a decimal integer; 0 when empty or not a number.
    int ReadInteger(const QString& name) const;
    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);

    // Restores a window's rectangle from prefix + "Left", "Top", "Width",
    // "Height" when the left read is above 0 and the rectangle fits one of
    // `screens` (available areas); returns whether it did.
    bool RestorePosition(QWidget* window, const QString& prefix, const QList<QRect>& screens) const;
    void SavePosition(const QWidget* window, const QString& prefix);

    // Writes what is pending to the file. Empty on success, else a message
    // that says which file could not be written.
    QString Flush();

private:
    std::string Section() const;

    QString file_;
    TIniFile ini_;
};

} // namespace qx
