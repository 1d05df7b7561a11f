#include "platform/d3d/gl_vertex_buffer.h"

#include "platform/d3d/gl_device.h"

GLVertexBuffer::GLVertexBuffer(GLDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : GLResource(device, pool == D3DPOOL_DEFAULT), bytes_(length), usage_(usage), fvf_(fvf), pool_(pool) {}

HRESULT GLVertexBuffer::GetDevice(IDirect3DDevice8** device) {
  if (!device || !device_) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

// DISCARD and NOOVERWRITE need no work: the memory is the caller's until the next draw.
HRESULT GLVertexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
  if (!data || offset > bytes_.size()) return D3DERR_INVALIDCALL;
  if (size != 0 && size > bytes_.size() - offset) return D3DERR_INVALIDCALL;
  locked_ = true;
  *data = bytes_.data() + offset;
  return D3D_OK;
}

HRESULT GLVertexBuffer::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  return D3D_OK;
}

HRESULT GLVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_, Size(), fvf_};
  return D3D_OK;
}
