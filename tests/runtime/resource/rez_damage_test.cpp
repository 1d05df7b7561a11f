// What the resource manager says when the content on disk is damaged or is not what it should
// be: every refusal names the file (and the resource) and the cause, a damaged file is named
// once and its further resources only in the details, and nothing ever waits on a FIFO.
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <mutex>

#include "platform/system/debug.h"
#include "runtime/src/libksresource/rez_report.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/sound/sound_sample.h"
#include "tools/writers/style_writer.h"
#include "tools/writers/texture_writer.h"
#include "tools/writers/wav_writer.h"
#include "tests/runtime/resource/rez_test_support.h"
#include "tests/support/fifo_guard.h"

namespace {

using namespace reztest;

CSoundSample_Handler g_Sound_Handler_For_Tests;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Records what reaches stderr as errors and what goes to the debug channel.
class Said {
 public:
  Said() {
    plat::Set_Error_Recorder([this](const std::string& text) {
      std::lock_guard<std::mutex> hold(m_Lock);
      m_Errors.push_back(text);
    });
    plat::Set_Debug_Recorder([this](const std::string& text) {
      std::lock_guard<std::mutex> hold(m_Lock);
      m_Details.push_back(text);
    });
  }
  ~Said() {
    plat::Set_Error_Recorder(nullptr);
    plat::Set_Debug_Recorder(nullptr);
  }
  Said(const Said&) = delete;
  Said& operator=(const Said&) = delete;

