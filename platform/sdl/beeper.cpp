#include "platform/sdl/beeper.h"

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <cmath>
#include <numbers>
#include <vector>

namespace tarnwick::sdl {
namespace {

constexpr int kSampleRate = 44100;
constexpr double kFrequency = 880.0;
constexpr double kSeconds = 0.1;
constexpr double kVolume = 0.25;
// Ramps at both ends keep the tone from clicking.
constexpr double kRampSeconds = 0.005;
constexpr auto kCloseAfterIdle = std::chrono::seconds(1);

std::vector<float> makeTone(int sampleRate) {
    const auto count = static_cast<std::size_t>(sampleRate * kSeconds);
    const double ramp = sampleRate * kRampSeconds;
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double edge = std::min(static_cast<double>(i), static_cast<double>(count - 1 - i));
        const double envelope = std::min(1.0, edge / ramp);
        samples[i] = static_cast<float>(kVolume * envelope * std::sin(2 * std::numbers::pi * kFrequency * t));
    }
    return samples;
}

// One opened audio device that plays queued float samples.
class AudioOut {
  public:
    AudioOut() {
        SDL_AudioSpec wanted{};
        wanted.freq = kSampleRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = 1;
        wanted.samples = 1024;
        SDL_AudioSpec obtained{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ == 0) return;
        tone_ = makeTone(kSampleRate);
        SDL_PauseAudioDevice(device_, 0);
    }
    ~AudioOut() {
        if (device_ != 0) SDL_CloseAudioDevice(device_);
    }
    AudioOut(const AudioOut&) = delete;
    AudioOut& operator=(const AudioOut&) = delete;

    bool ok() const { return device_ != 0; }
    bool busy() const { return SDL_GetQueuedAudioSize(device_) > 0; }
    void play() {
        SDL_QueueAudio(device_, tone_.data(), static_cast<Uint32>(tone_.size() * sizeof(float)));
    }

  private:
    SDL_AudioDeviceID device_ = 0;
    std::vector<float> tone_;
};

bool anyEntryStartsWith(const std::filesystem::path& folder, std::string_view prefix) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().filename().string().starts_with(prefix)) return true;
    }
    return false;
}

// Leaves SDL only the audio drivers that can work on this machine: the
// sound library that talks to the sound card writes its complaints to the
// terminal when there is no card. False when no driver can work at all.
// A driver the user names in SDL_AUDIODRIVER is left to SDL.
bool chooseAudioDrivers() {
    if (const char* chosen = std::getenv("SDL_AUDIODRIVER"); chosen != nullptr && *chosen != '\0') return true;
    const bool soundCard = anyEntryStartsWith("/dev/snd", "pcmC");
    bool soundServer = std::getenv("PULSE_SERVER") != nullptr;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        std::error_code error;
        const std::filesystem::path folder(runtime);
        soundServer = soundServer || std::filesystem::exists(folder / "pulse" / "native", error) ||
                      anyEntryStartsWith(folder, "pipewire-");
    }
    if (soundCard) return true;
    if (soundServer) SDL_SetHint(SDL_HINT_AUDIODRIVER, "pulseaudio,pipewire");
    return soundServer;
}

}  // namespace

Beeper::~Beeper() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void Beeper::beep() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        pending_ = true;
        if (enabled_ && !thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

void Beeper::enable() {
    std::lock_guard lock(mutex_);
    enabled_ = true;
    if (pending_ && !stopping_ && !thread_.joinable()) thread_ = std::thread([this] { run(); });
}

void Beeper::run() {
    // No audio: beeps are silent.
    if (!chooseAudioDrivers() || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    bool usable = true;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait(lock, [this] { return stopping_ || pending_; });
        if (stopping_) break;
        pending_ = false;
        lock.unlock();
        {
            AudioOut out;
            usable = out.ok();
            if (usable) out.play();
            // Play on until the tones are done and no beep came for a while.
            lock.lock();
            while (usable && !stopping_) {
                if (pending_) {
                    pending_ = false;
                    if (!out.busy()) out.play();
                }
                if (!wake_.wait_for(lock, kCloseAfterIdle, [this] { return stopping_ || pending_; })) {
                    if (!out.busy()) break;
                }
            }
            lock.unlock();
        }
        lock.lock();
        if (!usable) break;  // no device: do not try again at every beep
    }
    lock.unlock();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace tarnwick::sdl
