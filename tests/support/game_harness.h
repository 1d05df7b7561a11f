#pragma once
// Runs the whole program in-process for tests and tools: a temporary working directory holding
// the generated content, its own settings and lock folders, a fake millisecond clock, a script of
// input messages, frame stepping, and PNG capture of the back buffer.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vt_test {

class Game_Harness {
 public:
  Game_Harness() = default;
  Game_Harness(const Game_Harness&) = delete;
  Game_Harness& operator=(const Game_Harness&) = delete;
  ~Game_Harness();

  // Makes the working directory from the content folder (VT_BINARY_DIR/content unless given),
  // points the settings and lock folders into it, enters it and installs the fake clock.
  bool Prepare(std::string* error, const std::string& content_dir = "");
  // Enters the working directory another harness prepared (whose program has shut down), as
  // Prepare does, for a second start on the files the first one wrote; the directory stays
  // when this harness ends (its preparer removes it).
  bool Prepare_In(const std::string& work_dir, std::string* error);
  // Runs the program's start-up; false when start-up ended it (Exit_Code then holds the result).
  bool Start();
  bool Running() const { return m_Running; }
  int Exit_Code() const { return m_Exit_Code; }
  // Shuts the program down (when running) and answers its result.
  int Shut_Down();

  // Moves the fake clock on by the given milliseconds, dispatches the waiting messages and runs
  // one frame, the given number of times. False once the program has taken WM_QUIT.
  bool Step(int frames = 1, uint32_t ms_per_frame = 16);
  // The same with the device answering as lost, as a minimised window would: the game updates
  // everything and draws nothing. For waits whose frames no test looks at (drawing is most of a
  // frame's cost in the sanitizer build); the frame a test then looks at is stepped drawn.
  bool Step_Undrawn(int frames, uint32_t ms_per_frame = 16);
  // Dispatches the waiting messages without a frame; false once WM_QUIT has been taken.
  bool Pump();

  // Input, queued as the window layer would queue it.
  void Key(int virtual_key);
  void Char(int code);
  void Move_Mouse(int x, int y);
  void Left_Down();
  void Left_Up();
  void Right_Down();
  void Right_Up();
  void Wheel(int notches);
  void Activate(bool active);
  void Close();

  // The back buffer as 0xAARRGGBB pixels, rows from the top; false without a device.
  bool Read_Back(std::vector<uint32_t>& pixels, uint32_t& width, uint32_t& height) const;
  bool Save_Png(const std::string& path) const;

  // Runs a script of one command per line ("#" starts a comment):
  //   frames N [ms]   step N frames (16 ms each unless given)
  //   key NAME|CODE   a key press (pause, end, home, left, up, right, down, delete, scroll)
  //   char C|CODE     a typed character
  //   type TEXT       the rest of the line typed character by character (Enter is "char 13")
  //   move X Y / click [X Y] / rclick [X Y] / wheel N   (without X Y: where the cursor is)
  //   deactivate / activate / close
  //   command CODE ARG [TRACK MUSIC]   a menu command, as a screen or the sequencer would
  //                   issue it (a launch with its track-file and music ids)
  //   sequence KIND V1 V2 V3 V4   starts a sequencer sequence
  //   fx NAME         starts an effect group before the camera (tests/support/fx_showcase.h)
  //   screenfx KIND   adds a screen effect of that kind (0-24)
  //   press [X Y] / release [X Y] the left button held down across frames, and let go
  //   rpress [X Y] / rrelease [X Y]  the same for the right button (without X Y: at the cursor)
  //   loadout GUN ATTACHMENT [GUN_LEVEL [ATTACHMENT_LEVEL]]   the profile the next launch reads
  //   spawn sphere|box X Y Z SIZE a stand-in target (radius or half size SIZE) resting Y above
  //                               the ground at (X, Z); it counts hits and turns red when hit
  //   camera X Y Z TX TY TZ       places the camera at X Y Z looking at TX TY TZ
  //   spawn TYPE X Y Z [ARGS...]  an object of that type index Y above the ground at (X, Z),
  //                               set up with its arguments (tests/support/harness_spawn.h)
  //   trigger TYPE [N [ACTION ARG]]  requests a launch of the N-th live object of the type (all
  //                               of them without N), or gives it the command ACTION ARG
  //   hit N           registers hits on up to N live counted targets (see Hit_Targets)
  //   hit TYPE N [DX DY DZ]       fires a player's shot line from the camera at the N-th live
  //                               object of the type, aimed at its centre moved by (DX, DY, DZ)
  //   aim [TYPE]      moves the cursor onto the nearest live target in view (or object of the
  //                   type index); fails when none is in view. The gun swings onto the cursor
  //                   over a few frames: let some pass before firing (press/release there)
  //   aim site infected|source|N  moves the cursor onto a site of the War Room's travel map (the
  //                   infected site nearest the shuttle, the infection's source, or site N)
  //   wait mode N [MAX_FRAMES [MS]]      steps frames (16 ms each unless given) until the game's
  //   wait screen NAME [MAX_FRAMES [MS]] mode is N or the named screen is up; fails after
  //                   MAX_FRAMES (3000 unless given). Screen names: tests/support/harness_screens.h
  //   play N [MS [PER_SHOT]]     scripted play for N frames (16 ms each unless given): the
  //                   cursor goes onto the nearest live target in view and a click fires once
  //                   every PER_SHOT frames (6 unless given)
  //   play until NAME [MAX_FRAMES [MS [PER_SHOT]]]   the same until the named screen is up;
  //                   fails after MAX_FRAMES (3000 unless given)
  //   draw N          from here on, wait and play draw only every N-th frame they step and
  //                   their last one (1, the start: every frame); the others run undrawn
  //   shot NAME.png   captures the back buffer into out_dir
  bool Run_Script(const std::string& script, const std::string& out_dir, std::string* error);

