#include "runtime/src/core/console_var.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string Print(CConsoleVar& variable) {
  char buffer[64];
  variable.ToString(buffer, sizeof(buffer));
  return buffer;
}

struct IntCase {
  const char* text;
  int32_t value;
  const char* printed;
};

class ConsoleIntParse : public ::testing::TestWithParam<IntCase> {};

TEST_P(ConsoleIntParse, StoresAndPrints) {
  const IntCase& c = GetParam();
  ConsoleInt variable("Test_Int_Parse", 77, 2);
  EXPECT_TRUE(variable.SetFromString(c.text));
  EXPECT_EQ(variable.Value, c.value);
  EXPECT_EQ(Print(variable), c.printed);
}

INSTANTIATE_TEST_SUITE_P(
    ConsoleVars, ConsoleIntParse,
    ::testing::Values(IntCase{"  0x1F", 31, "0x1f"}, IntCase{"12", 12, "12"},
                      IntCase{"0x", 0, "0x0"}, IntCase{"abc", 0, "0"},
                      IntCase{"-5", -5, "-5"}, IntCase{"\t 42abc", 42, "42"},
                      IntCase{"0XfFz9", 255, "0xff"}, IntCase{"0xFFFFFFFF", -1, "0xffffffff"},
                      IntCase{"99999999999", INT32_MAX, "2147483647"},
                      IntCase{"-99999999999", INT32_MIN, "-2147483648"}, IntCase{"", 0, "0"}));

struct FloatCase {
  const char* text;
  float value;
  const char* printed;
};

class ConsoleFloatParse : public ::testing::TestWithParam<FloatCase> {};

TEST_P(ConsoleFloatParse, StoresAndPrints) {
  const FloatCase& c = GetParam();
  ConsoleFloat variable("Test_Float_Parse", 9.0f, 2);
  EXPECT_TRUE(variable.SetFromString(c.text));
  EXPECT_EQ(variable.Value, c.value);
  EXPECT_EQ(Print(variable), c.printed);
}

INSTANTIATE_TEST_SUITE_P(ConsoleVars, ConsoleFloatParse,
                         ::testing::Values(FloatCase{"1.5", 1.5f, "1.5"},
                                           FloatCase{"  -2.25x", -2.25f, "-2.25"},
                                           FloatCase{"abc", 0.0f, "0"},
                                           FloatCase{"1e40", INFINITY, "inf"},
                                           FloatCase{"0.1", 0.1f, "0.1"}));

TEST(ConsoleVars, MissingTextIsRefused) {
  ConsoleInt i("Test_Missing_Int", 3, 2);
  ConsoleFloat f("Test_Missing_Float", 3.0f, 2);
  ConsoleString s("Test_Missing_String", "keep", 2);
  EXPECT_FALSE(i.SetFromString(nullptr));
  EXPECT_FALSE(f.SetFromString(nullptr));
  EXPECT_FALSE(s.SetFromString(nullptr));
  EXPECT_EQ(i.Value, 3);
  EXPECT_EQ(f.Value, 3.0f);
  EXPECT_STREQ(s.Get(), "keep");
}

