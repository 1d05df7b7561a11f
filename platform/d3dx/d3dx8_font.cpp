// The D3DX font: a glyph atlas of the face's Windows-1252 characters in one texture, and one line
// of text drawn as blended, screen-space quads through the device. The device's render states,
// texture and vertex format are put back as they were after each draw.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3dx/d3dx8_font.h"
#include "platform/d3dx/d3dx8_font_face.h"

namespace {

D3DXFont_Draw_Observer& Observer() {
  static D3DXFont_Draw_Observer observer;
  return observer;
}

struct Glyph {
  float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  int left = 0, top = 0, width = 0, height = 0;
};

struct Font_Vertex {
  float x, y, z, rhw;
  DWORD color;
  float u, v;
};
constexpr DWORD kFont_Fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// One rendered glyph bitmap before it is packed.
struct Bitmap {
  int byte = 0;
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> coverage;
};

// The render states the draw sets, with the values it sets.
struct State_Value {
  D3DRENDERSTATETYPE state;
  DWORD value;
};
const State_Value kRender_States[] = {
    {D3DRS_ZENABLE, FALSE},
    {D3DRS_ZWRITEENABLE, FALSE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_LIGHTING, FALSE},
};
struct Stage_Value {
  DWORD stage;
  D3DTEXTURESTAGESTATETYPE type;
  DWORD value;
};
const Stage_Value kStage_States[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE},       {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},       {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},       {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_MINFILTER, D3DTEXF_POINT},       {0, D3DTSS_MAGFILTER, D3DTEXF_POINT},
    {0, D3DTSS_MIPFILTER, D3DTEXF_NONE},        {0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP},
    {0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP},    {0, D3DTSS_TEXCOORDINDEX, 0},
    {0, D3DTSS_TEXTURETRANSFORMFLAGS, 0},       {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
    {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};

// The glyphs of a line after prefix processing: bytes to draw and the index to underline.
struct Line {
  std::string bytes;
  int underline = -1;
};

Line Strip_Prefixes(const char* text, int count, bool prefixes) {
  Line line;
  for (int i = 0; i < count; ++i) {
    char c = text[i];
    if (prefixes && c == '&') {
      if (i + 1 >= count) break;
      ++i;
      c = text[i];
      if (c != '&') line.underline = static_cast<int>(line.bytes.size());
    }
    line.bytes.push_back(c);
  }
  return line;
}

class Font final : public ID3DXFont {
 public:
  Font(IDirect3DDevice8* device, std::shared_ptr<d3dx_font::Face> face) : m_Device(device), m_Face(std::move(face)) {
    if (m_Device) m_Device->AddRef();
  }

  ULONG AddRef() override { return ++m_References; }
  ULONG Release() override {
    const ULONG left = --m_References;
    if (left == 0) delete this;
    return left;
  }

  bool Build_Atlas();
  INT DrawText(const char* text, INT count, RECT* rect, DWORD format, D3DCOLOR color) override;

 private:
  ~Font() override {
    if (m_Atlas) m_Atlas->Release();
    if (m_Device) m_Device->Release();
  }
  std::vector<Bitmap> Render_Glyphs();
  void Emit_Quad(std::vector<Font_Vertex>& vertices, float x, float y, float w, float h, const Glyph& glyph,
                 DWORD color) const;
  void Submit(const std::vector<Font_Vertex>& vertices);

  std::atomic<ULONG> m_References{1};
  IDirect3DDevice8* m_Device;
  std::shared_ptr<d3dx_font::Face> m_Face;
  IDirect3DTexture8* m_Atlas = nullptr;
  Glyph m_Glyphs[256];
  Glyph m_White;  // a solid texel area for underlines
};

std::vector<Bitmap> Font::Render_Glyphs() {
  std::vector<Bitmap> bitmaps;
  FT_Face ft = m_Face->ft;
  for (int byte = 33; byte < 256; ++byte) {
    const unsigned code = D3DXFont_Code_Point(static_cast<unsigned char>(byte));
    if (code == 0 || byte == 127) continue;
    if (FT_Load_Char(ft, code, FT_LOAD_DEFAULT | FT_LOAD_RENDER) != 0) continue;
    const FT_Bitmap& source = ft->glyph->bitmap;
    if (source.pixel_mode != FT_PIXEL_MODE_GRAY || source.width == 0 || source.rows == 0) continue;
    Bitmap bitmap;
    bitmap.byte = byte;
    bitmap.left = ft->glyph->bitmap_left;
    bitmap.top = ft->glyph->bitmap_top;
    bitmap.width = static_cast<int>(source.width);
    bitmap.height = static_cast<int>(source.rows);
    bitmap.coverage.resize(static_cast<size_t>(bitmap.width) * bitmap.height);
    for (int row = 0; row < bitmap.height; ++row)
      std::memcpy(&bitmap.coverage[static_cast<size_t>(row) * bitmap.width], source.buffer + row * source.pitch,
                  static_cast<size_t>(bitmap.width));
    bitmaps.push_back(std::move(bitmap));
  }
  return bitmaps;
}

bool Font::Build_Atlas() {
  if (!m_Face->ft) return true;  // test metrics: nothing is drawn
  if (!m_Device) return false;
  std::vector<Bitmap> bitmaps = Render_Glyphs();
  // Shelf packing with one pixel of space around each glyph; the first cell is the white area.
  const int row_height = m_Face->cell_height + 2;
  int width = 256;
  int height = 0;
  std::vector<std::pair<int, int>> places(bitmaps.size());
  for (;;) {
    int x = 4, y = 0, shelf = 4;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
      if (x + bitmaps[i].width + 1 > width) {
        x = 0;
        y += shelf;
        shelf = 0;
      }
      places[i] = {x, y};
      x += bitmaps[i].width + 1;
      shelf = std::max(shelf, bitmaps[i].height + 1);
    }
    height = 1;
    while (height < y + std::max(shelf, row_height)) height *= 2;
    if (height <= width || width >= 4096) break;
    width *= 2;
  }
  if (height > 4096) return false;
  if (FAILED(m_Device->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0, D3DFMT_A8R8G8B8,
                                     D3DPOOL_MANAGED, &m_Atlas)))
    return false;
  D3DLOCKED_RECT locked{};
  if (FAILED(m_Atlas->LockRect(0, &locked, nullptr, 0))) return false;
  auto* base = static_cast<uint8_t*>(locked.pBits);
  for (int row = 0; row < height; ++row) {
    auto* line = reinterpret_cast<uint32_t*>(base + static_cast<size_t>(row) * locked.Pitch);
    for (int column = 0; column < width; ++column) line[column] = 0x00FFFFFFu;
  }
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      reinterpret_cast<uint32_t*>(base + static_cast<size_t>(row) * locked.Pitch)[column] = 0xFFFFFFFFu;
  const float inv_w = 1.0f / static_cast<float>(width);
  const float inv_h = 1.0f / static_cast<float>(height);
  m_White = Glyph{1.0f * inv_w, 1.0f * inv_h, 2.0f * inv_w, 2.0f * inv_h, 0, 0, 1, 1};
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    const Bitmap& bitmap = bitmaps[i];
    const auto [px, py] = places[i];
    for (int row = 0; row < bitmap.height; ++row) {
      auto* line = reinterpret_cast<uint32_t*>(base + static_cast<size_t>(py + row) * locked.Pitch);
      for (int column = 0; column < bitmap.width; ++column)
        line[px + column] = (uint32_t{bitmap.coverage[static_cast<size_t>(row) * bitmap.width + column]} << 24) |
                            0x00FFFFFFu;
    }
    Glyph& glyph = m_Glyphs[bitmap.byte];
    glyph = Glyph{px * inv_w,
                  py * inv_h,
                  (px + bitmap.width) * inv_w,
                  (py + bitmap.height) * inv_h,
                  bitmap.left,
                  bitmap.top,
                  bitmap.width,
                  bitmap.height};
  }
  m_Atlas->UnlockRect(0);
  return true;
}

