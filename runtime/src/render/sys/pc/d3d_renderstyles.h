#pragma once
// The render styles service ("IKSRenderStyles.Default"): every caller obtains, creates and
// releases render styles through it. Styles made by the resource manager are shared by resource
// id; the others live in the device wrapper's list. Beside it, the resource type handler that
// makes and destroys styles of resource type 1.
#include <cstdint>

#include "runtime/src/core/interface_db.h"
#include "runtime/src/libksresource/rez_resource.h"

class CD3DRenderStyle;
class CStream;

constexpr uint32_t kRenderStyleResourceType = 1;

class CD3DRenderStyles : public CInterfaceImpl {
 public:
  const char* GetClassName() const override { return "CD3DRenderStyles"; }
  virtual CD3DRenderStyle* CreateRenderStyleFromDesc(const CD3DRenderStyle* source);
  virtual CD3DRenderStyle* CreateRenderStyle(bool with_defaults);
  virtual CD3DRenderStyle* LoadRenderStyle(CStream* stream);
  virtual CD3DRenderStyle* LoadRenderStyleFromFile(const char* path);
  virtual CD3DRenderStyle* GetRenderStyle(uint32_t resource_id);
  virtual void ReleaseRenderStyle(CD3DRenderStyle* style);
};

class CRenderStyleFactory : public CRezTypeHandler {
 public:
  CRezResource* Create() override;
  void Destroy(CRezResource* resource) override;
  RezExpansionBound Expansion_Bound(const uint8_t* head, size_t length) const override;
};

extern CD3DRenderStyles g_D3DRenderStyles;
extern CD3DRenderStyles* g_pRenderStyles;
extern CRenderStyleFactory g_RenderStyleFactory;
