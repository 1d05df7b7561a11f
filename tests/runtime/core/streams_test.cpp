#include "runtime/src/core/streams.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/debug.h"

namespace {

struct StreamReleaser {
  void operator()(CStream* stream) const {
    if (stream != nullptr) stream->Release();
  }
};
using MemoryPtr = std::unique_ptr<CMemoryStream, StreamReleaser>;
using FilePtr = std::unique_ptr<CFileStream, StreamReleaser>;

MemoryPtr MemoryWith(const std::vector<uint8_t>& bytes) {
  MemoryPtr stream(CreateMemoryStream(0));
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  stream->SeekTo(0);
  return stream;
}

// Bytes of a 16-bit length prefix followed by body.
std::vector<uint8_t> Prefixed(uint16_t length, const std::string& body) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(length & 0xFF),
                                static_cast<uint8_t>(length >> 8)};
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

uint32_t PosOf(CStream& stream) {
  uint32_t pos = 0xDEAD;
  EXPECT_TRUE(stream.GetPos(&pos));
  return pos;
}

uint32_t LenOf(CStream& stream) {
  uint32_t len = 0xDEAD;
  EXPECT_TRUE(stream.GetLen(&len));
  return len;
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/vt_streams_XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string File(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// --- memory streams ---------------------------------------------------------------------------

TEST(MemoryStream, CreateHoldsZeroBytesAtPositionZero) {
  MemoryPtr stream(CreateMemoryStream(8));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(LenOf(*stream), 8u);
  EXPECT_EQ(PosOf(*stream), 0u);
  uint8_t buffer[8];
  std::memset(buffer, 0xAA, sizeof(buffer));
  EXPECT_EQ(stream->Read(buffer, 8), 8u);
  for (uint8_t b : buffer) EXPECT_EQ(b, 0);
  EXPECT_TRUE(stream->IsOK());
}

TEST(MemoryStream, ShortReadZeroFillsThenReadAtEndFails) {
  MemoryPtr stream = MemoryWith({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  ASSERT_TRUE(stream->SeekTo(6));
  uint8_t buffer[10];
  std::memset(buffer, 0xAA, sizeof(buffer));
  EXPECT_EQ(stream->Read(buffer, 10), 4u);
  const uint8_t expected[10] = {7, 8, 9, 10, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(buffer, expected, 10), 0);
  EXPECT_TRUE(stream->IsOK());
  EXPECT_EQ(PosOf(*stream), 10u);

  std::memset(buffer, 0xAA, sizeof(buffer));
  EXPECT_EQ(stream->Read(buffer, 3), 0u);
  EXPECT_FALSE(stream->IsOK());
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[2], 0);
  EXPECT_EQ(buffer[3], 0xAA);
  EXPECT_EQ(PosOf(*stream), 10u);
}

TEST(MemoryStream, ZeroLengthReadSucceedsAndWriteDoesNot) {
  MemoryPtr stream = MemoryWith({1});
  uint8_t byte = 0;
  EXPECT_EQ(stream->Read(&byte, 0), 1u);
  EXPECT_EQ(stream->Write(&byte, 0), 0u);
  EXPECT_EQ(LenOf(*stream), 1u);
  EXPECT_TRUE(stream->IsOK());
}

TEST(MemoryStream, SeekAllowsTheEndButNotBeyond) {
  MemoryPtr stream = MemoryWith({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  EXPECT_TRUE(stream->SeekTo(10));
  EXPECT_EQ(PosOf(*stream), 10u);
  EXPECT_FALSE(stream->SeekTo(11));
  EXPECT_EQ(PosOf(*stream), 10u);
  EXPECT_TRUE(stream->SeekTo(0));
}

TEST(MemoryStream, WritesGrowTheBlockAndAdvance) {
  MemoryPtr stream = MemoryWith({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  ASSERT_TRUE(stream->SeekTo(10));
  const uint8_t tail[4] = {11, 12, 13, 14};
  EXPECT_EQ(stream->Write(tail, 4), 4u);
  EXPECT_EQ(LenOf(*stream), 14u);
  EXPECT_EQ(PosOf(*stream), 14u);

  // Overwriting across the end grows only by what sticks out.
  ASSERT_TRUE(stream->SeekTo(12));
  EXPECT_EQ(stream->Write(tail, 4), 4u);
  EXPECT_EQ(LenOf(*stream), 16u);
  ASSERT_TRUE(stream->SeekTo(10));
  const auto* data = static_cast<const uint8_t*>(stream->GetData());
  const uint8_t expected[6] = {11, 12, 11, 12, 13, 14};
  EXPECT_EQ(std::memcmp(data, expected, 6), 0);
}

TEST(MemoryStream, GetDataPointsAtThePosition) {
  MemoryPtr stream = MemoryWith({5, 6, 7});
  ASSERT_TRUE(stream->SeekTo(1));
  EXPECT_EQ(*static_cast<uint8_t*>(stream->GetData()), 6);
}

// --- strings ----------------------------------------------------------------------------------

struct ReadStringCase {
  const char* name;
  std::vector<uint8_t> bytes;
  uint32_t buffer_size;
  bool ok;
  std::string text;     // what the buffer holds afterwards
  uint32_t end_pos;     // where the stream is afterwards
};

void PrintTo(const ReadStringCase& c, std::ostream* os) { *os << c.name; }

class ReadStringTable : public ::testing::TestWithParam<ReadStringCase> {};

TEST_P(ReadStringTable, ReadsCutsOrFails) {
  const ReadStringCase& c = GetParam();
  MemoryPtr stream = MemoryWith(c.bytes);
  std::vector<char> buffer(std::max<uint32_t>(c.buffer_size, 1), 'x');
  EXPECT_EQ(stream->ReadString(buffer.data(), c.buffer_size), c.ok);
  if (c.buffer_size > 0) {
    EXPECT_EQ(std::string(buffer.data()), c.text);
  }
  EXPECT_EQ(PosOf(*stream), c.end_pos);
}

const std::string k300(300, 'q');

INSTANTIATE_TEST_SUITE_P(
    Streams, ReadStringTable,
    ::testing::Values(
        ReadStringCase{"Empty", Prefixed(0, ""), 16, true, "", 2},
        ReadStringCase{"Fits", Prefixed(5, "hello"), 16, true, "hello", 7},
        ReadStringCase{"ExactFit", Prefixed(5, "hello"), 6, true, "hello", 7},
        ReadStringCase{"CutByOne", Prefixed(6, "hello!"), 6, true, "hello", 8},
        ReadStringCase{"LongTextCutButSkipped", Prefixed(300, k300), 256, true,
                       std::string(255, 'q'), 302},
        ReadStringCase{"NoBufferDropsText", Prefixed(4, "abcd"), 0, true, "", 6},
        ReadStringCase{"SizeOneKeepsOnlyTerminator", Prefixed(3, "abc"), 1, true, "", 5},
        ReadStringCase{"ShortBody", Prefixed(10, "abcd"), 16, false, "abcd", 6},
        ReadStringCase{"ShortDroppedTail", Prefixed(10, "abcd"), 3, false, "ab", 6},
        ReadStringCase{"ShortWithoutBuffer", Prefixed(10, "abcd"), 0, false, "", 6},
        ReadStringCase{"HalfAPrefix", {7}, 16, false, "", 1},
        ReadStringCase{"NothingLeft", {}, 16, false, "", 0}),
    [](const ::testing::TestParamInfo<ReadStringCase>& info) { return info.param.name; });

TEST(StreamStrings, WriteThenReadRoundTrips) {
  MemoryPtr stream(CreateMemoryStream(0));
  const char* texts[] = {"", "a", "two words", "tail"};
  for (const char* text : texts) EXPECT_TRUE(stream->WriteString(text)) << text;
  ASSERT_TRUE(stream->SeekTo(0));
  char buffer[32];
  for (const char* text : texts) {
    ASSERT_TRUE(stream->ReadString(buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, text);
  }
  EXPECT_EQ(PosOf(*stream), LenOf(*stream));
}

TEST(StreamStrings, EmptyStringOnMemoryStreamWritesOnlyThePrefix) {
  MemoryPtr stream(CreateMemoryStream(0));
  EXPECT_TRUE(stream->WriteString(""));
  EXPECT_EQ(LenOf(*stream), 2u);
}

TEST(StreamStrings, OverlongOrMissingTextIsRefusedAndNothingWritten) {
  MemoryPtr stream(CreateMemoryStream(0));
  const std::string overlong(65536, 'z');
  EXPECT_FALSE(stream->WriteString(overlong.c_str()));
  EXPECT_FALSE(stream->WriteString(nullptr));
  EXPECT_EQ(LenOf(*stream), 0u);
  const std::string longest(65535, 'z');
  EXPECT_TRUE(stream->WriteString(longest.c_str()));
  EXPECT_EQ(LenOf(*stream), 65537u);
}

// --- copying between streams ------------------------------------------------------------------

TEST(MemoryStream, WriteStreamCopiesFromSourcePositionAndKeepsOwnPosition) {
  MemoryPtr source = MemoryWith({1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(source->SeekTo(2));
  MemoryPtr target = MemoryWith({9, 9, 9});
  ASSERT_TRUE(target->SeekTo(1));
  // from is not a seek: the 3 bytes come from the source's current position.
  EXPECT_TRUE(target->WriteStream(source.get(), 4, 7));
  EXPECT_EQ(PosOf(*target), 1u);
  EXPECT_EQ(LenOf(*target), 4u);
  const auto* data = static_cast<const uint8_t*>(target->GetData());
  EXPECT_EQ(data[0], 3);
  EXPECT_EQ(data[2], 5);
  EXPECT_EQ(PosOf(*source), 5u);
}

TEST(MemoryStream, WriteStreamFailsOnBadRangeOrShortSource) {
  MemoryPtr source = MemoryWith({1, 2, 3, 4});
  MemoryPtr target(CreateMemoryStream(0));
  EXPECT_FALSE(target->WriteStream(source.get(), 3, 2));
  EXPECT_FALSE(target->WriteStream(nullptr, 0, 1));
  ASSERT_TRUE(source->SeekTo(2));
  EXPECT_FALSE(target->WriteStream(source.get(), 0, 4));  // only 2 bytes left
  ASSERT_TRUE(source->SeekTo(0));
  MemoryPtr whole(CreateMemoryStream(0));
  EXPECT_TRUE(whole->WriteStream(source.get(), -1, -1));
  EXPECT_EQ(LenOf(*whole), 4u);
}

TEST(FileStream, BaseWriteStreamCopiesInPiecesAndFailsWhenSourceRunsDry) {
  TempDir dir;
  std::vector<uint8_t> bytes(1500);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  MemoryPtr source = MemoryWith(bytes);
  {
    FilePtr file(OpenStream(dir.File("copy.bin").c_str(), "wb"));
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->WriteStream(source.get(), -1, -1));
    EXPECT_FALSE(file->WriteStream(source.get(), 0, 1));  // source is at its end
  }
  FilePtr file(OpenStream(dir.File("copy.bin").c_str(), "rb"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(LenOf(*file), 1500u);
  std::vector<uint8_t> back(1500);
  EXPECT_EQ(file->Read(back.data(), 1500), 1500u);
  EXPECT_EQ(back, bytes);
}

// --- file streams -----------------------------------------------------------------------------

TEST(FileStream, OpenFailsForMissingFile) {
  TempDir dir;
  EXPECT_EQ(OpenStream(dir.File("absent.bin").c_str(), "rb"), nullptr);
  EXPECT_EQ(OpenStream(nullptr, "rb"), nullptr);
}

TEST(FileStream, AFifoOrFolderIsRefusedAtOnceWithOneLineNamingIt) {
  TempDir dir;
  const std::string pipe = dir.File("pipe.bin");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::vector<std::string> errors;
  plat::Set_Error_Recorder([&errors](const std::string& text) { errors.push_back(text); });
  EXPECT_EQ(OpenStream(pipe.c_str(), "rb"), nullptr);
  EXPECT_EQ(OpenStream(dir.File("").c_str(), "rb"), nullptr);
  plat::Set_Error_Recorder(nullptr);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find(pipe + " was not opened: it is a FIFO, not a regular file"), std::string::npos)
      << errors[0];
  EXPECT_NE(errors[1].find("a folder, not a regular file"), std::string::npos) << errors[1];

  plat::Open_Result result = plat::Open_Result::Opened;
  std::string reason;
  EXPECT_EQ(OpenStream(pipe.c_str(), "rb", &result, &reason), nullptr);
  EXPECT_EQ(result, plat::Open_Result::Not_Regular);
  EXPECT_EQ(reason, "it is a FIFO, not a regular file");
}

TEST(FileStream, WriteReadSeekAndLength) {
  TempDir dir;
  const std::string path = dir.File("data.bin");
  {
    FilePtr out(OpenStream(path.c_str(), "wb"));
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->Write("abcdef", 6), 6u);
    EXPECT_EQ(out->Write("x", 0), 1u);
    EXPECT_TRUE(out->WriteString("name"));
  }
  FilePtr in(OpenStream(path.c_str(), "rb"));
  ASSERT_NE(in, nullptr);
  ASSERT_TRUE(in->SeekTo(2));
  EXPECT_EQ(LenOf(*in), 12u);
  EXPECT_EQ(PosOf(*in), 2u);  // length query keeps the position
  char buffer[8] = {};
  EXPECT_EQ(in->Read(buffer, 4), 4u);
  EXPECT_STREQ(buffer, "cdef");
  EXPECT_TRUE(in->ReadString(buffer, sizeof(buffer)));
  EXPECT_STREQ(buffer, "name");

  // A read past the end leaves the rest of the buffer as it was.
  std::memset(buffer, 'k', sizeof(buffer));
  ASSERT_TRUE(in->SeekTo(10));
  EXPECT_EQ(in->Read(buffer, 8), 2u);
  EXPECT_EQ(buffer[0], 'm');
  EXPECT_EQ(buffer[2], 'k');
  EXPECT_EQ(in->Read(buffer, 0), 1u);
  EXPECT_TRUE(in->IsOK());
  EXPECT_EQ(in->GetData(), nullptr);
}

TEST(FileStream, TruncatedStringInFileFails) {
  TempDir dir;
  const std::string path = dir.File("short.bin");
  {
    FilePtr out(OpenStream(path.c_str(), "wb"));
    const std::vector<uint8_t> bytes = Prefixed(20, "only");
    out->Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  FilePtr in(OpenStream(path.c_str(), "rb"));
  char buffer[32];
  EXPECT_FALSE(in->ReadString(buffer, sizeof(buffer)));
}

}  // namespace