  // The music player always runs without an output device and each Step renders the mix of its
  // milliseconds; when this is set (before Start) the mix is kept in the buffer that Audio()
  // gives (16-bit stereo, 44100 Hz).
  void Render_Audio_To_Buffer(bool on) { m_Render_Audio = on; }
  // When set (before Start) the player opens the default output device as the program itself
  // does, and the Steps render no mix.
  void Use_Output_Device(bool on) { m_Use_Output_Device = on; }
  const std::vector<int16_t>& Audio() const { return m_Audio; }
  // The largest magnitude of the mix rendered in each stepped frame, in order.
  const std::vector<int>& Audio_Frame_Peaks() const { return m_Audio_Peaks; }

  // The profile the next launch reads: gun and attachment kinds and their upgrade levels.
  bool Set_Loadout(const std::string& gun, const std::string& attachment, const std::string& gun_level,
                   const std::string& attachment_level);
  bool Spawn_Stand_In(const std::string& shape, const std::string& x, const std::string& y, const std::string& z,
                      const std::string& size);

  // Registers a hit on each of up to count live counted targets of the world, as a target's
  // own hit does (the statistics, the target-hit award, and the flag that keeps its removal
  // from counting as a miss); answers how many were hit.
  int Hit_Targets(int count);

  // Moves the cursor onto the screen point of the nearest live target in view (any type when
  // negative, see Nearest_On_Screen) the way the game maps the cursor to its ray, so that a shot
  // fired there once the gun has swung onto it strikes the object. False when none is in view.
  bool Aim(int type = -1);
  // Moves the cursor onto a site of the War Room's travel map (see Map_Site_On_Screen); false
  // without the map or the site in view.
  bool Aim_Site(const std::string& which);
  // Steps frames (ms each) until the game's mode is the given one (0 none, 1 menus, 2 a run) or
  // the named screen is up, checking before each frame; false when max_frames pass first, the
  // program quits or (for a screen) the name is unknown.
  bool Wait_For_Mode(int mode, int max_frames = kWait_Frames, uint32_t ms = 16);
  bool Wait_For_Screen(const std::string& name, int max_frames = kWait_Frames, uint32_t ms = 16);
  static constexpr int kWait_Frames = 3000;
  // Waits, play and stepped frames draw only every n-th frame they step, and always their last:
  // drawing is most of a frame's cost in the sanitizer build, and a long wait shows nothing in
  // between.
  void Set_Draw_Every(int n) { m_Draw_Every = n < 1 ? 1 : n; }
  // Steps the frames as Step does, drawing as Set_Draw_Every asks; the last frame is drawn.
  bool Step_Frames(int frames, uint32_t ms = 16);
  // Scripted play: every frames_per_shot frames the cursor goes onto the nearest live target in
  // view (when there is one), the gun swings there for the frames between and a click fires.
  // Play runs the frames (false once the program has quit); Play_Until_Screen stops once the
  // named screen is up (false as Wait_For_Screen is).
  bool Play(int frames, uint32_t ms = 16, int frames_per_shot = 6);
  bool Play_Until_Screen(const std::string& name, int max_frames = kWait_Frames, uint32_t ms = 16,
                         int frames_per_shot = 6);

  const std::string& Work_Dir() const { return m_Work_Dir; }
  uint32_t Now() const;

 private:
  void Restore_Environment();
  bool Enter_Work_Dir(std::string* error);
  bool Wait_Until(const std::function<bool()>& reached, int max_frames, uint32_t ms);
  bool Play_While(const std::function<bool()>& done, int max_frames, uint32_t ms, int frames_per_shot);
  bool Step_Drawing_Every(int frame);
  bool Draw_Last_Frame(int frames_stepped);
  int m_Draw_Every = 1;
  uint32_t m_Step_Ms = 16;

  std::string m_Work_Dir;
  std::string m_Old_Dir;
  std::vector<std::pair<std::string, std::string>> m_Saved_Env;
  bool m_Prepared = false;
  bool m_Borrowed_Dir = false;
  bool m_Running = false;
  int m_Exit_Code = 0;
  void Render_Audio(uint32_t ms);

  bool m_Render_Audio = false;
  bool m_Use_Output_Device = false;
  uint64_t m_Audio_Ms = 0;
  uint64_t m_Audio_Frames = 0;
  std::vector<int16_t> m_Audio;
  std::vector<int> m_Audio_Peaks;
  int m_Mouse_X = 0;
  int m_Mouse_Y = 0;
};

}  // namespace vt_test
