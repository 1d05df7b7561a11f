// Textures on the OpenGL device: every format a texture can have samples the colours written
// into it, mip levels are chosen as the quad shrinks, paletted textures follow their palette,
// cube and volume textures, copies between surfaces and what the capabilities report.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/d3d/gl_texture.h"
#include "tests/platform/d3d/d3d_test_device.h"

namespace {

constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

// A quad of texture coordinates (0,0)-(1,1) over [0, size) x [0, size) of the screen.
void TexturedQuad(float size, TexVertex out[4]) {
  out[0] = {0, 0, 0.5f, 1, kWhite, 0, 0};
  out[1] = {size, 0, 0.5f, 1, kWhite, 1, 0};
  out[2] = {0, size, 0.5f, 1, kWhite, 0, 1};
  out[3] = {size, size, 0.5f, 1, kWhite, 1, 1};
}

// Four texels in the four corners of a 2x2 texture, as 8-bit (r, g, b, a).
struct Texel {
  int r, g, b, a;
};

// One texel in a format's memory layout.
using Encoder = std::function<void(BYTE* at, const Texel& t)>;

void Put16(BYTE* at, unsigned v) {
  at[0] = static_cast<BYTE>(v & 0xFF);
  at[1] = static_cast<BYTE>(v >> 8);
}

struct FormatCase {
  D3DFORMAT format;
  const char* name;
  UINT bytes;
  Encoder encode;
  bool has_alpha;
  int tolerance;
};

const FormatCase kFormatCases[] = {
    {D3DFMT_A8R8G8B8, "A8R8G8B8", 4,
     [](BYTE* at, const Texel& t) {
       at[0] = BYTE(t.b), at[1] = BYTE(t.g), at[2] = BYTE(t.r), at[3] = BYTE(t.a);
     },
     true, 1},
    {D3DFMT_X8R8G8B8, "X8R8G8B8", 4,
     [](BYTE* at, const Texel& t) { at[0] = BYTE(t.b), at[1] = BYTE(t.g), at[2] = BYTE(t.r), at[3] = 0; }, false,
     1},
    {D3DFMT_R8G8B8, "R8G8B8", 3, [](BYTE* at, const Texel& t) { at[0] = BYTE(t.b), at[1] = BYTE(t.g), at[2] = BYTE(t.r); },
     false, 1},
    {D3DFMT_A4R4G4B4, "A4R4G4B4", 2,
     [](BYTE* at, const Texel& t) { Put16(at, (t.a >> 4) << 12 | (t.r >> 4) << 8 | (t.g >> 4) << 4 | (t.b >> 4)); },
     true, 18},
    {D3DFMT_A1R5G5B5, "A1R5G5B5", 2,
     [](BYTE* at, const Texel& t) {
       Put16(at, (t.a >= 128 ? 1u : 0u) << 15 | (t.r >> 3) << 10 | (t.g >> 3) << 5 | (t.b >> 3));
     },
     true, 9},
    {D3DFMT_X1R5G5B5, "X1R5G5B5", 2,
     [](BYTE* at, const Texel& t) { Put16(at, (t.r >> 3) << 10 | (t.g >> 3) << 5 | (t.b >> 3)); }, false, 9},
    {D3DFMT_R5G6B5, "R5G6B5", 2,
     [](BYTE* at, const Texel& t) { Put16(at, (t.r >> 3) << 11 | (t.g >> 2) << 5 | (t.b >> 3)); }, false, 9},
};

// Colours that tell every channel apart, with alpha values 1-bit alpha keeps.
const Texel kCorners[4] = {{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 255}, {255, 255, 255, 0}};

class GLTextureTest : public D3DDeviceTest {
 protected:
  void SetUp() override {
    D3DDeviceTest::SetUp();
    ASSERT_TRUE(Open(64, 64));
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetVertexShader(kTexFvf);
    ShowTextureColour();
    Clear();
  }
  void TearDown() override {
    if (device_) device_->SetTexture(0, nullptr);
    D3DDeviceTest::TearDown();
  }

