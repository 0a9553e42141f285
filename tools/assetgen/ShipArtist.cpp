#include "tools/assetgen/ShipArtist.h"

#include "tools/assetgen/IndexedImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <stdexcept>

namespace qx::art {

namespace {

// Ships are drawn 4 times larger than their cell and shrunk afterwards, so
// small parts keep their shape.
constexpr int kScale = 4;
constexpr int kBig = TShipArtist::kCell * kScale;

struct TShipColours {
    QRgb light, base, mid, dark;          // the player's own colour
    QRgb metal, metalLight, metalDark;    // structure
    QRgb glow, glowDim;                   // engines, cockpits, emitters
};

// A small drawing kit in ship coordinates: bow toward +x, the ship within
// about 13 units of the centre.
class TShipPen {
public:
    TShipPen(QPainter& painter, const TShipColours& colours) : p_(painter), c_(colours) {}

    QBrush Hull() const
    {
        QLinearGradient g(0, -12, 0, 12);
        g.setColorAt(0.0, QColor(c_.light));
        g.setColorAt(0.42, QColor(c_.base));
        g.setColorAt(1.0, QColor(c_.mid));
        return g;
    }
    QBrush DarkHull() const
    {
        QLinearGradient g(0, -12, 0, 12);
        g.setColorAt(0.0, QColor(c_.base));
        g.setColorAt(0.5, QColor(c_.mid));
        g.setColorAt(1.0, QColor(c_.dark));
        return g;
    }
    QBrush Solid(QRgb c) const { return QBrush(QColor(c)); }

