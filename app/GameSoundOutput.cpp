#include "app/GameSoundOutput.h"

#include "app/AudioControl.h"

namespace qx {

TGameSoundOutput::TGameSoundOutput(IGameAudio& audio) : audio_(audio) {
    timer_.setInterval(MusicTick);
    QObject::connect(&timer_, &QTimer::timeout, [this] { audio_.NextMusic(); });
}

void TGameSoundOutput::Play(TGameSound sound, int32_t pan, int32_t frequencyPct) {
    audio_.PlaySound(GameSoundName(sound), pan, frequencyPct);
}

void TGameSoundOutput::StartLoop(TGameSound sound) { audio_.StartLoop(GameSoundName(sound)); }

void TGameSoundOutput::StopLoop(TGameSound sound) { audio_.StopLoop(GameSoundName(sound)); }

void TGameSoundOutput::Start() {
    audio_.StartMusic();
    timer_.start();
}

void TGameSoundOutput::Stop() {
    timer_.stop();
    audio_.StopMusic();
}

} // namespace qx
