/* Sound from compiled code: TX_DIR/tone.wav (441 Hz) played to the left an octave down, then
 * TX_DIR/tone.mod as music; the test hears the mix. Bad handles and names do nothing. */
#include "check.h"

TX_MAIN {
    int tone = LoadSound(dirPath("/tone.wav"));
    int channel, music;
    CHECK(tone != 0 && LoadSound(dirPath("/missing.wav")) == 0);
    SoundPan(tone, -1.0f);
    SoundPitch(tone, 22050);
    channel = PlaySound(tone);
    CHECK(channel != 0 && ChannelPlaying(channel) == 1);
    Delay(450);
    CHECK(ChannelPlaying(channel) == 0);

    music = PlayMusic(dirPath("/tone.mod"));
    CHECK(music != 0 && ChannelPlaying(music) == 1);
    Delay(300);
    StopChannel(music);
    CHECK(ChannelPlaying(music) == 0 && ChannelPlaying(0) == 0);
    FreeSound(tone);
    FreeSound(tone);
}
