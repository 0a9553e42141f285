#pragma once

#include <string>

#include <QList>
#include <QObject>
#include <QRect>

namespace qx {

class IGameAudio;
class IInGameHost;
class TInGameForm;
class TRegistryManager;
class TfrmAlliances;
class TfrmCommunicate;
class TfrmStarShipList;
class TfrmStarSystemList;
enum class TWindowSound;

// The four windows that float beside the game screen, made once at program
// start and hidden: the StarShips and Star Systems lists, Communications and
// Alliances. The game screen tells them when a game starts, after every
// impulse and when the clock stops; their places are kept in the settings.
class TInGameWindows : public QObject {
    Q_OBJECT
public:
    // `mainWindow` owns the windows (they float above it); the ship pictures
    // come from `dataFolder`'s StarShips.bmp.
    TInGameWindows(QWidget* mainWindow, const QString& dataFolder);
    ~TInGameWindows() override;

    // What the game screen gives the windows (not owned; may be null).
    void SetHost(IInGameHost* host);
    IInGameHost* Host() const { return host_; }

    TfrmStarShipList* StarShips() const { return starShips_; }
    TfrmStarSystemList* StarSystems() const { return starSystems_; }
    TfrmCommunicate* Communicate() const { return communicate_; }
    TfrmAlliances* Alliances() const { return alliances_; }
    QList<TInGameForm*> All() const;

    // A game starts: the lists are emptied and filled with the local
    // player's ships and systems, the player buttons and alliance rows are
    // set up for the game's players.
    void GameStarted();
    // After every impulse: the lists follow the local player's ships and
    // systems, the alliance window what the others grant.
    void AfterImpulse();
    // The clock stopped: every window closes.
    void CloseAll();
    // A data message from the lobby; true when it was game chat.
    bool ReceiveData(const std::string& text, const std::string& senderId);

    // Places read from the settings (a left of 0 or less, or a place on no
    // screen, leaves the window where it is) and written back at exit.
    void RestorePositions(const TRegistryManager& registry, const QList<QRect>& screens);
    void SavePositions(TRegistryManager& registry) const;

private:
    IInGameHost* host_ = nullptr;
    TfrmStarShipList* starShips_ = nullptr;
    TfrmStarSystemList* starSystems_ = nullptr;
    TfrmCommunicate* communicate_ = nullptr;
    TfrmAlliances* alliances_ = nullptr;
};

// Plays a window's sound through the game's audio, when sound is on and the
// build has sound.
void PlayWindowSound(IGameAudio& audio, TWindowSound sound);

} // namespace qx
