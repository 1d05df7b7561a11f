#include "game/trainer/Sim_Table.h"

#include <cstddef>

std::vector<Sim_Entry> g_Sim_Table;

namespace {

struct Sim_Row {
  const char* name;
  const char* title;      // first line of the description
  const char* mix;        // null: no mix line
  const char* composer;
  const char* original;   // null: no "Original by" line; "Original Mix" stands as it is
  const char* length;
  uint32_t track_id, music_id, preview_id;
  int32_t environment;
  uint32_t required_level;
};

constexpr Sim_Row kRows[] = {
    {"This is the Beginning", "This is the Beginning", "(Eurotrance Mix)", "Arlen Vosk", "The Pale Harbour", "3:06",
     0x220001bd, 0x2200018f, 0x220000e4, 1, 0},
    {"Elementary", "Elementary", nullptr, "Jessa Morrow", nullptr, "3:29", 0x2200019c, 0x22000185, 0x220000ea, 1, 0},
    {"Horizon on Fire", "Horizon on Fire", nullptr, "Tamsin Reyl", nullptr, "4:11", 0x220001a1, 0x22000180, 0x22000146,
     2, 0},
    {"You, Me, Happy and Joy", "You, Me, Happy and Joy", nullptr, "Dorian Fell", nullptr, "3:24", 0x22000196,
     0x2200017f, 0x22000102, 2, 1},
    {"It Began in Africa", "It Began in Africa", nullptr, "Arlen Vosk", nullptr, "2:50", 0x220001c5, 0x22000193,
     0x220000c5, 0, 1},
    {"Imagine", "Imagine", "(Party Remix)", "Jessa Morrow", "Lyle Brannock", "4:02", 0x220001a4, 0x22000182, 0x220000ec,
     2, 1},
    {"Dance with Me (Original Mix)", "Dance with Me", "(Original Mix)", "Kell Anders", "Original Mix", "3:51",
     0x22000198, 0x22000181, 0x22000103, 3, 1},
    {"Someone to Hold", "Someone to Hold", nullptr, "Tamsin Reyl", nullptr, "3:24", 0x22000194, 0x2200017d, 0x2200010b,
     3, 1},
    {"Quicksilver", "Quicksilver", nullptr, "Dorian Fell", nullptr, "4:01", 0x220001b7, 0x2200018c, 0x2200010d, 0, 1},
    {"Virtual Wonders", "Virtual Wonders", nullptr, "Kell Anders", nullptr, "4:40", 0x220001c3, 0x22000192, 0x220000c4,
     1, 1},
    {"Nueva Space", "Nueva Space", nullptr, "Arlen Vosk", nullptr, "3:55", 0x220001af, 0x22000189, 0x22000112, 2, 1},
    {"New York Lights", "New York Lights", nullptr, "Jessa Morrow", nullptr, "3:55", 0x220001a8, 0x22000186, 0x2200010f,
     2, 1},
    {"Happy Dayz!", "Happy Dayz!", "(Trance Mix)", "Tamsin Reyl", nullptr, "3:59", 0x2200019e, 0x2200017e, 0x22000113, 1,
     1},
    {"Never Trust a Klingon", "Never Trust a Klingon", nullptr, "Dorian Fell", nullptr, "3:47", 0x220001ad, 0x22000188,
     0x22000115, 2, 1},
    {"Silence", "Silence", "(Deception Trance Mix)", "Kell Anders", "Mara Quinlan", "4:46", 0x220001b9, 0x2200018d,
     0x22000119, 3, 1},
    {"A Trance After Tranquility", "A Trance After Tranquility", nullptr, "Arlen Vosk", nullptr, "3:05", 0x220001bf,
     0x22000190, 0x2200011a, 0, 1},
    {"Tune 4 Demo", "Tune 4 Demo", nullptr, "Jessa Morrow", nullptr, "2:19", 0x220001bb, 0x2200018e, 0x2200011b, 2, 1},
    {"Deeper Shores", "Deeper Shores", "(Elite Fusion Mix)", "Tamsin Reyl", "Orrin Vale", "3:49", 0x2200019a, 0x22000183,
     0x22000132, 1, 1},
    {"Neverending Dream", "Neverending Dream", nullptr, "Dorian Fell", nullptr, "4:19", 0x220001a6, 0x22000184,
     0x2200012d, 3, 1},
    {"Kebab for the Maskar", "Kebab for the Maskar", nullptr, "Kell Anders", nullptr, "2:07", 0x220001b2, 0x2200018a,
     0x220000c3, 2, 1},
    {"NSME, Part 1", "NSME, Part 1", nullptr, "Arlen Vosk", nullptr, "3:01", 0x220001ab, 0x22000187, 0x22000131, 0, 1},
    {"Oncoming Rythm", "Oncoming Rythm", nullptr, "Jessa Morrow", nullptr, "3:51", 0x220001b4, 0x2200018b, 0x22000133, 2,
     1},
    {"The Unusual", "The Unusual", "(Red Blood Remix)", "Tamsin Reyl", "Bastian Crole", "4:46", 0x220001c1, 0x22000191,
     0x22000147, 3, 1},
};

std::string Describe(const Sim_Row& row) {
  std::string text = row.title;
  if (row.mix != nullptr) text += std::string("\n  ") + row.mix;
  text += std::string("\n  Composer: ") + row.composer;
  if (row.original != nullptr) {
    const std::string original = row.original;
    text += original == "Original Mix" ? "\n  Original Mix" : "\n  Original by: " + original;
  }
  text += std::string("\n  Length: ") + row.length;
  return text;
}

}  // namespace

void Build_Sim_Table() {
  if (!g_Sim_Table.empty()) return;
  Sim_Entry random_entry;
  random_entry.Is_Random = 1;
  random_entry.Name = "RANDOM SIMULATION";
  random_entry.Description = "Selects a random simulation...";
  random_entry.Environment = 0;
  g_Sim_Table.push_back(random_entry);
  for (const Sim_Row& row : kRows) {
    Sim_Entry entry;
    entry.Name = row.name;
    entry.Description = Describe(row);
    entry.Track_Id = row.track_id;
    entry.Music_Id = row.music_id;
    entry.Preview_Id = row.preview_id;
    entry.Environment = row.environment;
    entry.Required_Level = row.required_level;
    g_Sim_Table.push_back(entry);
  }
}

int Count_Available_Sims(uint32_t level) {
  int count = 0;
  for (const Sim_Entry& row : g_Sim_Table) {
    if (row.Is_Random == 0 && row.Required_Level <= level) ++count;
  }
  return count;
}

Sim_Entry* Find_Available_Sim(int index, uint32_t level) {
  size_t i = 0;
  while (i < g_Sim_Table.size() && g_Sim_Table[i].Is_Random != 0) ++i;
  for (; i < g_Sim_Table.size(); ++i) {
    const Sim_Entry& row = g_Sim_Table[i];
    if (index == 0) break;
    if (row.Is_Random == 0 && row.Required_Level <= level) --index;
  }
  if (i >= g_Sim_Table.size() || g_Sim_Table[i].Required_Level > level) return nullptr;
  return &g_Sim_Table[i];
}
