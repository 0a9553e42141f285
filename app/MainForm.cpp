#include "app/MainForm.h"

#include <chrono>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppInfo.h"
#include "app/CursorReader.h"
#include "app/GameAudio.h"
#include "app/GameDialogs.h"
#include "app/GameHost.h"
#include "app/GameScreen.h"
#include "app/GameSettingsScreen.h"
#include "app/HistoryScreen.h"
#include "app/InGameWindows.h"
#include "app/LobbyClient.h"
#include "app/LobbyScreen.h"
#include "app/Messages.h"
#include "app/QuorvexApplication.h"
#include "app/Screens.h"
#include "app/ScriptEditorScreen.h"
#include "app/TextFiles.h"
#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/StarShipListBox.h"
#include "scenario/ScriptsModule.h"
#include "game/BuildDefaults.h"
#include "game/GameSession.h"
#include "game/GameSetup.h"

namespace qx {

namespace {

constexpr TShipTypeSet AllShipTypes() {
    TShipTypeSet all;
    for (int i = 0; i < ShipTypeCount; ++i) all.Include(static_cast<TShipType>(i));
    return all;
}

QList<QRect> AvailableScreens() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return areas;
}

} // namespace

TfrmMain::TfrmMain(const QString& dataFolder, const QString& settingsFile, std::unique_ptr<IGameAudio> audio,
                   QWidget* parent)
    : QWidget(parent), dataFolder_(dataFolder), reg_(settingsFile), audio_(std::move(audio)),
      dmScripts_(std::make_unique<TdmScripts>()) {
    setObjectName("frmMain");
    setWindowTitle(app::Caption);
    setMinimumSize(app::MinimumWidth, app::MinimumHeight);
    resize(app::MinimumWidth, app::MinimumHeight);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Qt::black);
    colors.setColor(QPalette::WindowText, Qt::white);
    setPalette(colors);
    setAutoFillBackground(true);
    if (!audio_) audio_ = std::make_unique<TSilentAudio>();
    brainNames_.fill("Defender");

    // Numbers in texts do not follow the user's locale.
    FixNumberFormats();
    random_.Seed(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));

    // The targeting cursor; without its file the ordinary cursor stands in.
    if (const std::optional<TCursorPicture> cursor = TCursorReader::Load(DataFile("TARGET.CUR"))) {
        targetCursor_ = QCursor(QPixmap::fromImage(cursor->Picture), cursor->HotSpot.x(), cursor->HotSpot.y());
        targetCursorLoaded_ = true;
    }
    names_.Delimiter = "-";
    names_.SetSyllables(TNameGenerator::StarSystemSyllables());
    LoadSyllables();
    LoadTips();
    titlePalette_ = true;
    game_ = std::make_unique<TGameHost>(dataFolder_, *audio_, &names_);

    CreateLobby();
    CreateScreens();
    ConnectButtons();
    inGame_ = new TInGameWindows(this, dataFolder_);
    gameScreen_->SetInGameWindows(inGame_);
    ConnectLobby();

    // The system menu: sound and music switches, ticked while on.
    pmiSystem_ = new QMenu(this);
    pmiSystem_->setObjectName("pmiSystem");
    pmiSound_ = pmiSystem_->addAction("&Sound");
    pmiSound_->setObjectName("pmiSound");
    pmiSound_->setCheckable(true);
    pmiSound_->setChecked(audio_->SoundOn());
    pmiMusic_ = pmiSystem_->addAction("&Music");
    pmiMusic_->setObjectName("pmiMusic");
    pmiMusic_->setCheckable(true);
    pmiMusic_->setChecked(audio_->MusicOn());
    pmiSystem_->addSeparator();
    QAction* fullScreen = pmiSystem_->addAction("&Full Screen");
    fullScreen->setShortcut(QKeySequence(Qt::Key_F11));
    connect(pmiSound_, &QAction::toggled, this, GuardedSlot([this] { pmiSoundClick(pmiSound_->isChecked()); }));
    connect(pmiMusic_, &QAction::toggled, this, GuardedSlot([this] { pmiMusicClick(pmiMusic_->isChecked()); }));
    connect(fullScreen, &QAction::triggered, this, [this] { setWindowState(windowState() ^ Qt::WindowFullScreen); });
    addActions(pmiSystem_->actions());
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmiSystem_->popup(mapToGlobal(at)); });
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] { pmiSystem_->popup(mapToGlobal(QPoint(8, 8))); });

    // The ship type list holds all 22 types with their pictures; the stored
    // ones are selected.
    const QImage ships(DataFile("StarShips.bmp"));
    if (!ships.isNull()) shipScreen_->Cells()->SetPicture(ships.convertToFormat(QImage::Format_RGB32));
    shipScreen_->List()->SetShipTypes(AllShipTypes());
    LoadSelectedShipTypes();
}

