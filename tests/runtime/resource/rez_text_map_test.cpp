// Parsing of pack-set listings and splitting of record paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/src/libksresource/rez_map_format.h"
#include "tools/writers/pack_writer.h"

namespace {

// In these listings the packed file being read is named "a": records whose path is "a" hold
// their data in it, every other path names another file.
bool Names_A(const std::vector<std::string>& parts) { return parts == std::vector<std::string>{"a"}; }

RezTextMap Parse(const std::string& text, bool with_size = false) {
  RezByteSource source(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  RezTextMap map;
  Parse_Rez_Text_Map(source, with_size, map, Names_A);
  return map;
}

std::vector<std::string> Path_Of(const RezTextMap& map, const RezRecord& record) {
  std::vector<std::string> parts;
  for (uint16_t number : record.components) {
    if (number == 0) break;
    parts.push_back(map.components.at(number - 1));
  }
  return parts;
}

using Parts = std::vector<std::string>;

TEST(RezTextMap, CrlfLinesCommentsAndBothSlashesParse) {
  const std::string text =
      "# textures of the menu\r\n"
      "22000001 00020000 \"a\" \"./textures/a.tga\" 00000000\r\n"
      "#another comment\r\n"
      "2200abcD 01040506 \"b\" \"x\\y\" 0000001f\r\n"
      "22000003 00000000 \"c\" \".\\textures\\c.bin\" 00000100\r\n";
  RezTextMap map = Parse(text);
  ASSERT_EQ(map.records.size(), 3u);
  EXPECT_EQ(map.records[0].id, 0x22000001u);
  EXPECT_EQ(map.records[0].type, 2);
  EXPECT_EQ(map.records[0].flags, 0);
  EXPECT_EQ(map.records[0].size, kRezSizeToEnd);
  EXPECT_EQ(Path_Of(map, map.records[0]), (Parts{"textures", "a.tga"}));
  EXPECT_EQ(map.records[1].id, 0x2200ABCDu);
  EXPECT_EQ(map.records[1].flags, 1);
  EXPECT_EQ(map.records[1].type, 4);
  EXPECT_EQ(map.records[1].attributes[0], 5);
  EXPECT_EQ(map.records[1].attributes[1], 6);
  EXPECT_EQ(map.records[1].offset, 0x1Fu);
  EXPECT_EQ(Path_Of(map, map.records[1]), (Parts{"x", "y"}));
  EXPECT_EQ(Path_Of(map, map.records[2]), (Parts{"textures", "c.bin"}));
  // Component texts are shared and numbered in first-seen order.
  EXPECT_EQ(map.components, (Parts{"textures", "a.tga", "x", "y", "c.bin"}));
}

// After a record's last separator one further character is skipped, unless it already starts
// the next record. Every line end below must give all three records with their own fields, in
// a text map and in a packed file's listing alike.
TEST(RezTextMap, EveryLineEndReadsTheWholeListing) {
  struct Case {
    const char* name;
    std::string line_end;
    std::string last_line_end;  // after the third record
  };
  const Case cases[] = {
      {"CR LF", "\r\n", "\r\n"},
      {"semicolon LF", ";\n", ";\n"},
      {"LF alone", "\n", "\n"},
      {"CR alone", "\r", "\r"},
      {"tab tab", "\t\t", "\t\t"},
      {"space space", "  ", "  "},
      {"no final line end", "\r\n", ""},
      {"only a separator at the end", "\n", " "},
      {"comment after a one-character line end", "\n#note\n", "\n"},
  };
  for (bool with_size : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (with_size ? ", with sizes" : ", text map"));
      std::string text;
      for (uint32_t n = 1; n <= 3; ++n) {
        char line[96];
        std::snprintf(line, sizeof line, "2200000%u 0002000%u \"r%u\" \"dir/f%u.bin\" 0000%04X", n, n, n, n, 0x100 * n);
        text += line;
        if (with_size) text += " " + writers::Hex8(0x10 * n);
        text += n < 3 ? c.line_end : c.last_line_end;
      }
      if (with_size) text += '\x1A';  // a packed file's listing ends with its terminating byte
      const RezTextMap map = Parse(text, with_size);
      ASSERT_EQ(map.records.size(), 3u);
      EXPECT_TRUE(map.complete) << map.damage;
      for (uint32_t n = 1; n <= 3; ++n) {
        const RezRecord& record = map.records[n - 1];
        EXPECT_EQ(record.id, 0x22000000u + n);
        EXPECT_EQ(record.type, 2);
        EXPECT_EQ(record.attributes[1], n);
        EXPECT_EQ(record.offset, 0x100u * n);
        EXPECT_EQ(record.size, with_size ? 0x10u * n : kRezSizeToEnd);
        EXPECT_EQ(Path_Of(map, record), (Parts{"dir", "f" + std::to_string(n) + ".bin"}));
      }
    }
  }
}

