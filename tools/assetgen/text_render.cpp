#include "text_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

std::string dejavuFont(const char* fileName) {
  return std::string("/usr/share/fonts/truetype/dejavu/") + fileName;
}

namespace {

std::vector<uint32_t> decodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    uint32_t code = extra == 0 ? c : (c & (0x3Fu >> extra));
    ++i;
    for (; extra > 0 && i < s.size(); --extra, ++i) code = (code << 6) | (uint8_t(s[i]) & 0x3Fu);
    out.push_back(code);
  }
  return out;
}

// Advance width of a line in 26.6 units, kerning included.
long lineWidth(FT_Face face, const std::vector<uint32_t>& codes) {
  long width = 0;
  FT_UInt previous = 0;
  for (uint32_t code : codes) {
    const FT_UInt glyph = FT_Get_Char_Index(face, code);
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
      width += kern.x;
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) width += face->glyph->advance.x;
    previous = glyph;
  }
  return width;
}

void drawLine(Coverage& canvas, FT_Face face, const std::vector<uint32_t>& codes, long penX,
              long baseline) {
  FT_UInt previous = 0;
  for (uint32_t code : codes) {
    const FT_UInt glyph = FT_Get_Char_Index(face, code);
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
      penX += kern.x;
    }
    previous = glyph;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int left = int((penX + 32) >> 6) + slot->bitmap_left;
    const int top = int(baseline >> 6) - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const int y = top + int(row);
      if (y < 0 || y >= canvas.height) continue;
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int x = left + int(col);
        if (x < 0 || x >= canvas.width) continue;
        const float c = bitmap.buffer[int(row) * bitmap.pitch + int(col)] / 255.0f;
        float& dst = canvas.value[size_t(y) * size_t(canvas.width) + size_t(x)];
        dst = std::max(dst, c);
      }
    }
    penX += slot->advance.x;
  }
}

}  // namespace

bool drawTextFitted(Coverage& canvas, int x0, int y0, int x1, int y1,
                    const std::vector<std::string>& lines, const std::string& fontFile,
                    int maxPixels, int margin) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face;
  if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(library);
    return false;
  }
  std::vector<std::vector<uint32_t>> codes;
  for (const std::string& line : lines) codes.push_back(decodeUtf8(line));
  const long boxWidth = long(x1 - x0 - 2 * margin) << 6;
  const long boxHeight = long(y1 - y0 - 2 * margin) << 6;
  bool drawn = false;
  for (int pixels = maxPixels; pixels >= 6 && !drawn; --pixels) {
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
    const long ascender = face->size->metrics.ascender;
    const long descender = -face->size->metrics.descender;
    const long lineHeight = ascender + descender;
    const long blockHeight = lineHeight * long(codes.size());
    long widest = 0;
    std::vector<long> widths;
    for (const auto& c : codes) {
      widths.push_back(lineWidth(face, c));
      widest = std::max(widest, widths.back());
    }
    if (widest > boxWidth || blockHeight > boxHeight) continue;
    long top = (long(y0 + margin) << 6) + (boxHeight - blockHeight) / 2;
    for (size_t i = 0; i < codes.size(); ++i) {
      const long penX = (long(x0 + margin) << 6) + (boxWidth - widths[i]) / 2;
      drawLine(canvas, face, codes[i], penX, top + ascender);
      top += lineHeight;
    }
    drawn = true;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return drawn;
}