TfrmMain::~TfrmMain() {
    // The screens go before the game they show.
    game_->StopGame();
    delete screens_;
    screens_ = nullptr;
}

QString TfrmMain::DataFile(const QString& name) const { return QDir(dataFolder_).filePath(name); }

void TfrmMain::LoadSyllables() {
    const QString path = DataFile("syllable.txt");
    const std::optional<QStringList> lines = ReadDataLines(path);
    if (!lines || lines->isEmpty()) {
        TMessages::Show(nullptr, MissingSyllablesMessage(path));
        return;
    }
    std::vector<std::string> syllables;
    for (const QString& line : *lines) syllables.push_back(line.toStdString());
    names_.SetSyllables(syllables);
}

void TfrmMain::LoadTips() {
    if (const std::optional<QStringList> lines = ReadDataLines(DataFile("tips.txt"))) tips_ = *lines;
}

void TfrmMain::CreateScreens() {
    screens_ = new QStackedWidget(this);
    screens_->setObjectName("screens");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screens_);

    titleScreen_ = new TTitleScreen(screens_);
    screens_->addWidget(titleScreen_);

    historyScreen_ = new THistoryScreen(lobby_->Kyrel(), screens_);
    screens_->addWidget(historyScreen_);
    setupScreen_ = new TGameSettingsScreen(*game_, screens_);
    screens_->addWidget(setupScreen_);

    shipScreen_ = new TSelectStarShipsScreen(shipDescriptions_, screens_);
    screens_->addWidget(shipScreen_);

    editor_ = new TScriptEditorScreen(*dmScripts_, dataFolder_, screens_);
    screens_->addWidget(editor_);
    lobbyScreen_ = new TLobbyScreen(lobby_->Kyrel(), screens_);
    screens_->addWidget(lobbyScreen_);
    gameScreen_ = new TGameScreen(*game_, screens_);
    if (targetCursorLoaded_) gameScreen_->SetTargetCursor(targetCursor_);
    screens_->addWidget(gameScreen_);

    screens_->setCurrentWidget(titleScreen_);
}

QList<QWidget*> TfrmMain::AllScreens() const {
    QList<QWidget*> all;
    for (int i = 0; i < screens_->count(); ++i) all << screens_->widget(i);
    return all;
}

QWidget* TfrmMain::Screen(const QString& name) const {
    for (QWidget* screen : AllScreens())
        if (screen->objectName() == name) return screen;
    return nullptr;
}

QWidget* TfrmMain::CurrentScreen() const { return screens_->currentWidget(); }

void TfrmMain::ShowScreen(QWidget* screen) {
    if (!screen) return;
    if (screen == titleScreen_) titlePalette_ = true;
    screens_->setCurrentWidget(screen);
}

void TfrmMain::ShowTitle() { ShowScreen(titleScreen_); }

void TfrmMain::ShowLobbyOrTitle() {
    if (LoggedIn())
        ShowScreen(Screen("pnlLobby"));
    else
        ShowTitle();
}