// The listing says where and how it broke off: the line, the byte's offset, what was there and
// which field it spoiled.
TEST(RezTextMap, MalformedRecordEndsTheListKeepingEarlierOnes) {
  struct Case {
    const char* name;
    std::string second_line;
    bool at_end;  // the input ends inside the bad record
    const char* damage;
  };
  // The first line is 36 bytes long.
  const Case cases[] = {
      {"non-hex digit in id", "2200000G 00020000 \"b\" \"b\" 00000000\r\n", false,
       "at line 2 (byte 43) it holds 'G' where the resource id belongs"},
      {"short id", "2200002 00020000 \"b\" \"b\" 00000000\r\n", false,
       "at line 2 (byte 43) it holds byte 0x20 where the resource id belongs"},
      {"unquoted name", "22000002 00020000 b \"b\" 00000000\r\n", false,
       "at line 2 (byte 54) it holds 'b' where the quoted name belongs"},
      {"bad attribute digit", "22000002 0002X000 \"b\" \"b\" 00000000\r\n", false,
       "at line 2 (byte 49) it holds 'X' where the attribute word belongs"},
      {"name never closed", "22000002 00020000 \"b", true,
       "at line 2 (byte 56) it ends inside a record, where the quoted name belongs"},
      {"offset cut by the end", "22000002 00020000 \"b\" \"b\" 0000", true,
       "at line 2 (byte 66) it ends inside a record, where the offset belongs"},
      {"id cut by the end", "2200", true, "at line 2 (byte 40) it ends inside a record, where the resource id belongs"},
  };
  const std::string first = "22000001 00020000 \"a\" \"a\" 00000000\r\n";
  ASSERT_EQ(first.size(), 36u);
  for (const Case& c : cases) {
    RezTextMap map = Parse(first + c.second_line + (c.at_end ? "" : first));
    ASSERT_EQ(map.records.size(), 1u) << c.name;
    EXPECT_EQ(map.records[0].id, 0x22000001u) << c.name;
    EXPECT_FALSE(map.complete) << c.name;
    EXPECT_EQ(map.damage, c.damage) << c.name;
  }
}

