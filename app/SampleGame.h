#pragma once

#include <memory>
#include <string>

#include <QString>

#include "app/InGameHost.h"

namespace qx {

class TCharMatrix;
class TColorPalette;
class TQuorvexEngine;
class TdmScripts;

// A small game in progress, made without playing, that the in-game windows
// can show for pictures of them: the "Conquest" scenario for five empires,
// some ships of the local player (a few damaged), alliances and chat. Every
// action the windows ask for is only counted.
class TSampleGame : public IInGameHost {
public:
    // Scenario, palette and ship pictures come from `dataFolder`; without
    // the scenario the galaxy is made by hand.
    explicit TSampleGame(const QString& dataFolder);
    ~TSampleGame() override;

    const TQuorvexEngine* Engine() const override;
    const TPlayer* LocalPlayer() const override;
    void CenterOn(int, int) override { ++Actions; }
    void AddOrder(const std::string&) override { ++Actions; }
    void SendData(const std::string&) override { ++Actions; }
    void PlaySound(TWindowSound) override {}
    void KeyPressed(QKeyEvent&) override {}

    int Actions = 0;

private:
    void MakeByHand();
    void AddFleet();

    std::unique_ptr<TColorPalette> palette_;
    std::unique_ptr<TCharMatrix> map_;
    std::unique_ptr<TQuorvexEngine> engine_;
    std::unique_ptr<TdmScripts> scripts_;
};

} // namespace qx
