#pragma once
// Registers the pools of the enemies, emplacements and enemy ammunition at their object type indices. Called before the
// pools are started, so the link order of the class files does not matter.
void Register_Enemy_Pools();
