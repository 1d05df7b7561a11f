#include "runtime/src/core/console_var.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <vector>

#include "runtime/src/core/interface_db.h"
#include "runtime/src/core/output_redir.h"

namespace {

IKSOutputRedir* g_pOutputRedir = nullptr;
CInterfaceHolder<IKSOutputRedir> g_OutputRedirHolder(kOutputRedirKey, &g_pOutputRedir);

// Nothing names the redirector (it is found through the registry), so a static link would
// leave it out; naming it here keeps it, and ConsoleColor and ConsoleText, in every program
// that has console variables.
[[gnu::used]] COutputRedir* const g_pLinkedOutputRedir = &g_OutputRedir;

struct CaseInsensitiveLess {
  bool operator()(const char* a, const char* b) const { return strcasecmp(a, b) < 0; }
};

// Keys point at the registered variables' own names.
using ConsoleVarRegistry = std::map<const char*, CConsoleVar*, CaseInsensitiveLess>;

// Created by the first registration and freed when the last variable leaves. A plain pointer
// needs no construction, so variables in any source file may register at any time.
ConsoleVarRegistry*& Registry() {
  static ConsoleVarRegistry* registry = nullptr;
  return registry;
}

bool OnlyDynamicLeft(const ConsoleVarRegistry& registry) {
  for (const auto& [name, variable] : registry) {
    if (!variable->IsDynamic()) return false;
  }
  return true;
}

char* CopyText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = new (std::nothrow) char[size];
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

const char* SkipSpace(const char* text) {
  while (*text != '\0' && std::isspace(static_cast<unsigned char>(*text))) ++text;
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// atoi without its undefined overflow: out-of-range numbers are clamped.
int32_t ParseDecimal(const char* text) {
  errno = 0;
  const long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// Hexadecimal digits up to the first other character; wraps like an unsigned 32-bit number.
int32_t ParseHex(const char* digits) {
  uint32_t value = 0;
  for (int digit = HexDigit(*digits); digit >= 0; digit = HexDigit(*++digits)) {
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(value);
}

// atof narrowed to a float; numbers beyond the float range become infinities.
float ParseFloat(const char* text) {
  const double value = std::strtod(text, nullptr);
  if (std::isnan(value)) return static_cast<float>(value);
  if (value > FLT_MAX) return INFINITY;
  if (value < -FLT_MAX) return -INFINITY;
  return static_cast<float>(value);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Registry

void ConsoleVar_Register(CConsoleVar* variable) {
  if (variable == nullptr) return;
  ConsoleVarRegistry*& registry = Registry();
  if (registry == nullptr) {
    registry = new (std::nothrow) ConsoleVarRegistry();
    if (registry == nullptr) return;
  }
  auto found = registry->find(variable->GetName());
  if (found != registry->end()) registry->erase(found);
  registry->emplace(variable->GetName(), variable);
}

void ConsoleVar_Unregister(CConsoleVar* variable) {
  ConsoleVarRegistry*& registry = Registry();
  if (variable == nullptr || registry == nullptr) return;
  registry->erase(variable->GetName());
  if (!OnlyDynamicLeft(*registry)) return;

  std::vector<CConsoleVar*> dynamic;
  for (const auto& [name, var] : *registry) dynamic.push_back(var);
  delete registry;
  registry = nullptr;
  for (CConsoleVar* var : dynamic) delete var;
}

CConsoleVar* ConsoleVar_Find(const char* name) {
  ConsoleVarRegistry* registry = Registry();
  if (name == nullptr || registry == nullptr) return nullptr;
  auto found = registry->find(name);
  return found == registry->end() ? nullptr : found->second;
}

int ConsoleVar_Count() {
  ConsoleVarRegistry* registry = Registry();
  return registry == nullptr ? 0 : static_cast<int>(registry->size());
}

// ---------------------------------------------------------------------------------------------
// CConsoleVar

CConsoleVar::CConsoleVar(const char* name, uint32_t flags) : m_Flags(flags) {
  m_pName = CopyText(name != nullptr ? name : "");
  if (m_pName != nullptr) ConsoleVar_Register(this);
}

CConsoleVar::~CConsoleVar() {
  if (m_pName != nullptr) ConsoleVar_Unregister(this);
  delete[] m_pName;
}

bool CConsoleVar::Accepts(const void* current, const void* proposed, int kind) const {
  return m_pValidate == nullptr || m_pValidate(current, proposed, kind);
}

int CConsoleVar::FormatBounded(char* buffer, int size, const char* format, ...) {
  if (buffer == nullptr || size < 1) return 0;
  buffer[size - 1] = '\0';
  va_list args;
  va_start(args, format);
  const int wanted = std::vsnprintf(buffer, static_cast<size_t>(size), format, args);
  va_end(args);
  if (wanted < 0) {
    buffer[0] = '\0';
    return 0;
  }
  return wanted < size ? wanted : size - 1;
}

void CConsoleVar::DumpLine(const char* format, ...) {
  if (g_pOutputRedir == nullptr) return;
  va_list args;
  va_start(args, format);
  g_pOutputRedir->ReportV(1, 1, nullptr, nullptr, 0, -1, format, args);
  va_end(args);
}

// ---------------------------------------------------------------------------------------------
// ConsoleInt

ConsoleInt::ConsoleInt(const char* name, int32_t value, uint32_t flags)
    : CConsoleVar(name, flags), Value(value) {}

bool ConsoleInt::Set(int32_t value) {
  if (!Accepts(&Value, &value, kConsoleVarInt)) return false;
  Value = value;
  return true;
}

bool ConsoleInt::SetFromString(const char* text) {
  if (text == nullptr) return false;
  const char* start = SkipSpace(text);
  const bool hex = start[0] == '0' && (start[1] == 'x' || start[1] == 'X');
  const int32_t value = hex ? ParseHex(start + 2) : ParseDecimal(start);
  if (Set(value)) Hex = hex;
  return true;
}

int ConsoleInt::ToString(char* buffer, int size) {
  if (Hex) return FormatBounded(buffer, size, "0x%x", static_cast<unsigned>(Value));
  return FormatBounded(buffer, size, "%d", Value);
}

void ConsoleInt::Dump() {
  DumpLine("%s [%" PRIXPTR "]: %i (ConsoleInt)\n", GetName(), reinterpret_cast<uintptr_t>(this),
           Value);
}

// ---------------------------------------------------------------------------------------------
// ConsoleFloat

ConsoleFloat::ConsoleFloat(const char* name, float value, uint32_t flags)
    : CConsoleVar(name, flags), Value(value) {}

bool ConsoleFloat::Set(float value) {
  if (!Accepts(&Value, &value, kConsoleVarFloat)) return false;
  Value = value;
  return true;
}

bool ConsoleFloat::SetFromString(const char* text) {
  if (text == nullptr) return false;
  Set(ParseFloat(text));
  return true;
}

int ConsoleFloat::ToString(char* buffer, int size) {
  return FormatBounded(buffer, size, "%g", static_cast<double>(Value));
}

void ConsoleFloat::Dump() {
  DumpLine("%s [%" PRIXPTR "]: %f (ConsoleFloat)\n", GetName(),
           reinterpret_cast<uintptr_t>(this), static_cast<double>(Value));
}

// ---------------------------------------------------------------------------------------------
// ConsoleString

ConsoleString::ConsoleString(const char* name, const char* value, uint32_t flags)
    : CConsoleVar(name, flags) {
  if (value == nullptr) return;
  m_pValue = CopyText(value);
  if (m_pValue != nullptr) m_Capacity = static_cast<uint32_t>(std::strlen(value) + 1);
}

ConsoleString::~ConsoleString() { delete[] m_pValue; }

bool ConsoleString::Set(const char* text) {
  if (text == nullptr || !Accepts(m_pValue, text, kConsoleVarString)) return false;
  const size_t needed = std::strlen(text) + 1;
  if (m_Capacity < needed) {
    delete[] m_pValue;
    m_pValue = new (std::nothrow) char[needed];
    m_Capacity = m_pValue != nullptr ? static_cast<uint32_t>(needed) : 0;
  }
  if (m_pValue == nullptr) return false;
  std::memcpy(m_pValue, text, needed);
  return true;
}

bool ConsoleString::SetFromString(const char* text) {
  if (text == nullptr) return false;
  Set(text);
  return true;
}

int ConsoleString::ToString(char* buffer, int size) {
  if (m_pValue == nullptr) {
    if (buffer != nullptr && size >= 1) buffer[0] = '\0';
    return 0;
  }
  return FormatBounded(buffer, size, "\"%s\"", m_pValue);
}

void ConsoleString::Dump() {
  DumpLine("%s [%" PRIXPTR "]: %s (ConsoleString)\n", GetName(),
           reinterpret_cast<uintptr_t>(this), m_pValue != nullptr ? m_pValue : "");
}

// Nothing reads it; kept with its default for tools that list the variables.
ConsoleFloat Sim_Time_Scale("Sim_Time_Scale", 1.0f, 2);
