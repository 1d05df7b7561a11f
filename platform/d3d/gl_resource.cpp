#include "platform/d3d/gl_resource.h"

#include "platform/d3d/gl_device.h"

GLResource::GLResource(GLDevice* device, bool blocks_reset) : device_(device), blocks_reset_(blocks_reset) {
  if (device_) device_->TrackResource(this);
}

GLResource::~GLResource() {
  if (device_) device_->UntrackResource(this);
}
