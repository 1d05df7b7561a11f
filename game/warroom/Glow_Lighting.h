#pragma once
// The lighting of glowing War Room pieces: the device's first four lights, their switches and
// the ambient colour are kept, the scene is lit by one point light at the camera (or the
// origin) whose strength grows with the level, and the kept lights come back afterwards.
void Begin_Glow_Lighting(const float& level, const bool& at_origin);
void End_Glow_Lighting();
