#pragma once

#include <cstdint>
#include <string>

namespace qx {

// Where a scenario shows what it sets up: the map size panels and the
// description label of the new-game screen. The window fills it in; headless
// programs keep the texts.
class IScenarioDisplay {
public:
    virtual ~IScenarioDisplay() = default;
    virtual void ShowMapSize(int32_t width, int32_t height) = 0;
    virtual void ShowDescription(const std::string& text) = 0;
};

class TTextScenarioDisplay : public IScenarioDisplay {
public:
    void ShowMapSize(int32_t width, int32_t height) override {
        MapWidthText = std::to_string(width);
        MapHeightText = std::to_string(height);
    }
    void ShowDescription(const std::string& text) override { Description = text; }

    std::string MapWidthText;
    std::string MapHeightText;
    std::string Description;
};

} // namespace qx
