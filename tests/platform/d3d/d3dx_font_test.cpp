// The text backend with the installed serif face, drawn on a real device and probed.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/d3dx/d3dx8_font.h"
#include "tests/platform/d3d/d3d_test_device.h"

namespace {

constexpr UINT kWidth = 256;
constexpr UINT kHeight = 128;

class D3DXFontTest : public D3DDeviceTest {
 protected:
  void SetUp() override {
    D3DDeviceTest::SetUp();
    ASSERT_TRUE(Open(kWidth, kHeight));
    font_ = CreateFontA(32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22, "Times New Roman");
    ASSERT_NE(font_, nullptr) << "tried " << D3DXFont_Files_Tried();
    ASSERT_EQ(D3DXCreateFont(device_, font_, &d3dx_font_), D3D_OK);
  }
  void TearDown() override {
    if (d3dx_font_) d3dx_font_->Release();
    if (font_) DeleteObject(font_);
    D3DDeviceTest::TearDown();
  }

  int Measure(const char* text) const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
  }

  void Clear() {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  }
  void Draw(const char* text, RECT rect, DWORD format, D3DCOLOR colour = 0xFFFFFFFF) {
    device_->BeginScene();
    d3dx_font_->DrawText(text, -1, &rect, format, colour);
    device_->EndScene();
  }

  // The red channel of every pixel, rows from the top.
  std::vector<int> Red() const {
    std::vector<int> red(static_cast<size_t>(kWidth) * kHeight, -1);
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) return red;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      for (UINT y = 0; y < kHeight; ++y) {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < kWidth; ++x) red[y * kWidth + x] = row[x * 4 + 2];
      }
      surface->UnlockRect();
    }
    surface->Release();
    return red;
  }

  struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;
  };
  // The box of the lit pixels within rows [top, bottom).
  static Ink Ink_Box(const std::vector<int>& red, int top, int bottom, int threshold = 96) {
    Ink ink;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < static_cast<int>(kWidth); ++x) {
        if (red[static_cast<size_t>(y) * kWidth + x] < threshold) continue;
        if (ink.left < 0 || x < ink.left) ink.left = x;
        if (x > ink.right) ink.right = x;
        if (ink.top < 0) ink.top = y;
        ink.bottom = y;
      }
    return ink;
  }

  HFONT font_ = nullptr;
  ID3DXFont* d3dx_font_ = nullptr;
};

TEST_F(D3DXFontTest, TheMeasuredWidthIsWhereRightAlignedTextEnds) {
  const char* text = "Hollow Hill";
  const int width = Measure(text);
  ASSERT_GT(width, 60);
  Clear();
  Draw(text, RECT{10, 0, 250, 40}, DT_LEFT | DT_VCENTER);
  // The same text right-aligned to the measured width lands on the same pixels.
  Draw(text, RECT{0, 60, 10 + width, 100}, DT_RIGHT | DT_VCENTER);
  const std::vector<int> red = Red();
  const Ink left = Ink_Box(red, 0, 50);
  const Ink right = Ink_Box(red, 55, 110);
  ASSERT_GE(left.left, 0) << "the text was drawn";
  EXPECT_NEAR(right.left, left.left, 1);
  EXPECT_NEAR(right.right, left.right, 1);
  // The ink lies inside the measured advance, give or take the side bearings.
  EXPECT_NEAR(left.left, 10, 3);
  EXPECT_NEAR(left.right, 10 + width - 1, 3);
}

TEST_F(D3DXFontTest, CentredTextSitsInTheMiddleOfItsRectangle) {
  Clear();
  Draw("HOH", RECT{0, 0, static_cast<LONG>(kWidth), static_cast<LONG>(kHeight)}, DT_CENTER | DT_VCENTER);
  const Ink ink = Ink_Box(Red(), 0, kHeight);
  ASSERT_GE(ink.left, 0);
  EXPECT_NEAR((ink.left + ink.right) / 2.0, kWidth / 2.0, 2.0);
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, kHeight / 2.0, 5.0);
}

TEST_F(D3DXFontTest, AnAccentedLetterHasItsOwnGlyphAboveTheLetter) {
  EXPECT_EQ(D3DXFont_Code_Point(0xE9), 0xE9u);
  EXPECT_EQ(D3DXFont_Code_Point(0x80), 0x20ACu) << "the euro sign of Windows-1252";
  EXPECT_GT(Measure("\xE9"), 0);
  Clear();
  Draw("e", RECT{20, 0, 120, 60}, DT_LEFT | DT_VCENTER);
  Draw("\xE9", RECT{140, 0, 240, 60}, DT_LEFT | DT_VCENTER);
  const std::vector<int> red = Red();
  Ink plain, accented;
  {
    std::vector<int> left_half(red), right_half(red);
    for (UINT y = 0; y < kHeight; ++y)
      for (UINT x = 0; x < kWidth; ++x) (x < 128 ? right_half : left_half)[y * kWidth + x] = 0;
    plain = Ink_Box(left_half, 0, 60);
    accented = Ink_Box(right_half, 0, 60);
  }
  ASSERT_GE(plain.top, 0);
  ASSERT_GE(accented.top, 0);
  EXPECT_LT(accented.top, plain.top - 3) << "the accent stands above the e";
  EXPECT_NEAR(accented.bottom, plain.bottom, 1) << "on the same baseline";
}

TEST_F(D3DXFontTest, PrefixesUnderlineAndHideTheAmpersand) {
  Clear();
  Draw("&&", RECT{10, 0, 250, 50}, DT_LEFT | DT_VCENTER);
  Draw("&&", RECT{10, 60, 250, 110}, DT_LEFT | DT_VCENTER | DT_NOPREFIX);
  const std::vector<int> red = Red();
  const Ink one = Ink_Box(red, 0, 55);
  const Ink two = Ink_Box(red, 55, 120);
  ASSERT_GE(one.left, 0);
  EXPECT_LT(one.right - one.left, two.right - two.left) << "\"&&\" draws one ampersand";
  Clear();
  Draw("x", RECT{10, 0, 250, 50}, DT_LEFT | DT_VCENTER);
  Draw("&x", RECT{10, 60, 250, 110}, DT_LEFT | DT_VCENTER);
  const std::vector<int> after = Red();
  const Ink plain = Ink_Box(after, 0, 55);
  const Ink underlined = Ink_Box(after, 55, 120);
  EXPECT_NEAR(underlined.left, plain.left, 1) << "the lone ampersand is hidden";
  EXPECT_GT(underlined.bottom - 60, plain.bottom + 1) << "and the next letter is underlined";
}

TEST_F(D3DXFontTest, DrawingPutsBackTheDeviceStates) {
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device_->SetRenderState(D3DRS_ZENABLE, TRUE);
  Clear();
  Draw("State", RECT{0, 0, 200, 50}, DT_LEFT);
  DWORD blend = 7, z = 7;
  device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
  device_->GetRenderState(D3DRS_ZENABLE, &z);
  EXPECT_EQ(blend, static_cast<DWORD>(FALSE));
  EXPECT_EQ(z, static_cast<DWORD>(TRUE));
  IDirect3DBaseTexture8* texture = reinterpret_cast<IDirect3DBaseTexture8*>(1);
  device_->GetTexture(0, &texture);
  EXPECT_EQ(texture, nullptr);
}

}  // namespace
