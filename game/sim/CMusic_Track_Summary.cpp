// The end of a training run. Stand-in until the statistics summary exists: the run ends into a
// dialog whose one choice returns to the trainer.
#include "game/core/CCamera.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"

namespace {

constexpr uint32_t kTitle_Colour = 0xeeeeee88;
constexpr uint32_t kChoice_Colour = 0xee88ee88;
constexpr int kChoice_Mode = 2;

}  // namespace

void CMusic_Track::Show_Statistics() {
  m_Ended = true;
  g_Score_Board_Mgr.Commit_Points();
  const CMatrix3x3& axes = g_Camera.Rotation();
  const CVector3& eye = g_Camera.Position();
  const CVector3 start{eye.x + axes.rows[2].x * 100.0f, eye.y + axes.rows[2].y * 100.0f,
                       eye.z + axes.rows[2].z * 100.0f};
  const float width = g_Camera.Screen_Width(), height = g_Camera.Screen_Height();
  const CVector2 centre{0.5f * width, 0.46f * height};
  const float box_width = 0.4f * width, box_height = 0.0f;
  const int mode = kChoice_Mode;
  g_Modal_Dlg.Init(start, centre, box_width, box_height, mode);
  const uint32_t large = 1, plain = 0;
  const int32_t none = 0, back = kCommand_Simulator;
  g_Modal_Dlg.Add_Line("Simulation Statistics Summary", kTitle_Colour, large, none, none);
  g_Modal_Dlg.Add_Line("Return to Trainer", kChoice_Colour, plain, back, none);
}

void CMusic_Track::Update_Access_Level(const bool& success) { (void)success; }
