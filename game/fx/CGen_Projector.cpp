#include "game/fx/CGen_Projector.h"

#include "game/core/CCamera.h"
#include "game/core/CWorld_Object.h"
#include "game/core/WinMain.h"
#include "game/fx/FX_Resources.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "game/core/CGame.h"

CGen_Projector g_Gen_Projector;

namespace {

const char kMissing_Message[] = "CGen_Projector::Couldn't load shader.";

CMatrix4x4 Frame_Scale(float r) {
  CMatrix4x4 s{};
  s.m[0][0] = 2.0f / r;
  s.m[1][1] = 2.0f / r;
  s.m[2][2] = 0.001f;
  s.m[3][2] = -0.0001f;
  s.m[3][3] = 1.0f;
  return s;
}

CMatrix4x4 Product(const CMatrix4x4& a, const CMatrix4x4& b) {
  CMatrix4x4 out;
  a.Multiply(b, out);
  return out;
}

}  // namespace

CMatrix4x4 Camera_To_World() {
  CMatrix4x4 m;
  m.Set_Identity();
  const D3DMATRIX* view = g_pRenderStateMgr ? g_pRenderStateMgr->GetTransform(D3DTS_VIEW) : nullptr;
  if (view && view->m[3][3] == 1.0f) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) m.m[i][j] = view->m[i][j];
    m.Inverse();
    return m;
  }
  const CMatrix3x3& r = g_Camera.Rotation();
  for (int i = 0; i < 3; ++i) {
    m.m[i][0] = r.rows[i].x;
    m.m[i][1] = r.rows[i].y;
    m.m[i][2] = r.rows[i].z;
  }
  m.Set_Translation(g_Camera.Position());
  return m;
}

CMatrix4x4 CGen_Projector::Projection_Matrix() {
  CMatrix4x4 p;
  p.Set_Identity();
  p.m[0][0] = p.m[1][1] = 0.16129033f;
  p.m[2][2] = 0.0f;
  p.m[3][0] = 0.5f;
  p.m[3][1] = 0.5f;
  p.m[3][2] = 1.0f;
  p.m[3][3] = 1.0f;
  return p;
}

bool CGen_Projector::Init() {
  m_Styles[0] = fx::Get_Style(0x22000034);
  m_Styles[1] = fx::Get_Style(0x22000035);
  if (!m_Styles[0] || !m_Styles[1]) {
    Show_Message("%s", kMissing_Message);
    Term();
    return false;
  }
  m_Projection = Projection_Matrix();
  m_Initialised = true;
  if (m_Warm_Up_Drawer == 0) m_Warm_Up_Drawer = Add_Warm_Up_Drawer([this] { Warm_Up_Projections(); });
  return true;
}

void CGen_Projector::Warm_Up_Projections() const {
  if (!m_Initialised) return;
  for (const CD3DRenderStyle* style : m_Styles) {
    Warm_Up_Rewritten_Style(style, [](uint32_t index, RenderPassDesc& pass) {
      if (index == 0) fx::Edit_Projection_Pass(pass, Projection_Matrix(), 0xFFFFFFFFu);
    });
  }
}

void CGen_Projector::Term() {
  Remove_Warm_Up_Drawer(m_Warm_Up_Drawer);
  m_Warm_Up_Drawer = 0;
  fx::Release(m_Styles[0]);
  fx::Release(m_Styles[1]);
  m_Initialised = false;
}

int CGen_Projector::Build_Cells(const CVector3& position, float radius) {
  return m_Patch.Build(position.x, position.z, radius);
}

CMatrix4x4 CGen_Projector::Calc_Tex_Matrix(const CProjection_Frame& frame, float radius) const {
  CMatrix4x4 inverse;
  inverse.Set_Identity();
  for (int i = 0; i < 3; ++i) {
    inverse.m[i][0] = frame.orientation.rows[i].x;
    inverse.m[i][1] = frame.orientation.rows[i].y;
    inverse.m[i][2] = frame.orientation.rows[i].z;
  }
  inverse.Set_Translation(frame.position);
  inverse.Inverse();
  return Product(Camera_To_World(), Product(Product(inverse, Frame_Scale(radius)), Projection_Matrix()));
}

void CGen_Projector::Project(int style_index, const CProjection_Frame& frame, float radius, CTextureData* texture,
                             const CColor4& colour) {
  if (!m_Initialised) return;
  const int n = Build_Cells(frame.position, radius * 1.25f);
  if (n == 0) return;
  const uint32_t packed = fx::Pack_Color(&colour.r);
  if ((packed >> 24) == 0) return;
  CD3DRenderStyle* style = Style(style_index);
  fx::Write_Projection_Pass(style, Calc_Tex_Matrix(frame, radius), packed);
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  g_pDrawPrim->SetTexture(texture, 0);
  g_pDrawPrim->SetRenderStyle(style);
  g_pDrawPrim->DrawTexTriangles(m_Patch.Triangles(), static_cast<uint32_t>(n));
}

void CGen_Projector::Project_Custom(CWorld_Object* owner, int style_index, const CProjection_Frame& frame,
                                    float radius, CTextureData* texture, const CColor4& colour) {
  if (!m_Initialised || !owner) return;
  const uint32_t packed = fx::Pack_Color(&colour.r);
  if ((packed >> 24) == 0) return;
  CD3DRenderStyle* style = Style(style_index);
  fx::Write_Projection_Pass(style, Calc_Tex_Matrix(frame, radius), packed);
  owner->Render_With_Shader(style, texture);
}
