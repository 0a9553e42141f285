#pragma once

#include <functional>

#include <QString>

#include "app/Screens.h"

class QLabel;
class QSpinBox;

namespace qx {

class TColorButton;
class TGameHost;
class TGraphicPanel;
class TStrategicMapWidget;
class TfrmSelectBrains;

// The new game setup screen (pnlGameSettings): the scenario file with its
// map size, victory condition and description, the numbers of human and
// computer players, capital value and starting resources, a live preview of
// the galaxy, "Regenerate", "Brains...", "Proceed" and "Cancel". The rules
// of the values are the session's setup; this screen shows and forwards.
class TGameSettingsScreen : public TScreen {
    Q_OBJECT
public:
    TGameSettingsScreen(TGameHost& host, QWidget* parent = nullptr);
    ~TGameSettingsScreen() override;

    // The dialogs the screen opens, replaceable by tests: the scenario file
    // (empty when cancelled), the brain window, messages.
    std::function<QString()> ChooseScenario;
    std::function<void(TfrmSelectBrains&)> RunBrainWindow;
    std::function<void(const QString&)> Message;

    // Entering the screen: the ranges for solo or network play, and the
    // scenario dialog at once when no scenario was chosen yet.
    void Enter(bool loggedIn);
    // "Scenario File...".
    void btnOpenScenarioClick();
    // A scenario chosen: its name, its preview when there are two players.
    void OpenScenario(const QString& path);
    void btnRegenerateClick();
    void btnBrainsClick();
    // "Proceed": true when the game started.
    bool Proceed();

    QSpinBox* HumanPlayers() const { return humans_; }
    QSpinBox* ComputerPlayers() const { return computers_; }
    QSpinBox* CapitalValue() const { return capitalValue_; }
    QSpinBox* StartingResources() const { return resources_; }
    TStrategicMapWidget* Preview() const { return preview_; }
    TColorButton* RegenerateButton() const { return regenerate_; }
    TColorButton* BrainsButton() const { return brains_; }
    QLabel* BrainDuelLabel() const { return brainDuel_; }
    TGraphicPanel* ScenarioName() const { return scenarioName_; }
    TGraphicPanel* VictoryConditions() const { return victory_; }
    QLabel* Description() const { return description_; }
    // Shows the setup's values and what follows from them.
    void ShowValues();

private:
    QSpinBox* AddSpin(const QString& name, const QString& caption, int y);
    void BuildPreview();

    TGameHost& host_;
    bool updating_ = false;
    TGraphicPanel* scenarioName_ = nullptr;
    QSpinBox* humans_ = nullptr;
    QSpinBox* computers_ = nullptr;
    QSpinBox* capitalValue_ = nullptr;
    QSpinBox* resources_ = nullptr;
    TGraphicPanel* mapWidth_ = nullptr;
    TGraphicPanel* mapHeight_ = nullptr;
    TGraphicPanel* victory_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* brainDuel_ = nullptr;
    TStrategicMapWidget* preview_ = nullptr;
    TColorButton* regenerate_ = nullptr;
    TColorButton* brains_ = nullptr;
};

} // namespace qx
