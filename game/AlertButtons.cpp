#include "game/AlertButtons.h"

#include "engine/StarSystem.h"

namespace qx {

void TAlertButtons::Raise(const TStarSystem& system, int32_t impulse) {
    TAlert* chosen = nullptr;
    // The system's own button, named by index (names may repeat).
    for (TAlert& alert : Buttons_)
        if (alert.Visible && alert.SystemIndex == system.Index) chosen = &alert;
    if (!chosen)
        for (TAlert& alert : Buttons_)
            if (!alert.Visible) {
                chosen = &alert;
                break;
            }
    if (!chosen) {
        chosen = &Buttons_[0];
        for (TAlert& alert : Buttons_)
            if (alert.Impulse < chosen->Impulse) chosen = &alert;
    }
    chosen->Visible = true;
    chosen->Caption = system.Name;
    chosen->Underlined = system.Capital;
    chosen->SystemIndex = system.Index;
    chosen->Impulse = impulse;
}

void TAlertButtons::Expire(int32_t impulse) {
    for (TAlert& alert : Buttons_)
        if (alert.Visible && int64_t{alert.Impulse} + Lifetime < impulse) alert.Visible = false;
}

void TAlertButtons::HideAll() {
    for (TAlert& alert : Buttons_) alert = TAlert{};
}

} // namespace qx
