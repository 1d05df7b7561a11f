#pragma once
// An index buffer (16- or 32-bit indices) kept in system memory.
#include <vector>

#include "platform/d3d/gl_resource.h"

class GLIndexBuffer final : public GLRefCounted<IDirect3DIndexBuffer8>, public GLResource {
 public:
  GLIndexBuffer(GLDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);

  HRESULT GetDevice(IDirect3DDevice8** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

  void DetachFromContext() override {}
  const BYTE* Data() const { return bytes_.data(); }
  UINT Size() const { return static_cast<UINT>(bytes_.size()); }
  UINT IndexBytes() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }

 private:
  std::vector<BYTE> bytes_;
  DWORD usage_;
  D3DFORMAT format_;
  D3DPOOL pool_;
  bool locked_ = false;
};
