#include "app/GameHost.h"

#include <QDir>

#include "app/GameSoundOutput.h"
#include "app/QtMainThreadExecutor.h"
#include "engine/QuorvexEngine.h"
#include "game/GameSession.h"
#include "net/RealTimeEngine.h"
#include "render/BoardArt.h"
#include "render/GameBoard.h"
#include "render/qt/BoardPicture.h"
#include "scenario/ScenarioDisplay.h"
#include "scenario/ScriptsModule.h"

namespace qx {

namespace {

// The board copies its pictures when it is made, so they are read first.
struct TLoadedArt {
    TBoardArt Art;
    TLoadedArt(const QString& folder, QString& error) {
        try {
            Art.Load(QDir(folder).absolutePath().toStdString());
        } catch (const std::exception& failure) {
            error = QString::fromStdString(failure.what());
        }
    }
};

} // namespace

struct TGameHost::TParts {
    std::shared_ptr<TQtMainThreadExecutor> Executor = std::make_shared<TQtMainThreadExecutor>();
    TLoadedArt Loaded;
    TBoardArt& Art = Loaded.Art;
    TQuorvexEngine Engine;
    TdmScripts Scripts;
    TTextScenarioDisplay Display;
    TRealTimeEngine Clock{Executor};
    TGameBoard Board{Art, QtCanvasFactory(), Executor};
    TGameSoundOutput Output;
    // Last: it lets go of the others' events when it goes.
    TGameSession Session{Engine, Scripts, Clock, Board};

    TParts(const QString& folder, QString& artError, IGameAudio& audio)
        : Loaded(folder, artError), Output(audio) {}
};

TGameHost::TGameHost(const QString& dataFolder, IGameAudio& audio, TNameGenerator* names)
    : dataFolder_(dataFolder), audio_(audio), parts_(std::make_unique<TParts>(dataFolder, artError_, audio)) {
    TParts& p = *parts_;
    p.Engine.ColorPalette = &p.Art.Palette;
    if (names) p.Scripts.Names = names;
    p.Scripts.Display = &p.Display;
    p.Clock.Interval = ImpulseInterval;
    p.Board.Surface().AnimationInterval = FrameInterval;
    p.Session.SetSounds(&p.Output);
    p.Session.SetMusic(&p.Output);
    std::vector<std::string> folders;
    for (const QString& folder : BrainFolders()) folders.push_back(folder.toStdString());
    p.Session.Brains().Folders = folders;
}

TGameHost::~TGameHost() {
    // The frame thread and the clock stop before anything they use goes.
    parts_->Session.StopGame();
}

TQuorvexEngine& TGameHost::Engine() { return parts_->Engine; }
TdmScripts& TGameHost::Scripts() { return parts_->Scripts; }
TRealTimeEngine& TGameHost::Clock() { return parts_->Clock; }
TGameBoard& TGameHost::Board() { return parts_->Board; }
TGameSession& TGameHost::Session() { return parts_->Session; }
TBoardArt& TGameHost::Art() { return parts_->Art; }
TGameSoundOutput& TGameHost::SoundOutput() { return parts_->Output; }
TTextScenarioDisplay& TGameHost::ScenarioDisplay() { return parts_->Display; }
TBrainSelection& TGameHost::Brains() { return parts_->Session.Brains(); }
TBuildDefaults& TGameHost::BuildDefaults() { return parts_->Session.BuildDefaults(); }
void TGameHost::SetSelectedShipTypes(TShipTypeSet types) { parts_->Session.SelectedShipTypes = types; }
void TGameHost::StopGame() { parts_->Session.StopGame(); }
void TGameHost::AttachLobby(TKyrelConnection& kyrel) { parts_->Session.AttachLobby(kyrel); }

QString TGameHost::ScenarioFolder() const { return QDir(dataFolder_).filePath("scenarios"); }

QString TGameHost::SaveFolder() { return QDir(QString::fromStdString(UserDataFolder())).filePath("saves"); }

QStringList TGameHost::BrainFolders() const {
    return {QDir(dataFolder_).filePath("brains"), QDir(QString::fromStdString(UserDataFolder())).filePath("brains")};
}

} // namespace qx
