// Which image fills which texture slot at start-up, in load order.
#pragma once
#include <cstddef>
#include <cstdint>

enum class ImageLoader { Jpeg, Pcx, PcxKeyed };

struct TextureSlotLoad {
  const char* file;  // relative to the executable's directory
  unsigned slot;     // GL texture name
  ImageLoader loader;
  uint8_t key[3];    // colour key of PcxKeyed (always inverted)
};

// Slot numbers 1 to 40 are reserved at start-up; the table fills 2-18 and
// 20-31. Slot 1 belongs to the lantern corridor's set-up, 19 and 32-40 stay empty.
constexpr unsigned kReservedSlotCount = 40;

extern const TextureSlotLoad kTextureSlots[];
extern const size_t kTextureSlotCount;
