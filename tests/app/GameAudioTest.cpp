// The program's audio with the real sound module on OpenAL Soft's null
// backend: the game screen names its sounds, the module plays the buffers.
// A file of its own, as the sound module's names differ from the game's.
#include <gtest/gtest.h>

#include "app/GameAudio.h"
#include "tests/sound/NullDevice.h"

namespace qx {
namespace {

#ifdef QX_HAVE_SOUND
TEST(GameAudio, PlaysTheBufferNamedAndTheSoundSwitchSilencesIt) {
    ASSERT_TRUE(test::kNullSoundDevice);
    TGameAudio audio(QX_BINARY_DIR "/data");
    ASSERT_TRUE(audio.Audible()) << "the null backend opens";
    audio.PlaySound("sndConfirmed", 0, 100);
    EXPECT_TRUE(audio.Sounds().IsPlaying(TGameSound::Confirmed));
    EXPECT_FALSE(audio.Sounds().IsPlaying(TGameSound::Error));
    audio.PlaySound("sndNoSuchSound", 0, 100);  // nothing, and no failure

    audio.StartLoop("sndDragging");
    EXPECT_TRUE(audio.Sounds().IsPlaying(TGameSound::Dragging));
    audio.StopLoop("sndDragging");
    EXPECT_FALSE(audio.Sounds().IsPlaying(TGameSound::Dragging));

    audio.SetSoundOn(false);
    EXPECT_FALSE(audio.Sounds().IsPlaying(TGameSound::Confirmed)) << "switching off stops what plays";
    audio.PlaySound("sndBlast1", -150, 86);
    EXPECT_FALSE(audio.Sounds().IsPlaying(TGameSound::Blast1));

    // Music only while its switch is on.
    audio.SetMusicOn(false);
    audio.StartMusic();
    EXPECT_FALSE(audio.Music().Started());
    audio.SetMusicOn(true);
    audio.StartMusic();
    EXPECT_TRUE(audio.Music().Started());
    audio.StopMusic();
    EXPECT_FALSE(audio.Music().IsPlaying());
}
#endif

} // namespace
} // namespace qx
