#pragma once
// The spoken score callouts, queued by the score board and played one after another.

// Advances the callout queue; the first step of every frame's update.
void Update_Callouts(float unpaused_delta);
