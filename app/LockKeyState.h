#pragma once
// The state of the lock keys (caps, num, scroll) as far as the platform tells it: the X server's
// keyboard indicators, else the keyboard LEDs the kernel shows under /sys/class/leds.
#include <optional>

enum class LockKey { Caps, Num, Scroll };

// On or off; nothing where the platform does not tell (e.g. Wayland without keyboard LEDs).
std::optional<bool> QueryLockKey(LockKey key);
