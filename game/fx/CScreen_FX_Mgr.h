#pragma once
// Timed screen effects of 25 kinds: full-screen flashes and veils, centred messages, camera
// shakes and tilts, changes of the world's light and the clear colour, shutters, noise, a
// sparkle spray, ground flashes and tracer beams. Records are appended by five entry points and
// live for their duration.
#include <cstdint>
#include <list>
#include <string>

#include "runtime/src/math/math_types.h"

struct CFrame_Info;
class CD3DRenderStyle;
class CTextureData;
class CRenderableObject;

struct CScreen_FX_Record {
  int kind = 0;
  float elapsed = 0.0f;
  float duration = 0.0f;
  float value1 = 0.0f;
  float value2 = 0.0f;
  float vector_a[4] = {0, 0, 0, 0};  // a colour (alpha, red, green, blue) or a position (x, y, z, 0)
  float vector_b[4] = {0, 0, 0, 0};
  float spare[4] = {0, 0, 0, 0};
  uint32_t color_word = 0;
  uint32_t state_word = 0;
  std::string text;
  // Handler state: whether the kept values were taken (kinds 3, 19, 24) and the tracer's
  // offset.
  bool captured = false;
  float kept[3] = {0, 0, 0};
  float offset[2] = {0, 0};
};

class CScreen_FX_Mgr {
 public:
  // Kinds the game core adds.
  static constexpr int kFlash = 11;
  static constexpr int kCamera_Shake = 13;
  static constexpr int kKind_Count = 25;

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }

  void Update(const CFrame_Info& frame);
  void Render();
  void Render_In_World();
  void Clear_Sim_Effects();

  // Colours are four slots: alpha, red, green, blue (0-1).
  void Add_Effect(int kind, float duration, const CColor4& color_a, const CColor4& color_b, float value1,
                  float value2);
  void Add_Effect_2(int kind, float duration, float value1);
  void Add_Effect_3(int kind, float duration, const CVector3& position_a, const CVector3& position_b, float value1,
                    float value2);
  void Add_Effect_4(int kind, float duration, const char* text);
  void Add_Effect_5(int kind, float duration, uint32_t color);

  // The live records, in list order.
  const std::list<CScreen_FX_Record>& Effects() const { return m_Effects; }
  int Effect_Count() const { return static_cast<int>(m_Effects.size()); }
  int Last_Kind() const { return m_Effects.empty() ? -1 : m_Effects.back().kind; }
  // The envelope (or progress, for the kinds without one) of a record at its elapsed time.
  static float Envelope(const CScreen_FX_Record& record);
  // Whether the shutter resources (two renderables, texture, style) are held.
  bool Shutter_Held() const { return m_Shutter_Held; }
  float Step() const { return m_Step; }

 private:
  CScreen_FX_Record& Append(int kind, float duration);
  void Take_Shutter();
  void Drop_Shutter();
  bool Shutter_Lives() const;
  void Run(CScreen_FX_Record& r);
  // Draws every kind of full-screen quad once, for the warm-up of draw states.
  void Warm_Up_Screen_Quads();
  void Screen_Quad(uint32_t color, int blend, int depth, CTextureData* texture, float u_repeat = 1.0f,
                   float v_repeat = 1.0f, float u_offset = 0.0f, float v_offset = 0.0f,
                   CD3DRenderStyle* style = nullptr);
  void World_Flash(float e);
  void Clear_Colour_Fade(CScreen_FX_Record& r);
  void Clear_Colour_Pulse(CScreen_FX_Record& r, float e);
  void Menu_Overlay(const CScreen_FX_Record& r);
  void Text(const CScreen_FX_Record& r, int font, uint32_t rgb, float peak, float height_share, float top_share,
            bool centred);
  void Shutter(float c);
  void Ground_Flash(const CScreen_FX_Record& r, float e);
  void Sparkle_Spray(CScreen_FX_Record& r, float e);
  void Tracer(CScreen_FX_Record& r, float e);
  void Pattern_Veil(CScreen_FX_Record& r, float e);

  bool m_Initialised = false;
  int m_Warm_Up_Drawer = 0;
  float m_Step = 0.0f;
  bool m_Shutter_Held = false;
  CRenderableObject* m_Shutter_Parts[2] = {};
  CD3DRenderStyle* m_Shutter_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;   // 0x22000031
  CD3DRenderStyle* m_Plain_Style = nullptr;  // 0x2200002e
  CTextureData* m_Shutter_Texture = nullptr;
  CTextureData* m_Textures[5] = {};  // 0x22000069, 0x22000032, 0x22000033, 0x2200010e, 0x2200012f
  std::list<CScreen_FX_Record> m_Effects;
};

extern CScreen_FX_Mgr g_Screen_FX_Mgr;
