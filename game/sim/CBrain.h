#pragma once
// A brain: the rules of a running simulation, created by the game state when a simulation
// loads and destroyed when it unloads.
struct CFrame_Info;
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

  virtual void Update(const CFrame_Info& frame) { (void)frame; }
  virtual void Render() {}

  int m_Kind;
};

// A brain of the kind (1 track only, 2 game rules) for the description; null for another kind.
CBrain* Create_Brain(const int& kind, const CSim_Desc* desc);
void Destroy_Brain(CBrain* brain);
