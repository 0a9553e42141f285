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

} // namespace qx

#endif
