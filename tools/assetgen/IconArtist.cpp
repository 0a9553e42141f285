#include "tools/assetgen/IconArtist.h"

#include "tools/assetgen/TitleArtist.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace qx::art {

QImage TIconArtist::Icon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(size / 64.0, size / 64.0);

    // Deep space in a rounded square.
    QLinearGradient space(0, 0, 64, 64);
    space.setColorAt(0, QColor(40, 14, 70));
    space.setColorAt(1, QColor(6, 6, 24));
    painter.setPen(Qt::NoPen);
    painter.setBrush(space);
    painter.drawRoundedRect(QRectF(1, 1, 62, 62), 10, 10);

    // The planet, lit from the upper left, and its ring.
    QRadialGradient planet(QPointF(37, 40), 20, QPointF(31, 34));
    planet.setColorAt(0, QColor(120, 220, 220));
    planet.setColorAt(1, QColor(20, 80, 100));
    painter.setBrush(planet);
    painter.drawEllipse(QPointF(41, 44), 14, 14);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(220, 190, 140), size >= 32 ? 2.2 : 3.0));
    painter.drawEllipse(QPointF(41, 44), 20, 6);

    // The gold letter of the title picture.
    const QPainterPath letter = TTitleArtist::Letter('Q');
    const QRectF box = letter.boundingRect();
    const double scale = 40.0 / box.height();
    QTransform place;
    place.translate(6, 5);
    place.scale(scale, scale);
    place.translate(-box.left(), -box.top());
    QLinearGradient gold(0, 5, 0, 45);
    gold.setColorAt(0, QColor(255, 236, 160));
    gold.setColorAt(0.5, QColor(236, 170, 40));
    gold.setColorAt(1, QColor(150, 80, 10));
    painter.setPen(QPen(QColor(40, 20, 0), size >= 48 ? 1.2 : 1.6));
    painter.setBrush(gold);
    painter.drawPath(place.map(letter));
    painter.end();
    return icon;
}

} // namespace qx::art
