#pragma once
// Console variables: named, typed settings declared as static objects next to the code that
// uses them, each with a default fixed at its declaration. Code reads and writes the value
// directly; the variables also offer a text interface (set from text, print to text, dump) and
// an optional validation callback, and each is entered by name in a case-insensitive registry.
#include <cstdint>

enum EConsoleVarType : int {
  kConsoleVarInt = 0,
  kConsoleVarFloat = 1,
  kConsoleVarString = 2,
};

// Offered each proposed value: (current, proposed, kind). For ints and floats the arguments
// point at the values; for strings they are the texts. True accepts.
using ConsoleVarValidateFn = bool (*)(const void* current, const void* proposed, int kind);

class CConsoleVar {
 public:
  CConsoleVar(const CConsoleVar&) = delete;
  CConsoleVar& operator=(const CConsoleVar&) = delete;
  virtual ~CConsoleVar();

  virtual int GetType() const = 0;
  // False only for missing text. Otherwise the parsed value is offered to the validation
  // callback and stored when accepted; the result is true either way.
  virtual bool SetFromString(const char* text) = 0;
  // Prints the value into buffer (size bytes including the terminator, always terminated);
  // the number of characters written, 0 for no buffer or a size below 1.
  virtual int ToString(char* buffer, int size) = 0;
  // Reports "name [address]: value (kind)" through the output redirector, when it is there.
  virtual void Dump() = 0;

  void SetValidationCallback(ConsoleVarValidateFn callback) { m_pValidate = callback; }
  const char* GetName() const { return m_pName; }
  uint32_t GetFlags() const { return m_Flags; }
  // A dynamic variable is deleted by the registry when only dynamic variables remain in it.
  bool IsDynamic() const { return m_bDynamic; }
  void SetDynamic(bool dynamic) { m_bDynamic = dynamic; }

 protected:
  CConsoleVar(const char* name, uint32_t flags);
  bool Accepts(const void* current, const void* proposed, int kind) const;
  // Formats into buffer as ToString promises.
  static int FormatBounded(char* buffer, int size, const char* format, ...)
      __attribute__((format(printf, 3, 4)));
  // Sends one dump line to the output redirector.
  static void DumpLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

 private:
  char* m_pName = nullptr;
  uint32_t m_Flags;
  ConsoleVarValidateFn m_pValidate = nullptr;
  bool m_bDynamic = false;
};

class ConsoleInt : public CConsoleVar {
 public:
  ConsoleInt(const char* name, int32_t value, uint32_t flags);

  int GetType() const override { return kConsoleVarInt; }
  // Leading white space is skipped; "0x" or "0X" starts hexadecimal digits (and makes the
  // value print in hexadecimal), anything else is read as a decimal number.
  bool SetFromString(const char* text) override;
  int ToString(char* buffer, int size) override;
  void Dump() override;

  // Offers the value to the validation callback and stores it when accepted.
  bool Set(int32_t value);
  operator int32_t() const { return Value; }
  ConsoleInt& operator=(int32_t value) {
    Value = value;
    return *this;
  }

  int32_t Value;
  bool Hex = false;
};

class ConsoleFloat : public CConsoleVar {
 public:
  ConsoleFloat(const char* name, float value, uint32_t flags);

  int GetType() const override { return kConsoleVarFloat; }
  bool SetFromString(const char* text) override;
  int ToString(char* buffer, int size) override;
  void Dump() override;

  bool Set(float value);
  operator float() const { return Value; }
  ConsoleFloat& operator=(float value) {
    Value = value;
    return *this;
  }

  float Value;
};

class ConsoleString : public CConsoleVar {
 public:
  ConsoleString(const char* name, const char* value, uint32_t flags);
  ~ConsoleString() override;

  int GetType() const override { return kConsoleVarString; }
  bool SetFromString(const char* text) override;
  // Prints the text between double quotes; 0 when there is no text.
  int ToString(char* buffer, int size) override;
  void Dump() override;

  // Offers the text to the validation callback; when accepted it is copied in, reusing the
  // buffer when it is large enough. False when refused or out of memory.
  bool Set(const char* text);
  // The text, or null when there is none.
  const char* Get() const { return m_pValue; }
  uint32_t GetCapacity() const { return m_Capacity; }

 private:
  char* m_pValue = nullptr;
  uint32_t m_Capacity = 0;
};

// The registered variable of that name, ignoring case; null when none.
CConsoleVar* ConsoleVar_Find(const char* name);
// Number of registered names.
int ConsoleVar_Count();
// A later variable of the same name (ignoring case) replaces the earlier one's entry.
void ConsoleVar_Register(CConsoleVar* variable);
// Removes the entry of the variable's name, whichever variable it refers to.
void ConsoleVar_Unregister(CConsoleVar* variable);

extern ConsoleFloat Sim_Time_Scale;