void TfrmMain::ConnectButtons() {
    const auto wire = [this](const char* name, void (TfrmMain::*handler)()) {
        auto* button = findChild<TColorButton*>(name);
        if (!button) return;
        connect(button, &TColorButton::clicked, this, GuardedSlot([this, handler] { (this->*handler)(); }));
        // On the title screen the hot letter presses the button.
        if (button->parentWidget() == titleScreen_ && !button->HighlightChar().isNull()) {
            auto* key = new QShortcut(QKeySequence(QString(button->HighlightChar().toUpper())), this);
            connect(key, &QShortcut::activated, button, [this, button] {
                if (CurrentScreen() == titleScreen_ && button->isEnabled()) emit button->clicked();
            });
        }
    };
    wire("btnBeginNewGame", &TfrmMain::btnBeginNewGameClick);
    wire("btnOpenSavedGame", &TfrmMain::btnOpenSavedGameClick);
    wire("btnSelectStarShips", &TfrmMain::btnSelectStarShipsClick);
    wire("btnLogin", &TfrmMain::btnLoginClick);
    wire("btnGameEditors", &TfrmMain::btnGameEditorsClick);
    wire("btnHelp", &TfrmMain::btnHelpClick);
    wire("btnAbout", &TfrmMain::btnAboutClick);
    wire("btnExit", &TfrmMain::btnExitClick);
    wire("btnProceedShips", &TfrmMain::btnProceedShipsClick);
    wire("btnCancelShips", &TfrmMain::btnCancelShipsClick);
    wire("btnSetupCancel", &TfrmMain::btnSetupCancelClick);
    wire("btnSetupProceed", &TfrmMain::btnSetupProceedClick);
    wire("btnEditorClose", &TfrmMain::btnEditorCloseClick);
    wire("btnLobbySelectShips", &TfrmMain::btnLobbySelectShipsClick);
    wire("btnLobbySchedules", &TfrmMain::btnLobbySchedulesClick);
    wire("btnHistoryReturn", &TfrmMain::btnHistoryReturnClick);
    wire("btnGameExit", &TfrmMain::btnGameExitClick);
    connect(gameScreen_, &TGameScreen::Left, this, GuardedSlot([this] { btnGameExitClick(); }));
    connect(titleScreen_->TipsButton(), &TColorButton::clicked, this, GuardedSlot([this] { ShowTips(); }));
    connect(shipScreen_->List(), &QListWidget::itemClicked, this, GuardedSlot([this] {
                lbSelectStarShipsClick(shipScreen_->List()->currentRow());
            }));
}

void TfrmMain::LoadSelectedShipTypes() {
    TStarShipListBox* list = shipScreen_->List();
    list->clearSelection();
    QStringList stored;
    for (int i = 1; i <= 6; ++i) stored << reg_.ReadString(QString("StarShipType%1").arg(i));
    std::optional<TShipType> last;
    const TShipTypeSet types = ShipTypesFromSettings(stored, &last);
    for (int i = 0; i < ShipTypeCount; ++i)
        if (types.Contains(static_cast<TShipType>(i))) list->SelectType(static_cast<TShipType>(i));
    if (last) {
        for (int row = 0; row < list->count(); ++row)
            if (list->ItemType(row) == *last) list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        shipScreen_->ShowType(*last);
    } else {
        shipScreen_->ShowType(TShipType::WarShip);
    }
    selectedShipTypes_ = list->SelectedTypes();
    shipScreen_->UpdateCount();
}

void TfrmMain::LoadTitlePicture() {
    const QString path = DataFile("TitleScreen.bmp");
    titlePicture_ = QImage(path);
    if (titlePicture_.isNull()) {
        TErrorHandler::Report(QString("Cannot load the title picture \"%1\".").arg(path));
        return;
    }
    titleScreen_->SetBackground(titlePicture_, false);
    for (QWidget* screen : AllScreens())
        if (screen != titleScreen_) static_cast<TScreen*>(screen)->SetBackground(titlePicture_, true);
}

