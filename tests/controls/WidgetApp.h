#pragma once

#include <cstdlib>
#include <ostream>

#include <QApplication>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

// Readable rectangles and points in failure messages.
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << "QPoint(" << p.x() << ", " << p.y() << ")"; }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join("|").toStdString() << ']'; }
inline void PrintTo(const QSize& s, std::ostream* os) { *os << "QSize(" << s.width() << ", " << s.height() << ")"; }

namespace qx::test {

// The widget tests share one application on the offscreen platform.
inline QApplication& WidgetApp() {
    static int argc = 1;
    static char name[] = "quorvex-tests";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// First base of a fixture whose members are widgets: the application
// exists before they are made.
struct WithWidgetApp {
    WithWidgetApp() { WidgetApp(); }
};

// What a widget paints, at one image pixel per widget pixel.
inline QImage Paint(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

inline QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
inline QRgb Rgb(const QColor& color) { return color.rgb() & 0xFFFFFF; }

// Columns (left, right inclusive) where any pixel of the colour lies inside
// the rows [top, bottom); (-1, -1) when none does.
inline std::pair<int, int> ColumnsOf(const QImage& image, QColor color, int top, int bottom) {
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = top; y < bottom; ++y)
            if (At(image, x, y) == Rgb(color)) {
                if (left < 0) left = x;
                right = x;
                break;
            }
    return {left, right};
}

} // namespace qx::test
