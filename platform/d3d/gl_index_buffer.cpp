#include "platform/d3d/gl_index_buffer.h"

#include "platform/d3d/gl_device.h"

GLIndexBuffer::GLIndexBuffer(GLDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : GLResource(device, pool == D3DPOOL_DEFAULT), bytes_(length), usage_(usage), format_(format), pool_(pool) {}

HRESULT GLIndexBuffer::GetDevice(IDirect3DDevice8** device) {
  if (!device || !device_) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

HRESULT GLIndexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
  if (!data || offset > bytes_.size()) return D3DERR_INVALIDCALL;
  if (size != 0 && size > bytes_.size() - offset) return D3DERR_INVALIDCALL;
  locked_ = true;
  *data = bytes_.data() + offset;
  return D3D_OK;
}

HRESULT GLIndexBuffer::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  return D3D_OK;
}

HRESULT GLIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {format_, D3DRTYPE_INDEXBUFFER, usage_, pool_, Size()};
  return D3D_OK;
}