    static QPainterPath Poly(std::initializer_list<QPointF> points)
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points)));
        path.closeSubpath();
        return path;
    }
    static QPainterPath Ellipse(double cx, double cy, double rx, double ry)
    {
        QPainterPath path;
        path.addEllipse(QPointF(cx, cy), rx, ry);
        return path;
    }
    static QPainterPath Rect(double x1, double y1, double x2, double y2)
    {
        QPainterPath path;
        path.addRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
        return path;
    }
    static QPainterPath RoundRect(double x1, double y1, double x2, double y2, double r)
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)), r, r);
        return path;
    }
    // A star or cog outline with `points` tips.
    static QPainterPath Star(int points, double outer, double inner, double turn, double cx = 0, double cy = 0)
    {
        QPolygonF polygon;
        for (int i = 0; i < points * 2; ++i) {
            const double a = turn + i * std::numbers::pi / points;
            const double r = i % 2 == 0 ? outer : inner;
            polygon << QPointF(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        return path;
    }
    // The path mirrored across the ship's long axis, joined to itself.
    static QPainterPath Mirrored(const QPainterPath& path)
    {
        return path.united(QTransform(1, 0, 0, -1, 0, 0).map(path));
    }

    void Fill(const QPainterPath& path, const QBrush& brush) { p_.fillPath(path, brush); }
    void Line(QPointF a, QPointF b, QRgb colour, double width)
    {
        p_.setPen(QPen(QColor(colour), width, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(a, b);
        p_.setPen(Qt::NoPen);
    }
    void Glow(double cx, double cy, double r)
    {
        QRadialGradient g(QPointF(cx, cy), r);
        g.setColorAt(0.0, QColor(c_.glow));
        g.setColorAt(1.0, QColor(c_.glowDim));
        p_.fillPath(Ellipse(cx, cy, r, r), g);
    }

    const TShipColours& C() const { return c_; }

private:
    QPainter& p_;
    const TShipColours& c_;
};

using P = QPointF;

void DrawWarShip(TShipPen& s)
{
    s.Line(P(-2, -7.5), P(8, -7.5), s.C().metalLight, 1.6);
    s.Line(P(-2, 7.5), P(8, 7.5), s.C().metalLight, 1.6);
    s.Fill(TShipPen::Poly({P(13, 0), P(3, -3), P(-3, -11.5), P(-8, -11.5), P(-5.5, -3), P(-10, -3), P(-10, 3),
                           P(-5.5, 3), P(-8, 11.5), P(-3, 11.5), P(3, 3)}),
           s.Hull());
    s.Fill(TShipPen::Ellipse(4, 0, 3, 1.6), s.Solid(s.C().glow));
    s.Fill(TShipPen::Rect(-12.5, -2, -10, 2), s.Solid(s.C().glow));
}

void DrawScanShip(TShipPen& s)
{
    s.Line(P(-3, 0), P(4, 0), s.C().metal, 2.5);
    s.Fill(TShipPen::Ellipse(-6, 0, 7, 4.2), s.Hull());
    // The dish: a wide bowl facing forward, with its feed on a mast.
    s.Fill(TShipPen::Ellipse(4, 0, 5, 12.5).subtracted(TShipPen::Ellipse(8, 0, 5, 11)), s.Solid(s.C().metalLight));
    s.Line(P(4, 0), P(11.5, 0), s.C().metal, 1.3);
    s.Glow(11.5, 0, 1.8);
    s.Fill(TShipPen::Rect(-13, -1.8, -11.5, 1.8), s.Solid(s.C().glow));
}

void DrawDrone(TShipPen& s)
{
    s.Line(P(-3, -3), P(-9, -6.5), s.C().metalLight, 1.4);
    s.Line(P(-3, 3), P(-9, 6.5), s.C().metalLight, 1.4);
    s.Fill(TShipPen::Ellipse(0, 0, 5.5, 5.5), s.Hull());
    s.Glow(2.2, 0, 1.8);
}

void DrawEMine(TShipPen& s)
{
    s.Fill(TShipPen::Star(8, 11.5, 4.5, std::numbers::pi / 8), s.Hull());
    s.Fill(TShipPen::Ellipse(0, 0, 3, 3), s.Solid(s.C().metalDark));
    s.Glow(0, 0, 1.7);
}

void DrawSpyShip(TShipPen& s)
{
    s.Fill(TShipPen::Poly({P(13, 0), P(-3, -3.2), P(-12, -8), P(-8.5, 0), P(-12, 8), P(-3, 3.2)}), s.DarkHull());
    s.Line(P(-7, 0), P(9, 0), s.C().light, 1.0);
    s.Fill(TShipPen::Ellipse(-3, -5.5, 2.3, 2.3).subtracted(TShipPen::Ellipse(-3, -5.5, 1.2, 1.2)),
           s.Solid(s.C().metalLight));
}

void DrawFreighter(TShipPen& s)
{
    s.Fill(TShipPen::Rect(-12, -2.5, 9, 2.5), s.Solid(s.C().metal));
    for (double x0 : {-11.0, -5.0, 1.0}) {
        s.Fill(TShipPen::Rect(x0, -10, x0 + 5, -3.5), s.Hull());
        s.Fill(TShipPen::Rect(x0, 3.5, x0 + 5, 10), s.Hull());
    }
    s.Fill(TShipPen::RoundRect(8.5, -3, 13, 3, 1.5), s.Solid(s.C().light));
    s.Fill(TShipPen::Rect(-13, -1.5, -11.5, 1.5), s.Solid(s.C().glow));
}

void DrawInkSpot(TShipPen& s)
{
    QPainterPath blob = TShipPen::Ellipse(0, 0, 7.5, 7.5);
    for (auto [x, y, r] : {std::tuple{-6.0, -5.0, 4.5}, {6.0, 5.0, 4.0}, {5.0, -6.0, 3.5}, {-5.0, 6.0, 4.0},
                           {9.5, -1.0, 2.2}, {-10.0, 1.0, 2.2}, {0.5, -10.5, 1.6}})
        blob = blob.united(TShipPen::Ellipse(x, y, r, r));
    s.Fill(blob, s.DarkHull());
    s.Fill(TShipPen::Ellipse(-2, -2, 1.8, 1.8), s.Solid(s.C().light));
    s.Fill(TShipPen::Ellipse(3, 2.5, 1.2, 1.2), s.Solid(s.C().light));
}

void DrawCloakDetector(TShipPen& s)
{
    QPainterPath eye;
    eye.moveTo(-12.5, 0);
    eye.quadTo(0, -13, 12.5, 0);
    eye.quadTo(0, 13, -12.5, 0);
    s.Fill(eye, s.Hull());
    s.Fill(TShipPen::Ellipse(1, 0, 5, 5), s.Solid(s.C().light));
    s.Fill(TShipPen::Ellipse(1, 0, 3.2, 3.2), s.Solid(s.C().metalDark));
    s.Glow(1.5, -0.5, 1.4);
}

void DrawTug(TShipPen& s)
{
    const QPainterPath claw = TShipPen::Poly({P(1, -6.5), P(10, -9.5), P(13, -6.5), P(10.5, -5.5), P(7.5, -6.5), P(1, -2.5)});
    s.Fill(TShipPen::Mirrored(claw), s.Solid(s.C().metalLight));
    s.Fill(TShipPen::RoundRect(-12, -6.5, 2.5, 6.5, 2.5), s.Hull());
    s.Fill(TShipPen::Rect(-4, -1.2, 1, 1.2), s.Solid(s.C().dark));
    s.Fill(TShipPen::Rect(-13, -3.5, -11.5, 3.5), s.Solid(s.C().glow));
}

void DrawHijackShip(TShipPen& s)
{
    s.Line(P(-1, 0), P(11, 0), s.C().metalLight, 2.2);
    s.Fill(TShipPen::Poly({P(5, 0), P(13, -11), P(3, -7), P(-6, -12.5), P(-11, -5), P(-7, 0), P(-11, 5),
                           P(-6, 12.5), P(3, 7), P(13, 11)}),
           s.Hull());
    s.Glow(-3, 0, 2.0);
}

void DrawShieldGenerator(TShipPen& s)
{
    // A hexagonal generator wrapped in a shield arc from bow to flanks.
    QPainterPath dome = TShipPen::Ellipse(-3, 0, 12.5, 12.5).subtracted(TShipPen::Ellipse(-3, 0, 9.8, 9.8));
    dome = dome.intersected(TShipPen::Rect(-4, -13, 13, 13));
    QLinearGradient g(0, -12, 0, 12);
    g.setColorAt(0.0, QColor(s.C().glow));
    g.setColorAt(1.0, QColor(s.C().glowDim));
    s.Fill(dome, g);
    s.Fill(TShipPen::Star(6, 8.5, 8.5 * 0.866, 0, -3, 0), s.Hull());
    s.Fill(TShipPen::Star(6, 4, 4 * 0.866, 0, -3, 0), s.Solid(s.C().light));
    s.Glow(-3, 0, 2.0);
}

void DrawCommandShip(TShipPen& s)
{
    s.Fill(TShipPen::Poly({P(13, 0), P(6, -4), P(-2, -6), P(-12, -12), P(-12, 12), P(-2, 6), P(6, 4)}), s.Hull());
    s.Fill(TShipPen::Rect(-8, -3, -1, 3), s.Solid(s.C().metalLight));
    s.Fill(TShipPen::Rect(-6, -1.2, -2.5, 1.2), s.Solid(s.C().glow));
    for (double y : {-9.0, 0.0, 9.0})
        s.Fill(TShipPen::Rect(-13, y - 1.6, -11.5, y + 1.6), s.Solid(s.C().glow));
}

void DrawDoppleShip(TShipPen& s)
{
    s.Line(P(-6, -5), P(-6, 5), s.C().metal, 1.6);
    const QPainterPath dart = TShipPen::Poly({P(11, -5.5), P(-2, -11), P(-7, -11), P(-4.5, -5.5), P(-7, -1), P(-2, -1)});
    s.Fill(dart, s.Hull());
    s.Fill(QTransform(1, 0, 0, -1, 0, 0).map(dart), s.DarkHull());
    s.Fill(TShipPen::Ellipse(2, -5.5, 1.8, 1.1), s.Solid(s.C().glow));
    s.Fill(TShipPen::Ellipse(2, 5.5, 1.8, 1.1), s.Solid(s.C().glow));
}

void DrawRepairShip(TShipPen& s)
{
    s.Line(P(3, -5), P(10, -9), s.C().metalLight, 1.6);
    s.Line(P(10, -9), P(13, -5.5), s.C().metalLight, 1.4);
    s.Line(P(3, 5), P(10, 9), s.C().metalLight, 1.6);
    s.Line(P(10, 9), P(13, 5.5), s.C().metalLight, 1.4);
    s.Fill(TShipPen::Ellipse(-3, 0, 8.5, 8.5), s.Hull());
    s.Fill(TShipPen::Rect(-8, -1.8, 2, 1.8).united(TShipPen::Rect(-4.8, -5, -1.2, 5)), s.Solid(s.C().metalLight));
}

void DrawDoomMissile(TShipPen& s)
{
    const QPainterPath fin = TShipPen::Poly({P(-5, -3.5), P(-11, -11), P(-13, -11), P(-11.5, -3.5)});
    s.Fill(TShipPen::Mirrored(fin), s.DarkHull());
    s.Fill(TShipPen::Rect(-11, -4, 6, 4), s.Hull());
    s.Fill(TShipPen::Ellipse(6, 0, 7, 4.5), s.Solid(s.C().metalLight));
    s.Fill(TShipPen::Rect(1, -4.5, 3, 4.5), s.Solid(s.C().dark));
    s.Fill(TShipPen::Rect(-13, -2, -11, 2), s.Solid(s.C().glow));
}

void DrawNukeMissile(TShipPen& s)
{
    const QPainterPath fins = TShipPen::Mirrored(TShipPen::Poly({P(-8, -2), P(-12.5, -6.5), P(-13, -2)}))
                                  .united(TShipPen::Mirrored(TShipPen::Poly({P(1, -2), P(-2, -5), P(-4, -2)})));
    s.Fill(fins, s.Solid(s.C().metal));
    s.Fill(TShipPen::Rect(-12, -2.2, 8, 2.2), s.Hull());
    s.Fill(TShipPen::Poly({P(8, -2.2), P(13, 0), P(8, 2.2)}), s.Solid(s.C().light));
    s.Fill(TShipPen::Rect(4, -2.4, 5.5, 2.4), s.Solid(s.C().glow));
}

void DrawMineSweeper(TShipPen& s)
{
    s.Line(P(0, -2.5), P(5, -10), s.C().metal, 1.5);
    s.Line(P(0, 2.5), P(5, 10), s.C().metal, 1.5);
    s.Fill(TShipPen::RoundRect(-12, -3.5, 3, 3.5, 2), s.Hull());
    s.Fill(TShipPen::Rect(4.5, -12.5, 8, 12.5), s.Hull());
    for (double y : {-10.0, -5.0, 0.0, 5.0, 10.0})
        s.Fill(TShipPen::Poly({P(8, y - 1.8), P(11.5, y), P(8, y + 1.8)}), s.Solid(s.C().metalLight));
    s.Fill(TShipPen::Rect(-13, -1.5, -11.5, 1.5), s.Solid(s.C().glow));
}

void DrawGravShip(TShipPen& s)
{
    s.Line(P(-1, -8.5), P(-1, 8.5), s.C().metal, 2.2);
    s.Fill(TShipPen::Poly({P(12, 0), P(0, -4.5), P(-11, 0), P(0, 4.5)}), s.Hull());
    for (double y : {-8.5, 8.5}) {
        QRadialGradient g(P(-2, y - 1.5), 4.5);
        g.setColorAt(0.0, QColor(s.C().light));
        g.setColorAt(1.0, QColor(s.C().mid));
        s.Fill(TShipPen::Ellipse(-1, y, 4.3, 4.3), g);
    }
    s.Glow(2, 0, 1.6);
}

void DrawStarTillery(TShipPen& s)
{
    s.Fill(TShipPen::RoundRect(-12.5, -8.5, -0.5, 8.5, 2.5), s.DarkHull());
    s.Fill(TShipPen::Rect(-3, -1.6, 12, 1.6), s.Solid(s.C().metalLight));
    s.Fill(TShipPen::Rect(10.5, -2.6, 13, 2.6), s.Solid(s.C().metal));
    s.Fill(TShipPen::Ellipse(-5.5, 0, 5, 5), s.Hull());
    s.Fill(TShipPen::Ellipse(-5.5, 0, 1.6, 1.6), s.Solid(s.C().metalDark));
}

void DrawTechShip(TShipPen& s)
{
    QPainterPath cog = TShipPen::Star(8, 12, 9.5, 0);
    // Flatten the tips into teeth by clipping with a circle.
    cog = cog.intersected(TShipPen::Ellipse(0, 0, 11.2, 11.2)).united(TShipPen::Ellipse(0, 0, 9.2, 9.2));
    cog = cog.subtracted(TShipPen::Ellipse(0, 0, 3.6, 3.6));
    s.Fill(cog, s.Hull());
    s.Fill(TShipPen::Ellipse(0, 0, 6.2, 6.2).subtracted(TShipPen::Ellipse(0, 0, 4.2, 4.2)),
           s.Solid(s.C().metalLight));
}

void DrawJumpGateShip(TShipPen& s)
{
    const QPainterPath outer = TShipPen::Poly({P(12.5, 0), P(0, -12.5), P(-12.5, 0), P(0, 12.5)});
    const QPainterPath inner = TShipPen::Poly({P(7.5, 0), P(0, -7.5), P(-7.5, 0), P(0, 7.5)});
    s.Fill(outer.subtracted(inner), s.Hull());
    QRadialGradient g(P(0, 0), 7.5);
    g.setColorAt(0.0, QColor(s.C().glow));
    g.setColorAt(1.0, QColor(s.C().glowDim));
    s.Fill(inner, g);
    s.Fill(TShipPen::Ellipse(0, 0, 2.2, 2.2), s.Solid(s.C().metalDark));
}

void DrawBattleStation(TShipPen& s)
{
    s.Fill(TShipPen::Star(8, 13, 13, std::numbers::pi / 8).united(TShipPen::Star(4, 13.3, 13.3, 0)), s.DarkHull());
    s.Fill(TShipPen::Ellipse(0, 0, 9, 9).subtracted(TShipPen::Ellipse(0, 0, 6.8, 6.8)), s.Solid(s.C().light));
    s.Fill(TShipPen::Ellipse(0, 0, 3.6, 3.6), s.Solid(s.C().metalLight));
    s.Glow(0, 0, 1.6);
    for (double a = 45; a < 360; a += 90) {
        const double r = a * std::numbers::pi / 180;
        s.Fill(TShipPen::Ellipse(10 * std::cos(r), 10 * std::sin(r), 1.4, 1.4), s.Solid(s.C().glow));
    }
}

void DrawUnknown(TShipPen& s)
{
    s.Fill(TShipPen::Ellipse(0, 0, 12, 12).subtracted(TShipPen::Ellipse(0, 0, 9.6, 9.6)), s.Solid(s.C().metal));
    QPainterPath mark;
    mark.arcMoveTo(QRectF(-4.2, -8.8, 8.4, 8.4), 160);
    mark.arcTo(QRectF(-4.2, -8.8, 8.4, 8.4), 160, -230);
    mark.quadTo(0, -1.5, 0, 2.2);
    QPainterPathStroker stroker;
    stroker.setWidth(3.0);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    s.Fill(stroker.createStroke(mark).united(TShipPen::Ellipse(0, 6.3, 1.8, 1.8)), s.Solid(s.C().light));
}

using TDrawShip = void (*)(TShipPen&);
constexpr TDrawShip kDrawers[TShipArtist::kTypes] = {
    DrawWarShip,   DrawScanShip,       DrawDrone,           DrawEMine,         DrawSpyShip,      DrawFreighter,
    DrawInkSpot,   DrawCloakDetector,  DrawTug,             DrawHijackShip,    DrawShieldGenerator,
    DrawCommandShip, DrawDoppleShip,   DrawRepairShip,      DrawDoomMissile,   DrawNukeMissile,
    DrawMineSweeper, DrawGravShip,     DrawStarTillery,     DrawTechShip,      DrawJumpGateShip,
    DrawBattleStation,
};

constexpr const char* kTypeNames[TShipArtist::kTypes] = {
    "WarShip",      "ScanShip",     "Drone",          "EMine",       "SpyShip",     "Freighter",
    "InkSpot",      "CloakDetector", "Tug",           "HijackShip",  "ShieldGenerator",
    "CommandShip",  "DoppleShip",   "RepairShip",     "DoomMissile", "NukeMissile", "MineSweeper",
    "GravShip",     "StarTillery",  "TechShip",       "JumpGateShip", "BattleStation",
};

// Rings every opaque shape with the outline entry; returns false when the
// shape (with its ring) would touch the cell border.
bool Outline(QImage& cell)
{
    const int n = cell.width();
    QImage copy = cell;
    bool inside = true;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (copy.pixelIndex(x, y) != 0)
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    near = nx >= 0 && ny >= 0 && nx < n && ny < n && copy.pixelIndex(nx, ny) != 0 &&
                           copy.pixelIndex(nx, ny) != pal::kOutline;
                }
            if (near) {
                cell.setPixel(x, y, pal::kOutline);
                if (x == 0 || y == 0 || x == n - 1 || y == n - 1)
                    inside = false;
            }
        }
    }
    return inside;
}

} // namespace