TEST(ConsoleVars, StringPrintsQuotedAndNoneAsNothing) {
  ConsoleString named("Test_String_Print", "two words", 2);
  EXPECT_EQ(Print(named), "\"two words\"");
  ConsoleString none("Test_String_None", nullptr, 2);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(none.ToString(buffer, sizeof(buffer)), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(none.GetCapacity(), 0u);
  EXPECT_TRUE(none.Set("now"));
  EXPECT_EQ(Print(none), "\"now\"");
}

TEST(ConsoleVars, StringSetReallocatesOnlyWhenTooSmall) {
  ConsoleString variable("Test_String_Capacity", "abc", 2);
  EXPECT_EQ(variable.GetCapacity(), 4u);
  EXPECT_TRUE(variable.Set("a longer text"));
  EXPECT_STREQ(variable.Get(), "a longer text");
  EXPECT_EQ(variable.GetCapacity(), 14u);
  const char* buffer = variable.Get();
  EXPECT_TRUE(variable.Set("short"));
  EXPECT_EQ(variable.Get(), buffer);
  EXPECT_EQ(variable.GetCapacity(), 14u);
  EXPECT_STREQ(variable.Get(), "short");
}

// ToString always terminates and reports what it actually wrote.
struct BoundCase {
  int size;
  int written;
  const char* text;
};

class ConsoleToStringBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(ConsoleToStringBounds, CutsAndTerminates) {
  const BoundCase& c = GetParam();
  ConsoleInt variable("Test_Int_Bounds", 12345, 2);
  char buffer[16];
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(variable.ToString(buffer, c.size), c.written);
  EXPECT_STREQ(buffer, c.text);
}

INSTANTIATE_TEST_SUITE_P(ConsoleVars, ConsoleToStringBounds,
                         ::testing::Values(BoundCase{1, 0, ""}, BoundCase{3, 2, "12"},
                                           BoundCase{5, 4, "1234"}, BoundCase{6, 5, "12345"},
                                           BoundCase{16, 5, "12345"}));

TEST(ConsoleVars, ToStringWithoutRoomWritesNothing) {
  ConsoleInt variable("Test_Int_NoRoom", 1, 2);
  char buffer[4] = "abc";
  EXPECT_EQ(variable.ToString(nullptr, 8), 0);
  EXPECT_EQ(variable.ToString(buffer, 0), 0);
  EXPECT_STREQ(buffer, "abc");
}

// Validation: the callback sees the kind and both values, and a refusal keeps the value.
struct Seen {
  int calls = 0;
  int kind = -1;
  std::string current;
  std::string proposed;
};
Seen g_seen;

bool RefuseInts(const void* current, const void* proposed, int kind) {
  ++g_seen.calls;
  g_seen.kind = kind;
  g_seen.current = std::to_string(*static_cast<const int32_t*>(current));
  g_seen.proposed = std::to_string(*static_cast<const int32_t*>(proposed));
  return false;
}

bool RefuseFloatsAbove10(const void* current, const void* proposed, int kind) {
  ++g_seen.calls;
  g_seen.kind = kind;
  return *static_cast<const float*>(proposed) <= 10.0f;
}

bool RefuseLongTexts(const void* current, const void* proposed, int kind) {
  ++g_seen.calls;
  g_seen.kind = kind;
  g_seen.current = static_cast<const char*>(current);
  g_seen.proposed = static_cast<const char*>(proposed);
  return std::strlen(static_cast<const char*>(proposed)) < 5;
}

TEST(ConsoleVars, ValidationRefusalKeepsValueButSetFromStringSucceeds) {
  g_seen = Seen{};
  ConsoleInt number("Test_Validate_Int", 5, 2);
  number.SetValidationCallback(RefuseInts);
  EXPECT_TRUE(number.SetFromString("0x20"));
  EXPECT_EQ(number.Value, 5);
  EXPECT_EQ(Print(number), "5");  // a refused hex text does not switch the printing
  EXPECT_EQ(g_seen.kind, kConsoleVarInt);
  EXPECT_EQ(g_seen.current, "5");
  EXPECT_EQ(g_seen.proposed, "32");
  EXPECT_FALSE(number.Set(6));
  number = 7;  // direct writes bypass validation
  EXPECT_EQ(number.Value, 7);

  g_seen = Seen{};
  ConsoleFloat scale("Test_Validate_Float", 1.0f, 2);
  scale.SetValidationCallback(RefuseFloatsAbove10);
  EXPECT_TRUE(scale.SetFromString("11"));
  EXPECT_EQ(scale.Value, 1.0f);
  EXPECT_TRUE(scale.SetFromString("9.5"));
  EXPECT_EQ(scale.Value, 9.5f);
  EXPECT_EQ(g_seen.kind, kConsoleVarFloat);
  EXPECT_EQ(g_seen.calls, 2);

  g_seen = Seen{};
  ConsoleString text("Test_Validate_String", "ok", 2);
  text.SetValidationCallback(RefuseLongTexts);
  EXPECT_TRUE(text.SetFromString("too long"));
  EXPECT_STREQ(text.Get(), "ok");
  EXPECT_EQ(g_seen.kind, kConsoleVarString);
  EXPECT_EQ(g_seen.current, "ok");
  EXPECT_EQ(g_seen.proposed, "too long");
  EXPECT_FALSE(text.Set("still too long"));
  EXPECT_TRUE(text.Set("fine"));
  EXPECT_STREQ(text.Get(), "fine");
}

TEST(ConsoleVarRegistry, FindsByNameIgnoringCase) {
  ConsoleInt variable("Test_Registry_Find", 1, 2);
  EXPECT_EQ(ConsoleVar_Find("test_registry_FIND"), &variable);
  EXPECT_EQ(ConsoleVar_Find("Test_Registry_Missing"), nullptr);
  EXPECT_EQ(ConsoleVar_Find("Sim_Time_Scale"), &Sim_Time_Scale);
  EXPECT_EQ(Sim_Time_Scale.Value, 1.0f);
}

TEST(ConsoleVarRegistry, LaterDeclarationReplacesAndEitherDestructionRemoves) {
  const int before = ConsoleVar_Count();
  {
    auto earlier = std::make_unique<ConsoleInt>("Test_Case_Pair", 1, 2);
    ConsoleInt later("TEST_CASE_PAIR", 2, 2);
    EXPECT_EQ(ConsoleVar_Find("test_case_pair"), &later);
    EXPECT_EQ(ConsoleVar_Count(), before + 1);
    earlier.reset();  // removes the entry, although it refers to the later one
    EXPECT_EQ(ConsoleVar_Find("test_case_pair"), nullptr);
  }
  EXPECT_EQ(ConsoleVar_Count(), before);
  {
    ConsoleInt earlier("Test_Case_Pair", 1, 2);
    { ConsoleInt later("TEST_CASE_PAIR", 2, 2); }
    EXPECT_EQ(ConsoleVar_Find("test_case_pair"), nullptr);
  }
  EXPECT_EQ(ConsoleVar_Count(), before);
}

}  // namespace
