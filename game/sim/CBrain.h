#pragma once
// A brain: the rules of a running simulation, created by the game state when a simulation
// loads and destroyed when the next one (or the menus) loads.
#include <cstdint>

struct CSim_Desc;

class CBrain {
 public:
  // Brain kinds.
  static constexpr int kTrack_Only = 1;
  static constexpr int kGame_Rules = 2;

  explicit CBrain(int kind) : m_Kind(kind) {}
  CBrain(const CBrain&) = delete;
  CBrain& operator=(const CBrain&) = delete;
  virtual ~CBrain() = default;

  // Sets initialised; true.
  virtual bool Init(const CSim_Desc& desc);
  // Clears initialised.
  virtual void Term();
  // One frame with the frame's scaled step.
  virtual void Update(const float& dt) = 0;
  virtual void Render() {}

  int32_t m_Initialised = 0;
  int32_t m_Kind;
};

// A brain of the kind (1 track only, 2 game rules), started with the description; null for
// another kind or when it cannot start.
CBrain* Create_Brain(const int& kind, const CSim_Desc* desc);
// Terminates and deletes the brain.
void Destroy_Brain(CBrain* brain);
