#pragma once

#include <QString>
#include <QStringList>

namespace qx::art {

// Writes every generated data file into one folder (and enlarged previews
// into its preview/ subfolder). Nothing is written anywhere else.
class TAssetWriter {
public:
    explicit TAssetWriter(QString folder) : folder_(std::move(folder)) {}

    // Returns the names written, relative to the folder; throws
    // std::runtime_error when a file cannot be written.
    QStringList WriteAll(bool previews = true) const;

    // The data files WriteAll writes (previews aside).
    static QStringList DataFiles();
    // Of them, the sound effects (sounds/*.wav) and the music (music/*.mid).
    static QStringList SoundFiles();
    static QStringList MusicFiles();

private:
    void Write(const QString& name, const QByteArray& bytes) const;

    QString folder_;
};

} // namespace qx::art
