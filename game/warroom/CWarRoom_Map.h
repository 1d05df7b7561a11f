#pragma once
// The 2D map of the War Room: the current region's image lying tilted in front of the menu
// camera, the infection stain painted into its relief image, the site links, markers and rings,
// the planned flight arc, a sweeping scan line, the region name and the site labels. It also
// runs the infection's per-site spread, because the stain is painted into its texture.
#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/src/math/key_track.h"
#include "runtime/src/math/math_types.h"

class CTextureData;
class CD3DRenderStyle;

class CWarRoom_Map {
 public:
  static constexpr int kScan_Buffers = 10;
  static constexpr int kMax_Links = 288;

  CWarRoom_Map() = default;
  CWarRoom_Map(const CWarRoom_Map&) = delete;
  CWarRoom_Map& operator=(const CWarRoom_Map&) = delete;
  ~CWarRoom_Map() { Term(); }

  bool Init();
  void Term();
  // Reads the relief bytes of the region's second image and clears its alpha (the stain).
  bool Setup_MiniMap_Data(uint32_t texture_id);
  void Update(float dt);
  // Spreads and clears the infection site by site and paints the stain, ticks times.
  void Update_Infection(int ticks);
  // The site nearest the cursor ray (within 100 units), -1 when none.
  int Pick_Site() const;
  void Frame(float dt);
  CVector3 Get_Site_Position(int site) const;
  // While set (Shift held) every site is labelled.
  void Show_All_Labels(bool show) { m_Show_All_Labels = show; }
  bool All_Labels_Shown() const { return m_Show_All_Labels; }

  bool m_Initialised = false;
  // The map plane: a site at (x, y) lies at origin + x * across + y * depth.
  CVector3 m_Origin{}, m_Across{}, m_Depth{}, m_Normal{};
  float m_Ring_Angle = 0.0f;
  float m_Sweep_Phase = 0.0f;  // 0 to 0.95 along the flight arc
  float m_Scroll_Phase = 0.0f;
  float m_Overlay_Phase = 0.0f;
  int m_MiniMap_Width = 0;
  int m_MiniMap_Height = 0;
  // Relief bytes, column-major from the bottom row: x * height + y.
  uint8_t* m_MiniMap_Bytes = nullptr;
  // The scan lines: each a relief profile along the map's depth.
  std::vector<CVector3> m_Scan_Lines[kScan_Buffers];
  bool m_Scan_Filled[kScan_Buffers] = {};
  int m_Next_Scan = 0;
  std::vector<std::pair<int, int>> m_Links;
  int m_Arc_Current = -1;
  int m_Arc_Target = -1;
  float m_Arc_Length = 0.0f;
  CKeyTrack m_Arc;
  int m_Hover_Site = -1;
  int m_Label_Site = -1;
  float m_Hover_Time = 0.0f;
  float m_Label_Opacity = 0.0f;

 private:
  bool Load_Resources();
  void Set_Plane();
  void Build_Links();
  void Infect_Sites_In_Reach();
  void Step_Site(int site, int ticks);
  void Paint_Stain(uint8_t* pixels, int site, int ticks) const;
  void Fill_Scan_Line();
  void Rebuild_Arc();
  void Draw_Map_Quad(uint32_t colour) const;
  void Draw_Links() const;
  void Draw_Markers();
  void Draw_Ring(int site, uint32_t colour, float scale, bool animated) const;
  void Draw_Scan_Lines() const;
  void Draw_Arc();
  void Draw_Texts(float dt);
  void Draw_Label(int site, float opacity) const;

  bool m_Show_All_Labels = false;
  CTextureData* m_Map_Texture = nullptr;
  CTextureData* m_MiniMap_Texture = nullptr;
  CTextureData* m_Detail_Texture = nullptr;
  CTextureData* m_Static_Texture = nullptr;
  CTextureData* m_Marker_Texture = nullptr;
  CTextureData* m_Ring_Texture = nullptr;
  CD3DRenderStyle* m_Map_Style = nullptr;
  CD3DRenderStyle* m_Stain_Style = nullptr;
};
