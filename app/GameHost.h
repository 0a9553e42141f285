#pragma once

#include <memory>

#include "engine/ShipTypes.h"

#include <QString>
#include <QStringList>

namespace qx {

class IGameAudio;
class TBoardArt;
class TBrainSelection;
class TBuildDefaults;
class TGameBoard;
class TGameSession;
class TGameSoundOutput;
class TKyrelConnection;
class TNameGenerator;
class TQuorvexEngine;
class TRealTimeEngine;
class TTextScenarioDisplay;
class TdmScripts;

// The game behind the setup and game screens, owned by the main window for
// the whole run: the board's pictures, the rules engine, the scripts, the
// impulse clock and the board (both timed on Qt's main thread), the session
// that ties them to the screens, and the way to the program's sounds. Its
// header names no game class, so the window's other files need not see them.
class TGameHost {
public:
    // The board's frames, in milliseconds from one start to the next.
    static constexpr int FrameInterval = 30;
    // One impulse a second.
    static constexpr int ImpulseInterval = 1000;

    // `names` gives the star systems their names (the window's generator,
    // with its syllables); `audio` outlives the host.
    TGameHost(const QString& dataFolder, IGameAudio& audio, TNameGenerator* names);
    ~TGameHost();
    TGameHost(const TGameHost&) = delete;
    TGameHost& operator=(const TGameHost&) = delete;

    TQuorvexEngine& Engine();
    TdmScripts& Scripts();
    TRealTimeEngine& Clock();
    TGameBoard& Board();
    TGameSession& Session();
    TBoardArt& Art();
    TGameSoundOutput& SoundOutput();
    // The program's sound and music switches and players.
    IGameAudio& Audio() { return audio_; }
    // What the window keeps in its settings: the brain of each computer
    // slot and the build panel's defaults per ship type.
    TBrainSelection& Brains();
    TBuildDefaults& BuildDefaults();
    // The six types the player chose on the ship type screen.
    void SetSelectedShipTypes(TShipTypeSet types);
    // Stops the clock and the board's frames (leaving the program).
    void StopGame();
    // Network games are played through this lobby connection, which
    // outlives the host: a game that begins runs its clock on it.
    void AttachLobby(TKyrelConnection& kyrel);

    // What the scenario last said of itself (map size, description).
    TTextScenarioDisplay& ScenarioDisplay();

    // Whether the board's pictures could be read; the reason when not.
    bool ArtLoaded() const { return artError_.isEmpty(); }
    const QString& ArtError() const { return artError_; }

    const QString& DataFolder() const { return dataFolder_; }
    // The bundled scenarios.
    QString ScenarioFolder() const;
    // Where saved games go by default: the player's data folder.
    static QString SaveFolder();
    // Brains are offered from the game's folder and the player's.
    QStringList BrainFolders() const;

private:
    struct TParts;
    QString dataFolder_;
    IGameAudio& audio_;
    QString artError_;
    std::unique_ptr<TParts> parts_;
};

} // namespace qx
