#include "tools/content/manifest.h"

namespace content {

// Every family of generators. Add a new family's function here (declaration and list entry).
void Add_Packs_Family(Manifest& manifest);
void Add_Sounds_Family(Manifest& manifest);
void Add_Worlds_Family(Manifest& manifest);
void Add_Textures_Family(Manifest& manifest);
void Add_Gamma_Family(Manifest& manifest);
void Add_Meshes_Family(Manifest& manifest);
void Add_Styles_Family(Manifest& manifest);
void Add_Cursor_Family(Manifest& manifest);
void Add_Sim_Family(Manifest& manifest);
void Add_Chat_Family(Manifest& manifest);
void Add_Effects_Family(Manifest& manifest);
void Add_Arsenal_Family(Manifest& manifest);
void Add_Menus_Family(Manifest& manifest);
void Add_Scoring_Family(Manifest& manifest);
void Add_WarRoom_Family(Manifest& manifest);
void Add_Enemy_Ammo_Family(Manifest& manifest);
void Add_Targets_1_Family(Manifest& manifest);
void Add_Trainer_Console_Family(Manifest& manifest);
void Add_Trainer_Sim_Family(Manifest& manifest);
void Add_Targets_1b_Family(Manifest& manifest);
void Add_Targets_2b_Family(Manifest& manifest);
void Add_Enemies_Family(Manifest& manifest);
void Add_Targets_2_Family(Manifest& manifest);

using FamilyFunction = void (*)(Manifest&);

static const FamilyFunction kFamilies[] = {
    &Add_Packs_Family,
    &Add_Sounds_Family,
    &Add_Worlds_Family,
    &Add_Textures_Family,
    &Add_Gamma_Family,
    &Add_Meshes_Family,
    &Add_Styles_Family,
    &Add_Cursor_Family,
    &Add_Sim_Family,
    &Add_Chat_Family,
    &Add_Effects_Family,
    &Add_Arsenal_Family,
    &Add_Menus_Family,
    &Add_Scoring_Family,
    &Add_WarRoom_Family,
    &Add_Enemy_Ammo_Family,
    &Add_Targets_1_Family,
    &Add_Trainer_Console_Family,
    &Add_Trainer_Sim_Family,
    &Add_Targets_1b_Family,
    &Add_Targets_2b_Family,
    &Add_Enemies_Family,
    &Add_Targets_2_Family,
};

void Build_Manifest(Manifest& manifest) {
  for (FamilyFunction family : kFamilies) family(manifest);
}

}  // namespace content
