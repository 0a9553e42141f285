#pragma once

#include <string>

class QKeyEvent;

namespace qx {

class TPlayer;
class TQuorvexEngine;

// The sounds the in-game windows make.
enum class TWindowSound { Button, ClickOn, ClickOff };

// What the game screen gives the in-game windows. Every call comes on the
// main thread; the windows never change the game themselves.
class IInGameHost {
public:
    virtual ~IInGameHost() = default;

    // The game being played; null when none is.
    virtual const TQuorvexEngine* Engine() const = 0;
    // The player at this machine; null in brain mode or when no game runs.
    virtual const TPlayer* LocalPlayer() const = 0;
    // Centres the board on the cell and selects what stands there, as a
    // click on the board would.
    virtual void CenterOn(int x, int y) = 0;
    // Queues an order text for the next impulse (the clock's AddOrder).
    virtual void AddOrder(const std::string& order) = 0;
    // Sends a data message to the other machines of the game (the lobby's
    // SendData); dropped in a solo game.
    virtual void SendData(const std::string& text) = 0;
    // Plays a sound when the player has sound on.
    virtual void PlaySound(TWindowSound sound) = 0;
    // A key pressed in one of the windows, for the order hot keys of the
    // game screen.
    virtual void KeyPressed(QKeyEvent& event) = 0;
};

} // namespace qx