void TfrmMain::LoadSettings() {
    for (int i = 0; i < ShipTypeCount; ++i)
        buildDefaults_[static_cast<size_t>(i)] =
            BuildDefaultFrom(reg_.ReadInteger(QString("%1Engine").arg(i)), reg_.ReadInteger(QString("%1Value").arg(i)));
    // "0" or nothing stored means on.
    pmiSound_->setChecked(reg_.ReadInteger("Sound") == 0);
    pmiMusic_->setChecked(reg_.ReadInteger("Music") == 0);
    audio_->SetSoundOn(pmiSound_->isChecked());
    audio_->SetMusicOn(pmiMusic_->isChecked());
    for (int i = 0; i < BrainSlots; ++i) {
        const QString name = BrainNameFromSetting(reg_.ReadString(QString("Brain%1").arg(i)));
        if (!name.isEmpty()) brainNames_[static_cast<size_t>(i)] = name;
    }
    // From here on the game keeps them; SaveSettings takes them back.
    for (int i = 0; i < ShipTypeCount; ++i) {
        const auto type = static_cast<TShipType>(i);
        game_->BuildDefaults().SetEngines(type, buildDefaults_[static_cast<size_t>(i)].Engines);
        game_->BuildDefaults().SetWeapons(type, buildDefaults_[static_cast<size_t>(i)].Value);
    }
    for (int i = 0; i < BrainSlots; ++i) game_->Brains().SetName(i, brainNames_[static_cast<size_t>(i)].toStdString());
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    Guarded([this] { LoadTitlePicture(); });
    ShowTitle();
    reg_.RestorePosition(this, "Main", AvailableScreens());
    inGame_->RestorePositions(reg_, AvailableScreens());
    LoadSettings();
    if (tipsAtStart_)
        QTimer::singleShot(0, this, GuardedSlot([this] {
                               if (reg_.ReadInteger("ShowTip") == 0) ShowTips();
                           }));
}

void TfrmMain::ShowTips() {
    TTipsDialog tips(tips_, TipIndex(reg_.ReadInteger("TipNum"), static_cast<int>(tips_.size())),
                     reg_.ReadInteger("ShowTip") == 0, this);
    tips.exec();
    reg_.WriteInteger("ShowTip", tips.ShowAtStart() ? 0 : 1);
    reg_.WriteInteger("TipNum", tips.NextTip());
    const QString error = reg_.Flush();
    if (!error.isEmpty()) TMessages::ShowError(this, error);
}