// A listing that stops where it should is complete: the end of the input after a record or a
// comment, blank lines after the last record of a text map, an old end-of-file mark, and a
// packed file's terminating byte, whatever its line ends. Any byte that stops it with listing
// text after it is damage, named at that byte.
TEST(RezTextMap, ListingEndsProperlyOrSaysWhereItBrokeOff) {
  // 34 bytes; in a packed file it names another file, so the data's start is not known.
  const std::string line = "22000001 00020000 \"a\" \"b\" 00000000";
  // A packed file's line (43 bytes) whose 4 bytes of data lie at the offset.
  auto packed = [](uint32_t offset) { return "22000001 00020000 \"a\" \"a\" " + writers::Hex8(offset) + " 00000004"; };
  const std::string zero(1, '\0');
  struct Case {
    const char* name;
    std::string text;
    bool with_size;
    size_t records;
    const char* damage;  // empty: complete
  };
  const Case cases[] = {
      {"blank lines after the last record", line + "\r\n\r\n  \r\n", false, 1, ""},
      {"comment at the end without a line feed", line + "\r\n# the end", false, 1, ""},
      {"end-of-file mark", line + "\r\n\x1A", false, 1, ""},
      {"terminator after CR LF", line + " 00000004\r\n\x1A" + "0123", true, 1, ""},
      {"terminator after LF alone", line + " 00000004\n\x1A" + "0123", true, 1, ""},
      {"text after blank lines", line + "\r\n\r\nmore", false, 1,
       "at line 2 (byte 36) it holds byte 0x0D where the resource id belongs"},
      {"end-of-file mark before more records", line + "\r\n\x1A" + line + "\r\n", false, 1,
       "at line 2 (byte 36) it holds byte 0x1A where the resource id belongs"},
      {"end-of-file mark after the offset, before more records", line + "\x1A" + line + "\r\n", false, 1,
       "at line 1 (byte 34) it holds byte 0x1A where the line end belongs"},
      {"end-of-file mark followed by padding", line + "\r\n\x1A\r\n" + zero + "\x1A\n", false, 1, ""},
      {"packed listing without its terminator", line + " 00000004\r\nPK", true, 1,
       "at line 2 (byte 45) it holds 'P' where the resource id belongs"},
      {"packed file that ends after its listing", line + " 00000004\r\n", true, 1,
       "at line 2 (byte 45) the file ends before the byte that closes its listing"},
      {"packed file that ends inside its last line end", line + " 00000004", true, 1,
       "at line 1 (byte 43) the file ends before the byte that closes its listing"},
      {"empty packed file", "", true, 0, "at line 1 (byte 0) the file ends before the byte that closes its listing"},
      {"terminator right after the size", line + " 00000004\x1A" + "0123", true, 1, ""},
      {"terminator inside a record", line + " 00000004\r\n2200\x1A", true, 1,
       "at line 2 (byte 49) it holds byte 0x1A where the resource id belongs"},
      // Any byte ends a listing where a record begins when no listing text follows it: in a
      // packed file up to the first record's data, in a text map to its end.
      {"zero byte after CR LF, then the data", packed(46) + "\r\n" + zero + "0123", true, 1, ""},
      {"zero byte after LF alone, then data like a record", packed(45) + "\n" + zero + "22000002 0002", true, 1, ""},
      {"zero byte as the last separator, then the data", packed(44) + zero + "0123", true, 1, ""},
      {"other byte and zero padding, then the data", packed(50) + "\r\n\xFF" + zero + zero + zero + zero + "0123",
       true, 1, ""},
      {"zero byte before more listing", packed(200) + "\r\n" + zero + line + " 00000004\r\n\x1A", true, 1,
       "at line 2 (byte 45) it holds byte 0x00 where the resource id belongs"},
      // A terminator is the usual stop: listing text after it is damage all the same, padding up
      // to the data is not; data right after it is never read as listing.
      {"terminator before more listing", packed(200) + "\r\n\x1A" + line + " 00000004\r\n\x1A", true, 1,
       "at line 2 (byte 45) it holds byte 0x1A where the resource id belongs"},
      {"terminator after the size, before more listing", packed(200) + "\x1A\r\n" + line + " 00000004\r\n\x1A",
       true, 1, "at line 1 (byte 43) it holds byte 0x1A where the line end belongs"},
      {"terminator and padding, then the data", packed(49) + "\r\n\x1A\r\n" + zero + "0123", true, 1, ""},
      {"terminator, then data like a listing", packed(46) + "\r\n\x1A" + line + " 00000004\r\n", true, 1, ""},
      // Bytes before the data that are no record (those of a record that now names another
      // file) are no listing text.
      {"terminator, then bytes of no record", packed(50) + "\r\n\x1APK\x03\x04" + "0123", true, 1, ""},
      {"zero byte, then bytes of no record", packed(50) + "\r\n" + zero + "0123" + "0123", true, 1, ""},
      // Without own records the data's start is not known: the terminator ends the listing.
      {"terminator where no record lies in the file", line + " 00000004\r\n\x1A" + line + " 00000004\r\n", true, 1,
       ""},
      {"text map ending in a zero byte", line + "\r\n" + zero, false, 1, ""},
      {"text map ending in a zero byte and line ends", line + "\r\n" + zero + "\r\n", false, 1, ""},
      {"text after a text map's zero byte", line + "\r\n" + zero + "more", false, 1,
       "at line 2 (byte 36) it holds byte 0x00 where the resource id belongs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RezTextMap map = Parse(c.text, c.with_size);
    EXPECT_EQ(map.records.size(), c.records);
    EXPECT_EQ(map.complete, std::string(c.damage).empty());
    EXPECT_EQ(map.damage, c.damage);
  }
}

// A record's offset is a position in the file its path names. Only the packed file's own records
// say where its data begins: records of other files never end its listing, wherever their
// offsets point, and an own record whose offset lies inside the listing is left out and named,
// while the records after it are read.
TEST(RezTextMap, APackedListingIsReadWholeWhateverItsOffsetsSay) {
  constexpr int64_t kAfterListing = -1;  // the record's four bytes follow the listing, in this file
  struct Line {
    uint32_t id;
    std::string path;  // "a" is the packed file itself
    int64_t offset;
  };
  struct Case {
    const char* name;
    std::vector<Line> lines;
    bool terminator;
    std::vector<uint32_t> kept;
    std::vector<uint32_t> named;  // left out for an offset inside the listing
  };
  // Each line is 45 bytes, so three lines run to byte 135.
  const Case cases[] = {
      {"another file's record at an offset inside the listing ahead",
       {{1, "x", 60}, {2, "a", kAfterListing}, {3, "a", kAfterListing}}, true, {1, 2, 3}, {}},
      {"first record's data left behind, its path naming another file",
       {{1, "x", kAfterListing}, {2, "a", kAfterListing}, {3, "a", kAfterListing}}, true, {1, 2, 3}, {}},
      {"other files' records only, at any offsets", {{1, "x", 0}, {2, "x", 0x1000}, {3, "x", 100}}, true, {1, 2, 3},
       {}},
      {"other files' records and no terminator", {{1, "x", 50}, {2, "a", kAfterListing}, {3, "x", 91}}, false,
       {1, 2, 3}, {}},
      {"own offset inside the listing ahead, at the start of a later line",
       {{1, "a", kAfterListing}, {2, "a", 90}, {3, "a", kAfterListing}}, true, {1, 3}, {2}},
      {"own offset inside the next line", {{1, "a", 80}, {2, "a", kAfterListing}, {3, "a", kAfterListing}}, true,
       {2, 3}, {1}},
      {"own offset back at the listing's start", {{1, "a", kAfterListing}, {2, "a", 0}, {3, "a", kAfterListing}}, true,
       {1, 3}, {2}},
      {"own offset inside the listing and no terminator",
       {{1, "a", kAfterListing}, {2, "a", 90}, {3, "a", kAfterListing}}, false, {1, 3}, {2}},
      {"every own offset inside the listing", {{1, "a", 10}, {2, "a", 100}, {3, "x", 0}}, true, {3}, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t listing_size = c.lines.size() * 45 + (c.terminator ? 1 : 0);
    std::string text;
    std::string data;
    for (const Line& line : c.lines) {
      const bool after = line.offset == kAfterListing;
      const uint32_t offset = static_cast<uint32_t>(after ? listing_size + data.size() : line.offset);
      text += writers::TextMapLine(line.id, writers::AttributeWord(0, 2, 0, 0), "n", line.path, offset, true, 4);
      if (after) data += "0123";
    }
    ASSERT_EQ(text.size(), c.lines.size() * 45);
    if (c.terminator) text += '\x1A';
    const RezTextMap map = Parse(text + data, true);
    EXPECT_TRUE(map.complete) << map.damage;
    std::vector<uint32_t> kept;
    for (const RezRecord& record : map.records) kept.push_back(record.id);
    EXPECT_EQ(kept, c.kept);
    ASSERT_EQ(map.left_out.size(), c.named.size());
    for (size_t i = 0; i < c.named.size(); ++i) {
      const std::string& words = map.left_out[i].words;
      EXPECT_EQ(map.left_out[i].id, c.named[i]);
      EXPECT_NE(words.find("Resource ID (" + std::to_string(c.named[i]) + "): its offset"), std::string::npos)
          << words;
      EXPECT_NE(words.find("lies inside this file's own listing, which runs to byte 133; left out."),
                std::string::npos)
          << words;
    }
  }
}

// Data after a packed file's terminator is never read as listing, even when the listing's lines
// end in a line feed alone and the data looks like a record.
TEST(RezTextMap, DataAfterTheTerminatorIsNeverReadAsARecord) {
  const std::string record = "22000001 00020000 \"a\" \"packed_rezmap_0.pck\" 00000000 00000031\n";
  const std::string data = "22000099 00020000 \"x\" \"y\" 00000000 00000001\n";
  const RezTextMap map = Parse(record + "\x1A" + data, true);
  ASSERT_EQ(map.records.size(), 1u);
  EXPECT_EQ(map.records[0].id, 0x22000001u);
  EXPECT_TRUE(map.complete) << map.damage;
}

TEST(RezTextMap, EmptyInputGivesNoRecords) {
  EXPECT_TRUE(Parse("").records.empty());
  EXPECT_TRUE(Parse("# only a comment\r\n").records.empty());
  EXPECT_TRUE(Parse("").complete);
  EXPECT_TRUE(Parse("# only a comment\r\n").complete);
}

TEST(RezTextMap, PackedListingCarriesSizesAndStopsAtTheTerminator) {
  std::vector<writers::PackRecord> records(2);
  records[0].id = 0x22000010;
  records[0].type = 3;
  records[0].name = "sounds/a.wav";
  records[0].data = {'0', '1', '2', '3'};  // data that looks like hex digits must not parse
  records[1].id = 0x22000011;
  records[1].type = 2;
  records[1].name = "b";
  records[1].data.assign(100, 'A');
  records[1].compress = true;
  std::vector<writers::OutFile> files;
  ASSERT_TRUE(writers::BuildPackedSet(0, records, files));
  ASSERT_EQ(files.size(), 1u);
  const std::vector<uint8_t>& bytes = files[0].bytes;
  RezByteSource source(bytes.data(), bytes.size());
  RezTextMap map;
  Parse_Rez_Text_Map(source, true, map, [](const Parts& parts) { return parts == Parts{"packed_rezmap_0.pck"}; });
  ASSERT_EQ(map.records.size(), 2u);
  EXPECT_TRUE(map.complete) << map.damage;
  EXPECT_EQ(map.records[0].size, 4u);
  EXPECT_EQ(std::string(bytes.begin() + map.records[0].offset, bytes.begin() + map.records[0].offset + 4), "0123");
  EXPECT_EQ(map.records[1].flags & kRezFlagCompressed, kRezFlagCompressed);
  EXPECT_EQ(map.records[1].offset, map.records[0].offset + 4);
  EXPECT_EQ(map.records[1].offset + map.records[1].size, bytes.size());
  EXPECT_EQ(Path_Of(map, map.records[0]), (Parts{"packed_rezmap_0.pck"}));
}

TEST(RezTextMap, RecordWithAnOverlongPathIsLeftOutWithADiagnostic) {
  const std::string long_part(64, 'x');
  RezTextMap map = Parse(
      "22000001 00020000 \"a\" \"" + long_part + "/a\" 00000000\r\n"
      "22000002 00020000 \"b\" \"1/2/3/4/5/6/7/8/9/10/11\" 00000000\r\n"
      "22000003 00020000 \"c\" \"ok/c\" 00000000\r\n");
  ASSERT_EQ(map.records.size(), 1u);
  EXPECT_EQ(map.records[0].id, 0x22000003u);
  ASSERT_EQ(map.left_out.size(), 2u);
  EXPECT_EQ(map.left_out[0].id, 0x22000001u);
  EXPECT_NE(map.left_out[0].words.find("22000001"), std::string::npos);
  EXPECT_EQ(map.left_out[1].id, 0x22000002u);
  // The rejected paths add no component texts.
  EXPECT_EQ(map.components, (Parts{"ok", "c"}));
}

TEST(RezTextMap, RecordsTheManagerCannotServeAreLeftOut) {
  RezTextMap map = Parse(
      "22000001 00050000 \"type 5\" \"a\" 00000000\r\n"
      "22000002 02020000 \"size reader\" \"b\" 00000000\r\n"
      "22000003 01040000 \"fine\" \"c\" 00000000\r\n");
  ASSERT_EQ(map.records.size(), 1u);
  EXPECT_EQ(map.records[0].id, 0x22000003u);
  ASSERT_EQ(map.left_out.size(), 2u);
  EXPECT_EQ(map.left_out[0].id, 0x22000001u);
  EXPECT_EQ(map.left_out[1].id, 0x22000002u);
}

TEST(RezTextMap, PathSplitting) {
  struct Case {
    std::string path;
    bool fits;
    Parts parts;
  };
  const std::string max_part(63, 'm');
  const Case cases[] = {
      {"./textures/a.tga", true, {"textures", "a.tga"}},
      {"x/y", true, {"x", "y"}},
      {"/lead/slash", true, {"lead", "slash"}},
      {"\\lead\\back", true, {"lead", "back"}},
      {".\\dot\\back", true, {"dot", "back"}},
      {"a//b/", true, {"a", "b"}},
      {"", true, {}},
      {"Case/case", true, {"Case", "case"}},
      {max_part, true, {max_part}},
      {max_part + "m", false, {}},
      {"1/2/3/4/5/6/7/8/9/10", true, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"1/2/3/4/5/6/7/8/9/10/11", false, {}},
  };
  for (const Case& c : cases) {
    Parts parts;
    EXPECT_EQ(Split_Rez_Path(c.path, parts), c.fits) << c.path;
    EXPECT_EQ(parts, c.parts) << c.path;
  }
}

}  // namespace
