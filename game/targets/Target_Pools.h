#pragma once
// Registers the pools of the targets, ejectors and light walls at their object type indices. Called before the
// pools are started, so the link order of the class files does not matter.
void Register_Target_Pools();
