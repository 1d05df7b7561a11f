#pragma once
// Starting the render device in the display mode the settings ask for, switching or restoring
// it on reactivation, and keeping the window centred in windowed mode.
struct RenderMode;

// False (with a message) when the render device service is missing.
bool Check_Render_Device();
// Picks the settings' mode from the render device's list into mode.
bool Pick_Render_Mode(RenderMode& mode);
// The first start of the device, in a window.
bool Init_Render();
// Re-picks the mode and restores the device; false while there is no device.
bool Reset_Render_Mode();
// Centres the window on the desktop (windowed mode only).
void Center_Window();
