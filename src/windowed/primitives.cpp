#include "windowed/primitives.h"

#include "platform_api.h"

namespace windowed {

std::uint32_t BackFillValue(const GameState& gs) {
  const std::uint32_t shade = static_cast<std::uint32_t>(gs.dispColor);
  return shade * 65536u + shade * 256u + 255u;
}

void DD_BackInit(GameState& gs) {
  if (gs.DDBack != nullptr) gs.DDBack->ColorFill(BackFillValue(gs));
}

}  // namespace windowed
