// The sound engine's costs, on OpenAL Soft's null backend (which mixes in real time and throws
// the mix away) unless ALSOFT_DRIVERS says otherwise:
//   BM_PlaySoundFromGuest: guest code calling PlaySound then StopChannel on the channel it got,
//     per pair of calls.
//   BM_EngineCpuShare: the process's CPU time while 32 looping sounds play and an Ogg Vorbis
//     stream decodes, as a share of one core (the program's thread sleeps meanwhile);
//     BM_SdlMixerCpuShare: SDL2_mixer playing the same 32 sounds and the same music into SDL's
//     disk writer (to /dev/null, paced in real time), in the same run.
//   BM_LoadSound1MB: the engine loading (and freeing) a 1 MB 16-bit WAV; BM_SndfileDecode1MB:
//     libsndfile decoding the same file into memory alone.
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "audio_commands.h"
#include "audio_fixtures.h"
#include "guest_code.h"
#include "module_state.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// The files the benchmarks play, written once: a 1 s tone, 1 MB of 16-bit stereo, and a 20 s
// Ogg Vorbis piece of music.
struct BenchFiles {
    BenchFiles() {
        std::filesystem::create_directories(dir);
        test::writeTone(tone, 441.0, 1.0);
        test::writeTone(megabyte, 441.0, 1'048'576.0 / 4 / 44100, 2);
        test::writeTone(music, 220.0, 20.0, 2);
    }
    ~BenchFiles() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tervex-audio-bench-" + std::to_string(getpid()));
    std::filesystem::path tone = dir / "tone.wav";
    std::filesystem::path megabyte = dir / "megabyte.wav";
    std::filesystem::path music = dir / "music.ogg";
};

const BenchFiles& files() {
    static const BenchFiles instance;
    return instance;
}

std::unique_ptr<sound::SoundEngine> openEngine(benchmark::State& state) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    auto engine = sound::SoundEngine::open(44100, 32);
    if (engine == nullptr) state.SkipWithError("no sound engine");
    return engine;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The share of one core the process used while `seconds` passed with this thread asleep.
double cpuShareWhileSleeping(std::chrono::milliseconds period) {
    const double before = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(period);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    return (processCpuSeconds() - before) / wall.count();
}

constexpr auto kListen = 3s;

void BM_PlaySoundFromGuest(benchmark::State& state) {
    auto engine = openEngine(state);
    if (engine == nullptr) return;
    auto module = std::make_unique<AudioState>();
    module->audio = std::make_unique<HostAudio>(std::move(engine));
    AudioState& audio = ModuleState<AudioState>::open(std::move(module));
    const uint32_t sound = audio.audio->loadSound(files().tone.string(), false);
    GuestMachine machine;
    bench::GuestCode code(machine);
    constexpr uint32_t kRounds = 1000;
    code.loopStart(kRounds)
        .push(sound)
        .call(bench::commandAddress("%PlaySound%sound"))
        .popArgs(1)
        .pushEax()
        .call(bench::commandAddress("StopChannel%channel"))
        .popArgs(1)
        .loopEnd()
        .ret();
    bench::runGuestLoop(state, machine, code.load(), kRounds);
    ModuleState<AudioState>::close();
}
BENCHMARK(BM_PlaySoundFromGuest)->Unit(benchmark::kMicrosecond);

void BM_EngineCpuShare(benchmark::State& state) {
    auto engine = openEngine(state);
    if (engine == nullptr) return;
    sound::Sample* tone = engine->loadSample(-1, files().tone, sound::kLoopNormal);
    for (int i = 0; i < 32; ++i) engine->playSample(-1, tone);
    sound::Song* music = engine->loadSong(files().music);
    engine->playSong(music);
    double share = 0;
    for (auto _ : state) share = cpuShareWhileSleeping(kListen);
    state.counters["cpu_share_percent"] = share * 100;
}
BENCHMARK(BM_EngineCpuShare)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SdlMixerCpuShare(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 0);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0)
        return state.SkipWithError(SDL_GetError());
    Mix_AllocateChannels(32);
    Mix_Chunk* tone = Mix_LoadWAV(files().tone.c_str());
    Mix_Music* music = Mix_LoadMUS(files().music.c_str());
    if (tone == nullptr || music == nullptr) return state.SkipWithError(Mix_GetError());
    for (int i = 0; i < 32; ++i) Mix_PlayChannel(i, tone, -1);
    Mix_PlayMusic(music, -1);
    double share = 0;
    for (auto _ : state) share = cpuShareWhileSleeping(kListen);
    state.counters["cpu_share_percent"] = share * 100;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    Mix_FreeChunk(tone);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
BENCHMARK(BM_SdlMixerCpuShare)->Iterations(1)->Unit(benchmark::kSecond);

void BM_LoadSound1MB(benchmark::State& state) {
    auto engine = openEngine(state);
    if (engine == nullptr) return;
    for (auto _ : state) engine->freeSample(engine->loadSample(-1, files().megabyte, 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1'048'576);
}
BENCHMARK(BM_LoadSound1MB)->Unit(benchmark::kMicrosecond);

void BM_SndfileDecode1MB(benchmark::State& state) {
    for (auto _ : state) {
        SF_INFO info{};
        SNDFILE* file = sf_open(files().megabyte.c_str(), SFM_READ, &info);
        std::vector<int16_t> samples(static_cast<size_t>(info.frames * info.channels));
        benchmark::DoNotOptimize(sf_readf_short(file, samples.data(), info.frames));
        sf_close(file);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1'048'576);
}
BENCHMARK(BM_SndfileDecode1MB)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tx
