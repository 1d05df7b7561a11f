#include "game/warroom/CWarRoom_Beacon.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace {

// Raw storage for the pool's records, and which of them are taken.
alignas(CWarRoom_Beacon) unsigned char g_Pool_Storage[CWarRoom_Beacon::kPool_Size][sizeof(CWarRoom_Beacon)];
bool g_Pool_Used[CWarRoom_Beacon::kPool_Size] = {};

}  // namespace

CWarRoom_Beacon* CWarRoom_Beacon::Create(int kind, const CVector3& offset, const float colour[4]) {
  CWarRoom_Beacon* beacon = nullptr;
  for (int i = 0; i < kPool_Size && !beacon; ++i) {
    if (g_Pool_Used[i]) continue;
    g_Pool_Used[i] = true;
    beacon = new (g_Pool_Storage[i]) CWarRoom_Beacon();
    beacon->m_From_Pool = true;
  }
  if (!beacon) beacon = new (std::nothrow) CWarRoom_Beacon();
  if (!beacon) return nullptr;
  beacon->m_Kind = kind;
  beacon->m_Offset = offset;
  for (int c = 0; c < 4; ++c) {
    beacon->m_Colour[c] = colour[c];
    beacon->m_Dim_Colour[c] = 0.45f * colour[c];
  }
  return beacon;
}

void CWarRoom_Beacon::Destroy(CWarRoom_Beacon* beacon) {
  if (!beacon) return;
  if (!beacon->m_From_Pool) {
    delete beacon;
    return;
  }
  for (int i = 0; i < kPool_Size; ++i) {
    if (reinterpret_cast<unsigned char*>(beacon) != g_Pool_Storage[i]) continue;
    beacon->~CWarRoom_Beacon();
    g_Pool_Used[i] = false;
    return;
  }
}

int CWarRoom_Beacon::Pool_In_Use() { return static_cast<int>(std::count(std::begin(g_Pool_Used), std::end(g_Pool_Used), true)); }

void CWarRoom_Beacon::Reset() {
  m_Glow = 0.0f;
  m_Fade = 0.0f;
}

void CWarRoom_Beacon::Update(float dt, const CVector3& piece_position, const CMatrix3x3& piece_axes) {
  if (m_Highlight) {
    m_Glow = std::min(m_Glow + 2.0f * dt, 1.0f);
    m_Fade = std::min(m_Fade + 0.75f * dt, 1.0f);
  } else {
    m_Glow = std::max(m_Glow - 0.5f * dt, 0.0f);
    m_Fade = std::max(m_Fade - 0.75f * dt, 0.0f);
  }
  const CVector3* axes = piece_axes.rows;
  m_Position = CVector3{piece_position.x + m_Offset.x * axes[0].x + m_Offset.y * axes[1].x + m_Offset.z * axes[2].x,
                        piece_position.y + m_Offset.x * axes[0].y + m_Offset.y * axes[1].y + m_Offset.z * axes[2].y,
                        piece_position.z + m_Offset.x * axes[0].z + m_Offset.y * axes[1].z + m_Offset.z * axes[2].z};
}
