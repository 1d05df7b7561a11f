// The texture service's textures by resource id, files and streams, and its registration.
#include <cctype>
#include <cstring>
#include <memory>

#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libksresource/rez_report.h"
#include "runtime/src/libkstexture/sys/pc/d3d_texture.h"
#include "runtime/src/render/iks_render_device.h"

IKSTexture* g_pTexture = nullptr;
CD3DTexture g_D3DTexture;
static CInterfaceRegistration g_D3DTextureRegistration(&g_D3DTexture, kTextureServiceKey, 0);

namespace {

constexpr uint32_t kTextureResourceType = 2;

bool SameText(const char* a, const char* b) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

struct StreamCloser {
  void operator()(CStream* stream) const { stream->Release(); }
};

}  // namespace

CD3DTexture::CD3DTexture() : m_pPrevious(g_pTexture) { g_pTexture = this; }

CD3DTexture::~CD3DTexture() {
  if (g_pTexture == this) g_pTexture = m_pPrevious;
}

CTextureData* CD3DTexture::LoadTexture(const char* path, uint32_t mip_count, uint32_t flag) {
  if (path == nullptr) return nullptr;
  const char* dot = std::strrchr(path, '.');
  if (dot == nullptr) return nullptr;
  const char* extension = dot + 1;
  const bool data = SameText(extension, "txb") || SameText(extension, "ksb");
  const bool tga = SameText(extension, "tga");
  if (!data && !tga) return nullptr;
  std::unique_ptr<CStream, StreamCloser> stream(OpenStream(path, "rb"));
  if (!stream) return nullptr;
  CTextureData* texture = nullptr;
  if (data) {
    uint32_t length = 0;
    if (!stream->GetLen(&length)) return nullptr;
    Rez_Take_Refusal();
    texture = LoadTextureData(stream.get(), &length);
    const std::string reason = Rez_Take_Refusal();
    // A file refused is said with its name and why, as the resource manager's refusals are.
    if (texture == nullptr) {
      REZ_ERROR("LoadTexture: %s was refused: %s.\n", path,
                reason.empty() ? "texture data that cannot be read" : reason.c_str());
    }
  } else {
    texture = CreateTexture_TGA(stream.get(), mip_count, flag);
  }
  if (texture != nullptr) UploadTexture(texture);
  return texture;
}

CTextureData* CD3DTexture::GetTexture(uint32_t resource_id) {
  if (g_pRezMgr == nullptr) return nullptr;
  auto* texture = static_cast<CTextureData*>(g_pRezMgr->Get_Resource(resource_id, kTextureResourceType));
  if (texture == nullptr) return nullptr;
  if (texture->m_pDeviceTexture == nullptr && g_pRenderDevice != nullptr &&
      g_pRenderDevice->CreateDeviceTexture(texture) != nullptr) {
    g_pRenderDevice->UploadTexture(texture);
  }
  ++texture->m_RefCount;
  return texture;
}

void CD3DTexture::ReleaseTexture(CTextureData* texture) {
  if (texture == nullptr) return;
  if (--texture->m_RefCount > 0) return;
  texture->m_RefCount = 0;
  if (texture->m_Managed && g_pRezMgr != nullptr) {
    g_pRezMgr->FreeResource(texture->m_Resource_ID);
  } else {
    delete texture;
  }
}

bool CD3DTexture::UploadTexture(CTextureData* texture) {
  if (texture == nullptr || g_pRenderDevice == nullptr) return true;
  if (texture->m_pDeviceTexture == nullptr) g_pRenderDevice->CreateDeviceTexture(texture);
  if (texture->m_pDeviceTexture != nullptr) g_pRenderDevice->UploadTexture(texture);
  return true;
}

CTextureData* CD3DTexture::LoadTextureData(CStream* stream, uint32_t* length) {
  if (stream == nullptr) return nullptr;
  auto* texture = static_cast<CTextureData*>(g_TextureDataFactory.Create());
  if (texture == nullptr) return nullptr;
  // The pixels go to the device straight from a memory stream's bytes; only pixels the texture
  // keeps after the upload are copied.
  if (!texture->LoadBorrowingPixels(stream, length)) {
    g_TextureDataFactory.Destroy(texture);
    return nullptr;
  }
  ++texture->m_RefCount;
  UploadTexture(texture);
  if (!texture->OwnPixels()) {
    g_TextureDataFactory.Destroy(texture);
    return nullptr;
  }
  return texture;
}

uint8_t* CD3DTexture::LockTexture(CTextureData* texture) {
  if (texture == nullptr || texture->m_pImage == nullptr) return nullptr;
  if (texture->m_pImage->m_Kind != kTexImage_Single) return nullptr;
  if ((texture->m_Flags & kTextureFlag_KeepPixels) == 0) return nullptr;
  return texture->m_pImage->GetLevel(0, 0);
}

bool CD3DTexture::UnlockTexture(CTextureData* texture) {
  if (LockTexture(texture) == nullptr) return false;
  if (texture->m_pDeviceTexture == nullptr || g_pRenderDevice == nullptr) return true;
  return g_pRenderDevice->UploadTexture(texture);
}