void Font::Emit_Quad(std::vector<Font_Vertex>& vertices, float x, float y, float w, float h, const Glyph& glyph,
                     DWORD color) const {
  // Pixel centres: a texel-exact quad starts half a pixel up and left.
  const float left = x - 0.5f, top = y - 0.5f, right = x + w - 0.5f, bottom = y + h - 0.5f;
  const Font_Vertex a{left, top, 0.0f, 1.0f, color, glyph.u0, glyph.v0};
  const Font_Vertex b{right, top, 0.0f, 1.0f, color, glyph.u1, glyph.v0};
  const Font_Vertex c{right, bottom, 0.0f, 1.0f, color, glyph.u1, glyph.v1};
  const Font_Vertex d{left, bottom, 0.0f, 1.0f, color, glyph.u0, glyph.v1};
  vertices.insert(vertices.end(), {a, b, c, a, c, d});
}

void Font::Submit(const std::vector<Font_Vertex>& vertices) {
  if (vertices.empty()) return;
  IDirect3DDevice8* device = m_Device;
  DWORD saved_render[std::size(kRender_States)];
  DWORD saved_stage[std::size(kStage_States)];
  for (size_t i = 0; i < std::size(kRender_States); ++i) {
    device->GetRenderState(kRender_States[i].state, &saved_render[i]);
    device->SetRenderState(kRender_States[i].state, kRender_States[i].value);
  }
  for (size_t i = 0; i < std::size(kStage_States); ++i) {
    device->GetTextureStageState(kStage_States[i].stage, kStage_States[i].type, &saved_stage[i]);
    device->SetTextureStageState(kStage_States[i].stage, kStage_States[i].type, kStage_States[i].value);
  }
  IDirect3DBaseTexture8* saved_texture = nullptr;
  device->GetTexture(0, &saved_texture);
  DWORD saved_shader = 0;
  device->GetVertexShader(&saved_shader);
  device->SetTexture(0, m_Atlas);
  device->SetVertexShader(kFont_Fvf);
  device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices.size() / 3), vertices.data(),
                          sizeof(Font_Vertex));
  device->SetVertexShader(saved_shader);
  device->SetTexture(0, saved_texture);
  if (saved_texture) saved_texture->Release();
  for (size_t i = std::size(kStage_States); i-- > 0;)
    device->SetTextureStageState(kStage_States[i].stage, kStage_States[i].type, saved_stage[i]);
  for (size_t i = std::size(kRender_States); i-- > 0;)
    device->SetRenderState(kRender_States[i].state, saved_render[i]);
}

