// The trainer's correspondence: "chat/master_com.dat" and one "chat/com_<Name>.act" per
// author. Sixteen authors: the administrator, the automatic notifier and fourteen trainees
// whose messages fill the forum. Every communication kind the game posts or picks is here:
// the story line, places in the score tables, replies to the user's posts, reaction chains,
// promotions, long absences, War Room briefings and mission reports.
#include <memory>

#include "tools/content/manifest.h"
#include "tools/writers/chat_writer.h"

namespace content {
namespace {

using writers::Chat_Communication;
using writers::Chat_Id;

// Indexed by author id; must match the game's author names.
const std::vector<std::string> kAuthors = {
    "",        "Administrator", "AutoNotify", "Corvane", "Mirelle", "Tobrin", "Ysolde",  "Kastor", "Lunara",
    "Brevik",  "Solenne",       "Dravenko",   "Quillon", "Hesper",  "Orlaith", "Varnik", "Zephyra",
};

enum : uint32_t { kAdmin = 1, kNotify = 2, kCorvane = 3, kMirelle, kTobrin, kYsolde, kKastor, kLunara, kBrevik,
                  kSolenne, kDravenko, kQuillon, kHesper, kOrlaith, kVarnik, kZephyra };

uint32_t Author_Id(const std::string& name) {
  for (uint32_t id = 1; id < kAuthors.size(); ++id)
    if (kAuthors[id] == name) return id;
  return kAdmin;
}

Chat_Communication Comm(uint32_t kind, uint32_t author, uint32_t number, uint32_t key, float weight, uint32_t flags,
                        float delay, std::string subject, std::string text) {
  return {kind, author, number, key, weight, flags, delay, std::move(subject), std::move(text)};
}

void Add_Story(std::vector<Chat_Communication>& out) {
  const char* const lines[12][2] = {
      {"Welcome aboard, %u", "Welcome to the training grid, %u.\nYour account is active at access level 0. "
                             "Run the first three simulations until the board knows your name."},
      {"Your first steps", "%u, the simulator logs show you finished a run. Keep your eyes on the targets "
                           "and your finger off the trigger until they launch."},
      {"About the forum", "Trainees post here between runs. Read what the others write: most of them have "
                          "been on the grid a lot longer than you, %u."},
      {"Weapon shop open", "Credits you earn in the simulator buy new guns and attachments. "
                           "The Steel Ball Gun is a fine second weapon."},
      {"Keep practising", "Nobody gets access level 1 by luck. Three finished simulations, %u, then we talk."},
      {"Rumours", "You may hear talk of a War Room. Ignore it until you are told otherwise."},
      {"The War Room", "%u, the War Room is real. Infected sites, a shuttle, and no second chances. "
                       "You will get an offer soon."},
      {"Shield discipline", "Out there your shields do not come back on their own. Count every hit."},
      {"A word of warning", "Some trainees fly the War Room before they are ready. Do not be one of them."},
      {"Halfway", "You have come a long way since your first login, %u. The regions need pilots."},
      {"Command is watching", "Your mission record goes to command after every sortie. Make it a good one."},
      {"The last briefing", "This is the last note I will send you, %u. From here on the forum is yours."},
  };
  for (uint32_t key = 1; key <= 12; ++key) {
    const bool private_note = key % 3 == 1;
    out.push_back(Comm(2, kAdmin, 100 + key, key, 1.0f, private_note ? 2 : 0, key == 4 ? 1.0f : 0.0f,
                       lines[key - 1][0], lines[key - 1][1]));
  }
  // A second voice for the first story step, so the choice between them is relative.
  out.push_back(Comm(2, kCorvane, 101, 1, 1.0f, 0, 0.0f, "New face on the grid",
                     "Another rookie. Hello %u. Try not to shoot the ceiling on your first run."));
}

void Add_Given(std::vector<Chat_Communication>& out) {
  out.push_back(Comm(3, kNotify, 201, 1, 1.0f, 4, 0.0f, "Maintenance notice",
                     "The simulator grid goes down for maintenance tonight. Save your runs."));
  out.push_back(Comm(3, kNotify, 202, 2, 1.0f, 4, 0.0f, "Network notice", "Forum delays are expected this week."));
}

void Add_User_Places(std::vector<Chat_Communication>& out) {
  // Place 0: weights summing to 1, so a first place always gets a message.
  out.push_back(Comm(4, kNotify, 301, 0, 0.6f, 0, 0.0f, "New record on %g",
                     "%u takes first place on %g with %s points."));
  out.push_back(Comm(4, kDravenko, 302, 0, 0.4f, 0, 1.0f, "Who is %u?",
                     "Somebody called %u just put %s points on %g. That was my record."));
  // Place 1: weights summing below 1; sometimes nobody remarks on it.
  out.push_back(Comm(4, kNotify, 303, 1, 0.5f, 0, 0.0f, "Second place on %g", "%u is second on %g with %s points."));
  // Place 2.
  out.push_back(Comm(4, kNotify, 304, 2, 0.3f, 0, 0.0f, "Third place on %g", "%u is third on %g with %s points."));
  out.push_back(Comm(4, kHesper, 305, 2, 0.3f, 0, 4.0f, "Nice run on %g",
                     "Third on %g, %u? Not bad. %s is a solid score."));
}

void Add_Correspondent_Places(std::vector<Chat_Communication>& out) {
  const uint32_t boasters[] = {kCorvane, kMirelle, kTobrin, kYsolde, kKastor, kLunara, kBrevik,
                               kSolenne, kDravenko, kQuillon, kHesper, kOrlaith, kVarnik, kZephyra};
  const char* const boasts[3] = {
      "Top of %g with %s. Come and take it, %u.",
      "Second on %g with %s points. The top spot is next.",
      "%s on %g gets me third. Still climbing.",
  };
  uint32_t number = 400;
  for (uint32_t author : boasters) {
    for (uint32_t place = 0; place < 3; ++place) {
      // Each correspondent remarks on a new place only now and then.
      const float weight = place == 0 ? 0.8f : 0.5f;
      out.push_back(Comm(5, author, ++number, place, weight, 0, 0.0f, "Scores on %g", boasts[place]));
    }
  }
}

void Add_User_Post_Replies(std::vector<Chat_Communication>& out) {
  const char* const replies[5][3] = {
      {"Re: first post", "Quillon", "Welcome to the forum, %u. Pull up a chair."},
      {"Re: your post", "Mirelle", "Good point, %u. The machine gun overheats on the long tracks."},
      {"Re: your post", "Tobrin", "I tried that on the basin track. It does not work."},
      {"Re: your post", "Lunara", "%u, you post more than you shoot."},
      {"Re: your post", "Varnik", "Five posts and no records yet. Priorities, %u."},
  };
  const uint32_t authors[5] = {kQuillon, kMirelle, kTobrin, kLunara, kVarnik};
  for (uint32_t count = 1; count <= 5; ++count) {
    out.push_back(Comm(6, authors[count - 1], 500 + count, count, 1.0f, 0, count == 3 ? 1.0f : 0.0f,
                       replies[count - 1][0], replies[count - 1][2]));
  }
}

void Add_Reactions(std::vector<Chat_Communication>& out) {
  // Corvane's welcome (story key 1) starts a chain: Mirelle answers him, Tobrin answers her.
  out.push_back(Comm(7, kMirelle, 601, Chat_Id(kCorvane, 101), 1.0f, 0, 0.0f, "Re: New face on the grid",
                     "Be nice, Corvane. You hit the ceiling twice on your first run."));
  out.push_back(Comm(7, kTobrin, 602, Chat_Id(kMirelle, 601), 1.0f, 0, 0.0f, "Re: New face on the grid",
                     "Three times. I was there."));
  // A repeatable notice that answers itself: the chain stops at its depth limit.
  out.push_back(Comm(7, kNotify, 603, Chat_Id(kNotify, 603), 1.0f, 4, 0.0f, "Echo test", "Echo test. Please ignore."));
  // A first-place notice gets a reaction.
  out.push_back(Comm(7, kZephyra, 604, Chat_Id(kNotify, 301), 1.0f, 0, 4.0f, "Re: New record on %g",
                     "Enjoy it while it lasts, %u."));
  // Every correspondent's boast about a top place draws a reply from a rival.
  for (uint32_t author = kCorvane; author <= kZephyra; ++author) {
    const uint32_t rival = author == kZephyra ? kCorvane : author + 1;
    out.push_back(Comm(7, rival, 650 + author, Chat_Id(author, 400 + (author - kCorvane) * 3 + 1), 0.5f, 0, 0.0f,
                       "Re: Scores on %g", "Lucky run. I will have that back by tomorrow."));
  }
}

void Add_Promotions(std::vector<Chat_Communication>& out) {
  for (uint32_t level = 1; level <= 5; ++level) {
    out.push_back(Comm(8, kAdmin, 700 + level, level, 1.0f, 2, 0.0f, "Access level " + std::to_string(level),
                       "%u, your access level is now " + std::to_string(level) +
                           ". New simulations and weapons are open to you."));
  }
  out.push_back(Comm(8, kAdmin, 700, 0, 1.0f, 2, 0.0f, "Promotion",
                     "%u, command has raised your access level. Check the weapon shop."));
}

void Add_Absences(std::vector<Chat_Communication>& out) {
  out.push_back(Comm(9, kKastor, 801, 0, 1.0f, 0, 0.0f, "Where is %u?", "Has anyone seen %u lately? The boards are quiet."));
  out.push_back(Comm(9, kOrlaith, 802, 0, 1.0f, 4, 1.0f, "Welcome back", "Look who is back. The records moved while you were gone, %u."));
}

void Add_Briefings(std::vector<Chat_Communication>& out) {
  const char* const regions[3][2] = {{"Europe", "North America"}, {"Africa", "Mediterranean"}, {"Far East", "Indonesia"}};
  const char* const texts[3] = {
      "A light infection has been reported. Fly in, find the source and clean it out.",
      "The infection is spreading between sites. Expect resistance at every landing.",
      "The whole region is going dark. Shields will not last. This is the real thing.",
  };
  uint32_t number = 900;
  for (uint32_t difficulty = 1; difficulty <= 3; ++difficulty) {
    for (const char* region : regions[difficulty - 1])
      out.push_back(Comm(10, kAdmin, ++number, difficulty, 1.0f, 2, 0.0f, region, texts[difficulty - 1]));
  }
  out.push_back(Comm(10, kAdmin, ++number, 1, 1.0f, 2, 0.0f, "Australia", texts[0]));
  out.push_back(Comm(10, kAdmin, ++number, 2, 1.0f, 2, 0.0f, "America", texts[1]));
}

// Mission reports. A report is picked by the count of missions won (kind 11) or lost (kind 12)
// first, then among the general ones (key 0), and none is told twice; a long career needs many.
// A loss report is picked by the count of missions lost, not by what lost the mission: the
// clock running out, the shields giving way or an abort. Each must read true for all of them.
const char* const kOrdinals[] = {"",        "first",     "second",     "third",     "fourth",     "fifth",
                                 "sixth",   "seventh",   "eighth",     "ninth",     "tenth",      "eleventh",
                                 "twelfth", "thirteenth", "fourteenth", "fifteenth", "sixteenth", "seventeenth",
                                 "eighteenth", "nineteenth", "twentieth"};
constexpr uint32_t kCounted_Reports = 20;

void Add_Won_Reports(std::vector<Chat_Communication>& out) {
  const char* const remarks[] = {
      "Command has entered it in your record.",
      "The region's sites are reporting clean air again.",
      "The shuttle crews are already telling the story.",
      "Take a day off the grid. You have earned it.",
      "The next region will not be as forgiving. Stay sharp.",
  };
  for (uint32_t count = 1; count <= kCounted_Reports; ++count) {
    const std::string ordinal = kOrdinals[count];
    out.push_back(Comm(11, kAdmin, 1000 + count, count, 1.0f, 2, 0.0f, "Mission report",
                       "Your " + ordinal + " region cleared, %u. " + remarks[count % 5]));
  }
  const char* const general[][3] = {
      {"Mission accomplished", "Administrator", "The source is destroyed and the region is clean. Well flown, %u."},
      {"Region secured", "Administrator", "Command sends its thanks, %u."},
      {"Clean sweep", "Corvane", "Saw the logs from your last sortie, %u. Not one wasted shot on the meteorite."},
      {"Nice flying", "Mirelle", "%u, the whole forum watched the infection map go dark. Well done."},
      {"Another one", "Kastor", "Another region back in the green. You make it look easy, %u."},
      {"Report filed", "Administrator", "Your flight log is with command, %u. The region is safe again."},
      {"Drinks on you", "Tobrin", "Heard you cleared another region, %u. The credits are yours, so the drinks are too."},
      {"Sites restored", "Administrator", "Every infected site has been cleaned. Command notes your speed, %u."},
      {"Well done", "Hesper", "That was a tidy mission, %u. I have been asking for your route notes."},
      {"Back in the green", "Lunara", "The map is clean again. Show-off. Congratulations, %u."},
      {"Meteorite down", "Administrator", "The meteorite is rubble and the infection has burned out, %u. Good work."},
      {"Region report", "Quillon", "Region report says clean. Yours again, %u? Save some for the rest of us."},
  };
  uint32_t number = 1050;
  for (const auto& report : general)
    out.push_back(Comm(11, Author_Id(report[1]), ++number, 0, 1.0f, 2, 0.0f, report[0], report[2]));
}

void Add_Lost_Reports(std::vector<Chat_Communication>& out) {
  const char* const remarks[] = {
      "Go back to the simulator and try again.",
      "Study your flight log before the next offer.",
      "The next crew will need what you learned out there.",
      "Command expects better of you next time.",
      "Rest, then train. The regions will not wait.",
  };
  for (uint32_t count = 1; count <= kCounted_Reports; ++count) {
    const std::string ordinal = kOrdinals[count];
    out.push_back(Comm(12, kAdmin, 1100 + count, count, 1.0f, 2, 0.0f, "Mission report",
                       "That is your " + ordinal + " region lost, %u. " + remarks[count % 5]));
  }
  const char* const general[][3] = {
      {"Mission failed", "Administrator", "We lost the region, %u. Go back to the simulator and try again."},
      {"Region lost", "Administrator",
       "The infection holds the region, %u. Your flight log is with command. Study it in the simulator before the "
       "next offer."},
      {"Tough one", "Mirelle", "Bad luck out there, %u. That region beat better pilots than either of us."},
      {"Heads up", "Corvane", "Lost one, %u? Happens to everybody. Get back on the grid."},
      {"Debrief", "Administrator", "The region is gone, %u. Command wants you back in the simulator."},
      {"Next time", "Kastor", "Saw the map go red, %u. Next time fly the short route first."},
      {"Region dark", "Administrator", "We have lost contact with the region's sites, %u. The mission is over."},
      {"Keep going", "Hesper", "One lost region does not end a career, %u. Train and fly again."},
      {"Logs", "Quillon", "Read your logs, %u. You were closer than it looked. Try again."},
      {"Withdrawn", "Administrator", "Command has withdrawn the shuttle, %u. The infection holds the region."},
      {"Shake it off", "Tobrin", "That one stung, %u. Shake it off and take the next offer."},
      {"Lessons", "Lunara", "Everyone loses a region, %u. The good ones learn from it."},
  };
  uint32_t number = 1150;
  for (const auto& report : general)
    out.push_back(Comm(12, Author_Id(report[1]), ++number, 0, 1.0f, 2, 0.0f, report[0], report[2]));
}

std::shared_ptr<writers::Chat_Files> Build_Chat() {
  std::vector<Chat_Communication> all;
  Add_Story(all);
  Add_Given(all);
  Add_User_Places(all);
  Add_Correspondent_Places(all);
  Add_User_Post_Replies(all);
  Add_Reactions(all);
  Add_Promotions(all);
  Add_Absences(all);
  Add_Briefings(all);
  Add_Won_Reports(all);
  Add_Lost_Reports(all);
  auto files = std::make_shared<writers::Chat_Files>();
  if (!writers::Write_Chat_Files(all, kAuthors, *files)) return nullptr;
  return files;
}

}  // namespace

void Add_Chat_Family(Manifest& manifest) {
  const std::shared_ptr<writers::Chat_Files> files = Build_Chat();
  manifest.AddPlainFile({"chat/master_com.dat", [files](Bytes& out) {
                           if (!files) return false;
                           out = files->master;
                           return true;
                         }});
  for (size_t id = 1; id < kAuthors.size(); ++id) {
    const std::string name = kAuthors[id];
    manifest.AddPlainFile({"chat/com_" + name + ".act", [files, name](Bytes& out) {
                             if (!files) return false;
                             out = files->authors.at(name);
                             return true;
                           }});
  }
}

}  // namespace content
