// Whether there is a display to show windows on, asked before the windowed program
// starts its window system (which aborts without one).
#pragma once

namespace lp::platform {

// On Linux and the other X11 or Wayland systems: a display named in the environment
// (DISPLAY or WAYLAND_DISPLAY), or a window system chosen outright (QT_QPA_PLATFORM,
// such as offscreen or vnc). Elsewhere the system always has one.
[[nodiscard]] bool displayAvailable();

}  // namespace lp::platform