  void Clear() { ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK); }
  void ShowTextureColour() {
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  }
  // The stage shows the texture's alpha as grey.
  void ShowTextureAlpha() {
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE);
  }
  HRESULT DrawQuad(float size = 64.0f) {
    TexVertex quad[4];
    TexturedQuad(size, quad);
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexVertex));
  }
  // The four quadrants of the 64x64 target against the four corner texels.
  ::testing::AssertionResult QuadrantsShow(const Texel want[4], int tolerance, bool alpha) {
    const int probes[4][2] = {{16, 16}, {48, 16}, {16, 48}, {48, 48}};
    for (int i = 0; i < 4; ++i) {
      const Rgb expected = alpha ? Rgb{want[i].a, want[i].a, want[i].a} : Rgb{want[i].r, want[i].g, want[i].b};
      ::testing::AssertionResult r = PixelNear(device_, probes[i][0], probes[i][1], expected, tolerance);
      if (!r) return r;
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(GLTextureTest, EveryUncompressedFormatSamplesItsTexels) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(c.name);
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, static_cast<INT>(2 * c.bytes));
    for (int i = 0; i < 4; ++i) {
      c.encode(static_cast<BYTE*>(locked.pBits) + (i / 2) * locked.Pitch + (i % 2) * c.bytes, kCorners[i]);
    }
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    device_->SetTexture(0, texture);

    ShowTextureColour();
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_TRUE(QuadrantsShow(kCorners, c.tolerance, false));

    ShowTextureAlpha();
    ASSERT_EQ(DrawQuad(), D3D_OK);
    if (c.has_alpha) {
      EXPECT_TRUE(QuadrantsShow(kCorners, c.tolerance, true));
    } else {
      const Texel opaque[4] = {{0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}};
      EXPECT_TRUE(QuadrantsShow(opaque, 0, true)) << "a format without alpha reads opaque";
    }
    device_->SetTexture(0, nullptr);
    texture->Release();
  }
}

// One 4x4 block of each S3TC format: the left two columns take colour 0 (red), the right two
// colour 1 (blue), all opaque.
std::vector<BYTE> RedBlueBlock(D3DFORMAT format) {
  const BYTE colour_block[8] = {0x00, 0xF8, 0x1F, 0x00,  // red 0xF800, blue 0x001F (red > blue: 4 colours)
                                0x50, 0x50, 0x50, 0x50};  // indices per row: 0 0 1 1
  std::vector<BYTE> block;
  if (format == D3DFMT_DXT3) block.assign(8, 0xFF);  // explicit alpha 15 for every texel
  if (format == D3DFMT_DXT5) block = {255, 255, 0, 0, 0, 0, 0, 0};  // alpha 255 everywhere
  block.insert(block.end(), colour_block, colour_block + 8);
  return block;
}

TEST_F(GLTextureTest, BlockCompressedFormatsSampleWhereOpenGLOffersThemAndAreRefusedOtherwise) {
  for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5}) {
    SCOPED_TRACE(format);
    const HRESULT offered = d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, format);
    EXPECT_EQ(offered, GLHasS3tc() ? D3D_OK : D3DERR_NOTAVAILABLE);
    IDirect3DTexture8* texture = nullptr;
    const HRESULT made = device_->CreateTexture(4, 4, 1, 0, format, D3DPOOL_MANAGED, &texture);
    if (FAILED(offered)) {
      EXPECT_TRUE(FAILED(made));
      EXPECT_EQ(texture, nullptr);
      continue;
    }
    ASSERT_EQ(made, D3D_OK);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const std::vector<BYTE> block = RedBlueBlock(format);
    EXPECT_EQ(static_cast<size_t>(locked.Pitch), block.size()) << "the pitch of one row of blocks";
    std::memcpy(locked.pBits, block.data(), block.size());
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    device_->SetTexture(0, texture);
    ASSERT_EQ(DrawQuad(), D3D_OK);
    EXPECT_TRUE(PixelNear(device_, 8, 32, {255, 0, 0}, 4));
    EXPECT_TRUE(PixelNear(device_, 56, 32, {0, 0, 255}, 4));
    device_->SetTexture(0, nullptr);
    texture->Release();
  }
  // Volumes are never block-compressed, whatever OpenGL offers.
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_VOLUMETEXTURE, D3DFMT_DXT1),
            D3DERR_NOTAVAILABLE);
}

