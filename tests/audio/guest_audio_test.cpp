// A compiled program makes sound: what it plays is heard in the mix.
#include "audio_session.h"
#include "guest_runner.h"

namespace tx {
namespace {

TEST(GuestAudio, ProgramPlaysAPannedPitchedSoundThenMusic) {
    test::waveFile();
    const test::TempDir dir;
    test::writeTone(dir / "tone.wav", test::kToneHz, 0.15);
    std::filesystem::copy_file(TERVEX_TEST_DATA "/tone.mod", dir / "tone.mod");
    ::setenv("TX_DIR", dir.path().c_str(), 1);
    const test::GuestRun run = test::runGuest("audio");
    ASSERT_EQ(run.link.status, LinkResult::Status::Linked) << run.link.message;
    EXPECT_EQ(test::firstError(run), "");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);

    const test::Capture mix = test::readCapture(test::waveFile());
    const std::vector<test::Burst> bursts = test::burstsOf(mix);
    ASSERT_EQ(bursts.size(), 2u);
    const test::Burst& tone = bursts[0];
    EXPECT_NEAR(tone.seconds(), 0.3, 0.02);
    EXPECT_LT(mix.rms(1, tone.at(50), tone.at(250)), 0.001) << "panned left";
    EXPECT_NEAR(mix.frequency(0, tone.at(50), tone.at(250)), test::kToneHz / 2, 3.0);
    EXPECT_NEAR(mix.frequency(1, bursts[1].at(50), bursts[1].at(250)), test::kToneModuleHz,
                test::kToneModuleHz * 0.03);
}

}  // namespace
}  // namespace tx
