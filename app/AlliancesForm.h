#pragma once

#include <array>

#include "app/InGameForm.h"
#include "app/InGameRules.h"
#include "engine/QxObject.h"

class QLabel;

namespace qx {

class TColorButton;
class TGraphicPanel;
class TQuorvexEngine;

// "Alliances": for every other player, "Non-Aggression" (do not attack
// their ships) and "Intelligence" (share sight with them). A press queues
// the alliance order; the rules apply it at the next impulse. Beside each
// row, what that player grants this one.
class TfrmAlliances : public TInGameForm {
    Q_OBJECT
public:
    explicit TfrmAlliances(QWidget* parent = nullptr);

    // A game starts: the rows of the other players show, with the buttons at
    // the levels this player holds toward them.
    void GameStarted(const TQuorvexEngine& engine, const TPlayer* local);
    // Refreshes what the other players grant this one (every impulse).
    void RefreshStances(const TQuorvexEngine& engine, const TPlayer* local);

    TGraphicPanel* NamePanel(int slot) const { return rows_[static_cast<size_t>(slot)].Name; }
    TColorButton* NonAggressionButton(int slot) const { return rows_[static_cast<size_t>(slot)].NonAggression; }
    TColorButton* IntelligenceButton(int slot) const { return rows_[static_cast<size_t>(slot)].Intelligence; }
    QLabel* StanceLabel(int slot) const { return rows_[static_cast<size_t>(slot)].Stance; }
    // The buttons of one slot as they stand.
    TAllianceButtons Buttons(int slot) const;

    // The presses, as the buttons make them.
    void NonAggressionPressed(int slot);
    void IntelligencePressed(int slot);

private:
    struct TRow {
        TGraphicPanel* Name = nullptr;
        TColorButton* NonAggression = nullptr;
        TColorButton* Intelligence = nullptr;
        QLabel* Stance = nullptr;
    };
    void Apply(int slot, const TAlliancePress& press, bool intelligence);
    // Shows a slot's buttons as the window holds them.
    void ShowButtons(int slot);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::array<TRow, MaxPlayers> rows_{};
    // The levels as pressed; the buttons show these. A press that is not a
    // click (released off the button) changes nothing.
    std::array<TAllianceButtons, MaxPlayers> buttons_{};
    QLabel* note_ = nullptr;
};

} // namespace qx