INT Font::DrawText(const char* text, INT count, RECT* rect, DWORD format, D3DCOLOR color) {
  if (!text || !rect) return 0;
  const int length = count < 0 ? static_cast<int>(std::strlen(text)) : count;
  if (Observer()) Observer()(std::string(text, static_cast<size_t>(length)), *rect, format, color);
  const d3dx_font::Face& face = *m_Face;
  if (!face.ft || !m_Atlas) return face.cell_height;
  const Line line = Strip_Prefixes(text, length, (format & DT_NOPREFIX) == 0);
  const int width = face.Width(line.bytes.data(), static_cast<int>(line.bytes.size()));
  int x = rect->left;
  if (format & DT_CENTER)
    x = rect->left + (rect->right - rect->left - width) / 2;
  else if (format & DT_RIGHT)
    x = rect->right - width;
  int y = rect->top;
  if (format & DT_VCENTER)
    y = rect->top + (rect->bottom - rect->top - face.cell_height) / 2;
  else if (format & DT_BOTTOM)
    y = rect->bottom - face.cell_height;
  const int baseline = y + face.ascent;
  std::vector<Font_Vertex> vertices;
  vertices.reserve(line.bytes.size() * 6 + 6);
  int pen = x;
  for (size_t i = 0; i < line.bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line.bytes[i]);
    const Glyph& glyph = m_Glyphs[byte];
    if (glyph.width > 0)
      Emit_Quad(vertices, static_cast<float>(pen + glyph.left), static_cast<float>(baseline - glyph.top),
                static_cast<float>(glyph.width), static_cast<float>(glyph.height), glyph, color);
    if (static_cast<int>(i) == line.underline && face.advance[byte] > 0)
      Emit_Quad(vertices, static_cast<float>(pen), static_cast<float>(baseline + face.underline_offset),
                static_cast<float>(face.advance[byte]), static_cast<float>(face.underline_thickness), m_White, color);
    pen += face.advance[byte];
  }
  Submit(vertices);
  return face.cell_height;
}

}  // namespace

void D3DXFont_Set_Draw_Observer(D3DXFont_Draw_Observer observer) { Observer() = std::move(observer); }

HRESULT D3DXCreateFont(IDirect3DDevice8* device, HFONT font, ID3DXFont** result) {
  if (!result) return D3DERR_INVALIDCALL;
  *result = nullptr;
  if (!font || !font->face) return D3DERR_INVALIDCALL;
  auto* made = new Font(device, font->face);
  if (!made->Build_Atlas()) {
    made->Release();
    return D3DERR_INVALIDCALL;
  }
  *result = made;
  return D3D_OK;
}
