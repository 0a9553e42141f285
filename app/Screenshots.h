#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

class QWidget;

namespace qx {

class TfrmMain;

// Pictures of every screen and dialog of the main window, each at scale 1
// and 2, for bug reports and review.
class TScreenshots {
public:
    // What `widget` shows, at `scale` image pixels per window pixel.
    static QImage Grab(QWidget& widget, int scale);
    // Writes DIR/NN-name@Sx.png for every screen and dialog; returns the
    // files written. Throws std::runtime_error naming a file it cannot write.
    static QStringList Take(TfrmMain& window, const QString& folder);
};

} // namespace qx
