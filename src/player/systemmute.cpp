#include "player/systemmute.h"

bool SystemMute::toggle()
{
    return run(Action::Toggle, TimeoutMs).has_value();
}

std::optional<bool> SystemMute::isMuted()
{
    return run(Action::Read, TimeoutMs);
}
