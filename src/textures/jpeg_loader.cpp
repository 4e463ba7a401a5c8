#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <vector>

#include "platform/asset_path.h"
#include "textures/texture_store.h"

namespace {

// libjpeg's default handler exits the process on a damaged file. This one
// jumps back into decodeJpeg instead, so a bad file is just a failed load.
struct JpegErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void trapError(j_common_ptr info) {
  JpegErrorTrap* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
  (*info->err->format_message)(info, trap->message);
  std::longjmp(trap->jump, 1);
}

// Warnings (level -1) are what libjpeg says about corrupt or truncated data
// it patches over; such a picture is not the file's, so treat them as errors.
void trapMessage(j_common_ptr info, int level) {
  if (level < 0) trapError(info);
}

void ignoreOutput(j_common_ptr) {}

// Everything the decode touches lives here, outside the frame that calls
// setjmp, so it is well defined after a jump.
struct JpegDecode {
  jpeg_decompress_struct info;
  JpegErrorTrap trap;
  std::vector<uint8_t> scratch;  // top-down RGB
  std::vector<JSAMPROW> rows;
  uint32_t width;
  uint32_t height;
  const char* reason;
};

bool decodeJpeg(std::FILE* file, JpegDecode* d) {
  d->info.err = jpeg_std_error(&d->trap.manager);
  d->trap.manager.error_exit = trapError;
  d->trap.manager.emit_message = trapMessage;
  d->trap.manager.output_message = ignoreOutput;
  if (setjmp(d->trap.jump)) {
    jpeg_destroy_decompress(&d->info);
    d->reason = d->trap.message;
    return false;
  }
  // Interface version 62 (JPEG_LIB_VERSION of the libjpeg62 headers).
  jpeg_create_decompress(&d->info);
  jpeg_stdio_src(&d->info, file);
  jpeg_read_header(&d->info, TRUE);
  if (uint64_t(d->info.image_width) * d->info.image_height * 3 > kMaxImageBytes) {
    jpeg_destroy_decompress(&d->info);
    d->reason = "image size too large";
    return false;
  }
  // Greyscale files come out as RGB; other colour spaces fail in the library.
  d->info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d->info);
  if (d->info.output_components != 3) {
    jpeg_destroy_decompress(&d->info);
    d->reason = "not a three-component image";
    return false;
  }
  d->width = d->info.output_width;
  d->height = d->info.output_height;
  const size_t stride = size_t(d->width) * 3;
  d->scratch.assign(stride * d->height, 0);
  d->rows.resize(d->height);
  for (uint32_t y = 0; y < d->height; ++y) d->rows[y] = d->scratch.data() + y * stride;
  while (d->info.output_scanline < d->info.output_height) {
    const JDIMENSION done = d->info.output_scanline;
    if (jpeg_read_scanlines(&d->info, d->rows.data() + done, d->info.output_height - done) == 0) {
      jpeg_destroy_decompress(&d->info);
      d->reason = "decoder stopped early";
      return false;
    }
  }
  jpeg_finish_decompress(&d->info);
  jpeg_destroy_decompress(&d->info);
  return true;
}

}  // namespace

bool TextureStore::loadJpeg(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    reportAssetFailure(path, "cannot open");
    return false;
  }
  JpegDecode d{};
  const bool ok = decodeJpeg(file, &d);
  std::fclose(file);
  if (!ok) {
    reportAssetFailure(path, d.reason);
    return false;
  }
  // Bottom-up, as GL reads texture rows.
  const size_t stride = size_t(d.width) * 3;
  std::vector<uint8_t> flipped(stride * d.height);
  for (uint32_t i = 0; i < d.height; ++i) {
    const uint8_t* src = d.scratch.data() + size_t(d.height - 1 - i) * stride;
    std::copy(src, src + stride, flipped.data() + size_t(i) * stride);
  }
  pixels = std::move(flipped);
  width = d.width;
  height = d.height;
  return true;
}
