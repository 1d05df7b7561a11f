#pragma once
// The 3D flight view of the War Room screen: an endless passage of pieces chained at random,
// flown along a spline, lit by beacons on the pieces, with drifting dust in front of the camera
// and the mission's time remaining written over it.
#include <cstdint>
#include <vector>

#include "game/warroom/CWarRoom_Dust_Field.h"
#include "runtime/src/math/key_track.h"
#include "runtime/src/math/math_types.h"

class CTextureData;
class CD3DRenderStyle;
class CRenderableObject;
class CWarRoom_Beacon;

class CWarRoom_World {
 public:
  static constexpr int kPiece_Types = 5;
  static constexpr int kMax_Points = 10;
  static constexpr int kMax_Children = 4;
  static constexpr int kNode_Count = 96;
  static constexpr int kGrowth_Depth = 5;
  static constexpr int kDock = 5;
  static constexpr float kDock_Middle = 1000.0f;  // how far into a dock the shuttle stops
  static constexpr float kWeight_Sum = 1.915f;

  enum { kCruising = 1, kArriving = 2, kDocked = 3 };

  struct Path_Point {
    CVector3 position;
    int next = 0;      // the next point of the chain; 0 at its end
    float yaw = 0.0f;  // heading there, turned from ahead towards sideways (radians)
  };
  struct Piece_Type {
    uint32_t renderable_id = 0;
    float weight = 0.0f;
    int point_count = 0;
    Path_Point points[kMax_Points];
    CRenderableObject* renderable = nullptr;
  };
  struct Child {
    int point = -1;  // the chain end it is attached at
    int node = -1;
  };
  struct Node {
    int type = 0;
    CMatrix3x3 axes{};  // rows: sideways, up, ahead
    CVector3 position{};
    Child children[kMax_Children];
    std::vector<CWarRoom_Beacon*> beacons;
    int next_free = -1;
    bool in_use = false;
  };

  CWarRoom_World();
  CWarRoom_World(const CWarRoom_World&) = delete;
  CWarRoom_World& operator=(const CWarRoom_World&) = delete;
  ~CWarRoom_World() { Term(); }

  bool Init();
  void Term();
  void Update(float dt);
  void Render(float dt);

  // The piece type a value in 0 .. kWeight_Sum picks by cumulative weight (type 1 for 0).
  static int Type_For_Weight(float value);
  // The chain ends of a piece type (indexes of points whose chain stops there).
  static std::vector<int> Chain_Ends(const Piece_Type& type);
  // A world point of a node's frame.
  CVector3 To_World(const Node& node, const CVector3& local) const;
  // Sets up the device lights 1-7 for drawing the node (kind 1 beacons of the node, the node it
  // was reached from, then its children); the rest of the seven are switched off.
  void Set_Piece_Lights(int node, int came_from) const;
  int Free_Nodes() const;

  bool m_Initialised = false;
  bool m_Docking = false;
  int32_t m_Mode = kCruising;
  float m_Fade = 0.0f;
  float m_Path_Position = 0.0f;
  float m_Speed_Ramp = 0.0f;
  float m_Speed_Factor = 1.0f;
  float m_Dock_Cooldown = 0.0f;
  CVector3 m_Forward{0.0f, 0.0f, 1.0f};
  CVector3 m_Turn_Velocity{};
  Piece_Type m_Types[kPiece_Types + 1];  // indexed by type 1-5
  Node m_Nodes[kNode_Count];
  int m_First_Free = -1;
  int m_Current = -1;
  int m_Flown_Point = -1;  // the chain end of the current piece flown to
  CKeyTrack m_Path;
  std::vector<CWarRoom_Beacon*> m_Frame_Beacons;
  CWarRoom_Dust_Field m_Dust;
  int m_Shown_Seconds = -1;
  char m_Time_Text[16] = {};

 private:
  bool Load_Resources();
  void Setup_Piece_Types();
  void Build_Free_List();
  int Add_Node(int type, int parent, int point);
  void Release_Node(int node);
  void Release_Subtree(int node, int keep);
  void Add_Beacons(Node& node);
  void Grow(int node, int depth);
  int Choose_Type();
  void Build_Path();
  void Rebuild_Path_Keys();
  void Advance_Piece();
  void Shift_World(const CVector3& by);
  void Dock();
  void Steer_Camera(float dt);
  void Draw_Piece(int node) const;
  void Walk(int node, int came_from, std::vector<CVector3>& passed);
  void Draw_Beacons() const;
  void Draw_Time();

  CRenderableObject* m_Shuttle[2] = {};
  CD3DRenderStyle* m_Piece_Style = nullptr;
  CD3DRenderStyle* m_Shuttle_Style = nullptr;
  CD3DRenderStyle* m_Beacon_Style = nullptr;
  CTextureData* m_Textures[5] = {};
};
