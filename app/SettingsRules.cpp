#include "app/SettingsRules.h"

#include <algorithm>

#include <QFileInfo>

namespace qx {

int SettingToInt(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

TBuildDefault BuildDefaultFrom(int engines, int value) {
    TBuildDefault result;
    if (engines >= 1 && engines <= TBuildDefault::MaxEngines) result.Engines = engines;
    if (value >= 1 && value <= TBuildDefault::MaxValue) result.Value = value;
    return result;
}

QString BrainNameFromSetting(const QString& stored) {
    QString name = stored.trimmed();
    // The file name part, whichever separator a hand-edited file used.
    name = name.mid(std::max(name.lastIndexOf('/'), name.lastIndexOf('\\')) + 1);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0) name.truncate(dot);
    for (const QChar c : name)
        if (c.unicode() < 32 || c == '~' || c == ';' || c == ':' || c == '|')
            return QString();
    return name;
}

TShipTypeSet ShipTypesFromSettings(const QStringList& stored, std::optional<TShipType>* last) {
    TShipTypeSet types;
    for (const QString& text : stored) {
        bool ok = false;
        const int ordinal = text.trimmed().toInt(&ok, 10);
        TShipType type{};
        if (!ok || !ShipTypeFromOrdinal(ordinal, type)) continue;
        types.Include(type);
        if (last) *last = type;
    }
    return types;
}

QStringList ShipTypesToSettings(TShipTypeSet types) {
    QStringList texts;
    for (int ordinal = 0; ordinal < ShipTypeCount; ++ordinal)
        if (types.Contains(static_cast<TShipType>(ordinal))) texts << QString::number(ordinal);
    return texts;
}

int CountShipTypes(TShipTypeSet types) { return ShipTypesToSettings(types).size(); }

int TipIndex(int stored, int tipCount) {
    if (tipCount <= 0) return 0;
    const int index = stored % tipCount;
    return index < 0 ? index + tipCount : index;
}

std::optional<QRect> FitSavedRect(const QRect& saved, const QList<QRect>& screens, QSize minimum) {
    if (saved.left() <= 0 || saved.width() <= 0 || saved.height() <= 0) return std::nullopt;
    const QRect* best = nullptr;
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(saved);
        const qint64 area = static_cast<qint64>(common.width()) * common.height();
        if (!common.isEmpty() && area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    // A sliver at the screen's edge is as good as lost.
    constexpr int kVisible = 64;
    if (!best || bestArea < static_cast<qint64>(kVisible) * kVisible) return std::nullopt;
    QRect fitted = saved;
    fitted.setWidth(std::clamp(saved.width(), minimum.width(), std::max(minimum.width(), best->width())));
    fitted.setHeight(std::clamp(saved.height(), minimum.height(), std::max(minimum.height(), best->height())));
    if (fitted.right() > best->right()) fitted.moveRight(best->right());
    if (fitted.bottom() > best->bottom()) fitted.moveBottom(best->bottom());
    if (fitted.left() < best->left()) fitted.moveLeft(best->left());
    if (fitted.top() < best->top()) fitted.moveTop(best->top());
    return fitted;
}

} // namespace qx
