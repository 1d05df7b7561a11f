// Each class's Init fails at each of its resources in turn with that resource's message, and
// gives back everything it had taken.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/enemies/CEmmo_Anti_Matter.h"
#include "game/enemies/CEmmo_Ball.h"
#include "game/enemies/CEmmo_Ball_2.h"
#include "game/enemies/CEmmo_Bar_1.h"
#include "game/enemies/CEmmo_Bomb.h"
#include "game/enemies/CEmmo_Bullet_1.h"
#include "game/enemies/CEmmo_Can.h"
#include "game/enemies/CEmmo_Crystal_1.h"
#include "game/enemies/CEmmo_Discus_1.h"
#include "game/enemies/CEmmo_Missile_1.h"
#include "game/enemies/CEmmo_Roller.h"
#include "game/fx/FX_Resources.h"
#include "tests/game/sim/ammunition_fixture.h"

namespace ammo_test {
namespace {

enum Ending { kModel, kTexture, kShader };

struct Request {
  uint32_t id;
  Ending ending;
};

struct Row {
  const char* name;
  std::function<bool()> init;  // Init on a fresh object, which is then destroyed
  std::vector<Request> requests;
};

template <class T>
std::function<bool()> Fresh() {
  return [] {
    auto object = std::make_unique<T>();
    return object->Init();
  };
}

std::string Message(const char* name, Ending ending) {
  static const char* const kEndings[] = {"\nUnable to create renderable object...", "\nUnable to load texture...",
                                         "\nUnable to load shader..."};
  return std::string("Error in ") + name + kEndings[ending];
}

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {"CEmmo_Ball", Fresh<CEmmo_Ball>(),
       {{0x22000000, kModel}, {0x22000044, kTexture}, {0x2200003C, kTexture}, {0x22000020, kShader}}},
      {"CEmmo_Ball_2", Fresh<CEmmo_Ball_2>(),
       {{0x22000000, kModel}, {0x2200003B, kTexture}, {0x2200003C, kTexture}, {0x22000020, kShader}}},
      {"CEmmo_Crystal_1", Fresh<CEmmo_Crystal_1>(),
       {{0x220000DA, kModel}, {0x22000025, kTexture}, {0x220000D4, kTexture}, {0x22000020, kShader}}},
      {"CEmmo_Missile_1", Fresh<CEmmo_Missile_1>(),
       {{0x2200014C, kModel},
        {0x2200014D, kModel},
        {0x2200002C, kTexture},
        {0x2200001C, kTexture},
        {0x22000032, kTexture},
        {0x220000CA, kTexture},
        {0x2200004D, kTexture},
        {0x22000031, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Discus_1", Fresh<CEmmo_Discus_1>(),
       {{0x22000150, kModel},
        {0x22000151, kModel},
        {0x22000029, kTexture},
        {0x2200001D, kTexture},
        {0x220000CA, kTexture},
        {0x2200003C, kTexture},
        {0x22000149, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Bar_1", Fresh<CEmmo_Bar_1>(),
       {{0x22000152, kModel},
        {0x22000153, kModel},
        {0x22000154, kModel},
        {0x22000029, kTexture},
        {0x2200001D, kTexture},
        {0x220000CA, kTexture},
        {0x2200003C, kTexture},
        {0x22000149, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Bullet_1", Fresh<CEmmo_Bullet_1>(),
       {{0x22000155, kModel}, {0x2200002A, kTexture}, {0x2200003C, kTexture}, {0x22000149, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Bomb", Fresh<CEmmo_Bomb>(),
       {{0x22000000, kModel}, {0x22000044, kTexture}, {0x2200003C, kTexture}, {0x22000050, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Anti_Matter", Fresh<CEmmo_Anti_Matter>(),
       {{0x22000000, kModel}, {0x22000044, kTexture}, {0x2200003C, kTexture}, {0x2200003F, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Roller", Fresh<CEmmo_Roller>(),
       {{0x22000000, kModel}, {0x22000045, kTexture}, {0x22000058, kTexture}, {0x2200004D, kTexture},
        {0x22000020, kShader}}},
      {"CEmmo_Can", Fresh<CEmmo_Can>(),
       {{0x22000161, kModel}, {0x22000025, kTexture}, {0x220000C2, kTexture}, {0x22000020, kShader}}},
  };
  return rows;
}

using InitMessages = Ammunition;

TEST_F(InitMessages, EachResourceFailsInitWithItsMessageInOrder) {
  for (const Row& row : Rows()) {
    for (size_t failing = 0; failing < row.requests.size(); ++failing) {
      std::vector<uint32_t> asked;
      const uint32_t refused = row.requests[failing].id;
      fx::Set_Resource_Filter([&](uint32_t id) {
        asked.push_back(id);
        return id != refused;
      });
      messages.clear();
      const bool ok = row.init();
      fx::Set_Resource_Filter(nullptr);
      EXPECT_FALSE(ok) << row.name << " without " << std::hex << refused;
      ASSERT_EQ(messages.size(), 1u) << row.name << " without " << std::hex << refused;
      EXPECT_EQ(messages[0], Message(row.name, row.requests[failing].ending)) << std::hex << refused;
      // The requests up to the failing one came in the listed order, and none after it.
      ASSERT_EQ(asked.size(), failing + 1) << row.name << " without " << std::hex << refused;
      for (size_t i = 0; i <= failing; ++i) EXPECT_EQ(asked[i], row.requests[i].id) << row.name << " request " << i;
    }
    messages.clear();
    EXPECT_TRUE(row.init()) << row.name << " with everything";
    EXPECT_TRUE(messages.empty()) << row.name;
  }
}

TEST_F(InitMessages, AFailedInitLeavesNothingHeld) {
  // A refused shader after everything else was taken: Term has given back every handle.
  CEmmo_Bar_1 bar;
  fx::Set_Resource_Filter([](uint32_t id) { return id != 0x22000020; });
  EXPECT_FALSE(bar.Init());
  fx::Set_Resource_Filter(nullptr);
  EXPECT_EQ(bar.m_Shaft, nullptr);
  EXPECT_EQ(bar.m_Heads[0], nullptr);
  EXPECT_EQ(bar.m_Heads[1], nullptr);
  EXPECT_EQ(bar.m_Shaft_Texture, nullptr);
  EXPECT_EQ(bar.m_Head_Texture, nullptr);
  EXPECT_EQ(bar.m_Glow_Style, nullptr);
  CEmmo_Missile_1 missile;
  fx::Set_Resource_Filter([](uint32_t id) { return id != 0x22000031; });
  EXPECT_FALSE(missile.Init());
  fx::Set_Resource_Filter(nullptr);
  EXPECT_EQ(missile.m_Body, nullptr);
  EXPECT_EQ(missile.m_Flame_Texture, nullptr);
  EXPECT_EQ(missile.m_Fin_Style, nullptr);
}

}  // namespace
}  // namespace ammo_test