  std::vector<std::string> Errors() {
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_Errors;
  }
  std::string All_Errors() {
    std::string all;
    for (const std::string& line : Errors()) all += line;
    return all;
  }
  // Error lines that contain the text.
  size_t Errors_With(const std::string& text) {
    const std::vector<std::string> errors = Errors();
    return std::count_if(errors.begin(), errors.end(),
                         [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }
  bool In_Details(const std::string& text) {
    std::lock_guard<std::mutex> hold(m_Lock);
    return std::any_of(m_Details.begin(), m_Details.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
  }
  // Why the resource was refused, as the first line of either channel that says it; empty when
  // none does.
  std::string Refusal_Of(uint32_t id) {
    std::lock_guard<std::mutex> hold(m_Lock);
    const std::string named = "Resource ID (" + writers::Hex8(id) + ")";
    for (const auto* lines : {&m_Errors, &m_Details}) {
      for (const std::string& line : *lines) {
        const size_t at = line.find(" was refused: ");
        if (at == std::string::npos || Lower(line).find(Lower(named)) == std::string::npos) continue;
        std::string why = line.substr(at + 14);
        while (!why.empty() && (why.back() == '\n' || why.back() == '.')) why.pop_back();
        return why;
      }
    }
    return "";
  }
  void Clear() {
    std::lock_guard<std::mutex> hold(m_Lock);
    m_Errors.clear();
    m_Details.clear();
  }

 private:
  std::mutex m_Lock;
  std::vector<std::string> m_Errors;
  std::vector<std::string> m_Details;
};

// A resource whose loader refuses bytes that start with "bad", saying why.
class PickyResource : public CRezResource {
 public:
  bool Load(CStream* stream, uint32_t* size) override {
    std::string bytes(*size, '\0');
    if (stream->Read(bytes.data(), *size) != *size) return false;
    if (bytes.rfind("bad", 0) == 0) {
      Rez_Note_Refusal("its bytes begin with \"bad\"");
      return false;
    }
    return true;
  }
  void Free() override {}
};

class PickyHandler : public CRezTypeHandler {
 public:
  CRezResource* Create() override { return new PickyResource; }
  void Destroy(CRezResource* resource) override { delete resource; }
};

class RezDamageTest : public RezFolderTest {
 protected:
  void SetUp() override {
    RezFolderTest::SetUp();
    RezMgr_Run_Prefetch_LoaderThread.Value = 0;  // these tests start many times; the loader is not used
  }
  // Four resources: a compressed texture, a plain renderable, a compressed sound, a plain style.
  std::vector<writers::PackRecord> Four() const {
    return {Record(0x22000001, 2, "tex/a", Pattern(3000, 1), true), Record(0x22000002, 4, "mesh/b", Pattern(2000, 2)),
            Record(0x22000003, 3, "snd/c", Pattern(5000, 3), true), Record(0x22000004, 1, "sty/d", Pattern(300, 4))};
  }
  // Where a record's data lies in its file, read from a start on the undamaged set.
  RezRecord Record_Of(uint32_t id) {
    EXPECT_TRUE(Init());
    const RezRecord* record = m_Manager.FindRecord(id, nullptr);
    RezRecord copy = record ? *record : RezRecord{};
    m_Manager.Term();
    return copy;
  }
  void Cut(const std::string& name, size_t size) {
    Bytes bytes = Read(name);
    ASSERT_LE(size, bytes.size());
    bytes.resize(size);
    ASSERT_TRUE(writers::WriteWholeFile(Path(name), bytes));
  }
  void Patch(const std::string& name, size_t at, const std::string& text) {
    Bytes bytes = Read(name);
    ASSERT_LE(at + text.size(), bytes.size());
    std::copy(text.begin(), text.end(), bytes.begin() + at);
    ASSERT_TRUE(writers::WriteWholeFile(Path(name), bytes));
  }
  // The byte offset of the listing line that names the id.
  size_t Line_Of(const std::string& name, uint32_t id) {
    const std::string text = Text(Read(name));
    const size_t at = text.find(writers::Hex8(id) + " ");
    EXPECT_NE(at, std::string::npos);
    return at;
  }
  void Fresh_Folder() {
    m_Manager.Term();
    std::filesystem::remove_all(m_Dir);
    std::filesystem::create_directory(m_Dir);
  }
};

// Damaged sets made with the content writers and then cut or patched: the start or the request
// fails, and what is said names the damaged file (and the resource) and how it is damaged.
TEST_F(RezDamageTest, EachDamagedSetNamesItsFileAndTheCause) {
  const std::string pck = "packed_rezmap_0.pck";
  struct Case {
    const char* name;
    bool packed;                    // the set's form
    std::function<void()> damage;   // applied to the written set
    uint32_t asked;                 // the resource then asked for
    std::vector<std::string> said;  // each in one error line ("@" stands for the root)
  };
  const Case cases[] = {
      {"packed file cut before a record's data", true,
       [&] { Cut(pck, Record_Of(0x22000004).offset - 10); }, 0x22000004,
       {"Allocate_Resource: Resource ID (22000004) lies past the end of its file @packed_rezmap_0.pck: it starts at "
        "byte"}},
      {"packed file cut inside a record's data", true,
       [&] { Cut(pck, Record_Of(0x22000004).offset + 100); }, 0x22000004,
       {"Allocate_Resource: Resource ID (22000004) runs past the end of its file @packed_rezmap_0.pck: it needs "
        "bytes"}},
      {"a digit of the packed listing spoiled", true,
       [&] { Patch(pck, Line_Of(pck, 0x22000003) + 3, "Z"); }, 0x22000003,
       {"@packed_rezmap_0.pck is damaged, so its listing stops early: at line 3 (byte",
        ") it holds 'Z' where the resource id belongs; only the 2 resources listed before that can be found."}},
      {"an end-of-file mark in place of the packed listing's second line end", true,
       [&] { Patch(pck, Line_Of(pck, 0x22000003) - 1, "\x1A"); }, 0x22000003,
       {"@packed_rezmap_0.pck is damaged, so its listing stops early: at line 2 (byte",
        ") it holds byte 0x1A where the resource id belongs; only the 2 resources listed before that can be found."}},
      {"an end-of-file mark in place of the text map's second line end", false,
       [&] { Patch("rezmap_0.ksa", Line_Of("rezmap_0.ksa", 0x22000003) - 1, "\x1A"); }, 0x22000003,
       {"@rezmap_0.ksa is damaged, so its listing stops early: at line 2 (byte",
        ") it holds byte 0x1A where the resource id belongs; only the 2 resources listed before that can be found."}},
      {"a quote of the text map missing", false,
       [&] {
         const std::string text = Text(Read("rezmap_0.ksa"));
         Patch("rezmap_0.ksa", text.find("\"loose0/snd/c\""), "_");
       },
       0x22000004,
       {"@rezmap_0.ksa is damaged, so its listing stops early: at line 3",
        "it holds '_' where the quoted path belongs"}},
      {"compressed bytes spoiled", true,
       [&] {
         const RezRecord record = Record_Of(0x22000001);
         Patch(pck, record.offset + record.size / 2, std::string(40, '\x5A'));
       },
       0x22000001,
       {"Allocate_Resource: Resource ID (22000001) does not expand (zlib error -3): its compressed data in "
        "@packed_rezmap_0.pck is damaged."}},
      {"a resource's file missing", false, [&] { std::filesystem::remove(Path("loose0/tex/a")); },
       0x22000001, {"Allocate_Resource: File (@loose0/tex/a) not found."}},
      {"a folder in place of a resource's file", false,
       [&] {
         std::filesystem::remove(Path("loose0/mesh/b"));
         std::filesystem::create_directory(Path("loose0/mesh/b"));
       },
       0x22000002, {"Allocate_Resource: File (@loose0/mesh/b) was not opened: it is a folder, not a regular file."}},
      {"bytes the loader refuses", true,
       [&] { Patch(pck, Record_Of(0x22000002).offset, "bad"); }, 0x22000002,
       {"Allocate_Resource: Resource ID (22000002) in @packed_rezmap_0.pck was refused: its bytes begin with "
        "\"bad\"."}},
  };
  PickyHandler picky;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.packed) {
      Write_Packed_Set(0, Four());
    } else {
      Write_Text_Set(0, Four());
    }
    c.damage();
    Said said;
    ASSERT_TRUE(m_Manager.Init(m_Root.c_str()));
    for (uint32_t type = 1; type < kRezTypeCount; ++type) m_Manager.SetTypeHandler(type, &picky);
    EXPECT_EQ(m_Manager.Get_Resource(c.asked, 0), nullptr);
    for (std::string expected : c.said) {
      for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, m_Root);
      EXPECT_EQ(said.Errors_With(expected), 1u) << expected << "\nsaid:\n" << said.All_Errors();
    }
    m_Manager.FreeResource(c.asked);
    Fresh_Folder();
  }
}

// A record's path names the file that holds its data and its offset is a position in that file:
// a packed listing whose records name other files, at any offsets, is read whole, and an own
// record whose offset points into the listing is named once, with the listing, and left out while
// the records after it are read.
TEST_F(RezDamageTest, APackedListingIsReadWholeWhereverItsRecordsDataLies) {
  const std::string pck = "packed_rezmap_0.pck";
  // Gives the record another path (as long as the packed file's name) and offset.
  auto repoint = [&](uint32_t id, const std::string& path, uint32_t offset) {
    const size_t path_field = Text(Read(pck)).find("\"" + pck + "\" ", Line_Of(pck, id)) + 1;
    Patch(pck, path_field, path);
    Patch(pck, path_field + pck.size() + 2, writers::Hex8(offset));
  };
  auto set_offset = [&](uint32_t id, uint32_t offset) { repoint(id, pck, offset); };
  // Moves the record's data to another file, at an offset that lies inside the packed listing.
  auto move_to = [&](uint32_t id, const std::string& file) {
    const RezRecord record = Record_Of(id);
    const uint32_t offset = static_cast<uint32_t>(Line_Of(pck, 0x22000003) - 8);
    const Bytes packed = Read(pck);
    Bytes moved(offset, 'x');
    moved.insert(moved.end(), packed.begin() + record.offset, packed.begin() + record.offset + record.size);
    ASSERT_TRUE(writers::WriteWholeFile(Path(file), moved));
    repoint(id, file, offset);
  };
  const std::string inside = "@packed_rezmap_0.pck: Resource ID (22000002): its offset ";
  struct Case {
    const char* name;
    std::function<void()> damage;
    std::vector<uint32_t> lost;
    std::string said;  // the one error line's start ("@" stands for the root); empty: nothing said
  };
  const Case cases[] = {
      {"first record's data in another file", [&] { move_to(0x22000001, "loose/extra_0000.bn"); }, {}, ""},
      {"offset pointing at a later line of the listing",
       [&] { set_offset(0x22000002, static_cast<uint32_t>(Line_Of(pck, 0x22000004))); }, {0x22000002}, inside},
      {"offset pointing back to the listing's start", [&] { set_offset(0x22000002, 0); }, {0x22000002}, inside},
      {"the packed file named by a link, offset inside the listing",
       [&] {
         std::filesystem::create_symlink(pck, Path("linked_to_pack0.pck"));
         repoint(0x22000002, "linked_to_pack0.pck", static_cast<uint32_t>(Line_Of(pck, 0x22000004)));
       },
       {0x22000002}, inside},
  };
  ASSERT_EQ(std::string("loose/extra_0000.bn").size(), pck.size());
  ASSERT_EQ(std::string("linked_to_pack0.pck").size(), pck.size());
  std::filesystem::create_directory(Path("loose"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<writers::PackRecord> four = Four();
    Write_Packed_Set(0, four);
    c.damage();
    std::filesystem::remove(Path("pack_map.map"));
    Said said;
    ASSERT_TRUE(Init());
    for (const writers::PackRecord& record : four) {
      if (std::count(c.lost.begin(), c.lost.end(), record.id)) continue;
      RecordingResource* resource = Get(record.id);
      ASSERT_NE(resource, nullptr) << std::hex << record.id << "\n" << said.All_Errors();
      EXPECT_EQ(resource->m_Bytes, record.data) << std::hex << record.id;
      m_Manager.FreeResource(record.id);
    }
    // A record left out was named with its listing: asked for, it is only a detail.
    for (uint32_t id : c.lost) EXPECT_EQ(Get(id), nullptr) << std::hex << id;
    std::string expected = c.said;
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, m_Root);
    const auto said_once_by = [&](Said& heard, const std::string& who) {
      const std::vector<std::string> errors = heard.Errors();
      ASSERT_EQ(errors.size(), 1u) << heard.All_Errors();
      EXPECT_EQ(errors[0].find(who + expected), 0u) << errors[0];
      EXPECT_NE(errors[0].find("lies inside this file's own listing, which runs to byte"), std::string::npos)
          << errors[0];
    };
    if (expected.empty()) {
      EXPECT_TRUE(said.Errors().empty()) << said.All_Errors();
    } else {
      said_once_by(said, "Build_Pack_Map: ");
    }
    m_Manager.Term();
    if (c.lost.empty()) continue;
    // At a later start the map is current; the first record asked for that it left out names it.
    Said later;
    ASSERT_TRUE(Init());
    for (uint32_t id : c.lost) EXPECT_EQ(Get(id), nullptr) << std::hex << id;
    said_once_by(later, "Get_Resource: ");
    m_Manager.Term();
  }
}

// A cut pack file is named at the first resource that meets the cut; the others it lost go to
// the details only, with their ids.
TEST_F(RezDamageTest, ADamagedFileIsNamedOnceAndItsOtherResourcesOnlyInTheDetails) {
  Write_Packed_Set(0, Four());
  Cut("packed_rezmap_0.pck", Record_Of(0x22000002).offset + 1);
  Said said;
  ASSERT_TRUE(Init());
  EXPECT_NE(Get(0x22000001), nullptr);
  for (uint32_t id : {0x22000002u, 0x22000003u, 0x22000004u, 0x22000003u}) EXPECT_EQ(Get(id), nullptr) << id;
  EXPECT_EQ(said.Errors().size(), 1u) << said.All_Errors();
  EXPECT_EQ(said.Errors_With("Resource ID (22000002) runs past the end of its file " + m_Root + "packed_rezmap_0.pck"),
            1u);
  EXPECT_TRUE(said.In_Details("Resource ID (22000003) lies past the end of its file"));
  EXPECT_TRUE(said.In_Details("Resource ID (22000004) lies past the end of its file"));
  // A new start names it again.
  m_Manager.Term();
  said.Clear();
  ASSERT_TRUE(Init());
  EXPECT_EQ(Get(0x22000004), nullptr);
  EXPECT_EQ(said.Errors_With("Resource ID (22000004) lies past the end of its file"), 1u) << said.All_Errors();
}

// The ids a damaged listing lost are accounted for by the one line that names the listing,
// whether the map is built at this start or was built from the damaged listing before.
TEST_F(RezDamageTest, IdsADamagedListingLostAreOnlyInTheDetails) {
  std::vector<writers::PackRecord> records = Four();
  records.push_back(Record(0x22000005, 2, "tex/e", Data("e")));
  Write_Packed_Set(0, records);
  Patch("packed_rezmap_0.pck", Line_Of("packed_rezmap_0.pck", 0x22000003), "-");
  const std::string listing_line = m_Root + "packed_rezmap_0.pck is damaged, so its listing stops early";
  for (bool map_built_before : {false, true}) {
    SCOPED_TRACE(map_built_before ? "map built at an earlier start" : "map built at this start");
    Said said;
    ASSERT_TRUE(Init());
    EXPECT_EQ(said.Errors_With(listing_line), map_built_before ? 0u : 1u) << said.All_Errors();
    ASSERT_NE(Get(0x22000002), nullptr);
    for (uint32_t id : {0x22000003u, 0x22000004u, 0x22000005u}) EXPECT_EQ(Get(id), nullptr) << id;
    EXPECT_EQ(said.Errors().size(), 1u) << said.All_Errors();
    EXPECT_EQ(said.Errors_With(listing_line), 1u) << said.All_Errors();
    for (const char* id : {"22000003", "22000004", "22000005"}) {
      EXPECT_TRUE(said.In_Details(std::string("Get_Resource: Resource ID (") + id + ") not found.")) << id;
    }
    m_Manager.FreeResource(0x22000002);
    m_Manager.Term();
  }
}

// A packed file cut inside its listing is named once at the start; its resources that the
// listing still holds, whose data the cut took too, are then details.
TEST_F(RezDamageTest, APackedFileCutInItsListingIsNamedOnceForAllItsResources) {
  Write_Packed_Set(0, Four());
  Cut("packed_rezmap_0.pck", Line_Of("packed_rezmap_0.pck", 0x22000003));
  Said said;
  ASSERT_TRUE(Init());
  for (uint32_t id : {0x22000001u, 0x22000002u, 0x22000003u}) EXPECT_EQ(Get(id), nullptr) << id;
  ASSERT_EQ(said.Errors().size(), 1u) << said.All_Errors();
  EXPECT_EQ(said.Errors_With(m_Root + "packed_rezmap_0.pck is damaged, so its listing stops early: at line 3 (byte " +
                             std::to_string(Read("packed_rezmap_0.pck").size()) +
                             ") the file ends before the byte that closes its listing; only the 2 resources listed "
                             "before that can be found."),
            1u);
  EXPECT_TRUE(said.In_Details("Resource ID (22000001) lies past the end of its file"));
  EXPECT_TRUE(said.In_Details("Resource ID (22000003) not found."));
}

// A listing that gives no resource at all is named once, at the start or at the first id asked
// of it, saying what is wrong with it; the ids then asked of it are only details.
TEST_F(RezDamageTest, AListingThatGivesNoResourceIsNamedOnce) {
  const std::string left_out = writers::TextMapLine(0x22000001, writers::AttributeWord(0, 9, 0, 0), "a", "a", 0, false, 0) +
                               writers::TextMapLine(0x22000002, writers::AttributeWord(2, 2, 0, 0), "b", "b", 0, false, 0);
  struct Case {
    const char* name;
    const char* file;
    std::string listing;
    std::vector<std::string> said;  // every error line, in order ("@" stands for the root)
  };
  const Case cases[] = {
      {"empty text map", "rezmap_0.ksa", "",
       {"Init: @rezmap_0.ksa is empty: it lists no resources, so none of them can be found.\n"}},
      {"text map of comments", "rezmap_0.ksa", "# nothing yet\r\n\r\n",
       {"Init: @rezmap_0.ksa is empty: it lists no resources, so none of them can be found.\n"}},
      {"packed file of its terminator alone", "packed_rezmap_0.pck", "\x1A",
       {"Init: @packed_rezmap_0.pck is empty: it lists no resources, so none of them can be found.\n"}},
      {"text map whose every record is left out", "rezmap_0.ksa", left_out,
       {"Build_Pack_Map: @rezmap_0.ksa: Resource ID (22000001): unknown type 9 (0 to 4); left out.\n",
        "Init: @rezmap_0.ksa lists no resource this program can use (2 left out), so none of them can be found.\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write_File(c.file, c.listing);
    std::vector<std::string> expected = c.said;
    for (std::string& line : expected) {
      for (size_t at; (at = line.find('@')) != std::string::npos;) line.replace(at, 1, m_Root);
    }
    for (bool map_built_before : {false, true}) {
      SCOPED_TRACE(map_built_before ? "map built at an earlier start" : "map built at this start");
      Said said;
      ASSERT_TRUE(Init());
      for (uint32_t id : {0x22000001u, 0x22000002u, 0x22000003u}) EXPECT_EQ(Get(id), nullptr);
      std::vector<std::string> lines = said.Errors();
      if (map_built_before) {
        // The map was current: only the listing is named, when the first id is not found.
        expected.erase(expected.begin(), expected.end() - 1);
        expected.back().replace(0, 4, "Get_Resource");
      }
      EXPECT_EQ(lines, expected);
      EXPECT_TRUE(said.In_Details("Get_Resource: Resource ID (22000003) not found."));
      m_Manager.Term();
    }
    Fresh_Folder();
  }
}

// A listing whose files are not there (its folder of resources missing) names the first
// missing file, then once the listing; the other files only in the details.
TEST_F(RezDamageTest, MissingFilesOfAListingAreNamedOnceWithTheListing) {
  Write_Text_Set(0, Four());
  std::filesystem::remove_all(Path("loose0"));
  Said said;
  ASSERT_TRUE(Init());
  for (uint32_t id : {0x22000001u, 0x22000002u, 0x22000003u, 0x22000004u, 0x22000002u}) {
    EXPECT_EQ(Get(id), nullptr) << id;
  }
  const std::vector<std::string> expected = {
      "Allocate_Resource: File (" + m_Root + "loose0/tex/a) not found.\n",
      "Allocate_Resource: " + m_Root + "rezmap_0.ksa lists more files that are not there; each is named under "
      "VORTHANE_DEBUG=1.\n"};
  EXPECT_EQ(said.Errors(), expected);
  for (const char* file : {"mesh/b", "snd/c", "sty/d"}) {
    EXPECT_TRUE(said.In_Details("Allocate_Resource: File (" + m_Root + "loose0/" + file + ") not found.")) << file;
  }
}

// A listing too large for a pack map fails the start naming the listing and what it holds.
TEST_F(RezDamageTest, AListingTooLargeForItsMapFailsTheStartNamingIt) {
  std::string listing;
  for (uint32_t n = 0; n <= 0xFFFF; ++n) {
    listing += writers::TextMapLine((n << 10) | 0x1, writers::AttributeWord(0, 2, 0, 0), "a", "a", 0, false, 0);
  }
  Write_File("rezmap_0.ksa", listing);
  Write_File("a", "x");
  Said said;
  EXPECT_FALSE(Init());
  const std::string why = "cannot build pack map " + m_Root + "pack_map.map: " + m_Root +
                          "rezmap_0.ksa lists more than 65535 resources whose ids end in the same ten bits (0x001), "
                          "more than a pack map can hold";
  EXPECT_EQ(said.Errors(), std::vector<std::string>{"Init: " + why + ".\n"});
  EXPECT_EQ(m_Manager.Init_Failure(), why);
}

// Texture data of one colour: every pixel of every level of every image the same four bytes.
Bytes One_Colour_Texture(uint8_t version, uint16_t side_x, uint16_t side_y, uint32_t colour, uint16_t levels = 1) {
  writers::TextureDataHeader header;
  header.version = version;
  header.width = side_x;
  header.height = side_y;
  header.mip_count = levels;
  const int images = version == writers::kTextureVersionCube ? 6 : 1;
  size_t pixels = 0;
  for (int level = 0; level < levels; ++level) pixels += size_t(side_x >> level) * size_t(side_y >> level);
  Bytes block(pixels * 4);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(colour >> (8 * (i % 4)));
  return writers::BuildTextureData(header, std::vector<Bytes>(images, block), {});
}

// A RIFF WAVE sound of 16-bit mono samples, all silent.
Bytes Silent_Sound(size_t frames) { return writers::EncodeWav(std::vector<int16_t>(frames, 0), 1, 22050); }

// A silent sound of `frames` frames whose data chunk states `stated` bytes.
Bytes Overstated_Sound(size_t frames, uint32_t stated) {
  Bytes wav = Silent_Sound(frames);
  for (int i = 0; i < 4; ++i) wav[40 + i] = static_cast<uint8_t>(stated >> (8 * i));
  return wav;
}

// The loaders the game installs for each kind, on the test's manager.
void Install_Kind_Loaders(CRezMgr& manager) {
  manager.SetTypeHandler(kRezType_RenderStyle, &g_RenderStyleFactory);
  manager.SetTypeHandler(kRezType_Texture, &g_TextureDataFactory);
  manager.SetTypeHandler(kRezType_Sound, &g_Sound_Handler_For_Tests);
  manager.SetTypeHandler(kRezType_RenderObject, &g_RenderableFactory);
}

// A packed file whose listing ends in a zero byte instead of its usual terminator is whole: it
// starts without a word, and a one-colour texture of 4096 x 2048 pixels and a one-colour cube
// map of 1024-pixel faces with eight levels, each compressed to a tiny fraction of its size, load whole.
TEST_F(RezDamageTest, AListingEndingInAZeroByteServesBigOneColourTextures) {
  const uint32_t colour = 0xFF4080C0;
  Write_Packed_Set(0, {Record(0x22000001, 2, "tex/wide", One_Colour_Texture(18, 4096, 2048, colour), true),
                       Record(0x22000002, 2, "tex/cube", One_Colour_Texture(21, 1024, 1024, colour, 8), true),
                       Record(0x22000003, 1, "sty/d", Pattern(300, 4))});
  const RezRecord first = Record_Of(0x22000001);
  const std::string pck = "packed_rezmap_0.pck";
  ASSERT_EQ(Read(pck).at(first.offset - 1), writers::kPackedMapTerminator);
  Patch(pck, first.offset - 1, std::string(1, '\0'));
  std::filesystem::remove(Path("pack_map.map"));
  Said said;
  ASSERT_TRUE(Init());
  Install_Kind_Loaders(m_Manager);
  auto* wide = static_cast<CTextureData*>(m_Manager.Get_Resource(0x22000001, 2));
  auto* cube = static_cast<CTextureData*>(m_Manager.Get_Resource(0x22000002, 2));
  EXPECT_NE(m_Manager.Get_Resource(0x22000003, 1), nullptr);
  EXPECT_TRUE(said.Errors().empty()) << said.All_Errors();
  ASSERT_NE(wide, nullptr);
  ASSERT_NE(cube, nullptr);
  EXPECT_LT(first.size, 64u * 1024) << "stored in a tiny fraction of its 32 MB";
  EXPECT_EQ(wide->m_pImage->m_Width, 4096);
  EXPECT_EQ(wide->m_pImage->m_Height, 2048);
  EXPECT_EQ(cube->m_pImage->GetImageCount(), 6u);
  // The last pixel of each holds the colour: every byte arrived.
  uint32_t last = 0;
  std::memcpy(&last, wide->m_pImage->GetLevel(0, 0) + (size_t{4096} * 2048 - 1) * 4, 4);
  EXPECT_EQ(last, colour);
  std::memcpy(&last, cube->m_pImage->GetLevel(5, 7) + (size_t{8} * 8 - 1) * 4, 4);
  EXPECT_EQ(last, colour);
  for (uint32_t id : {0x22000001u, 0x22000002u, 0x22000003u}) m_Manager.FreeResource(id);
}

// A compressed record may expand as far as its own kind can hold, whatever its ratio: the
// bound is told by the expanded head (a texture's header and fields, a sound's chunks, a
// style's counts), and a head the loader refuses stops the expansion at once, named with the
// loader's reason. Past the bound (and 1 MB after it) the record is refused, named with it.
TEST_F(RezDamageTest, CompressedRecordsExpandAsFarAsTheirKindCanHold) {
  Bytes small_texture = One_Colour_Texture(18, 64, 64, 0xFF0000FF);
  const size_t small_texture_size = small_texture.size();
  small_texture.resize(small_texture.size() + (4u << 20));
  Bytes small_sound = Silent_Sound(1000);
  const size_t small_sound_size = small_sound.size();
  small_sound.resize(small_sound.size() + (4u << 20));
  Bytes zeros_cut = Compressed_Zeros(36u << 20);
  // Cut short, so that only an expansion stopped at its head can be refused for what it holds.
  zeros_cut.resize(zeros_cut.size() - 16);
  Bytes long_sound;
  ASSERT_TRUE(writers::Compress(Silent_Sound(12u << 20), long_sound));
  // Data chunks (at byte 36) that state more than they hold: 2 GB, more than the compressed
  // bytes can give, and 1000 bytes more than the 20 MB held (more than is kept as it is made).
  Bytes overstated_sound;
  ASSERT_TRUE(writers::Compress(Overstated_Sound(10u << 20, 0x80000000u), overstated_sound));
  const uint64_t most_from_overstated = (overstated_sound.size() + 1) * 1032 - 44;
  Bytes short_sound;
  ASSERT_TRUE(writers::Compress(Overstated_Sound(10u << 20, (20u << 20) + 1000), short_sound));
  auto compress = [](const Bytes& plain) {
    Bytes packed;
    EXPECT_TRUE(writers::Compress(plain, packed));
    return packed;
  };
  writers::TextureDataHeader huge_array;
  huge_array.version = writers::kTextureVersionArray;
  huge_array.width = huge_array.height = 4096;
  huge_array.image_count = 256;
  const uint64_t huge_array_size = 40 + uint64_t{256} * 4096 * 4096 * 4;
  const std::string allowance = " and 1048576 bytes after them; refused.";
  struct Case {
    const char* name;
    uint8_t type;
    Bytes stored;
    bool loads;
    std::string said;  // "@" stands for the resource's file
  };
  const Case cases[] = {
      {"long near-silent sound", 3, long_sound, true, ""},
      {"sound of zeros", 3, zeros_cut, false,
       "in @ was refused: a sound the player cannot read: it does not begin with \"RIFF\", a size and \"WAVE\"."},
      {"sound whose head states more samples than its stream can give", 3, overstated_sound, false,
       "in @ was refused: a sound the player cannot read: its \"data\" chunk at byte 36 states 2147483648 bytes "
       "where no more than " + std::to_string(most_from_overstated) + " can follow from its " +
           std::to_string(overstated_sound.size()) + " compressed bytes."},
      {"sound whose head states more samples than it holds", 3, short_sound, false,
       "in @ was refused: a sound the player cannot read: its \"data\" chunk at byte 36 states 20972520 bytes "
       "where 20971520 follow."},
      {"sound running past its chunks", 3, compress(small_sound), false,
       "in @ expands past " + std::to_string(small_sound_size + (1u << 20)) + " bytes, more than its RIFF WAVE sound (" +
           std::to_string(small_sound_size) + " bytes)" + allowance},
      {"texture of zeros", 2, Compressed_Zeros(40u << 20), false,
       "in @ was refused: texture data of unknown version 0 (18, 21 or 23)."},
      {"texture running past its pixels", 2, compress(small_texture), false,
       "in @ expands past " + std::to_string(small_texture_size + (1u << 20)) +
           " bytes, more than its texture data of 64 x 64 pixels in format 1, 1 level(s) of 1 image(s) (" +
           std::to_string(small_texture_size) + " bytes)" + allowance},
      {"texture array larger than a resource can hold", 2, compress(writers::BuildTextureData(huge_array, {}, {})),
       false,
       "in @ was refused: texture data of 4096 x 4096 pixels in format 1, 1 level(s) of 256 image(s) (" +
           std::to_string(huge_array_size) + " bytes) is more than the 4294967295 bytes a resource can hold."},
      {"render style of zeros", 1, Compressed_Zeros(4u << 20), false,
       "in @ expands past 1048596 bytes, more than its render style header of another kind" + allowance},
      {"renderable of zeros", 4, Compressed_Zeros(4u << 20), false,
       "in @ was refused: renderable of unknown kind 0 (4 rigid or 5 skinned)."},
  };
  const uint32_t first_id = 0x22000010;
  std::string listing;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = "z" + std::to_string(i);
    ASSERT_TRUE(writers::WriteWholeFile(Path(name), cases[i].stored));
    listing += writers::TextMapLine(first_id + i, writers::AttributeWord(1, cases[i].type, 0, 0), name, name, 0,
                                    false, 0);
  }
  Write_File("rezmap_0.ksa", listing);
  Said said;
  ASSERT_TRUE(Init());
  Install_Kind_Loaders(m_Manager);
  int refused = 0;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    said.Clear();
    CRezResource* resource = m_Manager.Get_Resource(first_id + i, 0);
    EXPECT_EQ(resource != nullptr, c.loads);
    if (c.loads) {
      EXPECT_TRUE(said.Errors().empty()) << said.All_Errors();
    } else {
      // The listing's first file whose bytes are refused is named on stderr; the second only in
      // the details, with one line saying that the listing lists more; the others only there.
      ++refused;
      std::string expected = c.said;
      expected.replace(expected.find('@'), 1, Path("z" + std::to_string(i)));
      EXPECT_TRUE(said.In_Details(expected)) << expected << "\nsaid:\n" << said.All_Errors();
      const std::vector<std::string> errors = said.Errors();
      if (refused == 1) {
        EXPECT_EQ(said.Errors_With(expected), 1u) << expected << "\nsaid:\n" << said.All_Errors();
        EXPECT_EQ(errors.size(), 1u) << said.All_Errors();
      } else if (refused == 2) {
        EXPECT_EQ(errors, std::vector<std::string>{"Allocate_Resource: " + m_Root +
                                                   "rezmap_0.ksa lists more resources whose bytes are refused; each "
                                                   "is named under VORTHANE_DEBUG=1.\n"});
      } else {
        EXPECT_TRUE(errors.empty()) << said.All_Errors();
      }
    }
    m_Manager.FreeResource(first_id + i);
  }
}

// A FIFO in place of a content file is refused at once (a test that waits on it fails after
// the guard's limit instead of hanging), with one line naming it; the start goes on as it does
// without the file.
TEST_F(RezDamageTest, AFifoInPlaceOfAContentFileIsRefusedAtOnceAndNamed) {
  struct Case {
    const char* name;
    const char* fifo;
    bool text_set;  // a text-map set is written first
    bool starts;
    uint32_t asked;  // requested after the start; 0 for none
    bool served;
    std::string said;  // "@" stands for the root
  };
  const Case cases[] = {
      {"pack map", "pack_map.map", true, true, 0x22000001, true,
       "Init: pack map @pack_map.map cannot be read: it is a FIFO, not a regular file; rebuil"},
      {"packed file beside a text map", "packed_rezmap_0.pck", true, true, 0x22000001, true,
       "Build_Pack_Map: @packed_rezmap_0.pck was not opened: it is a FIFO, not a regular file; it is not used."},
      {"packed file alone", "packed_rezmap_0.pck", false, false, 0, false,
       "Init: cannot build pack map @pack_map.map: no source: @packed_rezmap_0.pck was not opened: it is a FIFO, not "
       "a regular file."},
      {"text map alone", "rezmap_0.ksa", false, false, 0, false,
       "no source: @rezmap_0.ksa was not opened: it is a FIFO, not a regular file."},
      {"second set's packed file", "packed_rezmap_1.pck", true, true, 0x22000001, true,
       "Init: @packed_rezmap_1.pck was not opened: it is a FIFO, not a regular file; it is not used."},
      {"a resource's file", "loose0/mesh/b", true, true, 0x22000002, false,
       "Allocate_Resource: File (@loose0/mesh/b) was not opened: it is a FIFO, not a regular file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.text_set) Write_Text_Set(0, Four());
    const std::string fifo = Path(c.fifo);
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Said said;
    bool started = false;
    CRezResource* served = nullptr;
    EXPECT_TRUE(vt_test::Returns_Without_Waiting(fifo, [&] {
      started = Init();
      if (started && c.asked) served = m_Manager.Get_Resource(c.asked, 0);
    }));
    EXPECT_EQ(started, c.starts);
    EXPECT_EQ(served != nullptr, c.served);
    std::string expected = c.said;
    for (size_t at; (at = expected.find('@')) != std::string::npos;) expected.replace(at, 1, m_Root);
    EXPECT_EQ(said.Errors_With(expected), 1u) << "said:\n" << said.All_Errors();
    EXPECT_EQ(said.Errors_With(c.fifo), 1u) << "one line names it\n" << said.All_Errors();
    if (served) m_Manager.FreeResource(c.asked);
    Fresh_Folder();
  }
}

TEST_F(RezDamageTest, ARawFileThatIsAFifoIsRefusedAtOnceAndNamed) {
  Write_Text_Set(0, {Record(0x22000001, 0, "worlds/w", Data("world")), Record(0x22000002, 0, "tracks/t", Data("t"))});
  ASSERT_TRUE(Init());
  const std::string fifo = Path("loose0/tracks/t");
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Said said;
  CFileStream* stream = reinterpret_cast<CFileStream*>(1);
  EXPECT_TRUE(vt_test::Returns_Without_Waiting(fifo, [&] { stream = m_Manager.OpenRawFile(0x22000002); }));
  EXPECT_EQ(stream, nullptr);
  ASSERT_EQ(said.Errors().size(), 1u) << said.All_Errors();
  EXPECT_EQ(said.Errors_With("OpenRawFile: File (" + fifo + ") was not opened: it is a FIFO, not a regular file."), 1u)
      << said.All_Errors();
  CFileStream* world = m_Manager.OpenRawFile(0x22000001);
  ASSERT_NE(world, nullptr);
  m_Manager.CloseRawFile(world);
}

// A compressed record too short for its kind's head is judged on the bytes it expanded, never
// on what an earlier, larger record of another kind left in the expansion buffer, and a record
// stored plain on its own bytes, never on the record after it: both forms of the same bytes give
// the same outcome.
TEST_F(RezDamageTest, ARecordShorterThanItsKindsHeadIsJudgedOnItsOwnBytes) {
  const Bytes texture = One_Colour_Texture(18, 64, 64, 0xFF102030);
  const Bytes sound = Silent_Sound(4000);
  const Bytes style = writers::WriteRenderStyle({});
  const Bytes cut_texture(texture.begin(), texture.begin() + 25);  // the header and part of the fields
  const Bytes cut_pixels(texture.begin(), texture.end() - 100);     // its last 100 bytes of pixels missing
  const Bytes cut_sound(sound.begin(), sound.begin() + 20);        // "RIFF", its size, "WAVE", part of "fmt "
  const Bytes cut_style(style.begin(), style.begin() + 10);
  const Bytes cut_renderable(22, 0);                                // the header and half the kind
  struct Case {
    const char* name;
    uint8_t type;
    Bytes bytes;
    std::string outcome;  // why it is refused, or "loaded"
  };
  const Case cases[] = {
      {"texture of no bytes", 2, {}, "texture data shorter than its header"},
      {"texture of one byte", 2, {18}, "texture data shorter than its header"},
      {"texture cut in its fields", 2, cut_texture, "texture data shorter than its fields"},
      {"texture cut in its pixels", 2, cut_pixels,
       "texture data whose 64 x 64 pixels need 16384 bytes where " + std::to_string(16384 - 100) + " follow"},
      {"sound of no bytes", 3, {}, "a sound of no bytes"},
      {"sound of one byte", 3, {'R'}, "loaded"},
      {"sound cut in its head", 3, cut_sound, "loaded"},
      {"style of no bytes", 1, {}, "loaded"},
      {"style of one byte", 1, {5}, "loaded"},
      {"style cut in its head", 1, cut_style, "loaded"},
      {"renderable of no bytes", 4, {}, "renderable shorter than its header and kind"},
      {"renderable of one byte", 4, {0}, "renderable shorter than its header and kind"},
      {"renderable cut in its head", 4, cut_renderable, "renderable shorter than its header and kind"},
  };
  // Larger records of other kinds, loaded just before: a sound (its "R" was read as a texture's
  // version) and, before a sound, a texture.
  constexpr uint32_t kBigSound = 0x22000001;
  constexpr uint32_t kBigTexture = 0x22000002;
  constexpr uint32_t kPacked = 0x22000100;  // + the case's number
  constexpr uint32_t kPlain = 0x22000200;
  std::vector<writers::PackRecord> records = {Record(kBigSound, 3, "big/sound", Silent_Sound(30000), true),
                                              Record(kBigTexture, 2, "big/texture", texture, true)};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string name = std::to_string(i);
    records.push_back(Record(kPacked + i, cases[i].type, "packed/" + name, cases[i].bytes, true));
    records.push_back(Record(kPlain + i, cases[i].type, "plain/" + name, cases[i].bytes, false));
  }
  Write_Packed_Set(0, records);
  Said said;
  ASSERT_TRUE(Init());
  Install_Kind_Loaders(m_Manager);
  auto outcome = [&](uint32_t id) {
    CRezResource* resource = m_Manager.Get_Resource(id, 0);
    m_Manager.FreeResource(id);
    return resource ? std::string("loaded") : said.Refusal_Of(id);
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    const uint32_t before = c.type == 3 ? kBigTexture : kBigSound;
    ASSERT_NE(m_Manager.Get_Resource(before, 0), nullptr);
    m_Manager.FreeResource(before);
    EXPECT_EQ(outcome(kPacked + i), c.outcome) << "compressed";
    EXPECT_EQ(outcome(kPlain + i), c.outcome) << "stored plain";
  }
}

// A large expansion gives its buffer back after its load; the buffer of ordinary loads is kept
// from one load to the next.
TEST_F(RezDamageTest, AHugeExpansionGivesItsBufferBackAfterItsLoad) {
  Write_Packed_Set(0, {Record(0x22000001, 3, "snd/long", Silent_Sound(24u << 20), true),
                       Record(0x22000002, 2, "tex/small", One_Colour_Texture(18, 256, 256, 0xFF00FF00), true)});
  ASSERT_TRUE(Init());
  Install_Kind_Loaders(m_Manager);
  ASSERT_NE(m_Manager.Get_Resource(0x22000002, 0), nullptr);
  const uint64_t ordinary = m_Manager.Load_Buffer_Bytes();
  ASSERT_NE(m_Manager.Get_Resource(0x22000001, 0), nullptr);
  EXPECT_LE(m_Manager.Load_Buffer_Bytes(), ordinary) << "the 48 MB expansion's buffer was given back";
  m_Manager.FreeResource(0x22000002);
  ASSERT_NE(m_Manager.Get_Resource(0x22000002, 0), nullptr);
  EXPECT_EQ(m_Manager.Load_Buffer_Bytes(), ordinary);
  for (uint32_t id : {0x22000001u, 0x22000002u}) m_Manager.FreeResource(id);
}

// Records a listing leaves out of its map (an unknown type, a path of eleven components) are
// named with the listing once: at the start that builds the map, or, when the map was built at
// an earlier start, with the first of them asked for. Their ids are then only details.
TEST_F(RezDamageTest, IdsAListingLeftOutAreNamedWithTheListingOnce) {
  const std::string listing =
      writers::TextMapLine(0x22000001, writers::AttributeWord(0, 9, 0, 0), "a", "a", 0, false, 0) +
      writers::TextMapLine(0x22000002, writers::AttributeWord(0, 2, 0, 0), "b", "1/2/3/4/5/6/7/8/9/10/b", 0, false, 0) +
      writers::TextMapLine(0x22000003, writers::AttributeWord(0, 2, 0, 0), "c", "c", 0, false, 0);
  Write_File("rezmap_0.ksa", listing);
  Write_File("c", "texture bytes");
  const std::string unknown_type = "rezmap_0.ksa: Resource ID (22000001): unknown type 9 (0 to 4); left out.\n";
  const std::string long_path = "rezmap_0.ksa: Resource ID (22000002): path has more than 10 components";
  for (bool map_built_before : {false, true}) {
    SCOPED_TRACE(map_built_before ? "map built at an earlier start" : "map built at this start");
    Said said;
    ASSERT_TRUE(Init());
    for (uint32_t id : {0x22000002u, 0x22000001u, 0x22000002u}) EXPECT_EQ(Get(id), nullptr) << id;
    EXPECT_NE(Get(0x22000003), nullptr);
    std::vector<std::string> errors = said.Errors();
    // The build names them, or else the first asked for: one with its reason, then the count.
    const std::string who = map_built_before ? "Get_Resource: " : "Build_Pack_Map: ";
    ASSERT_EQ(errors.size(), 2u) << said.All_Errors();
    if (map_built_before) {
      EXPECT_EQ(errors[0].rfind(who + m_Root + long_path, 0), 0u) << errors[0];
      EXPECT_TRUE(said.In_Details(who + m_Root + unknown_type));
    } else {
      EXPECT_EQ(errors[0], who + m_Root + unknown_type);
    }
    EXPECT_EQ(errors[1],
              who + m_Root + "rezmap_0.ksa: 2 records are left out in all (each is named under VORTHANE_DEBUG=1).\n");
    for (const char* id : {"22000001", "22000002"}) {
      EXPECT_TRUE(said.In_Details(std::string("Get_Resource: Resource ID (") + id + ") not found.")) << id;
    }
    m_Manager.FreeResource(0x22000003);
    m_Manager.Term();
  }
}

// A loose listing whose files share a trouble (its records lie past the ends of their files,
// or the loaders refuse their bytes) names the first such file, then once that the listing lists
// more; the others only in the details.
TEST_F(RezDamageTest, ALooseListingWhoseFilesShareATroubleIsNamedOnce) {
  struct Case {
    const char* name;
    std::function<void()> damage;
    std::string first;  // how the first line begins ("@" stands for the root)
    std::string more;
    std::string detail;  // in the details for each other file
  };
  const Case cases[] = {
      {"records past the ends of their files",
       [&] {
         std::string listing = Text(Read("rezmap_0.ksa"));
         for (size_t at = 0; (at = listing.find(" 00000000", at)) != std::string::npos;) {
           listing.replace(at, 9, " 00100000");
         }
         Write_File("rezmap_0.ksa", listing);
       },
       "Allocate_Resource: Resource ID (22000001) lies past the end of its file @loose0/tex/a: it starts at byte "
       "1048576",
       "resources that lie past the end of their files", "lies past the end of its file @loose0/"},
      {"bytes the loaders refuse",
       [&] {
         for (const char* file : {"tex/a", "mesh/b", "snd/c", "sty/d"}) Write_File(std::string("loose0/") + file, "bad");
       },
       "Allocate_Resource: Resource ID (22000001) does not expand (zlib error -3): its compressed data in "
       "@loose0/tex/a is damaged.",
       "resources whose bytes are refused", "@loose0/"},
  };
  PickyHandler picky;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Write_Text_Set(0, Four());
    c.damage();
    Said said;
    ASSERT_TRUE(m_Manager.Init(m_Root.c_str()));
    for (uint32_t type = 1; type < kRezTypeCount; ++type) m_Manager.SetTypeHandler(type, &picky);
    for (uint32_t id : {0x22000001u, 0x22000002u, 0x22000003u, 0x22000004u, 0x22000003u}) {
      EXPECT_EQ(m_Manager.Get_Resource(id, 0), nullptr) << id;
    }
    auto rooted = [&](std::string text) {
      for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, m_Root);
      return text;
    };
    const std::vector<std::string> errors = said.Errors();
    ASSERT_EQ(errors.size(), 2u) << said.All_Errors();
    EXPECT_EQ(errors[0].rfind(rooted(c.first), 0), 0u) << errors[0];
    EXPECT_EQ(errors[1], "Allocate_Resource: " + m_Root + "rezmap_0.ksa lists more " + c.more +
                             "; each is named under VORTHANE_DEBUG=1.\n");
    for (const char* file : {"mesh/b", "snd/c", "sty/d"}) {
      EXPECT_TRUE(said.In_Details(rooted(c.detail) + file)) << file;
    }
    Fresh_Folder();
  }
}

}  // namespace
