#pragma once
// The face behind a GDI font and a D3DX font: a FreeType face set to the font's size, with the
// integer metrics both sides share. In test-metrics mode there is no FreeType face.
#include <array>
#include <memory>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace d3dx_font {

struct Face {
  Face() = default;
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;
  ~Face();

  FT_Face ft = nullptr;  // null in test-metrics mode
  int cell_height = 0;
  int ascent = 0;
  int underline_offset = 1;  // below the baseline
  int underline_thickness = 1;
  std::array<int, 256> advance{};  // per Windows-1252 byte; 0 for control characters

  int Width(const char* text, int count) const {
    int width = 0;
    for (int i = 0; i < count; ++i) width += advance[static_cast<unsigned char>(text[i])];
    return width;
  }
};

}  // namespace d3dx_font

struct Gdi_Font {
  std::shared_ptr<d3dx_font::Face> face;
};

struct Gdi_Dc {
  Gdi_Font* selected = nullptr;
};
