#include "runtime/src/render/sys/pc/d3d_renderstyle.h"

#include "runtime/src/render/sys/pc/renderstatemgr.h"

void CD3DRenderStyle::ReleaseShaders() {}

bool CD3DRenderStyle::CreateShaders() {
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->InvalidateStyle(this);
  return true;
}
