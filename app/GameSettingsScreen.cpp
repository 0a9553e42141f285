#include "app/GameSettingsScreen.h"

#include <QFileInfo>
#include <QLabel>
#include <QSpinBox>

#include "app/GameFileDialogs.h"
#include "app/GameHost.h"
#include "app/GameWidgets.h"
#include "app/Messages.h"
#include "app/SelectBrainsForm.h"
#include "app/StrategicMapWidget.h"
#include "controls/ColorButton.h"
#include "controls/GameStyle.h"
#include "controls/GraphicPanel.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "render/BoardArt.h"
#include "scenario/ScenarioDisplay.h"
#include "scenario/ScriptsModule.h"

namespace qx {

TGameSettingsScreen::TGameSettingsScreen(TGameHost& host, QWidget* parent)
    : TScreen("pnlGameSettings", parent), host_(host) {
    ChooseScenario = [this] {
        return dialogs::ChooseFile(this, dialogs::TFileKind::Scenario, host_.ScenarioFolder());
    };
    RunBrainWindow = [](TfrmSelectBrains& window) { window.exec(); };
    Message = [this](const QString& text) { TMessages::Show(this, text); };

    AddLabel("lblSetupTitle", "Begin New Game", QRect(8, 4, 300, 30), 22, style::Aqua());
    AddButton("btnOpenScenario", "Scenario File...", QChar('S'), QRect(8, 40, 122, 22));
    scenarioName_ = widgets::Panel(this, "gpnlScenFileName", Qt::white);
    scenarioName_->SetAlignment(TCaptionAlignment::Left);
    scenarioName_->setGeometry(134, 40, 174, 22);
    humans_ = AddSpin("spinNbrHumanPlayers", "Nbr of Human Players:", 72);
    computers_ = AddSpin("spinNbrComputerPlayers", "Nbr of Computer Brain Players:", 98);
    capitalValue_ = AddSpin("spinCapitalValue", "Capital Value:", 124);
    resources_ = AddSpin("spinStartingResources", "Starting Resources:", 150);
    mapWidth_ = widgets::Panel(this, "gpnlMapWidth", style::Aqua());
    mapWidth_->setGeometry(8, 180, 148, 22);
    mapHeight_ = widgets::Panel(this, "gpnlMapHeight", style::Aqua());
    mapHeight_->setGeometry(160, 180, 148, 22);
    victory_ = widgets::Panel(this, "gpnlVictoryConditions", QColor(255, 220, 0));
    victory_->setGeometry(8, 208, 300, 22);
    description_ = new QLabel(this);
    description_->setObjectName("lblScenarioDesc");
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description_->setFont(TextFont(13));
    widgets::SetColor(description_, QColor(220, 235, 235));
    description_->setGeometry(8, 238, 300, 130);
    brainDuel_ = AddLabel("lblBrainDuel", "-- Brain Duel Mode --", QRect(8, 376, 300, 22), 16, QColor(255, 220, 0),
                          Qt::AlignCenter);

    AddLabel("lblPreview", "Galaxy Preview", QRect(316, 14, 313, 22), 15, style::Teal(), Qt::AlignCenter);
    preview_ = new TStrategicMapWidget(this);
    preview_->setObjectName("qxScenPreview");
    preview_->setGeometry(316, 40, 313, 345);
    preview_->setCursor(Qt::ArrowCursor);
    TStrategicMap& map = preview_->Map();
    map.QuorvexEngine = &host_.Engine();
    map.CharMatrix = host_.Scripts().MatrixMap;
    map.SetColorPalette(&host_.Art().Palette);
    map.StarSystemRadius = 3;
    map.WormholeRadius = 3;

    regenerate_ = AddButton("btnRegenerate", "Regenerate", QChar('R'), QRect(316, 392, 120, 22));
    regenerate_->setToolTip("Build the galaxy again: every build differs");
    brains_ = AddButton("btnBrains", "Brains...", QChar('B'), QRect(8, 420, 100, 24));
    brains_->setToolTip("Choose the brain each computer player thinks with");
    AddButton("btnSetupProceed", "Proceed", QChar('P'), QRect(424, 420, 100, 24));
    AddButton("btnSetupCancel", "Cancel", QChar('C'), QRect(532, 420, 92, 24));
    regenerate_->hide();

    connect(findChild<TColorButton*>("btnOpenScenario"), &TColorButton::clicked, this,
            GuardedSlot([this] { btnOpenScenarioClick(); }));
    connect(regenerate_, &TColorButton::clicked, this, GuardedSlot([this] { btnRegenerateClick(); }));
    connect(brains_, &TColorButton::clicked, this, GuardedSlot([this] { btnBrainsClick(); }));
    const auto changed = [this](void (TGameSetup::*set)(int), QSpinBox* spin) {
        connect(spin, &QSpinBox::valueChanged, this, GuardedSlot([this, set, spin] {
                    if (updating_) return;
                    (host_.Session().Setup().*set)(spin->value());
                    ShowValues();
                }));
    };
    changed(&TGameSetup::SetHumanPlayers, humans_);
    changed(&TGameSetup::SetComputerPlayers, computers_);
    changed(&TGameSetup::SetCapitalValue, capitalValue_);
    changed(&TGameSetup::SetStartingResources, resources_);
    Loaded();
    ShowValues();
}

TGameSettingsScreen::~TGameSettingsScreen() = default;

QSpinBox* TGameSettingsScreen::AddSpin(const QString& name, const QString& caption, int y) {
    AddLabel(name + "Label", caption, QRect(8, y, 236, 22), 14, style::Aqua());
    QSpinBox* spin = widgets::SpinBox(this, name, 0, 1000);
    spin->setGeometry(248, y, 60, 22);
    return spin;
}

void TGameSettingsScreen::ShowValues() {
    const TGameSetup& setup = host_.Session().Setup();
    updating_ = true;
    humans_->setRange(setup.HumanMin(), setup.HumanMax());
    humans_->setValue(setup.HumanPlayers());
    computers_->setRange(setup.ComputerMin(), setup.ComputerMax());
    computers_->setValue(setup.ComputerPlayers());
    capitalValue_->setRange(TGameSetup::CapitalValueMin, TGameSetup::CapitalValueMax);
    capitalValue_->setValue(setup.CapitalValue());
    resources_->setRange(TGameSetup::ResourcesMin, TGameSetup::ResourcesMax);
    resources_->setValue(setup.StartingResources());
    updating_ = false;
    brainDuel_->setVisible(setup.BrainDuel());
    brains_->setVisible(setup.BrainsVisible());
    regenerate_->setVisible(!setup.ScenarioFile.empty());
    scenarioName_->SetCaption(QFileInfo(QString::fromStdString(setup.ScenarioFile)).fileName());
}

void TGameSettingsScreen::Enter(bool loggedIn) {
    host_.Session().Setup().Enter(loggedIn);
    ShowValues();
    if (host_.Session().Setup().ScenarioFile.empty()) btnOpenScenarioClick();
}

void TGameSettingsScreen::btnOpenScenarioClick() {
    const QString path = ChooseScenario ? ChooseScenario() : QString();
    if (!path.isEmpty()) OpenScenario(path);
}

void TGameSettingsScreen::OpenScenario(const QString& path) {
    host_.Session().Setup().ScenarioFile = path.toStdString();
    ShowValues();
    if (host_.Session().Setup().TotalPlayers() >= 2) BuildPreview();
}

void TGameSettingsScreen::btnRegenerateClick() {
    if (host_.Session().Setup().TotalPlayers() >= 2) BuildPreview();
}

void TGameSettingsScreen::BuildPreview() {
    TTextScenarioDisplay& display = host_.ScenarioDisplay();
    display = TTextScenarioDisplay();
    const TGameResult built = host_.Session().BuildPreview();
    TQuorvexEngine& engine = host_.Engine();
    mapWidth_->SetCaption(QString("Map Width: %1").arg(engine.MapWidth));
    mapHeight_->SetCaption(QString("Map Height: %1").arg(engine.MapHeight));
    victory_->SetCaption(QString::fromStdString(engine.VictoryText()));
    victory_->setToolTip(victory_->Caption());
    description_->setText(QString::fromStdString(display.Description));
    preview_->Map().ResetBackground();
    preview_->update();
    if (!built.Ok && !built.Message.empty()) Message(QString::fromStdString(built.Message));
}

void TGameSettingsScreen::btnBrainsClick() {
    const TGameSetup& setup = host_.Session().Setup();
    TfrmSelectBrains window(host_.Session().Brains(), host_.Engine(), this);
    window.Prepare(setup.HumanPlayers(), setup.TotalPlayers());
    if (RunBrainWindow) RunBrainWindow(window);
}

bool TGameSettingsScreen::Proceed() {
    if (!host_.ArtLoaded()) {
        Message("The galaxy cannot be shown: " + host_.ArtError());
        return false;
    }
    const TGameResult started = host_.Session().Proceed();
    if (!started.Ok && !started.Message.empty()) Message(QString::fromStdString(started.Message));
    return started.Ok;
}

} // namespace qx