const char* TShipArtist::TypeName(int type)
{
    if (type < 0 || type >= kTypes)
        throw std::out_of_range("no such ship type");
    return kTypeNames[type];
}

QImage TShipArtist::Cell(int type, int player, bool diagonal) const
{
    const QRgb base = palette_[pal::kPlayer.at(static_cast<std::size_t>(player))];
    const TShipColours colours{palette_[pal::PlayerShade(player, 2)],
                               base,
                               palette_[pal::PlayerShade(player, 1)],
                               palette_[pal::PlayerShade(player, 0)],
                               palette_[pal::kHullGreyFirst + 8],
                               palette_[pal::kHullGreyLast - 1],
                               palette_[pal::kHullGreyFirst + 2],
                               palette_[pal::kGlowLast],
                               palette_[pal::kGlowFirst + 3]};
    std::vector<int> candidates = TArtPalette::PlayerEntries(player);
    for (int i = pal::kHullGreyFirst; i <= pal::kHullGreyLast; ++i)
        candidates.push_back(i);
    for (int i = pal::kGlowFirst; i <= pal::kGlowLast; ++i)
        candidates.push_back(i);
    candidates.push_back(pal::kOutline);
    const TIndexMapper mapper(palette_, candidates);

    // Shrink the drawing until the ship and its outline stay clear of the
    // cell border (a diagonal ship is wider than a straight one).
    for (double size = 1.0;; size *= 0.94) {
        QImage big(kBig, kBig, QImage::Format_ARGB32_Premultiplied);
        big.fill(Qt::transparent);
        {
            QPainter painter(&big);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.translate(kBig / 2.0, kBig / 2.0);
            painter.scale(kScale * size, kScale * size);
            if (diagonal)
                painter.rotate(45);
            TShipPen pen(painter, colours);
            if (type < 0)
                DrawUnknown(pen);
            else
                kDrawers[type](pen);
        }
        const QImage small = big.scaled(kCell, kCell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage cell = NewIndexed(kCell, kCell, palette_);
        PutArgb(cell, 0, 0, small, mapper);
        if (Outline(cell) || size < 0.5)
            return cell;
    }
}

QImage TShipArtist::Sheet() const
{
    QImage sheet = NewIndexed(kColumns * kCell, kRows * kCell, palette_);
    auto place = [&sheet](const QImage& cell, int column, int row) {
        for (int y = 0; y < kCell; ++y)
            std::copy_n(cell.constScanLine(y), kCell, sheet.scanLine(row * kCell + y) + column * kCell);
    };
    for (int player = 0; player < kRows; ++player) {
        for (int type = 0; type < kTypes; ++type) {
            place(Cell(type, player, false), 2 * type, player);
            place(Cell(type, player, true), 2 * type + 1, player);
        }
        // The column after the unknown symbol is never asked for; it holds a
        // second copy so a stray facing offset still shows the right thing.
        const QImage unknown = Cell(-1, player, false);
        place(unknown, kUnknownColumn, player);
        place(unknown, kUnknownColumn + 1, player);
    }
    return sheet;
}

} // namespace qx::art
