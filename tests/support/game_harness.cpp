#include "tests/support/game_harness.h"

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/WinMain.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "platform/audio/bass.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "tests/support/fx_showcase.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "platform/system/clock.h"
#include "platform/system/thread.h"
#include "platform/window/cursor.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "runtime/src/render/iks_render_device.h"
#include "tests/support/harness_screens.h"
#include "tests/support/harness_spawn.h"
#include "tests/support/stand_in_target.h"

namespace vt_test {

namespace {

namespace fs = std::filesystem;

// The fake millisecond clock; it starts away from 0 so that differences wrap as they would.
uint32_t g_Fake_Ms = 1000;
constexpr int kDefault_Output_Device = -1;
uint32_t Fake_Clock() { return g_Fake_Ms; }
// The thread that steps the game: its sleeps pass in no time, as the fake clock stands still
// through them; other threads (the resource loader's) sleep for real.
std::thread::id g_Game_Thread;
void Fake_Sleep(uint32_t milliseconds) {
  if (std::this_thread::get_id() != g_Game_Thread) plat::Real_Sleep_Ms(milliseconds);
}

constexpr int kReadBack_Four_Bytes = 1;

struct Key_Name {
  const char* name;
  int code;
};

constexpr Key_Name kKey_Names[] = {{"pause", VK_PAUSE}, {"end", VK_END},   {"home", VK_HOME},
                                   {"left", VK_LEFT},   {"up", VK_UP},     {"right", VK_RIGHT},
                                   {"down", VK_DOWN},   {"delete", VK_DELETE}, {"scroll", VK_SCROLL}};

bool Parse_Int(const std::string& text, int& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 0);
  if (*end != '\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

// A whole number in decimal or, with "0x", hexadecimal (resource ids); negative decimals wrap.
// The first word and every word left on the line as numbers; false at the first that is not one.
bool Parse_Floats(const std::string& first, std::istringstream& rest, std::vector<float>& out) {
  std::string word = first;
  while (!word.empty()) {
    char* end = nullptr;
    const float value = std::strtof(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) return false;
    out.push_back(value);
    word.clear();
    rest >> word;
  }
  return true;
}

bool Parse_Id(const std::string& text, uint32_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const bool negative = text[0] == '-';
  const unsigned long long parsed = std::strtoull(text.c_str() + (negative ? 1 : 0), &end, 0);
  if (*end != '\0' || parsed > 0xFFFFFFFFull) return false;
  value = static_cast<uint32_t>(negative ? 0ull - parsed : parsed);
  return true;
}

}  // namespace

Game_Harness::~Game_Harness() {
  if (m_Running) Shut_Down();
  Restore_Environment();
}

uint32_t Game_Harness::Now() const { return g_Fake_Ms; }

bool Game_Harness::Prepare(std::string* error, const std::string& content_dir) {
  std::string content = content_dir;
  if (content.empty()) {
    const char* binary_dir = std::getenv("VT_BINARY_DIR");
    content = binary_dir ? std::string(binary_dir) + "/content" : std::string(VT_DEFAULT_CONTENT_DIR);
  }
  // Headless unless told otherwise: no display and a silent audio device.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::error_code ec;
  if (!fs::is_directory(content, ec)) {
    if (error) *error = "no content folder at " + content;
    return false;
  }
  char pattern[] = "/tmp/vt_harness_XXXXXX";
  if (!mkdtemp(pattern)) {
    if (error) *error = "cannot make a working directory";
    return false;
  }
  m_Work_Dir = pattern;
  for (const fs::directory_entry& entry : fs::directory_iterator(content, ec))
    fs::create_symlink(fs::absolute(entry.path()), fs::path(m_Work_Dir) / entry.path().filename(), ec);
  fs::create_directories(m_Work_Dir + "/.config", ec);
  fs::create_directories(m_Work_Dir + "/.run", ec);
  return Enter_Work_Dir(error);
}

bool Game_Harness::Prepare_In(const std::string& work_dir, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(work_dir + "/.config", ec)) {
    if (error) *error = "no prepared working directory at " + work_dir;
    return false;
  }
  m_Work_Dir = work_dir;
  m_Borrowed_Dir = true;
  return Enter_Work_Dir(error);
}

bool Game_Harness::Enter_Work_Dir(std::string* error) {
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
    const char* old = std::getenv(name);
    m_Saved_Env.emplace_back(name, old ? old : std::string("\x01"));
  }
  setenv("XDG_CONFIG_HOME", (m_Work_Dir + "/.config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (m_Work_Dir + "/.run").c_str(), 1);
  char old_dir[4096];
  m_Old_Dir = getcwd(old_dir, sizeof(old_dir)) ? old_dir : "/";
  if (chdir(m_Work_Dir.c_str()) != 0) {
    if (error) *error = "cannot enter " + m_Work_Dir;
    return false;
  }
  g_Fake_Ms = 1000;
  plat::Set_Ms_Clock(Fake_Clock);
  g_Game_Thread = std::this_thread::get_id();
  plat::Set_Sleep(Fake_Sleep);
  m_Prepared = true;
  return true;
}

void Game_Harness::Restore_Environment() {
  if (!m_Prepared) return;
  plat::Clear_Cursor_Override();
  plat::Set_Ms_Clock(nullptr);
  plat::Set_Sleep(nullptr);
  if (!m_Old_Dir.empty() && chdir(m_Old_Dir.c_str()) != 0) std::perror("chdir");
  for (const auto& [name, value] : m_Saved_Env) {
    if (value == "\x01")
      unsetenv(name.c_str());
    else
      setenv(name.c_str(), value.c_str(), 1);
  }
  m_Saved_Env.clear();
  std::error_code ec;
  if (!m_Work_Dir.empty() && !m_Borrowed_Dir) fs::remove_all(m_Work_Dir, ec);
  m_Prepared = false;
}

bool Game_Harness::Start() {
  // A fresh process starts from the defaults of every setting the store lacks.
  g_Game_State = CGame_State();
  Reset_Console_Session();
  // The communications' posting queue lives for the whole program: a fresh one has none
  // (a run launched without a login leaves its postings there).
  g_Communications_Mgr.m_Queue.clear();
  // No output device: the mix advances with the fake clock, one Step at a time, so a run's music
  // ends at the same stepped frame however loaded the machine is. Start-up alone reads the
  // choice; it is put back at once, so that no later code in the process finds the harness's.
  const int program_device = g_Music_Output_Device;
  g_Music_Output_Device = m_Use_Output_Device ? kDefault_Output_Device : 0;
  // The test suites skip the draw-state warm-up (VT_HARNESS_WARM_UP=0): it changes no pixel and
  // would cost every one of their many starts the compiling of every style's states.
  const char* warm_up = std::getenv("VT_HARNESS_WARM_UP");
  Set_Render_State_Warm_Up(!(warm_up && std::string(warm_up) == "0"));
  m_Running = App_Start(SW_SHOWNORMAL, m_Exit_Code);
  g_Music_Output_Device = program_device;
  return m_Running;
}

int Game_Harness::Shut_Down() {
  if (!m_Running) return m_Exit_Code;
  m_Running = false;
  m_Exit_Code = App_Shut_Down();
  return m_Exit_Code;
}

void Game_Harness::Render_Audio(uint32_t ms) {
  constexpr uint64_t kRate = 44100;
  m_Audio_Ms += ms;
  const uint64_t due = m_Audio_Ms * kRate / 1000;
  const size_t frames = static_cast<size_t>(due - m_Audio_Frames);
  m_Audio_Frames = due;
  std::vector<int16_t> mix(frames * 2, 0);
  if (frames != 0 && !plat::Audio_Render(mix.data(), frames)) std::fill(mix.begin(), mix.end(), 0);
  if (!m_Render_Audio) return;
  int peak = 0;
  for (int16_t sample : mix) peak = std::max(peak, std::abs(static_cast<int>(sample)));
  m_Audio_Peaks.push_back(peak);
  m_Audio.insert(m_Audio.end(), mix.begin(), mix.end());
}

bool Game_Harness::Pump() {
  if (!m_Running) return false;
  return App_Dispatch_Messages();
}

bool Game_Harness::Step(int frames, uint32_t ms_per_frame) {
  for (int i = 0; i < frames; ++i) {
    g_Fake_Ms += ms_per_frame;
    if (!Pump()) return false;
    App_Frame();
    Render_Audio(ms_per_frame);
  }
  return m_Running;
}

void Game_Harness::Key(int virtual_key) {
  PostMessageA(g_Main_Window, WM_KEYDOWN, static_cast<WPARAM>(virtual_key), KF_REPEAT_COUNT_ONE);
  PostMessageA(g_Main_Window, WM_KEYUP, static_cast<WPARAM>(virtual_key),
               KF_REPEAT_COUNT_ONE | KF_REPEAT_BIT | KF_UP_BIT);
}

void Game_Harness::Char(int code) {
  PostMessageA(g_Main_Window, WM_CHAR, static_cast<WPARAM>(code & 0xFF), KF_REPEAT_COUNT_ONE);
}

void Game_Harness::Move_Mouse(int x, int y) {
  m_Mouse_X = x;
  m_Mouse_Y = y;
  plat::Override_Cursor_Position(g_Main_Window, x, y);
}

void Game_Harness::Left_Down() {
  PostMessageA(g_Main_Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(m_Mouse_X, m_Mouse_Y));
}
void Game_Harness::Left_Up() { PostMessageA(g_Main_Window, WM_LBUTTONUP, 0, MAKELPARAM(m_Mouse_X, m_Mouse_Y)); }
void Game_Harness::Right_Down() {
  PostMessageA(g_Main_Window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(m_Mouse_X, m_Mouse_Y));
}
void Game_Harness::Right_Up() { PostMessageA(g_Main_Window, WM_RBUTTONUP, 0, MAKELPARAM(m_Mouse_X, m_Mouse_Y)); }

void Game_Harness::Wheel(int notches) {
  PostMessageA(g_Main_Window, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(m_Mouse_X, m_Mouse_Y));
}

void Game_Harness::Activate(bool active) {
  PostMessageA(g_Main_Window, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

void Game_Harness::Close() { PostMessageA(g_Main_Window, WM_CLOSE, 0, 0); }

bool Game_Harness::Read_Back(std::vector<uint32_t>& pixels, uint32_t& width, uint32_t& height) const {
  if (!g_pRenderDevice) return false;
  CMemoryStream stream;
  if (!stream.Init(0)) return false;
  width = height = 0;
  const ReadBackRequest request{&stream, kReadBack_Four_Bytes, &width, &height};
  if (!g_pRenderDevice->ReadBackBuffer(&request)) return false;
  uint32_t length = 0;
  stream.GetLen(&length);
  if (length != width * height * 4) return false;
  if (!stream.SeekTo(0)) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(stream.GetData());
  pixels.resize(static_cast<size_t>(width) * height);
  // Each pixel reads as alpha, blue, green, red.
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint8_t* p = bytes + 4 * i;
    pixels[i] = uint32_t{p[0]} << 24 | uint32_t{p[3]} << 16 | uint32_t{p[2]} << 8 | p[1];
  }
  return true;
}

// Written through libpng's simplified interface, which reports failure by its result rather
// than by a long jump over the objects of this function.
bool Game_Harness::Save_Png(const std::string& path) const {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  if (!Read_Back(pixels, width, height) || width == 0 || height == 0) return false;
  std::vector<png_byte> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[3 * i] = static_cast<png_byte>(pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<png_byte>(pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<png_byte>(pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGB;
  const bool written =
      png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), static_cast<png_int_32>(width * 3), nullptr) != 0;
  png_image_free(&image);
  return written;
}

bool Game_Harness::Set_Loadout(const std::string& gun, const std::string& attachment,
                               const std::string& gun_level, const std::string& attachment_level) {
  int gun_kind = 0, attachment_kind = 0, level = 0, second_level = 0;
  if (!Parse_Int(gun, gun_kind) || !Parse_Int(attachment, attachment_kind)) return false;
  if (!gun_level.empty() && !Parse_Int(gun_level, level)) return false;
  if (!attachment_level.empty() && !Parse_Int(attachment_level, second_level)) return false;
  g_Communications_Mgr.m_Client_Data.m_Loaded = true;
  g_Communications_Mgr.m_Client_Data.m_Current_Gun = gun_kind;
  g_Communications_Mgr.m_Client_Data.m_Current_Attachment = attachment_kind;
  if (gun_kind >= 0 && gun_kind < CClient_Data::kKind_Slots) g_Communications_Mgr.m_Client_Data.m_Gun_Levels[gun_kind] = level;
  if (attachment_kind >= 0 && attachment_kind < CClient_Data::kKind_Slots)
    g_Communications_Mgr.m_Client_Data.m_Attachment_Levels[attachment_kind] = second_level;
  return true;
}

bool Game_Harness::Spawn_Stand_In(const std::string& shape, const std::string& x, const std::string& y,
                                  const std::string& z, const std::string& size) {
  float values[4];
  const std::string* texts[4] = {&x, &y, &z, &size};
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    values[i] = std::strtof(texts[i]->c_str(), &end);
    if (texts[i]->empty() || *end != '\0') return false;
  }
  if (!(values[3] > 0.0f)) return false;
  if (shape == "sphere") return Stand_In_Target::Spawn_Sphere(values[0], values[1], values[2], values[3]) != nullptr;
  if (shape == "box") return Stand_In_Target::Spawn_Box(values[0], values[1], values[2], values[3]) != nullptr;
  return false;
}

int Game_Harness::Hit_Targets(int count) {
  int hit = 0;
  for (int n = 0; hit < count; ++n) {
    CWorld_Object* target = g_World.Find_Object_By_Flags(kKind_Counted_Target, n);
    if (!target) break;
    if (target->m_Kind_Flags & kKind_Excluded) continue;
    const uint32_t tag = 0;
    g_Sim_Stats.Register_Hit(target, nullptr, nullptr, tag);
    target->m_Kind_Flags |= kKind_Excluded;
    g_Score_Board_Mgr.Award_Target_Hit();
    ++hit;
  }
  return hit;
}

bool Game_Harness::Aim(int type) {
  int x = 0, y = 0;
  if (!Nearest_On_Screen(type, x, y)) return false;
  Move_Mouse(x, y);
  return true;
}

bool Game_Harness::Aim_Site(const std::string& which) {
  int x = 0, y = 0;
  if (!Map_Site_On_Screen(which, x, y)) return false;
  Move_Mouse(x, y);
  return true;
}

bool Game_Harness::Step_Undrawn(int frames, uint32_t ms_per_frame) {
  // The sweep of dead objects waits for the next drawn frame.
  D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST);
  const bool running = Step(frames, ms_per_frame);
  D3D8Test_InjectCooperativeLevel(D3D_OK);
  return running;
}

bool Game_Harness::Step_Drawing_Every(int frame) {
  // The frames between drawn ones run undrawn; the caller draws the last frame itself.
  const bool skip = m_Draw_Every > 1 && frame % m_Draw_Every != 0;
  return skip ? Step_Undrawn(1, m_Step_Ms) : Step(1, m_Step_Ms);
}

bool Game_Harness::Step_Frames(int frames, uint32_t ms) {
  for (int frame = 0; frame < frames; ++frame) {
    const bool drawn = m_Draw_Every <= 1 || frame % m_Draw_Every == 0 || frame == frames - 1;
    if (!(drawn ? Step(1, ms) : Step_Undrawn(1, ms))) return false;
  }
  return m_Running;
}

bool Game_Harness::Wait_Until(const std::function<bool()>& reached, int max_frames, uint32_t ms) {
  m_Step_Ms = ms;
  for (int frame = 0;; ++frame) {
    if (reached()) return Draw_Last_Frame(frame);
    if (frame >= max_frames || !Step_Drawing_Every(frame)) return false;
  }
}

bool Game_Harness::Draw_Last_Frame(int frames_stepped) {
  // The picture after a wait is the game's latest state: one more frame, drawn, when the last
  // stepped one was not.
  if (m_Draw_Every > 1 && frames_stepped > 0 && (frames_stepped - 1) % m_Draw_Every != 0) Step(1, m_Step_Ms);
  return true;
}

bool Game_Harness::Wait_For_Mode(int mode, int max_frames, uint32_t ms) {
  return Wait_Until([mode] { return g_Game.Get_Mode() == mode; }, max_frames, ms);
}

bool Game_Harness::Wait_For_Screen(const std::string& name, int max_frames, uint32_t ms) {
  bool known = false;
  Screen_Is_Up(name, known);
  if (!known) return false;
  return Wait_Until([&name, &known] { return Screen_Is_Up(name, known); }, max_frames, ms);
}

bool Game_Harness::Play_While(const std::function<bool()>& done, int max_frames, uint32_t ms, int frames_per_shot) {
  m_Step_Ms = ms;
  bool aimed = false;
  for (int frame = 0;; ++frame) {
    if (done()) return Draw_Last_Frame(frame);
    if (frame >= max_frames) return false;
    const int phase = frame % frames_per_shot;
    if (phase == 0) aimed = Aim();
    const bool fire = aimed && phase == frames_per_shot - 1;
    if (fire) Left_Down();
    if (!Step_Drawing_Every(frame)) return false;
    if (fire) Left_Up();
  }
}

bool Game_Harness::Play(int frames, uint32_t ms, int frames_per_shot) {
  if (frames_per_shot < 1) return false;
  Play_While([] { return false; }, frames, ms, frames_per_shot);
  return m_Running;
}

bool Game_Harness::Play_Until_Screen(const std::string& name, int max_frames, uint32_t ms, int frames_per_shot) {
  bool known = false;
  Screen_Is_Up(name, known);
  if (!known || frames_per_shot < 1) return false;
  return Play_While([&name, &known] { return Screen_Is_Up(name, known); }, max_frames, ms, frames_per_shot);
}

bool Game_Harness::Run_Script(const std::string& script, const std::string& out_dir, std::string* error) {
  std::istringstream lines(script);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(lines, line)) {
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string verb, a, b;
    if (!(words >> verb)) continue;
    words >> a >> b;
    int x = 0, y = 0;
    if (verb == "frames") {
      if (!Parse_Int(a, x)) return fail("frames needs a count");
      if (!b.empty() && !Parse_Int(b, y)) return fail("bad milliseconds");
      Step_Frames(x, b.empty() ? 16u : static_cast<uint32_t>(y));
    } else if (verb == "key") {
      int code = -1;
      for (const Key_Name& key : kKey_Names)
        if (a == key.name) code = key.code;
      if (code < 0 && !Parse_Int(a, code)) return fail("unknown key " + a);
      Key(code);
    } else if (verb == "type") {
      // The rest of the line, typed one character at a time.
      const size_t start = line.find_first_not_of(" \t", line.find(verb) + verb.size());
      if (start == std::string::npos) return fail("type needs text");
      std::string text = line.substr(start);
      while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.pop_back();
      for (char c : text) Char(static_cast<unsigned char>(c));
    } else if (verb == "char") {
      if (a.size() == 1)
        Char(static_cast<unsigned char>(a[0]));
      else if (Parse_Int(a, x))
        Char(x);
      else
        return fail("bad character " + a);
    } else if (verb == "move" || verb == "click" || verb == "rclick") {
      if (verb != "move" && a.empty()) {
        x = m_Mouse_X;  // where the cursor is (after an aim)
        y = m_Mouse_Y;
      } else if (!Parse_Int(a, x) || !Parse_Int(b, y)) {
        return fail(verb + " needs x and y");
      }
      Move_Mouse(x, y);
      if (verb == "click") {
        Left_Down();
        Left_Up();
      } else if (verb == "rclick") {
        Right_Down();
        Right_Up();
      }
    } else if (verb == "press" || verb == "release" || verb == "rpress" || verb == "rrelease") {
      if (a.empty()) {
        x = m_Mouse_X;
        y = m_Mouse_Y;
      } else if (!Parse_Int(a, x) || !Parse_Int(b, y)) {
        return fail(verb + " needs x and y");
      }
      Move_Mouse(x, y);
      if (verb == "press") Left_Down();
      if (verb == "release") Left_Up();
      if (verb == "rpress") Right_Down();
      if (verb == "rrelease") Right_Up();
    } else if (verb == "camera") {
      float v[6];
      std::string rest[4];
      words >> rest[0] >> rest[1] >> rest[2] >> rest[3];
      const std::string* texts[6] = {&a, &b, &rest[0], &rest[1], &rest[2], &rest[3]};
      for (int i = 0; i < 6; ++i) {
        char* end = nullptr;
        v[i] = std::strtof(texts[i]->c_str(), &end);
        if (texts[i]->empty() || *end != '\0') return fail("camera needs X Y Z and a target X Y Z");
      }
      g_Camera.Look_At(CVector3{v[0], v[1], v[2]}, CVector3{v[3], v[4], v[5]});
    } else if (verb == "loadout") {
      std::string gun_level, attachment_level;
      words >> gun_level >> attachment_level;
      if (!Set_Loadout(a, b, gun_level, attachment_level)) return fail("loadout needs a gun, an attachment and levels");
    } else if (verb == "spawn" && Parse_Int(a, x)) {
      std::vector<float> numbers;
      if (!Parse_Floats(b, words, numbers) || numbers.size() < 3) return fail("spawn needs TYPE X Y Z [ARGS...]");
      const Spawn_Args args(numbers.begin() + 3, numbers.end());
      std::string why;
      Pump();
      if (!Spawn_Object(static_cast<uint32_t>(x), numbers[0], numbers[1], numbers[2], args, &why)) return fail(why);
    } else if (verb == "spawn") {
      std::string rest[3];
      words >> rest[0] >> rest[1] >> rest[2];
      if (!Spawn_Stand_In(a, b, rest[0], rest[1], rest[2])) return fail("spawn needs sphere|box X Y Z SIZE");
    } else if (verb == "trigger") {
      std::vector<float> numbers;
      if (!Parse_Int(a, x) || !Parse_Floats(b, words, numbers)) return fail("trigger needs TYPE [N [ACTION ARG]]");
      const int n = numbers.empty() ? -1 : static_cast<int>(numbers[0]);
      Pump();
      if (numbers.size() >= 3) {
        if (!Command_Object(static_cast<uint32_t>(x), n, static_cast<int>(numbers[1]), static_cast<int>(numbers[2])))
          return fail("no object of type " + a + " takes that command");
      } else if (Trigger_Objects(static_cast<uint32_t>(x), n) == 0) {
        return fail("no live object of type " + a + " took the request");
      }
    } else if (verb == "wheel") {
      if (!Parse_Int(a, x)) return fail("wheel needs notches");
      Wheel(x);
    } else if (verb == "deactivate" || verb == "activate") {
      Activate(verb == "activate");
    } else if (verb == "close") {
      Close();
    } else if (verb == "command") {
      if (!Parse_Int(a, x) || (!b.empty() && !Parse_Int(b, y))) return fail("command needs a code");
      uint32_t ids[2] = {0, 0};
      for (uint32_t& id : ids) {
        std::string word;
        if (words >> word && !Parse_Id(word, id)) return fail("bad resource id " + word);
      }
      Pump();
      g_Menu_Mgr.Command(x, y, ids[0], ids[1]);
    } else if (verb == "sequence") {
      int32_t values[5] = {0, 0, 0, 0, 0};
      std::string rest[3];
      words >> rest[0] >> rest[1] >> rest[2];
      const std::string* texts[5] = {&a, &b, &rest[0], &rest[1], &rest[2]};
      for (int i = 0; i < 5; ++i) {
        uint32_t value = 0;
        if (!texts[i]->empty() && !Parse_Id(*texts[i], value)) return fail("bad sequence value " + *texts[i]);
        values[i] = static_cast<int32_t>(value);
      }
      if (a.empty()) return fail("sequence needs a kind");
      Pump();
      g_Sequence_Mgr.Start_Sequence(values[0], values[1], values[2], values[3], values[4]);
    } else if (verb == "hit" && !b.empty()) {
      std::vector<float> numbers;
      if (!Parse_Int(a, x) || !Parse_Floats(b, words, numbers) || (numbers.size() != 1 && numbers.size() != 4))
        return fail("hit needs TYPE N [DX DY DZ]");
      const CVector3 offset = numbers.size() == 4 ? CVector3{numbers[1], numbers[2], numbers[3]} : CVector3{0, 0, 0};
      Pump();
      Shoot_At(static_cast<uint32_t>(x), static_cast<int>(numbers[0]), offset);
    } else if (verb == "login") {
      // Stands in for a console login: the user whose account the trainer screens use.
      if (a.empty()) return fail("login needs a name");
      g_Menu_Mgr.m_Console.m_User_Name = a;
    } else if (verb == "account") {
      if ((a != "level" && a != "credits") || !Parse_Int(b, x) || x < 0) return fail("account needs level|credits N");
      const bool level = a == "level";
      auto set = [level, x](CClient_Data& record) {
        (level ? record.m_Access_Level : record.m_Credits) = static_cast<uint32_t>(x);
        record.Save();
      };
      CClient_Data& account = g_Communications_Mgr.m_Client_Data;
      if (account.m_Loaded)
        set(account);
      else if (!account.Use_Loaded(set))
        return fail("the account cannot be loaded");
    } else if (verb == "post") {
      // A posting of the communications of a kind and key, as the trainer's events make them.
      if (!Parse_Int(a, x) || !Parse_Int(b, y) || x < 0 || y < 0) return fail("post needs a kind and a key");
      g_Communications_Mgr.Post_Message(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 0);
    } else if (verb == "alert") {
      // The simulator screen's next War Room offer falls due now.
      g_Menu_Mgr.m_Simulator.m_Alert_Timer = 0.01f;
    } else if (verb == "hit") {
      if (!Parse_Int(a, x) || x < 0) return fail("hit needs a count");
      Hit_Targets(x);
    } else if (verb == "fx") {
      std::string why;
      if (!Show_Fx_Group(a, &why)) return fail(why);
    } else if (verb == "screenfx") {
      std::string why;
      if (!Parse_Int(a, x) || !Show_Screen_Fx(x, &why)) return fail(why.empty() ? "screenfx needs a kind" : why);
    } else if (verb == "aim" && a == "site") {
      Pump();
      if (!Aim_Site(b)) return fail("aim site: no map site " + b + " in view");
    } else if (verb == "aim") {
      if (!a.empty() && (!Parse_Int(a, x) || x < 0)) return fail("aim takes a type index");
      Pump();
      if (!Aim(a.empty() ? -1 : x))
        return fail(a.empty() ? "aim: no live target in view" : "aim: no live object of type " + a + " in view");
    } else if (verb == "draw") {
      if (!Parse_Int(a, x) || x < 1) return fail("draw needs a count of frames");
      Set_Draw_Every(x);
    } else if (verb == "wait") {
      std::string limit, step;
      words >> limit >> step;
      int frames = kWait_Frames, ms = 16;
      if ((a != "mode" && a != "screen") || b.empty()) return fail("wait needs mode N or screen NAME");
      if ((!limit.empty() && (!Parse_Int(limit, frames) || frames < 0)) || (!step.empty() && (!Parse_Int(step, ms) || ms < 1)))
        return fail("wait takes a frame limit and milliseconds per frame");
      if (a == "mode") {
        if (!Parse_Int(b, x)) return fail("wait mode needs a number");
        if (!Wait_For_Mode(x, frames, static_cast<uint32_t>(ms)))
          return fail("wait mode " + b + ": not reached within " + std::to_string(frames) + " frames (mode " +
                      std::to_string(g_Game.Get_Mode()) + ")");
      } else {
        bool known = false;
        Screen_Is_Up(b, known);
        if (!known) return fail("wait screen: unknown name " + b + " (known: " + Screen_Names() + ")");
        if (!Wait_For_Screen(b, frames, static_cast<uint32_t>(ms)))
          return fail("wait screen " + b + ": not reached within " + std::to_string(frames) + " frames");
      }
    } else if (verb == "play") {
      // play N [MS [PER_SHOT]] or play until NAME [MAX [MS [PER_SHOT]]]
      const bool until = a == "until";
      std::vector<std::string> texts;
      for (std::string word; words >> word;) texts.push_back(word);
      if (!until) texts.insert(texts.begin(), {a, b});
      while (!texts.empty() && texts.back().empty()) texts.pop_back();
      int values[3] = {kWait_Frames, 16, 6};
      if (texts.size() > 3 || (!until && texts.empty())) return fail("play needs N [MS [PER_SHOT]] or until NAME [MAX [MS [PER_SHOT]]]");
      for (size_t i = 0; i < texts.size(); ++i)
        if (!Parse_Int(texts[i], values[i]) || values[i] < (i == 0 ? 0 : 1))
          return fail("play takes frames, milliseconds per frame and frames per shot");
      const uint32_t ms = static_cast<uint32_t>(values[1]);
      if (!until) {
        Play(values[0], ms, values[2]);
        continue;
      }
      bool known = false;
      Screen_Is_Up(b, known);
      if (!known) return fail("play until: unknown screen " + b + " (known: " + Screen_Names() + ")");
      if (!Play_Until_Screen(b, values[0], ms, values[2]))
        return fail("play until " + b + ": not reached within " + std::to_string(values[0]) + " frames");
    } else if (verb == "shot") {
      if (a.empty()) return fail("shot needs a file name");
      if (!Save_Png(out_dir + "/" + a)) return fail("cannot capture " + a);
    } else {
      return fail("unknown command " + verb);
    }
  }
  return true;
}

}  // namespace vt_test
