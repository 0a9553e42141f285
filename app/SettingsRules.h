#pragma once

#include <optional>

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "engine/ShipTypes.h"

namespace qx {

// How stored setting texts become the game's values, kept apart from the
// window so every rule is checked on its own.

// Decimal text to an integer: 0 for empty, non-numeric or out-of-range text.
int SettingToInt(const QString& text);

// The build panel's starting values for one ship type.
struct TBuildDefault {
    static constexpr int DefaultEngines = 8;
    static constexpr int DefaultValue = 3;
    static constexpr int MaxEngines = 20;  // the impulse schedule's rows
    static constexpr int MaxValue = 99;

    int Engines = DefaultEngines;
    int Value = DefaultValue;
};
// Stored numbers outside 1..MaxEngines and 1..MaxValue (0 or absent
// included) give 8 engines and 3 weapons.
TBuildDefault BuildDefaultFrom(int engines, int value);

// A stored brain name: only the file name, without directory and without
// its last extension ("Warden.qxbrain" -> "Warden", "my.warden.qxbrain" ->
// "my.warden"). Empty when nothing usable is left or the name holds
// characters that cannot travel inside a game (separators, control codes).
QString BrainNameFromSetting(const QString& stored);

// The ship types named by the six stored "StarShipType" texts. Empty,
// non-numeric and unknown values select nothing. `last` becomes the last
// type read, when any was.
TShipTypeSet ShipTypesFromSettings(const QStringList& stored, std::optional<TShipType>* last = nullptr);
// The six type numbers of a selection in ascending order, as texts.
QStringList ShipTypesToSettings(TShipTypeSet types);
int CountShipTypes(TShipTypeSet types);

// The tip to show for a stored tip number: any integer taken modulo the
// number of tips (0 when there are none).
int TipIndex(int stored, int tipCount);

// Where a window with a saved rectangle goes, given the screens' available
// areas: nowhere (the designed position stands) when the left is not above 0
// or too little of it lies on any screen; otherwise the rectangle at least
// `minimum` and at most its screen in size, moved wholly onto that screen.
std::optional<QRect> FitSavedRect(const QRect& saved, const QList<QRect>& screens, QSize minimum);

} // namespace qx
