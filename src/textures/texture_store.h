// Image files turned into textures under fixed slot numbers, once, at start-up.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Gfx;
struct TextureCopies;

// Largest decoded image accepted (RGB bytes). Far above any asset; it keeps a
// damaged header from asking for gigabytes.
constexpr uint64_t kMaxImageBytes = 64ull << 20;

// Holds the last decoded image. A failed load leaves it untouched, so an
// upload after a failure repeats the previous picture.
struct TextureStore {
  // width x height RGB triplets, rows bottom-up (row 0 is the picture's
  // bottom row, as textures take them), no row padding.
  std::vector<uint8_t> pixels;
  uint32_t width = 0;
  uint32_t height = 0;
  // Where the software path keeps a CPU copy of each upload (its passes
  // paint from copies rather than reading textures back); null on the GL
  // path.
  TextureCopies* copies = nullptr;
  // The layer the *Texture loads upload through; they need it set.
  Gfx* gfx = nullptr;

  // Decode into the store. Each failure is reported on stderr and returns
  // false with the store unchanged.
  bool loadJpeg(const std::string& path);
  bool loadPcx(const std::string& path);

  // Decode, then upload whatever the store holds into texture name `slot`
  // (nothing when no image has been decoded yet).
  void loadJpegTexture(const std::string& path, unsigned slot);
  void loadPcxTexture(const std::string& path, unsigned slot);
  // RGBA upload where the exact key colour becomes (0, 0, 0, 0) and every
  // other pixel is opaque, its colour inverted when `invert` is set.
  void loadPcxTextureKeyed(const std::string& path, unsigned slot, uint8_t keyRed,
                           uint8_t keyGreen, uint8_t keyBlue, bool invert);
};

// The colour-key rule on the store's image, in the order of `pixels`.
std::vector<uint8_t> keyedRgba(const TextureStore& store, uint8_t keyRed, uint8_t keyGreen,
                               uint8_t keyBlue, bool invert);

// Upload the store's image as RGB, or its keyed RGBA, into texture name `slot`
// with linear filters and no mipmaps.
void uploadRgb(Gfx& gfx, const TextureStore& store, unsigned slot);
void uploadKeyed(Gfx& gfx, const TextureStore& store, unsigned slot, uint8_t keyRed,
                 uint8_t keyGreen, uint8_t keyBlue, bool invert);
