#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qx {

class TStarSystem;

// One of the four alert buttons of the status bar.
struct TAlert {
    bool Visible = false;
    std::string Caption;     // the attacked star system's name
    bool Underlined = false; // the system is a capital
    int32_t SystemIndex = -1;
    int32_t Impulse = 0;     // of the last attack
};

// The alert buttons: an attacked star system of the local player lights one
// for 20 impulses after its last attack. A system that already has a button
// keeps it; otherwise the first free button is taken, else the oldest.
class TAlertButtons {
public:
    static constexpr int Count = 4;
    static constexpr int32_t Lifetime = 20;

    void Raise(const TStarSystem& system, int32_t impulse);
    // Hides every button whose last attack is more than 20 impulses before
    // `impulse`.
    void Expire(int32_t impulse);
    void HideAll();
    const TAlert& Button(int i) const { return Buttons_[static_cast<size_t>(i)]; }

private:
    std::array<TAlert, Count> Buttons_{};
};

} // namespace qx
