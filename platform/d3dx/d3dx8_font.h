#pragma once
// Text in the shape the menus call it: GDI-style fonts for measuring (CreateFontA, a device
// context, GetTextExtent*) and a D3DX-style font that draws a line of text into a rectangle as
// blended screen quads from a glyph atlas. Both run over FreeType. Strings are Windows-1252 bytes.
//
// The serif face "Times New Roman" is drawn with Liberation Serif (metric-compatible), DejaVu
// Serif when that is missing. A positive height is the cell height in pixels (ascent + descent of
// the face's Windows metrics); a negative one is the em height. Advances are the hinted integer
// advances, without kerning. Control characters draw nothing and measure 0.
#include <functional>
#include <string>
#include <vector>

#include "platform/d3d/d3d8.h"

struct Gdi_Font;
struct Gdi_Dc;
using HFONT = Gdi_Font*;
using HDC = Gdi_Dc*;
using HGDIOBJ = void*;

struct SIZE {
  LONG cx;
  LONG cy;
};

// DrawText formats.
constexpr DWORD DT_TOP = 0x000;
constexpr DWORD DT_LEFT = 0x000;
constexpr DWORD DT_CENTER = 0x001;
constexpr DWORD DT_RIGHT = 0x002;
constexpr DWORD DT_VCENTER = 0x004;
constexpr DWORD DT_BOTTOM = 0x008;
constexpr DWORD DT_NOPREFIX = 0x800;

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strike_out, DWORD char_set, DWORD out_precision, DWORD clip_precision,
                  DWORD quality, DWORD pitch_and_family, const char* face_name);
BOOL DeleteObject(HGDIOBJ object);
// A device context for measuring; the window is not used.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// Selects a font into the context and answers the one it held.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size);
// How many characters of the text fit max_extent (into *fit), the running extents (into dx,
// one per character, when given) and the whole extent.
BOOL GetTextExtentExPointA(HDC dc, const char* text, int count, int max_extent, int* fit, int* dx, SIZE* size);

class ID3DXFont : public IUnknown {
 public:
  // Draws one line into the rectangle: count < 0 means zero-terminated. "&&" draws "&", a lone
  // "&" is not drawn and underlines the next character (unless DT_NOPREFIX). Answers the height
  // drawn.
  virtual INT DrawText(const char* text, INT count, RECT* rect, DWORD format, D3DCOLOR color) = 0;
};

// A D3DX font of the same face and size as the GDI font, drawing through the device.
HRESULT D3DXCreateFont(IDirect3DDevice8* device, HFONT font, ID3DXFont** result);

// Test seams.
// With an advance above 0 every font measures each drawable character at that advance and has
// that cell height, needs no font file and draws nothing; 0 returns to real faces.
void D3DXFont_Set_Test_Metrics(int advance, int cell_height);
// Called for every DrawText, before drawing (null removes it).
using D3DXFont_Draw_Observer = std::function<void(const std::string& text, const RECT& rect, DWORD format, D3DCOLOR color)>;
void D3DXFont_Set_Draw_Observer(D3DXFont_Draw_Observer observer);
// Replaces the font files searched (empty: the installed Liberation Serif, then DejaVu Serif).
void D3DXFont_Set_Search_Files(const std::vector<std::string>& files);
// The files the last failed CreateFontA tried, joined by ", ".
std::string D3DXFont_Files_Tried();
// Unicode of a Windows-1252 byte (0 for the five bytes it leaves undefined).
unsigned D3DXFont_Code_Point(unsigned char byte);
