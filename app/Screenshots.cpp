#include "app/Screenshots.h"

#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QStackedWidget>

#include "app/GameDialogs.h"
#include "app/MainForm.h"

namespace qx {

QImage TScreenshots::Grab(QWidget& widget, int scale) {
    QImage image(widget.size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::black);
    widget.render(&image);
    image.setDevicePixelRatio(1);
    return image;
}

QStringList TScreenshots::Take(TfrmMain& window, const QString& folder) {
    if (!QDir().mkpath(folder)) throw std::runtime_error("cannot create the folder " + folder.toStdString());
    QStringList written;
    int number = 0;
    const auto save = [&](QWidget& widget, const QString& name) {
        ++number;
        for (int scale : {1, 2}) {
            const QString file =
                QDir(folder).filePath(QString("%1-%2@%3x.png").arg(number, 2, 10, QChar('0')).arg(name).arg(scale));
            if (!Grab(widget, scale).save(file, "PNG")) throw std::runtime_error("cannot write " + file.toStdString());
            written << file;
        }
    };
    QWidget* shown = window.CurrentScreen();
    for (QWidget* screen : window.AllScreens()) {
        window.Screens()->setCurrentWidget(screen);
        QApplication::processEvents();
        QString name = screen->objectName();
        if (name.startsWith("pnl")) name = name.mid(3);
        save(window, name.toLower());
    }
    window.Screens()->setCurrentWidget(shown);

    TAboutDialog about(&window);
    about.adjustSize();
    save(about, "about");
    TTipsDialog tips(window.Tips(), 0, true, &window);
    tips.adjustSize();
    save(tips, "tips");
    window.btnHelpClick();
    if (THelpWindow* help = window.HelpWindow()) {
        QApplication::processEvents();
        save(*help, "help");
        help->close();
    }
    return written;
}

} // namespace qx
