// The SDL display device: DD_INIT and the rest are declared in
// platform_api.h; this is what the tests may reach besides.
#pragma once

namespace sdl_testing {
// The full-screen start-up step (1 to 4: full screen, the scaling, the
// window's surface, the back buffer) that fails as if SDL had refused it;
// 0 for none.
inline int failDisplayStep = 0;
}  // namespace sdl_testing
