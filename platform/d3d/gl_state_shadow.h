#pragma once
// The OpenGL state the fixed-function translator last sent, so that a value reaches OpenGL only
// when it differs. Every call into OpenGL costs the driver a dispatch and often a validation
// step, even when it changes nothing; a style pass sets scores of values of which a handful
// change. Entries start unknown, and whatever else touches OpenGL state (a clear, a texture
// upload, the presenter) makes the entries it may have changed unknown again.
#include <cstdint>

#include "platform/d3d/gl_api.h"

class GLStateShadow {
 public:
  static constexpr int kUnits = 8;

  // Capabilities switched with glEnable and glDisable, global ones first, then those of a
  // texture unit.
  enum Cap : uint8_t {
    kDepthTest, kCullFace, kAlphaTest, kBlend, kStencilTest, kDither, kOffsetFill, kOffsetLine,
    kLighting, kColorMaterial, kColorSum, kNormalize, kFog,
    kGlobalCaps,
    kTexture2D = 0, kTextureCube, kTexture3D, kGenS, kGenT, kGenR, kGenQ,
    kUnitCaps,
  };

  // Values set by one OpenGL call each (up to four words).
  enum Value : uint8_t {
    kDepthFunc, kDepthMask, kPolygonMode, kShadeModel, kFrontFace, kCullFaceSide, kAlphaFunc, kBlendFunc,
    kBlendEquation, kColorMask, kStencilFunc, kStencilOp, kStencilMask, kPolygonOffset,
    kGlobalValues,
  };
  enum UnitValue : uint8_t {
    kBinding2D, kBindingCube, kBinding3D, kSampler,
    kWrapS, kWrapT, kWrapR, kBorder, kMagFilter, kMinFilter, kLodBias, kMinLod,
    kEnvMode, kEnvColor, kCombineRgb, kCombineAlpha,
    kSrc0Rgb, kSrc1Rgb, kSrc2Rgb, kOperand0Rgb, kOperand1Rgb, kOperand2Rgb,
    kSrc0Alpha, kSrc1Alpha, kSrc2Alpha, kOperand0Alpha, kOperand1Alpha, kOperand2Alpha,
    kRgbScale, kAlphaScale, kGenModeS, kGenModeT, kGenModeR, kGenModeQ,
    kUnitValues,
  };

  GLStateShadow() { ForgetAll(); }

  void ForgetAll();
  // After a clear or a copy between framebuffers: the global capabilities and values.
  void ForgetRaster();
  // After a texture upload or read: the texture bound on the active unit, whichever that was.
  void ForgetBindings();
  // After code that moved the active unit without saying so.
  void ForgetActiveUnit() { active_unit_ = -1; }

  void Enable(Cap cap, bool on);
  void EnableOnUnit(int unit, Cap cap, bool on);
  void ActiveUnit(int unit);

  // True (and remembered) when the words differ from what OpenGL has: the caller then sends them.
  bool Changed(Value value, uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);
  bool ChangedOnUnit(int unit, UnitValue value, uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);

  static uint32_t Bits(float f);

 private:
  struct Entry {
    uint32_t words[4];
    bool known;
  };
  static bool Update(Entry& entry, uint32_t a, uint32_t b, uint32_t c, uint32_t d);

  int8_t caps_[kGlobalCaps];            // -1 unknown, 0 off, 1 on
  int8_t unit_caps_[kUnits][kUnitCaps];
  Entry values_[kGlobalValues];
  Entry unit_values_[kUnits][kUnitValues];
  int active_unit_ = -1;
};
