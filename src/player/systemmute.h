#pragma once

#include <optional>

// The mute switch of the default sound output of the desktop's sound server.
// The calls block the calling thread for at most a short, fixed time (well
// under two seconds) and do nothing where no sound server answers.
class SystemMute
{
public:
    // Flips the mute of the default output. False when no server answered or
    // it has no default output; the mute is then unchanged.
    static bool toggle();
    // Mute of the default output; nothing when no server answered.
    static std::optional<bool> isMuted();

    // How long one call waits for the sound server, connection included.
    static constexpr int TimeoutMs = 1500;

private:
    enum class Action { Read, Toggle };
    // Implemented by the sound-server backend. Returns the mute state after
    // the action.
    static std::optional<bool> run(Action action, int timeoutMs);
};