bool TfrmMain::SaveSettings() {
    // What the game changed: the build panel's values and the brains chosen.
    for (int i = 0; i < ShipTypeCount; ++i) {
        const auto type = static_cast<TShipType>(i);
        buildDefaults_[static_cast<size_t>(i)] = {game_->BuildDefaults().Engines(type),
                                                  game_->BuildDefaults().Weapons(type)};
    }
    for (int i = 0; i < BrainSlots; ++i)
        brainNames_[static_cast<size_t>(i)] = QString::fromStdString(game_->Brains().Name(i));
    if (!isFullScreen() && !isMaximized()) reg_.SavePosition(this, "Main");
    inGame_->SavePositions(reg_);
    for (int i = 0; i < ShipTypeCount; ++i) {
        reg_.WriteInteger(QString("%1Engine").arg(i), buildDefaults_[static_cast<size_t>(i)].Engines);
        reg_.WriteInteger(QString("%1Value").arg(i), buildDefaults_[static_cast<size_t>(i)].Value);
    }
    reg_.WriteInteger("Sound", audio_->SoundOn() ? 0 : 1);
    reg_.WriteInteger("Music", audio_->MusicOn() ? 0 : 1);
    for (int i = 0; i < BrainSlots; ++i) reg_.WriteString(QString("Brain%1").arg(i), brainNames_[static_cast<size_t>(i)]);
    const QString error = reg_.Flush();
    if (error.isEmpty()) return true;
    TMessages::ShowError(this, error);
    return false;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Unsaved script text is not lost by closing the window.
    if (!editor_->MayDiscard()) {
        event->ignore();
        return;
    }
    inGame_->CloseAll();
    game_->StopGame();
    if (help_) help_->close();
    CloseLobby();
    if (shown_) SaveSettings();
    event->accept();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmMain::btnBeginNewGameClick() {
    if (CountShipTypes(selectedShipTypes_) < 6) {
        TMessages::Show(this, "You must First Select 6 StarShip Types.");
        ShowScreen(shipScreen_);
        return;
    }
    titlePalette_ = false;
    game_->SetSelectedShipTypes(selectedShipTypes_);
    ShowScreen(setupScreen_);
    setupScreen_->Enter(LoggedIn());
}

void TfrmMain::btnOpenSavedGameClick() {
    game_->SetSelectedShipTypes(selectedShipTypes_);
    if (!gameScreen_->OpenSavedGame()) return;
    titlePalette_ = false;
    ShowScreen(gameScreen_);
}

void TfrmMain::btnSetupProceedClick() {
    // Entered from the lobby: the game is made there and waits for its players.
    if (game_->Session().Setup().LoggedIn()) {
        NetworkSetupProceed();
        return;
    }
    game_->SetSelectedShipTypes(selectedShipTypes_);
    if (!setupScreen_->Proceed()) return;
    titlePalette_ = false;
    gameScreen_->GameStarted();
    ShowScreen(gameScreen_);
}

void TfrmMain::btnSelectStarShipsClick() { ShowScreen(shipScreen_); }

void TfrmMain::btnGameEditorsClick() {
    editor_->Enter();
    ShowScreen(editor_);
}

void TfrmMain::btnHelpClick() {
    if (!help_) {
        help_ = new THelpWindow(DataFile("help/index.html"), this);
        help_->setAttribute(Qt::WA_DeleteOnClose);
        help_->setWindowFlag(Qt::Window);
    }
    help_->show();
    help_->raise();
    help_->ShowTopic("Introduction");
}

THelpWindow* TfrmMain::HelpWindow() const { return help_.data(); }

void TfrmMain::btnAboutClick() {
    TAboutDialog about(this);
    about.exec();
}

void TfrmMain::btnExitClick() { close(); }

void TfrmMain::btnProceedShipsClick() {
    const TShipTypeSet chosen = shipScreen_->List()->SelectedTypes();
    if (CountShipTypes(chosen) != 6) {
        TMessages::Show(this, "Please select exactly 6 StarShip types.");
        return;
    }
    const QStringList texts = ShipTypesToSettings(chosen);
    for (int i = 0; i < 6; ++i) reg_.WriteString(QString("StarShipType%1").arg(i + 1), texts[i]);
    selectedShipTypes_ = chosen;
    game_->SetSelectedShipTypes(chosen);
    const QString error = reg_.Flush();
    if (!error.isEmpty()) TMessages::ShowError(this, error);
    ShowLobbyOrTitle();
}

void TfrmMain::btnCancelShipsClick() {
    LoadSelectedShipTypes();
    ShowLobbyOrTitle();
}

void TfrmMain::lbSelectStarShipsClick(int row) {
    TStarShipListBox* list = shipScreen_->List();
    if (row < 0 || row >= list->count()) return;
    shipScreen_->ShowType(list->ItemType(row));
}

void TfrmMain::btnSetupCancelClick() { ShowLobbyOrTitle(); }
void TfrmMain::btnEditorCloseClick() {
    if (editor_->MayDiscard()) ShowTitle();
}
void TfrmMain::btnLobbySelectShipsClick() { ShowScreen(shipScreen_); }
void TfrmMain::btnLobbySchedulesClick() {
    historyScreen_->RequestHistory();
    ShowScreen(historyScreen_);
}
void TfrmMain::btnHistoryReturnClick() { ShowScreen(lobbyScreen_); }

void TfrmMain::pmiSoundClick(bool on) { audio_->SetSoundOn(on); }
void TfrmMain::pmiMusicClick(bool on) { audio_->SetMusicOn(on); }

} // namespace qx
