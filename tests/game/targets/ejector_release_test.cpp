// Every rising ejector released part-way up sinks from where it stands: it never first jumps to
// full height. One table over the ejectors that rise (the ball, box and brick posts have their
// own tests of the same rule).
#include <functional>
#include <string>
#include <vector>

#include "game/targets/CEjector_Pill.h"
#include "game/targets/CEjector_Roller.h"
#include "game/targets/CEjector_Stars.h"
#include "game/targets/CEjector_Targets.h"
#include "game/targets/CEjector_Twirler.h"
#include "tests/game/targets/ground_fixture.h"

namespace ground_test {
namespace {

constexpr float kDt = 0.05f;

float Along(const CVector3& from, const CVector3& to, const CVector3& axis) {
  return (to.x - from.x) * axis.x + (to.y - from.y) * axis.y + (to.z - from.z) * axis.z;
}

// One ejector kind: sets one up at the base and answers how far it stands out (in its own
// measure: units along its axis, or its rise for the launch markers that do not move).
struct Release_Case {
  const char* name;
  std::function<CWorld_Object*(const CVector3& base)> spawn;
  std::function<float(const CWorld_Object&, const CVector3& base)> height;
};

TEST_F(Ground, AnEjectorReleasedWhileRisingSinksFromWhereItStands) {
  const Release_Case cases[] = {
      {"star", [](const CVector3& base) -> CWorld_Object* {
         CEjector_Stars* e = Take<CEjector_Stars>();
         if (e) e->Spawn(0, 1, base);
         return e;
       },
       [](const CWorld_Object& e, const CVector3& base) { return Along(base, e.m_Position, e.m_Orientation.rows[0]); }},
      {"pill", [](const CVector3& base) -> CWorld_Object* {
         CEjector_Pill* e = Take<CEjector_Pill>();
         if (e) e->Spawn(0, 1, base);
         return e;
       },
       [](const CWorld_Object& e, const CVector3&) { return static_cast<const CEjector_Pill&>(e).m_Rise; }},
      {"roller", [](const CVector3& base) -> CWorld_Object* {
         CEjector_Roller* e = Take<CEjector_Roller>();
         if (e) e->Spawn(2, 1, base);
         return e;
       },
       [](const CWorld_Object& e, const CVector3&) { return static_cast<const CEjector_Roller&>(e).m_Rise; }},
      {"twirler", [](const CVector3& base) -> CWorld_Object* {
         CEjector_Twirler* e = Take<CEjector_Twirler>();
         if (e) e->Spawn(base);
         return e;
       },
       [](const CWorld_Object& e, const CVector3& base) { return Along(base, e.m_Position, e.m_Orientation.rows[1]); }},
      {"bullseye tower", [](const CVector3& base) -> CWorld_Object* {
         CEjector_Targets* e = Take<CEjector_Targets>();
         if (e) e->Spawn(0, base);
         return e;
       },
       [](const CWorld_Object& e, const CVector3& base) { return Along(base, e.m_Position, e.m_Orientation.rows[1]); }},
  };
  for (const Release_Case& k : cases) {
    SCOPED_TRACE(k.name);
    const CVector3 base = On_Ground(0.5f * X, 0.5f * Z, -100.0f);
    CWorld_Object* ejector = k.spawn(base);
    ASSERT_NE(ejector, nullptr);
    Place(*ejector, base, 1);
    Step(*ejector, kDt, 2);
    const float risen = k.height(*ejector, base);
    ASSERT_GT(risen, 0.0f) << "it has begun to rise";
    // Released (what the track's release does): from here on it only sinks, to the ground.
    ejector->m_Kill_Timer = 0.001f;
    float last = risen;
    while (ejector->m_Kill_Timer < 1.0f) {
      ejector->Update(0.01f);
      const float now = k.height(*ejector, base);
      ASSERT_LE(now, last + 1e-3f) << "rose again at kill timer " << ejector->m_Kill_Timer;
      last = now;
    }
    ejector->Update(0.01f);  // the last step before the world's sweep
    EXPECT_NEAR(k.height(*ejector, base), 0.0f, 1e-3f) << "sunk back into the ground";
    harness.Step(1);
    EXPECT_EQ(ejector->m_List, -1) << "the world took it back";
  }
}

}  // namespace
}  // namespace ground_test
