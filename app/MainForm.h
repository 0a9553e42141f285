#pragma once

#include <array>
#include <memory>

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "app/RegistryManager.h"
#include "app/SettingsRules.h"
#include "app/ShipDescriptions.h"
#include "base/Random.h"
#include "engine/NameGenerator.h"
#include "engine/ShipTypes.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;

namespace qx {

class IGameAudio;
class TColorButton;
class TGameHost;
class TGameScreen;
class TGameSettingsScreen;
class THelpWindow;
class THistoryScreen;
class TInGameWindows;
class TLobbyClient;
class TLobbyScreen;
class TScriptEditorScreen;
class TdmScripts;
class TPlaceholderScreen;
class TSelectStarShipsScreen;
class TTitleScreen;

// The main window: seven full-window screens in a stack with the moves
// between them, the settings kept between runs, the sound and music
// switches, and the tips, help and about windows.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int BrainSlots = 10;

    // `dataFolder` holds the pictures, font, help, tips and syllables;
    // `settingsFile` is the INI file of this user.
    TfrmMain(const QString& dataFolder, const QString& settingsFile, std::unique_ptr<IGameAudio> audio,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Screens.
    QStackedWidget* Screens() const { return screens_; }
    QWidget* CurrentScreen() const;
    QWidget* Screen(const QString& name) const;
    void ShowScreen(QWidget* screen);
    QList<QWidget*> AllScreens() const;
    // While true the title screen's palette is the one realised.
    bool TitlePalette() const { return titlePalette_; }
    bool LoggedIn() const;

    // State kept by the window.
    TShipTypeSet SelectedShipTypes() const { return selectedShipTypes_; }
    const std::array<TBuildDefault, ShipTypeCount>& BuildDefaults() const { return buildDefaults_; }
    const std::array<QString, BrainSlots>& BrainNames() const { return brainNames_; }
    const TNameGenerator& Names() const { return names_; }
    const QCursor& TargetCursor() const { return targetCursor_; }
    bool TargetCursorLoaded() const { return targetCursorLoaded_; }
    const QStringList& Tips() const { return tips_; }
    IGameAudio& Audio() const { return *audio_; }
    TRegistryManager& Registry() { return reg_; }
    QAction* SoundItem() const { return pmiSound_; }
    QAction* MusicItem() const { return pmiMusic_; }
    QMenu* SystemMenu() const { return pmiSystem_; }
    TSelectStarShipsScreen* ShipSelection() const { return shipScreen_; }
    QString DataFolder() const { return dataFolder_; }
    TScriptEditorScreen* ScriptEditor() const { return editor_; }
    // The StarShips, Star Systems, Communications and Alliances windows.
    TInGameWindows* InGameWindows() const { return inGame_; }
    // The script module of the editor screen, apart from the running game's.
    TdmScripts& Scripts() const { return *dmScripts_; }
    // The game behind the setup and game screens, solo or through the lobby.
    TGameHost& GameHost() const { return *game_; }
    TGameSettingsScreen* SetupScreen() const { return setupScreen_; }
    TGameScreen* GameScreen() const { return gameScreen_; }
    // The lobby: the connection and its screens.
    TLobbyClient& Lobby() const { return *lobby_; }
    TLobbyScreen* LobbyScreen() const { return lobbyScreen_; }
    THistoryScreen* HistoryScreen() const { return historyScreen_; }
    // How often the open statistics dialog asks the server again (ms).
    int ServerStatsInterval = 5000;
    THelpWindow* HelpWindow() const;

    // Whether the tips window opens once the window is on screen.
    void SetTipsAtStart(bool on) { tipsAtStart_ = on; }
    // Opens the tips window at the stored tip and writes what it showed.
    void ShowTips();
    // Writes the settings kept at exit; reports a file that cannot be
    // written. Returns whether they were saved.
    bool SaveSettings();
    // The settings read at first show (also done by showing the window).
    void LoadSettings();

    // Screen moves, named after their buttons.
    void btnBeginNewGameClick();
    void btnOpenSavedGameClick();
    void btnSelectStarShipsClick();
    void btnLoginClick();
    void btnGameEditorsClick();
    void btnHelpClick();
    void btnAboutClick();
    void btnExitClick();
    void btnProceedShipsClick();
    void btnCancelShipsClick();
    void lbSelectStarShipsClick(int row);
    void btnSetupCancelClick();
    void btnSetupProceedClick();
    void btnEditorCloseClick();
    void btnLobbySelectShipsClick();
    void btnLobbySchedulesClick();
    void btnHistoryReturnClick();
    // The lobby (MainFormLobby.cpp).
    void btnKyrelNewGameClick();
    void btnKyrelOpenGameClick();
    void btnKyrelDisconnectClick();
    // "Proceed" on the setup screen while logged in: the game's subject is
    // created and the lobby shown, where the game waits to begin.
    void NetworkSetupProceed();
    void btnGameExitClick();
    void pmiSoundClick(bool on);
    void pmiMusicClick(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateScreens();
    void ConnectButtons();
    void LoadSyllables();
    void LoadTips();
    void LoadTitlePicture();
    // Clears the selection list and selects the stored types.
    void LoadSelectedShipTypes();
    void ShowTitle();
    void ShowLobbyOrTitle();
    // The lobby's parts, before the screens; their wiring, after.
    void CreateLobby();
    void ConnectLobby();
    void LoginSucceeded();
    void LobbyEnded(const QString& message);
    void ShowConnecting(const QString& text);
    void ShowLoginButton(bool show);
    // Leaving the program: the game stops and the connection closes.
    void CloseLobby();
    QString DataFile(const QString& name) const;

    QString dataFolder_;
    TRegistryManager reg_;
    std::unique_ptr<IGameAudio> audio_;
    std::unique_ptr<TdmScripts> dmScripts_;
    TShipDescriptions shipDescriptions_;
    TNameGenerator names_;
    TRandom random_;
    QCursor targetCursor_;
    bool targetCursorLoaded_ = false;
    QStringList tips_;
    QImage titlePicture_;

    QStackedWidget* screens_ = nullptr;
    TTitleScreen* titleScreen_ = nullptr;
    TSelectStarShipsScreen* shipScreen_ = nullptr;
    TScriptEditorScreen* editor_ = nullptr;
    TInGameWindows* inGame_ = nullptr;
    // The connection outlives the game played through it.
    std::unique_ptr<TLobbyClient> lobby_;
    std::unique_ptr<TGameHost> game_;
    TGameSettingsScreen* setupScreen_ = nullptr;
    TGameScreen* gameScreen_ = nullptr;
    QMenu* pmiSystem_ = nullptr;
    QAction* pmiSound_ = nullptr;
    QAction* pmiMusic_ = nullptr;
    QPointer<THelpWindow> help_;
    TLobbyScreen* lobbyScreen_ = nullptr;
    THistoryScreen* historyScreen_ = nullptr;
    QLabel* lblConnecting_ = nullptr;

    bool titlePalette_ = true;
    bool shown_ = false;
    bool tipsAtStart_ = true;
    TShipTypeSet selectedShipTypes_;
    std::array<TBuildDefault, ShipTypeCount> buildDefaults_{};
    std::array<QString, BrainSlots> brainNames_;
};

} // namespace qx
