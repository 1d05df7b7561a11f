#pragma once
// Common ground of the objects a device creates: reference counting, and the device's list of
// live objects, through which it knows what blocks a Reset and what must give up its OpenGL
// names when the context goes away.
#include "platform/d3d/d3d8.h"

class GLDevice;

template <class Interface>
class GLRefCounted : public Interface {
 public:
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  ULONG RefCount() const { return refs_; }

 private:
  ULONG refs_ = 1;
};

class GLResource {
 public:
  // `blocks_reset`: the object lives in video memory (the default pool) and must be released
  // before the device can be reset.
  GLResource(GLDevice* device, bool blocks_reset);
  virtual ~GLResource();
  GLResource(const GLResource&) = delete;
  GLResource& operator=(const GLResource&) = delete;

  GLDevice* OwnerDevice() const { return device_; }
  bool BlocksReset() const { return blocks_reset_; }

  // The context is being destroyed: forget (do not delete) every OpenGL name.
  virtual void DetachFromContext() = 0;
  void Orphan() { device_ = nullptr; }

 protected:
  GLDevice* device_;

 private:
  bool blocks_reset_;
};
