#pragma once

#include <QString>
#include <QStringList>

#include "engine/ShipTypes.h"

namespace qx {

// The texts of the StarShip type selection screen. They are kept as one
// text: entries separated by ";", each a heading written with a leading "*"
// and then lines separated by "^"; entry i describes ship type i.
struct TShipDescription {
    QString Heading;
    QStringList Lines;
};

class TShipDescriptions {
public:
    // The game's own descriptions of the 22 types.
    static const QString& Text();

    explicit TShipDescriptions(const QString& text = Text());
    int Count() const { return entries_.size(); }
    // The entry for a type; the type's name and no lines when the text has none.
    TShipDescription For(TShipType type) const;

    static TShipDescription ParseEntry(const QString& entry);

private:
    QList<TShipDescription> entries_;
};

} // namespace qx
