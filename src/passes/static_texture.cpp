#include "passes/static_texture.h"

#include "software/software_passes.h"

void defineStaticTexture(Gfx& gfx, SoftwarePasses* cpu, const StaticTexture& texture) {
  defineTexture(gfx, texture.name, texture.width, texture.height, texture.format, texture.format,
                texture.pixels, Wrap::kRepeat, Filter::kLinear);
  if (cpu) {
    const int channels = texture.format == PixelFormat::kRgba ? 4 : 3;
    keepTextureCopy(cpu->copies, texture.name, texture.width, texture.height, channels,
                    texture.pixels);
  }
}
