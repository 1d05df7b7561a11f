#pragma once
// The game's own mouse cursor, drawn at the end of every frame: an arrow in the menus, a
// cross-hair in a simulation; its marker drawing also puts cursor-style markers at screen points.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CD3DRenderStyle;
class CTextureData;

class CCursor_Mgr {
 public:
  // Marker kinds.
  static constexpr int kArrow = 0;
  static constexpr int kCross_Hair = 1;
  static constexpr int kMarker = 2;
  static constexpr int kNo_Cursor = -1;

  static constexpr uint32_t kDefault_Style_Id = 0x22000007;
  static constexpr uint32_t kMarker_Style_Id = 0x22000050;
  static constexpr uint32_t kCross_Hair_Texture_Id = 0x22000005;
  static constexpr uint32_t kMarker_Texture_Id = 0x2200005F;
  static constexpr uint32_t kCursor_Texture_Id = 0x22000006;

  // The marker style's colour parameter: all four bytes of its texture factor.
  static constexpr uint32_t kMarker_Colour_Key = 0x6F6C6F63;  // "colo"

  // One corner of the screen-space quad: position in pixels, colour, texture coordinates.
  struct Vertex {
    float x, y, z;
    uint32_t color;
    float u, v;
  };

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  void Draw_Marker(const int& kind, const CVector3& point, const unsigned& colour, const float& scale);
  void Render();

  // The kind Render draws now, or kNo_Cursor.
  int Cursor_Kind() const;
  // Half width and height of a marker of the kind on a screen of the given size.
  static void Marker_Half_Extents(int kind, float scale, float screen_width, float screen_height, float& half_width,
                                  float& half_height);

  bool m_Show = true;
  // The quad of the last marker drawn and its kind (for inspection).
  Vertex m_Quad[4] = {};
  int m_Last_Kind = kNo_Cursor;
  uint32_t m_Marker_Color = 0xFFFFFFFF;

 private:
  bool Load();
  void Release();
  void Draw_Quad(int kind, uint32_t colour);
  void Texture_And_Style(int kind, CTextureData*& texture, CD3DRenderStyle*& style) const;
  void Set_Marker_Colour(uint32_t colour);

  bool m_Initialised = false;
  bool m_System_Cursor_Hidden = false;
  CD3DRenderStyle* m_Default_Style = nullptr;
  CD3DRenderStyle* m_Marker_Style = nullptr;
  CTextureData* m_Cross_Hair_Texture = nullptr;
  CTextureData* m_Marker_Texture = nullptr;
  CTextureData* m_Cursor_Texture = nullptr;
  // The colour last written into the marker style; none yet after Init.
  bool m_Marker_Colour_Set = false;
  uint32_t m_Marker_Color_In_Style = 0;
};

extern CCursor_Mgr g_Cursor_Mgr;