TEST_F(GLTextureTest, MipLevelsAreChosenAsTheQuadIsMinified) {
  const D3DCOLOR level_colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu,
                                    0xFF808080u};
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  ASSERT_EQ(texture->GetLevelCount(), 7u) << "a full chain down to 1x1";
  for (UINT level = 0; level < 7; ++level) {
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 64u >> level);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < desc.Height; ++y) {
      auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
      for (UINT x = 0; x < desc.Width; ++x) row[x] = level_colours[level];
    }
    texture->UnlockRect(level);
  }
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
  struct Case {
    float size;
    UINT level;
  };
  for (const Case& c : {Case{64, 0}, Case{32, 1}, Case{16, 2}, Case{8, 3}, Case{4, 4}}) {
    Clear();
    ASSERT_EQ(DrawQuad(c.size), D3D_OK);
    const D3DCOLOR want = level_colours[c.level];
    const int at = static_cast<int>(c.size / 2);
    EXPECT_TRUE(PixelNear(device_, at, at, {int(want >> 16 & 0xFF), int(want >> 8 & 0xFF), int(want & 0xFF)}, 1))
        << "quad of " << c.size << " pixels";
  }
  // Without a mip filter only the top level is read.
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  Clear();
  DrawQuad(8);
  EXPECT_TRUE(PixelNear(device_, 4, 4, {255, 0, 0}, 1));
  // The level of detail makes a lower level the largest one drawn.
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
  EXPECT_EQ(texture->SetLOD(2), 0u);
  Clear();
  DrawQuad(64);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 255}, 1));
  device_->SetTexture(0, nullptr);
  texture->Release();
}

// Levels get their OpenGL storage with their first upload; a level never written must still
// leave the texture whole when it is drawn with mip filtering, never black.
TEST_F(GLTextureTest, ATextureWithOnlyItsTopLevelWrittenDrawsThatLevel) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < 64; ++y) {
    auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
    for (UINT x = 0; x < 64; ++x) row[x] = 0xFF20C040u;
  }
  texture->UnlockRect(0);
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
  ASSERT_EQ(DrawQuad(64), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0x20, 0xC0, 0x40}, 1));
  // Written after the first draw, a lower level is drawn too.
  ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < 32; ++y) {
    auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
    for (UINT x = 0; x < 32; ++x) row[x] = 0xFFC02040u;
  }
  texture->UnlockRect(1);
  Clear();
  ASSERT_EQ(DrawQuad(32), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 16, 16, {0xC0, 0x20, 0x40}, 1));
  device_->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(GLTextureTest, PalettedTexturesFollowTheirIndicesAndTheEntriesOfTheCurrentPalette) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture), D3D_OK);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  static_cast<BYTE*>(locked.pBits)[0] = 7;
  texture->UnlockRect(0);
  PALETTEENTRY entries[256] = {};
  entries[7] = {255, 128, 0, 255};
  entries[9] = {0, 64, 32, 255};
  ASSERT_EQ(device_->SetPaletteEntries(12, entries), D3D_OK);
  ASSERT_EQ(device_->SetCurrentTexturePalette(12), D3D_OK);
  device_->SetTexture(0, texture);
  DrawQuad();
  EXPECT_TRUE(PixelNear(device_, 32, 32, {255, 128, 0}, 0));

  // New entries in the palette in use show at the next draw.
  entries[7] = {10, 20, 200, 255};
  ASSERT_EQ(device_->SetPaletteEntries(12, entries), D3D_OK);
  DrawQuad();
  EXPECT_TRUE(PixelNear(device_, 32, 32, {10, 20, 200}, 0));

  // So do new indices.
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  static_cast<BYTE*>(locked.pBits)[0] = 9;
  texture->UnlockRect(0);
  DrawQuad();
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 64, 32}, 0));

  // A read-only lock changes nothing, and a lock cannot be taken twice.
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
  device_->SetTexture(0, nullptr);
  texture->Release();
}

