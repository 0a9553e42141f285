#include "app/GameAudio.h"

#ifdef QX_HAVE_SOUND

namespace qx {

TGameAudio::TGameAudio(const std::string& dataFolder, std::function<void(const std::string&)> onMessage)
    : Sounds_(dataFolder + "/sounds", std::move(onMessage)), Music_(&Sounds_.Mixer(), Random_) {
    Music_.SetDirectory(dataFolder + "/music");
}

TGameAudio::~TGameAudio() { Music_.Close(); }

void TGameAudio::SetSoundOn(bool on) { Sounds_.SetEnabled(on); }

void TGameAudio::SetMusicOn(bool on) {
    musicOn_ = on;
    // Switched off, a piece that plays stops and its player closes.
    if (!on) Music_.Close();
}

bool TGameAudio::Audible() const { return Sounds_.Mixer().DirectSoundLoaded(); }

// The sound switch is the sound module's own: a switched-off module plays
// nothing, so these need not ask.
void TGameAudio::PlaySound(std::string_view name, int32_t pan, int32_t frequencyPct) {
    if (const TGameSoundEntry* entry = FindGameSound(name)) Sounds_.Play(entry->Sound, pan, frequencyPct);
}

void TGameAudio::StartLoop(std::string_view name) {
    if (const TGameSoundEntry* entry = FindGameSound(name)) Sounds_.PlayLooped(entry->Sound);
}

void TGameAudio::StopLoop(std::string_view name) {
    if (const TGameSoundEntry* entry = FindGameSound(name)) Sounds_.Stop(entry->Sound);
}

void TGameAudio::StartMusic() {
    if (musicOn_) Music_.PlayRandom();
}

void TGameAudio::NextMusic() {
    if (musicOn_) Music_.PlayNext();
}

void TGameAudio::StopMusic() { Music_.Close(); }

} // namespace qx

#endif
