// GDI-style fonts over FreeType: creation, device contexts and text extents.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "platform/d3dx/d3dx8_font.h"
#include "platform/d3dx/d3dx8_font_face.h"

#include FT_TRUETYPE_TABLES_H

namespace {

// Unicode of the bytes 0x80-0x9F of Windows-1252; 0 where the code page has no character.
constexpr unsigned kCp1252_High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

const std::vector<std::string> kDefault_Files = {
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
};

struct Settings {
  int test_advance = 0;
  int test_cell_height = 0;
  std::vector<std::string> search_files;
  std::string files_tried;
};

Settings& The_Settings() {
  static Settings settings;
  return settings;
}

FT_Library Library() {
  static FT_Library library = nullptr;
  static std::once_flag once;
  std::call_once(once, [] {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  });
  return library;
}

std::shared_ptr<d3dx_font::Face> Test_Face() {
  auto face = std::make_shared<d3dx_font::Face>();
  const Settings& settings = The_Settings();
  face->cell_height = settings.test_cell_height;
  face->ascent = settings.test_cell_height * 4 / 5;
  for (int byte = 32; byte < 256; ++byte) face->advance[byte] = byte == 127 ? 0 : settings.test_advance;
  return face;
}

FT_Face Open_Face(const std::vector<std::string>& files, std::string& tried) {
  FT_Library library = Library();
  for (const std::string& file : files) {
    tried += (tried.empty() ? "" : ", ") + file;
    FT_Face face = nullptr;
    if (library && FT_New_Face(library, file.c_str(), 0, &face) == 0) {
      if (FT_IS_SCALABLE(face)) return face;
      FT_Done_Face(face);
    }
  }
  return nullptr;
}

// Sizes the face: a positive height is the cell (win ascent + win descent), a negative one the em.
bool Size_Face(d3dx_font::Face& face, int height) {
  FT_Face ft = face.ft;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  double cell_units = os2 ? static_cast<double>(os2->usWinAscent) + os2->usWinDescent
                          : static_cast<double>(ft->ascender) - ft->descender;
  double ascent_units = os2 ? static_cast<double>(os2->usWinAscent) : static_cast<double>(ft->ascender);
  if (cell_units <= 0.0 || ft->units_per_EM == 0) return false;
  double em = height > 0 ? height * ft->units_per_EM / cell_units : -static_cast<double>(height);
  if (height == 0) em = 16.0 * ft->units_per_EM / cell_units;
  if (!(em >= 1.0) || em > 1000.0) return false;
  if (FT_Set_Char_Size(ft, 0, static_cast<FT_F26Dot6>(std::lround(em * 64.0)), 72, 72) != 0) return false;
  const double scale = em / ft->units_per_EM;
  face.ascent = static_cast<int>(std::lround(ascent_units * scale));
  face.cell_height = height > 0 ? height : static_cast<int>(std::lround(cell_units * scale));
  face.underline_offset = std::max(1, static_cast<int>(std::lround(-ft->underline_position * scale)));
  face.underline_thickness = std::max(1, static_cast<int>(std::lround(ft->underline_thickness * scale)));
  for (int byte = 32; byte < 256; ++byte) {
    const unsigned code = D3DXFont_Code_Point(static_cast<unsigned char>(byte));
    if (code == 0 || byte == 127) continue;
    if (FT_Load_Char(ft, code, FT_LOAD_DEFAULT) != 0) continue;
    face.advance[byte] = static_cast<int>((ft->glyph->advance.x + 32) >> 6);
  }
  return true;
}

}  // namespace

namespace d3dx_font {
Face::~Face() {
  if (ft) FT_Done_Face(ft);
}
}  // namespace d3dx_font

unsigned D3DXFont_Code_Point(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252_High[byte - 0x80];
  return byte;
}

void D3DXFont_Set_Test_Metrics(int advance, int cell_height) {
  The_Settings().test_advance = std::max(advance, 0);
  The_Settings().test_cell_height = std::max(cell_height, 0);
}

void D3DXFont_Set_Search_Files(const std::vector<std::string>& files) { The_Settings().search_files = files; }

std::string D3DXFont_Files_Tried() { return The_Settings().files_tried; }

HFONT CreateFontA(int height, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  const char*) {
  Settings& settings = The_Settings();
  if (settings.test_advance > 0) return new Gdi_Font{Test_Face()};
  const std::vector<std::string>& files = settings.search_files.empty() ? kDefault_Files : settings.search_files;
  std::string tried;
  auto face = std::make_shared<d3dx_font::Face>();
  face->ft = Open_Face(files, tried);
  if (!face->ft || !Size_Face(*face, height)) {
    settings.files_tried = tried;
    return nullptr;
  }
  return new Gdi_Font{face};
}

BOOL DeleteObject(HGDIOBJ object) {
  if (!object) return FALSE;
  delete static_cast<Gdi_Font*>(object);
  return TRUE;
}

HDC GetDC(HWND) { return new Gdi_Dc; }

int ReleaseDC(HWND, HDC dc) {
  delete dc;
  return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (!dc) return nullptr;
  Gdi_Font* previous = dc->selected;
  dc->selected = static_cast<Gdi_Font*>(object);
  return previous;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size) {
  if (!dc || !dc->selected || !size || count < 0 || (count > 0 && !text)) return FALSE;
  const d3dx_font::Face& face = *dc->selected->face;
  size->cx = face.Width(text, count);
  size->cy = face.cell_height;
  return TRUE;
}

BOOL GetTextExtentExPointA(HDC dc, const char* text, int count, int max_extent, int* fit, int* dx, SIZE* size) {
  if (!dc || !dc->selected || count < 0 || (count > 0 && !text)) return FALSE;
  const d3dx_font::Face& face = *dc->selected->face;
  int extent = 0;
  int fitted = 0;
  for (int i = 0; i < count; ++i) {
    extent += face.advance[static_cast<unsigned char>(text[i])];
    if (extent <= max_extent && fitted == i) fitted = i + 1;
    if (dx) dx[i] = extent;
  }
  if (fit) *fit = fitted;
  if (size) {
    size->cx = extent;
    size->cy = face.cell_height;
  }
  return TRUE;
}