// A screen quad whose three-float texture coordinates all point the same way.
struct CubeVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float s, t, r;
};
constexpr DWORD kCubeFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0);

TEST_F(GLTextureTest, CubeFacesAreLockedOneByOneAndSampledByDirection) {
  IDirect3DCubeTexture8* cube = nullptr;
  ASSERT_EQ(device_->CreateCubeTexture(4, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &cube), D3D_OK);
  EXPECT_EQ(cube->GetType(), D3DRTYPE_CUBETEXTURE);
  EXPECT_EQ(cube->GetLevelCount(), 3u);
  const D3DCOLOR face_colours[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};
  for (int face = 0; face < 6; ++face) {
    // One face through its surface, the others through the texture's lock.
    D3DLOCKED_RECT locked = {};
    IDirect3DSurface8* surface = nullptr;
    if (face == 3) {
      ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACES(face), 0, &surface), D3D_OK);
      D3DSURFACE_DESC desc = {};
      ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
      EXPECT_EQ(desc.Width, 4u);
      EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
      ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    } else {
      ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACES(face), 0, &locked, nullptr, 0), D3D_OK);
    }
    for (int i = 0; i < 4 * 4; ++i) {
      reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + (i / 4) * locked.Pitch)[i % 4] = face_colours[face];
    }
    if (surface) {
      surface->UnlockRect();
      surface->Release();
    } else {
      cube->UnlockRect(D3DCUBEMAP_FACES(face), 0);
    }
  }
  EXPECT_EQ(cube->LockRect(D3DCUBEMAP_FACES(6), 0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);

  ASSERT_EQ(device_->SetTexture(0, cube), D3D_OK);
  device_->SetVertexShader(kCubeFvf);
  const float directions[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int face = 0; face < 6; ++face) {
    const float* d = directions[face];
    const CubeVertex quad[4] = {{0, 0, 0.5f, 1, kWhite, d[0], d[1], d[2]},
                                {64, 0, 0.5f, 1, kWhite, d[0], d[1], d[2]},
                                {0, 64, 0.5f, 1, kWhite, d[0], d[1], d[2]},
                                {64, 64, 0.5f, 1, kWhite, d[0], d[1], d[2]}};
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(CubeVertex)), D3D_OK);
    const D3DCOLOR want = face_colours[face];
    EXPECT_TRUE(PixelNear(device_, 32, 32, {int(want >> 16 & 0xFF), int(want >> 8 & 0xFF), int(want & 0xFF)}, 1))
        << "face " << face;
  }
  IDirect3DBaseTexture8* bound = nullptr;
  ASSERT_EQ(device_->GetTexture(0, &bound), D3D_OK);
  EXPECT_EQ(bound, cube);
  bound->Release();

  // A 2D texture set afterwards is drawn as 2D again.
  IDirect3DTexture8* flat = nullptr;
  ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &flat), D3D_OK);
  D3DLOCKED_RECT locked = {};
  flat->LockRect(0, &locked, nullptr, 0);
  *static_cast<DWORD*>(locked.pBits) = 0xFF204060u;
  flat->UnlockRect(0);
  device_->SetTexture(0, flat);
  device_->SetVertexShader(kTexFvf);
  DrawQuad();
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0x20, 0x40, 0x60}, 1));
  device_->SetTexture(0, nullptr);
  flat->Release();
  EXPECT_EQ(cube->Release(), 0u);
}

