#pragma once
// A vertex buffer kept in system memory and drawn from there as client arrays.
#include <vector>

#include "platform/d3d/gl_resource.h"

class GLVertexBuffer final : public GLRefCounted<IDirect3DVertexBuffer8>, public GLResource {
 public:
  GLVertexBuffer(GLDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

  void DetachFromContext() override {}
  const BYTE* Data() const { return bytes_.data(); }
  UINT Size() const { return static_cast<UINT>(bytes_.size()); }

 private:
  std::vector<BYTE> bytes_;
  DWORD usage_;
  DWORD fvf_;
  D3DPOOL pool_;
  bool locked_ = false;
};
