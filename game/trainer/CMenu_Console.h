#pragma once
// The console terminal: a simulated text terminal that slides in from the left edge of the
// screen, types its output one character at a time, keeps the last 18 lines and shows a prompt
// with the line being typed. Through it the user logs in, creates an account and types
// commands (CMenu_Console_Commands.cpp); its drawing is in CMenu_Console_Render.cpp.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct CFrame_Info;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CMenu_Console {
 public:
  static constexpr int kMax_Lines = 18;
  static constexpr float kPrint_Interval = 0.15f;
  static constexpr float kPause_Length = 0.5f;  // what a "\a" adds to the print timer
  static constexpr int kMax_Word = 10;          // the longest piece the wrap keeps together
  static constexpr int kMax_Login_Length = 18;
  static constexpr uint32_t kCredit_Step = 25000;

  // Prompt states.
  enum : int {
    kPrompt_None = 0,
    kPrompt_Login = 1,
    kPrompt_Command = 2,
    kPrompt_Create = 3,
    kPrompt_Exit = 4,
  };

  // Actions of Process.
  enum : int {
    kAction_None = 0,
    kAction_Banner = 1,
    kAction_Enter = 2,
    kAction_Logout = 3,
    kAction_Exit_Question = 4,
    kAction_Quit = 5,
    kAction_Time = 6,
    kAction_User = 7,
    kAction_Refused = 8,
    kAction_Help = 9,
    kAction_Add_Credits = 10,
    kAction_Take_Credits = 11,
    kAction_Raise_Access = 12,
    kAction_Lower_Access = 13,
    kAction_Mission_Alert = 14,
    kAction_Auto_Aim = 15,
  };

  struct Output_Line {
    std::string text;
    int width = 0;  // in pixels, in the console font
  };
  struct Pending_Item {
    std::string text;  // what is still to be typed
    bool immediate = false;
  };

  bool m_Initialised = false;
  bool m_Visible = false;

  // Loads the render resources; the console starts closed. A logged-in user (program-wide)
  // comes back at the command prompt.
  bool Init();
  void Term();
  // Shows or hides the console; a change of visibility clicks unless silent or muted once.
  void Show(bool visible, bool silent);
  // Opening and closing, the typed printing, and the banner once it is fully open.
  void Frame(float step);
  void Print_Line(const std::string& text, bool immediate);
  // The typed printing: one character per tick of the print timer.
  void Update(float step);
  // The line editor. A set handled flag (a key the caller already took) ignores the character.
  // True when the console took the character.
  bool On_Char(int code, int handled);
  // Whether the input line with the character appended still fits on one line.
  bool Fits_On_Line(int code) const;
  // The cursor lies strictly inside the console's pull tab.
  bool Is_Mouse_Over_Tab() const;
  void Render(const CFrame_Info& frame);
  // Re-measures the output lines (after a change of display mode).
  void Measure_Lines();

  void Process(int action);
  // The action of a command line, 0 for none: the line is compared with each command word,
  // without regard to case, over the word's length.
  static int Parse_Command(const std::string& line);
  // The index-th command word the console knows, in the order it checks them; null past the last.
  static const char* Command_Word(size_t index);
  // The account record's access level, the record loaded for the read when it is not loaded.
  uint32_t Get_Access_Level();
  // The accounts found in the working directory whose names the login accepts, sorted by name.
  static std::vector<std::string> Get_Account_List();

  // Lines of text laid out the way the console types them, within a width in pixels.
  static std::vector<std::string> Layout_Text(const std::string& text, int width);
  // Whether a piece of text added to a line still fits the width.
  static bool Word_Fits(const std::string& line, const std::string& rest, int width);
  // The console's text width in pixels.
  static int Text_Width();

  float m_Open_Fraction = 0.0f;  // 0 closed, 1 fully open
  float m_Print_Timer = 0.0f;
  float m_Cursor_Phase = 0.0f;  // radians
  bool m_New_Line = false;      // the next printed character starts a new output line
  int m_Prompt_State = kPrompt_None;
  std::deque<Output_Line> m_Lines;
  std::deque<Pending_Item> m_Pending;
  std::string m_Prompt;
  std::string m_Input;
  std::string m_Pending_Account;
  std::string m_User_Name;  // the current user; keys the account file

 private:
  void Print_Tick();
  void Add_Line();
  void Set_Prompt(int state);
  void Enter_Line();
  void Enter_Login();
  void Answer_Create();
  void Answer_Exit();
  void Enter_Command();
  void Log_In(const std::string& name, bool created);
  // Reads the current user's account for the session the login starts; its access level.
  uint32_t Read_Account_For_Session();
  void Print_Account_List();
  void Print_User();
  void Print_Help();
  void Change_Account(int action);
  void Release_Resources();
  void Draw_Models(float scale_xy, float scale_z, int model, int style, int texture, uint32_t colour) const;
  void Draw_Text_Lines(float step);

  CRenderableObject* m_Models[2] = {};
  CTextureData* m_Textures[2] = {};
  CD3DRenderStyle* m_Styles[3] = {};
};

// Program-wide state of the console that outlives it: the login, and two flags that are set at
// program start (the first visibility change makes no click; the first opening plays its sound).
struct Console_Session {
  bool logged_in = false;
  std::string remembered_name;
  bool mute = true;
  bool opening_sound = true;
};
extern Console_Session g_Console_Session;
// Back to the state of a fresh program start (the test harness starts the program many times).
void Reset_Console_Session();