TEST_F(GLTextureTest, CreationRulesOfCubeAndVolumeTextures) {
  struct Case {
    const char* what;
    std::function<HRESULT(IDirect3DDevice8*, IDirect3DBaseTexture8**)> make;
    bool made;
  };
  auto cube = [](UINT edge, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    return [=](IDirect3DDevice8* d, IDirect3DBaseTexture8** out) {
      IDirect3DCubeTexture8* t = nullptr;
      const HRESULT hr = d->CreateCubeTexture(edge, 0, usage, format, pool, &t);
      *out = t;
      return hr;
    };
  };
  auto volume = [](UINT w, UINT h, UINT depth, DWORD usage, D3DFORMAT format) {
    return [=](IDirect3DDevice8* d, IDirect3DBaseTexture8** out) {
      IDirect3DVolumeTexture8* t = nullptr;
      const HRESULT hr = d->CreateVolumeTexture(w, h, depth, 0, usage, format, D3DPOOL_MANAGED, &t);
      *out = t;
      return hr;
    };
  };
  const Case cases[] = {
      {"cube", cube(8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED), true},
      {"paletted cube", cube(8, 0, D3DFMT_P8, D3DPOOL_MANAGED), true},
      {"cube of edge 0", cube(0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED), false},
      {"cube above the size limit", cube(4096, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED), false},
      {"cube render target", cube(8, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT), false},
      {"cube of an unknown format", cube(8, 0, D3DFMT_V8U8, D3DPOOL_MANAGED), false},
      {"volume", volume(8, 8, 4, 0, D3DFMT_A8R8G8B8), true},
      {"paletted volume", volume(8, 8, 4, 0, D3DFMT_P8), true},
      {"volume of depth 0", volume(8, 8, 0, 0, D3DFMT_A8R8G8B8), false},
      {"volume deeper than the extent", volume(8, 8, 512, 0, D3DFMT_A8R8G8B8), false},
      {"block-compressed volume", volume(8, 8, 4, 0, D3DFMT_DXT1), false},
      {"volume render target", volume(8, 8, 4, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8), false},
  };
  for (const Case& c : cases) {
    IDirect3DBaseTexture8* made = nullptr;
    const HRESULT hr = c.make(device_, &made);
    EXPECT_EQ(SUCCEEDED(hr), c.made) << c.what;
    EXPECT_EQ(made != nullptr, c.made) << c.what;
    if (made) made->Release();
  }
}

TEST_F(GLTextureTest, VolumeLevelsHalveEveryDimensionAndTheVolumeCanBeDrawn) {
  IDirect3DVolumeTexture8* volume = nullptr;
  ASSERT_EQ(device_->CreateVolumeTexture(8, 4, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &volume), D3D_OK);
  EXPECT_EQ(volume->GetType(), D3DRTYPE_VOLUMETEXTURE);
  ASSERT_EQ(volume->GetLevelCount(), 5u) << "16 deep: 16, 8, 4, 2, 1";
  const UINT expected[5][3] = {{8, 4, 16}, {4, 2, 8}, {2, 1, 4}, {1, 1, 2}, {1, 1, 1}};
  for (UINT level = 0; level < 5; ++level) {
    D3DVOLUME_DESC desc = {};
    ASSERT_EQ(volume->GetLevelDesc(level, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, expected[level][0]) << level;
    EXPECT_EQ(desc.Height, expected[level][1]) << level;
    EXPECT_EQ(desc.Depth, expected[level][2]) << level;
    EXPECT_EQ(desc.Size, expected[level][0] * expected[level][1] * expected[level][2] * 4) << level;
  }
  D3DVOLUME_DESC desc = {};
  EXPECT_EQ(volume->GetLevelDesc(5, &desc), D3DERR_INVALIDCALL);
  // Its levels start black; a stage reading it draws black.
  ASSERT_EQ(device_->SetTexture(0, volume), D3D_OK);
  device_->SetVertexShader(kCubeFvf);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFFu, 1.0f, 0), D3D_OK);
  const CubeVertex quad[4] = {{0, 0, 0.5f, 1, kWhite, 0.5f, 0.5f, 0.5f}, {64, 0, 0.5f, 1, kWhite, 0.5f, 0.5f, 0.5f},
                              {0, 64, 0.5f, 1, kWhite, 0.5f, 0.5f, 0.5f}, {64, 64, 0.5f, 1, kWhite, 0.5f, 0.5f, 0.5f}};
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(CubeVertex)), D3D_OK);
  EXPECT_TRUE(PixelNear(device_, 32, 32, {0, 0, 0}, 0));
  device_->SetTexture(0, nullptr);
  volume->Release();
}

