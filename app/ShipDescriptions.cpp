#include "app/ShipDescriptions.h"

namespace qx {

namespace {

const char* const kDescriptions =
    "*WarShip^The backbone of every fleet. Its Weapons rating decides every fight with another WarShip: the "
    "stronger ship wins, the weaker one is lost.^Attacks StarSystems: a WarShip stronger than the shields "
    "conquers the system, a weaker one wears the shields down.^Attacks adjacent enemies on its own unless told "
    "otherwise.;"
    "*ScanShip^Sees further than any other ship: its Scanners rating is the range in cells.^Cannot see into "
    "nebulae or spot cloaked ships from afar, and does not identify what it sees.;"
    "*Drone^A cheap suicide craft. It rams an enemy ship and destroys it with a chance of its own engines against "
    "the target's engines, and the Drone is lost either way.^A Drone with at least the target's engines always "
    "succeeds.;"
    "*EMine^A mine with a single engine. It destroys the first enemy ship that comes next to it, and itself with "
    "it.^MineSweepers lose one armor point instead.;"
    "*SpyShip^A long-range scanner that also identifies the ships it sees: their type, engines and weapons become "
    "known.^Costly, but it unmasks DoppleShips and reveals what the enemy is building.;"
    "*Freighter^Carries resources between two of your StarSystems. Its CargoBays rating is how much it carries "
    "per trip.^Shuttles between the two systems until ordered otherwise.;"
    "*InkSpot^Tags enemy ships next to it: a tagged ship stays visible to you wherever it goes.^Never attacks "
    "and keeps away from enemies unless it is chasing a target.;"
    "*CloakDetector^Pulses when any ship of another player lies within its DetectorRange, cloaked or not.^It "
    "does not say where: the pulse is a warning.;"
    "*Tug^Takes another ship in tow, friend or foe. A towed ship cannot act and follows the Tug step by "
    "step.^Release lets it go.;"
    "*HijackShip^Captures an enemy ship next to it by boarding: the ship changes sides with its orders and "
    "cargo, and the HijackShip is spent.;"
    "*ShieldGenerator^Raises the shields of a StarSystem next to it, one point at a time, as long as it stays "
    "there.;"
    "*CommandShip^Every WarShip and DoppleShip of yours within its CommandRange fights with one more weapon "
    "point.^Several CommandShips add up.;"
    "*DoppleShip^A WarShip in disguise: other players see a WarShip with made-up engines and weapons.^Only a "
    "SpyShip or an InkSpot sees through it.;"
    "*RepairShip^Restores the engines and ratings of a damaged ship next to it.;"
    "*DoomMissile^A missile that strikes a StarSystem: each WarHead knocks down one to six shield points.^Once "
    "targeted it cannot be redirected.;"
    "*NukeMissile^A missile that strikes a StarSystem's stockpile: each WarHead destroys up to half of its "
    "resources.^Once targeted it cannot be redirected.;"
    "*MineSweeper^Clears minefields: an EMine costs it one point of Armor instead of the whole ship.;"
    "*GravShip^Drags a whole StarSystem through space, moving at one engine while it does.^It lets go when the "
    "system falls behind.;"
    "*StarTillery^Long-range artillery: fires at the nearest enemy ship within its Range, one point of damage a "
    "shot.^It never needs to close in.;"
    "*TechShip^Research in orbit: while it lives your resource production grows, a little every impulse.^Always "
    "three engines.;"
    "*JumpGateShip^Builds a jump gate: a wormhole from where it stands back to the StarSystem that built it.^One "
    "gate per StarSystem.;"
    "*BattleStation^A slow fortress of five engines. It wears down shields without conquering, repairs itself "
    "and every damaged ship next to it, and gathers resources to build ships of its own.;";

} // namespace

const QString& TShipDescriptions::Text() {
    static const QString text = QString::fromLatin1(kDescriptions);
    return text;
}

TShipDescription TShipDescriptions::ParseEntry(const QString& entry) {
    TShipDescription description;
    QStringList parts = entry.split('^');
    QString heading = parts.isEmpty() ? QString() : parts.takeFirst().trimmed();
    if (heading.startsWith('*')) heading.remove(0, 1);
    description.Heading = heading.trimmed();
    for (const QString& line : parts)
        if (!line.trimmed().isEmpty()) description.Lines << line.trimmed();
    return description;
}

TShipDescriptions::TShipDescriptions(const QString& text) {
    const QStringList entries = text.split(';');
    for (const QString& entry : entries) {
        if (entry.trimmed().isEmpty()) continue;
        entries_ << ParseEntry(entry);
    }
}

TShipDescription TShipDescriptions::For(TShipType type) const {
    const int index = static_cast<int>(type);
    if (index < entries_.size()) return entries_[index];
    return TShipDescription{QString::fromLatin1(ShipTypeName(type)), {}};
}

} // namespace qx
