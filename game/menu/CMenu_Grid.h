#pragma once
// The animated backdrop of the menu screens: glowing line segments in front of the menu camera
// that light up at random, fade, and now and then send a flash along their length.
#include <cstdint>
#include <vector>

#include "runtime/src/math/math_types.h"

struct CFrame_Info;
class CTextureData;
class CD3DRenderStyle;

class CMenu_Grid {
 public:
  // Modes.
  static constexpr int kNone = 0;
  static constexpr int kConsole = 1;
  static constexpr int kSimulator = 2;
  static constexpr int kReport_Failure = 3;
  static constexpr int kReport_Success = 4;

  struct Line {
    uint32_t flags = 0;  // bit 0: a wall line
    float phase = 0.0f;  // 0 dark, 0-1 growing, 1 lit, 1-3 flashing
    float brightness = 1.0f;
    float target = 1.0f;
    float flash = 1.0f;
    CVector3 start{0.0f, 0.0f, 0.0f};
    CVector3 extent{0.0f, 0.0f, 0.0f};
  };

  CMenu_Grid() = default;
  CMenu_Grid(const CMenu_Grid&) = delete;
  CMenu_Grid& operator=(const CMenu_Grid&) = delete;
  ~CMenu_Grid() { Term(); }

  bool Init();
  void Term();
  void Set_Mode(int mode);
  void Update(float step);
  void Render(const CFrame_Info& frame);

  bool m_Initialised = false;
  int32_t m_Mode = kNone;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  std::vector<Line> m_Lines;
  CVector3 m_Origin{0.0f, 0.0f, 0.0f};
  CVector3 m_Across{0.0f, 0.0f, 0.0f};
  CVector3 m_Down{0.0f, 0.0f, 0.0f};
  CVector3 m_Depth{0.0f, 0.0f, 0.0f};

 private:
  void Init_Geometry();
  void Add_Line(uint32_t flags, const CVector3& start, const CVector3& extent);
  void Draw_Ribbon(const CVector3& start, const CVector3& extent, float half_width, float start_alpha,
                   float end_alpha, float scale, uint32_t flags) const;
};
