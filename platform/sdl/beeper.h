// Short tones through SDL audio, played by a thread of its own so that a beep
// never holds up the caller (opening an audio device can take a while).
//
// The thread starts at the first beep after enable(). It opens the audio
// device when a tone is to be played and closes it again once the tones have
// played and a second has passed without another, so an idle program keeps no
// audio stream open. Without a usable audio device beeps are silent.
//
// SDL is started by the window thread while the logic may already run, so
// the beeper touches SDL only once enable() has said SDL is up; beeps asked
// for before then wait for it (and stay silent if it never comes).
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tarnwick::sdl {

class Beeper {
  public:
    Beeper() = default;
    ~Beeper();
    Beeper(const Beeper&) = delete;
    Beeper& operator=(const Beeper&) = delete;

    // Asks for one tone (about 100 ms at 880 Hz) and returns at once. Beeps
    // asked for while earlier ones still play are dropped, not queued up.
    void beep();
    // SDL is initialised: tones may be played from now on.
    void enable();

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;
    bool stopping_ = false;
    bool enabled_ = false;
    std::thread thread_;
};

}  // namespace tarnwick::sdl
