#pragma once
// The render device's list of display modes, and the choice of one for the user's settings.
#include <cstdint>

struct RenderMode;

class CRender_Mode_List {
 public:
  // The five resolution levels.
  static constexpr int kLevel_Count = 5;
  static constexpr int kDefault_Level = 1;

  CRender_Mode_List() = default;
  CRender_Mode_List(const CRender_Mode_List&) = delete;
  CRender_Mode_List& operator=(const CRender_Mode_List&) = delete;
  ~CRender_Mode_List() { Release(); }

  // Fetches the list from the render device; false when there is none.
  bool Fetch();
  // Gives the list back to the render device.
  void Release();

  // The mode for a resolution level (0-4) and bit depth setting (1: 24 bits or more, 0: 16), with
  // fixed fallbacks: 1024x768, then 640x480, then the first mode; null for an empty list.
  const RenderMode* Pick_Mode(int level, int bit_depth) const;
  static const RenderMode* Pick_Mode(const RenderMode* list, int level, int bit_depth);

  // Width and height of a resolution level; a level out of range counts as the default.
  static void Level_Size(int level, uint32_t& width, uint32_t& height);

 private:
  RenderMode* m_List = nullptr;
};