TEST_F(GLTextureTest, CopyRectsMovesPixelsBetweenImageSurfacesAndTextureLevels) {
  IDirect3DSurface8* image = nullptr;
  ASSERT_EQ(device_->CreateImageSurface(4, 4, D3DFMT_X8R8G8B8, &image), D3D_OK);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(image->LockRect(&locked, nullptr, 0), D3D_OK);
  for (int i = 0; i < 16; ++i) {
    reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + (i / 4) * locked.Pitch)[i % 4] =
        (i % 4) < 2 ? 0xFF00FF00u : 0xFF0000FFu;
  }
  image->UnlockRect();

  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DSurface8* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  // Columns 1-2 of rows 1-2: green on the left, blue on the right.
  const RECT middle = {1, 1, 3, 3};
  const POINT origin = {0, 0};
  ASSERT_EQ(device_->CopyRects(image, &middle, 1, level, &origin), D3D_OK);
  device_->SetTexture(0, texture);
  DrawQuad();
  EXPECT_TRUE(PixelNear(device_, 16, 16, {0, 255, 0}, 0));
  EXPECT_TRUE(PixelNear(device_, 48, 48, {0, 0, 255}, 0));

  // And back from the level into another image.
  IDirect3DSurface8* copy = nullptr;
  ASSERT_EQ(device_->CreateImageSurface(2, 2, D3DFMT_X8R8G8B8, &copy), D3D_OK);
  ASSERT_EQ(device_->CopyRects(level, nullptr, 0, copy, nullptr), D3D_OK);
  ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(static_cast<const DWORD*>(locked.pBits)[0], 0xFF00FF00u);
  EXPECT_EQ(static_cast<const DWORD*>(locked.pBits)[1], 0xFF0000FFu);
  copy->UnlockRect();

  // Mismatched formats and rectangles outside either surface are refused.
  IDirect3DSurface8* other = nullptr;
  ASSERT_EQ(device_->CreateImageSurface(2, 2, D3DFMT_R5G6B5, &other), D3D_OK);
  EXPECT_EQ(device_->CopyRects(level, nullptr, 0, other, nullptr), D3DERR_INVALIDCALL);
  const RECT outside = {3, 3, 5, 5};
  EXPECT_EQ(device_->CopyRects(image, &outside, 1, level, &origin), D3DERR_INVALIDCALL);
  const POINT too_far = {1, 1};
  EXPECT_EQ(device_->CopyRects(image, &middle, 1, level, &too_far), D3DERR_INVALIDCALL);

  device_->SetTexture(0, nullptr);
  other->Release();
  copy->Release();
  level->Release();
  texture->Release();
  image->Release();
}

TEST_F(GLTextureTest, CapabilitiesReportTheTextureKindsThatExist) {
  D3DCAPS8 caps = {};
  ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
  EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP, 0u);
  EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP, 0u);
  EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_MIPCUBEMAP, 0u);
  EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP, 0u);
  EXPECT_EQ(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY, 0u);
  EXPECT_GT(caps.MaxVolumeExtent, 0u);
  EXPECT_NE(caps.CubeTextureFilterCaps, 0u);
  struct Case {
    D3DRESOURCETYPE type;
    DWORD usage;
    D3DFORMAT format;
    HRESULT want;
  };
  const Case cases[] = {
      {D3DRTYPE_CUBETEXTURE, 0, D3DFMT_A8R8G8B8, D3D_OK},
      {D3DRTYPE_VOLUMETEXTURE, 0, D3DFMT_R5G6B5, D3D_OK},
      {D3DRTYPE_SURFACE, 0, D3DFMT_DXT5, D3D_OK},  // image surfaces hold blocks in memory
      {D3DRTYPE_TEXTURE, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3D_OK},
      {D3DRTYPE_TEXTURE, D3DUSAGE_RENDERTARGET, D3DFMT_P8, D3DERR_NOTAVAILABLE},
      {D3DRTYPE_CUBETEXTURE, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DERR_NOTAVAILABLE},
      {D3DRTYPE_TEXTURE, 0, D3DFMT_V8U8, D3DERR_NOTAVAILABLE},
      {D3DRTYPE_VERTEXBUFFER, 0, D3DFMT_A8R8G8B8, D3DERR_NOTAVAILABLE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, c.usage, c.type, c.format), c.want)
        << "type " << c.type << " usage " << c.usage << " format " << c.format;
  }
}

}  // namespace

