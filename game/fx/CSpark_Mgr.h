#pragma once
// Up to 16 bright sparks that fly under gravity, bounce off the terrain and the world's
// boundary and fade out; drawn as streaks with two glow sprites.
#include <cstdint>

#include "runtime/src/math/math_types.h"

struct CFrame_Info;
class CD3DRenderStyle;
class CTextureData;

enum : uint8_t { kSpark_Live = 0x01, kSpark_Bounced = 0x02 };

struct CSpark {
  uint8_t flags = 0;
  CVector3 position{0.0f, 0.0f, 0.0f};
  CVector3 velocity{0.0f, 0.0f, 0.0f};
  CVector3 bounced_velocity{0.0f, 0.0f, 0.0f};
  uint32_t color = 0;
  float brightness = 0.0f;
  float fade_rate = 0.0f;
};

class CSpark_Mgr {
 public:
  static constexpr int kMax_Sparks = 16;
  static constexpr int kStreak_Triangles = 36;

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  bool Add_Spark(const CVector3& position, const CVector3& velocity, uint32_t color);
  void Update(const CFrame_Info& frame);
  void Render();

  int Live_Count() const { return m_Live_Count; }
  const CSpark& Spark(int index) const { return m_Sparks[index]; }
  CSpark& Spark(int index) { return m_Sparks[index]; }
  // The streak of one spark: 3 ribbons of 6 segments, two triangles a segment.
  static void Build_Streak(const CSpark& spark, const CVector3& first_side, struct DrawPrimTexTriangle* out);

 private:
  void Move(CSpark& spark, float dt);

  bool m_Initialised = false;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Streak_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  int m_Live_Count = 0;
  CSpark m_Sparks[kMax_Sparks];
};

extern CSpark_Mgr g_Spark_Mgr;
