#include "game/core/CRender_Mode_List.h"

#include "runtime/src/render/iks_render_device.h"

namespace {

constexpr uint32_t kLevel_Sizes[CRender_Mode_List::kLevel_Count][2] = {
    {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};

bool Deep(const RenderMode& mode) { return mode.BitDepth >= 24; }
bool Any_Depth(const RenderMode&) { return true; }

template <class Test>
const RenderMode* Find(const RenderMode* list, uint32_t width, uint32_t height, Test matches) {
  for (const RenderMode* mode = list; mode; mode = mode->Next)
    if (mode->Width == width && mode->Height == height && matches(*mode)) return mode;
  return nullptr;
}

}  // namespace

bool CRender_Mode_List::Fetch() {
  Release();
  if (!g_pRenderDevice) return false;
  m_List = g_pRenderDevice->GetDeviceList();
  return m_List != nullptr;
}

void CRender_Mode_List::Release() {
  if (m_List && g_pRenderDevice) g_pRenderDevice->FreeDeviceList(m_List);
  m_List = nullptr;
}

void CRender_Mode_List::Level_Size(int level, uint32_t& width, uint32_t& height) {
  if (level < 0 || level >= kLevel_Count) level = kDefault_Level;
  width = kLevel_Sizes[level][0];
  height = kLevel_Sizes[level][1];
}

const RenderMode* CRender_Mode_List::Pick_Mode(int level, int bit_depth) const {
  return Pick_Mode(m_List, level, bit_depth);
}

const RenderMode* CRender_Mode_List::Pick_Mode(const RenderMode* list, int level, int bit_depth) {
  uint32_t width = 0, height = 0;
  Level_Size(level, width, height);
  const auto wanted_depth = [bit_depth](const RenderMode& mode) {
    if (bit_depth == 1) return mode.BitDepth >= 24;
    if (bit_depth == 0) return mode.BitDepth == 16;
    return false;
  };
  if (const RenderMode* mode = Find(list, width, height, wanted_depth)) return mode;
  if (const RenderMode* mode = Find(list, 1024, 768, Deep)) return mode;
  if (const RenderMode* mode = Find(list, 1024, 768, Any_Depth)) return mode;
  if (const RenderMode* mode = Find(list, 640, 480, Deep)) return mode;
  if (const RenderMode* mode = Find(list, 640, 480, Any_Depth)) return mode;
  return list;
}
