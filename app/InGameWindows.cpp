#include "app/InGameWindows.h"

#include <QDir>
#include <QImage>
#include <QWidget>

#include "app/AlliancesForm.h"
#include "app/CommunicateForm.h"
#include "app/GameAudio.h"
#include "app/InGameHost.h"
#include "app/RegistryManager.h"
#include "app/StarShipForm.h"
#include "app/StarSystemForm.h"
#include "engine/QuorvexEngine.h"

namespace qx {

TInGameWindows::TInGameWindows(QWidget* mainWindow, const QString& dataFolder) : QObject(mainWindow) {
    setObjectName("inGameWindows");
    starSystems_ = new TfrmStarSystemList(mainWindow);
    starShips_ = new TfrmStarShipList(mainWindow);
    communicate_ = new TfrmCommunicate(mainWindow);
    alliances_ = new TfrmAlliances(mainWindow);
    const QImage sheet(QDir(dataFolder).filePath("StarShips.bmp"));
    if (!sheet.isNull()) starShips_->SetShipPictures(sheet);
}

TInGameWindows::~TInGameWindows() = default;

QList<TInGameForm*> TInGameWindows::All() const { return {starSystems_, starShips_, communicate_, alliances_}; }

void TInGameWindows::SetHost(IInGameHost* host) {
    host_ = host;
    for (TInGameForm* form : All()) form->SetHost(host);
}

void TInGameWindows::GameStarted() {
    const TQuorvexEngine* engine = host_ ? host_->Engine() : nullptr;
    const TPlayer* local = host_ ? host_->LocalPlayer() : nullptr;
    starShips_->Reset(local);
    starSystems_->Reset();
    if (!engine) return;
    communicate_->GameStarted(*engine, local);
    alliances_->GameStarted(*engine, local);
    starShips_->Synchronize(local);
    starSystems_->Synchronize(local);
}

void TInGameWindows::AfterImpulse() {
    const TQuorvexEngine* engine = host_ ? host_->Engine() : nullptr;
    if (!engine) return;
    const TPlayer* local = host_->LocalPlayer();
    starShips_->Synchronize(local);
    starSystems_->Synchronize(local);
    alliances_->RefreshStances(*engine, local);
}

void TInGameWindows::CloseAll() {
    for (TInGameForm* form : All()) form->close();
}

bool TInGameWindows::ReceiveData(const std::string& text, const std::string& senderId) {
    return communicate_->ReceiveData(text, senderId);
}

void TInGameWindows::RestorePositions(const TRegistryManager& registry, const QList<QRect>& screens) {
    for (TInGameForm* form : All())
        if (registry.RestorePosition(form, form->SettingsPrefix(), screens)) form->SetPlaced();
}

void TInGameWindows::SavePositions(TRegistryManager& registry) const {
    // A window never shown has no place of its own: the designed one stands.
    for (TInGameForm* form : All())
        if (form->Placed()) registry.SavePosition(form, form->SettingsPrefix());
}

void PlayWindowSound(IGameAudio& audio, TWindowSound sound) {
    if (!audio.SoundOn()) return;
#ifdef QX_HAVE_SOUND
    if (auto* game = dynamic_cast<TGameAudio*>(&audio)) {
        switch (sound) {
        case TWindowSound::Button: game->Sounds().Play(TGameSound::Button); break;
        case TWindowSound::ClickOn: game->Sounds().Play(TGameSound::ClickOn); break;
        case TWindowSound::ClickOff: game->Sounds().Play(TGameSound::ClickOff); break;
        }
    }
#else
    (void)sound;
#endif
}

} // namespace qx
