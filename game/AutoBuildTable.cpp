#include "game/AutoBuildTable.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/FieldCodec.h"
#include "engine/QuorvexEngine.h"
#include "engine/ShipCostCalculator.h"
#include "game/BuildDefaults.h"
#include "game/BuildPanelModel.h"

namespace qx {

bool TAutoBuildTable::Flag(int system, const char* name) const {
    const auto found = Values_.find(Key(system, name));
    return found != Values_.end() && found->second == "1";
}

void TAutoBuildTable::SetFlag(int system, const char* name, bool on) { Values_[Key(system, name)] = on ? "1" : "0"; }

std::optional<TAutoShipType> TAutoBuildTable::AutoShipType(int system) const {
    const auto found = Values_.find(Key(system, "AutoShipType"));
    if (found == Values_.end()) return std::nullopt;
    std::string_view text = found->second;
    TAutoShipType result;
    int32_t type = 0;
    if (!TextToInt(NextToken(text, ';'), type) || !ShipTypeFromOrdinal(type, result.Type)) return std::nullopt;
    result.Weapons = std::clamp(NextInt(text, ';'), TBuildDefaults::MinRating, TBuildDefaults::MaxRating);
    result.Engines = std::clamp(NextInt(text, ';'), TBuildDefaults::MinRating, TBuildDefaults::MaxRating);
    result.Cloaked = NextBool(text, ';');
    return result;
}

void TAutoBuildTable::SetAutoShipType(int system, const TAutoShipType& type) {
    Values_[Key(system, "AutoShipType")] =
        Tokenize({static_cast<int>(type.Type), type.Weapons, type.Engines, type.Cloaked}, ';');
}

std::string TAutoBuildTable::Caption(const TAutoShipType& type) {
    const TShipTypeInfo& info = ShipTypeInfo(type.Type);
    std::string caption = info.Name;
    if (info.Letter != '\0') caption += std::string(" ") + info.Letter + std::to_string(type.Weapons);
    caption += " E" + std::to_string(type.Engines);
    if (type.Cloaked) caption += " (clk)";
    return caption;
}

std::string TAutoBuildTable::Caption(int system) const {
    const std::optional<TAutoShipType> type = AutoShipType(system);
    return type ? Caption(*type) : std::string();
}

std::vector<std::string> TAutoBuildTable::Lines() const {
    std::vector<std::string> lines;
    for (const auto& [name, value] : Values_) lines.push_back(name + "=" + value);
    return lines;
}

std::vector<std::string> TAutoBuildTable::Orders(const TQuorvexEngine& engine, const TPlayer* player) const {
    std::vector<std::string> orders;
    if (!player) return orders;
    for (int i = 0; i < engine.StarSystemCount(); ++i) {
        const TStarSystem& system = *engine.GetStarSystem(i);
        if (system.Owner != player) continue;
        // What this pass may spend: the whole resources, cut to an integer.
        int64_t left = static_cast<int64_t>(std::clamp(std::trunc(system.Resources), -1e15, 1e15));
        auto buy = [&](int64_t cost, const std::string& order) {
            for (int n = 0; n < MaxOrdersPerKind && cost <= left; ++n, ++cost) {
                orders.push_back(order);
                left -= cost;
            }
        };
        if (AutoShields(system.Index))
            buy(std::abs(int64_t{system.Shields}) + 1, "10:" + std::to_string(system.Index));
        if (AutoScanners(system.Index))
            buy(std::max<int64_t>(int64_t{system.Scanners} + 1, 1), "11:" + std::to_string(system.Index));

        const std::optional<TAutoShipType> type = AutoShipType(system.Index);
        if (!AutoStarShip(system.Index) || !type) continue;
        const std::vector<TShipType> buildable = TBuildPanelModel::TypesForStarSystem(player, system);
        if (std::find(buildable.begin(), buildable.end(), type->Type) == buildable.end()) continue;
        const TShipTypeInfo& info = ShipTypeInfo(type->Type);
        const int engines = info.FixedEngines > 0 ? info.FixedEngines : type->Engines;
        const int value = info.Letter != '\0' ? type->Weapons : 0;
        TShipCostCalculator calc;
        if (engine.ImpulseAssigner) calc.SetImpulseAssigner(engine.ImpulseAssigner);
        calc.ShipType = type->Type;
        calc.Engines = engines;
        calc.Extra = value;
        calc.Cloaked = type->Cloaked;
        calc.StarSystem = &system;
        const int cost = calc.Cost();
        if (cost > left) continue;
        [&] {
            for (int dX = -1; dX <= 1; ++dX)
                for (int dY = -1; dY <= 1; ++dY) {
                    if (dX == 0 && dY == 0) continue;
                    const int64_t x = int64_t{system.X} + dX, y = int64_t{system.Y} + dY;
                    if (!engine.IsInsideMap(x, y) || !engine.IsEmpty(static_cast<int>(x), static_cast<int>(y))) continue;
                    orders.push_back(Tokenize({12, system.Index, static_cast<int>(type->Type), engines, value,
                                               type->Cloaked, dX, dY, cost, ""},
                                              ':'));
                    return;
                }
        }();
    }
    return orders;
}

} // namespace qx
