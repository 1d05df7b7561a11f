#pragma once
// The lighting of glowing War Room pieces: the device's lights are kept, the scene is lit by
// one glow light, and the kept lights come back afterwards.
void Begin_Glow_Lighting(const float& level, const bool& at_origin);
void End_Glow_Lighting();
