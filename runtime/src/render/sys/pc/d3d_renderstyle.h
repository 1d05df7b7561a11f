#pragma once
// A render style: how a surface is drawn. The device wrapper keeps the styles it created in a
// list and has them drop and rebuild their device shaders around a device reset.
#include <cstdint>

class CD3DRenderStyle {
 public:
  CD3DRenderStyle() = default;
  virtual ~CD3DRenderStyle() = default;
  CD3DRenderStyle(const CD3DRenderStyle&) = delete;
  CD3DRenderStyle& operator=(const CD3DRenderStyle&) = delete;

  // Deletes the device shaders of every pass, keeping their code.
  void ReleaseShaders();
  // Rebuilds whatever device shaders are missing; drops cached state that names this style.
  bool CreateShaders();

  // Link of the device wrapper's list of styles.
  CD3DRenderStyle* m_pNext = nullptr;
};