namespace {

// A 2x2 A8R8G8B8 level of the four corner texels, rows of 8 bytes.
std::vector<BYTE> CornerPixels() {
  std::vector<BYTE> pixels(16);
  for (int i = 0; i < 4; ++i) kFormatCases[0].encode(pixels.data() + i * 4, kCorners[i]);
  return pixels;
}

}  // namespace

// A level filled straight from the caller's pixels is drawn, reads back through a lock as it was
// given, keeps its other texels through a partial write, and survives the device's reset.
TEST_F(GLTextureTest, ALevelFilledFromTheCallersPixelsDrawsAndLocksAsWritten) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DSurface8* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  std::vector<BYTE> pixels = CornerPixels();
  ASSERT_EQ(D3D8_UploadSurfaceLevel(level, pixels.data(), 8), D3D_OK);
  level->Release();
  const std::vector<BYTE> given = pixels;
  pixels.assign(pixels.size(), 0x55);  // the caller's buffer is its own again
  device_->SetTexture(0, texture);
  ASSERT_EQ(DrawQuad(), D3D_OK);
  EXPECT_TRUE(QuadrantsShow(kCorners, 1, false));

  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(std::memcmp(locked.pBits, given.data(), given.size()), 0);
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

  // One texel rewritten through a rectangle lock: the other three stay.
  const RECT one{1, 1, 2, 2};
  ASSERT_EQ(texture->LockRect(0, &locked, &one, 0), D3D_OK);
  const Texel grey{128, 128, 128, 255};
  kFormatCases[0].encode(static_cast<BYTE*>(locked.pBits), grey);
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  Clear();
  ASSERT_EQ(DrawQuad(), D3D_OK);
  const Texel after[4] = {kCorners[0], kCorners[1], kCorners[2], grey};
  EXPECT_TRUE(QuadrantsShow(after, 1, false));

  device_->SetTexture(0, nullptr);
  D3DPRESENT_PARAMETERS params = Params(64, 64, D3DFMT_X8R8G8B8, true, D3DFMT_D24S8);
  ASSERT_EQ(device_->Reset(&params), D3D_OK);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetVertexShader(kTexFvf);
  ShowTextureColour();
  device_->SetTexture(0, texture);
  Clear();
  ASSERT_EQ(DrawQuad(), D3D_OK);
  EXPECT_TRUE(QuadrantsShow(after, 1, false)) << "a managed texture outlives a reset";
  device_->SetTexture(0, nullptr);
  texture->Release();
}

// Levels that cannot take the caller's pixels as they are refuse them, and the caller locks.
TEST_F(GLTextureTest, LevelsRefuseCallersPixelsTheyCannotTakeAsTheyAre) {
  std::vector<BYTE> pixels = CornerPixels();
  IDirect3DTexture8* other_format = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &other_format), D3D_OK);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  IDirect3DSurface8* level = nullptr;
  ASSERT_EQ(other_format->GetSurfaceLevel(0, &level), D3D_OK);
  EXPECT_EQ(D3D8_UploadSurfaceLevel(level, pixels.data(), 8), D3DERR_INVALIDCALL) << "format read back inexactly";
  level->Release();
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  EXPECT_EQ(D3D8_UploadSurfaceLevel(level, pixels.data(), 12), D3DERR_INVALIDCALL) << "rows of another pitch";
  EXPECT_EQ(D3D8_UploadSurfaceLevel(level, nullptr, 8), D3DERR_INVALIDCALL);
  D3DLOCKED_RECT locked = {};
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(D3D8_UploadSurfaceLevel(level, pixels.data(), 8), D3DERR_INVALIDCALL) << "a lock is held";
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  IDirect3DSurface8* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  EXPECT_EQ(D3D8_UploadSurfaceLevel(back, pixels.data(), 8), D3DERR_INVALIDCALL) << "not a texture level";
  back->Release();
  level->Release();
  texture->Release();
  other_format->Release();
}
