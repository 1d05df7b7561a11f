#pragma once
// Fixtures for the resource manager tests: a temporary folder holding pack sets made with the
// content writers, a resource type that records what it loads, and capture of the manager's
// diagnostics.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <zlib.h>

#include "runtime/src/core/output_redir.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"

namespace reztest {

using Bytes = std::vector<uint8_t>;

class RecordingResource : public CRezResource {
 public:
  bool Load(CStream* stream, uint32_t* size) override {
    m_Size_Given = *size;
    m_Bytes.assign(*size, 0);
    uint32_t half = *size / 2;
    if (half > 0 && stream->Read(m_Bytes.data(), half) != half) return false;
    if (m_On_Half_Read) m_On_Half_Read(this);
    uint32_t rest = *size - half;
    if (rest > 0 && stream->Read(m_Bytes.data() + half, rest) != rest) return false;
    ++m_Loads;
    return true;
  }
  void Free() override {
    m_Bytes.clear();
    ++m_Frees;
  }

  Bytes m_Bytes;
  uint32_t m_Size_Given = 0;
  int m_Loads = 0;
  int m_Frees = 0;
  // Runs between the two halves of a load (to nest another request inside it).
  std::function<void(RecordingResource*)> m_On_Half_Read;
};

class RecordingHandler : public CRezTypeHandler {
 public:
  CRezResource* Create() override {
    ++m_Created;
    auto* resource = new RecordingResource;
    resource->m_On_Half_Read = m_On_Half_Read;
    m_Live.insert(resource);
    return resource;
  }
  void Destroy(CRezResource* resource) override {
    ++m_Destroyed;
    m_Live.erase(resource);
    delete resource;
  }
  std::set<CRezResource*> m_Live;
  int m_Created = 0;
  int m_Destroyed = 0;
  std::function<void(RecordingResource*)> m_On_Half_Read;
};

inline Bytes Pattern(size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t state = seed;
  for (size_t i = 0; i < size; ++i) {
    state = state * 214013u + 2531011u;
    // Mostly repeating, so it compresses, with some noise.
    bytes[i] = static_cast<uint8_t>((i % 7 == 0) ? (state >> 16) : (i / 64));
  }
  return bytes;
}

inline writers::PackRecord Record(uint32_t id, uint8_t type, const std::string& name, Bytes data,
                                  bool compress = false) {
  writers::PackRecord record;
  record.id = id;
  record.type = type;
  record.name = name;
  record.data = std::move(data);
  record.compress = compress;
  return record;
}

// zlib data of `size` zero bytes, made a piece at a time (the plain bytes never exist at once).
inline Bytes Compressed_Zeros(uint64_t size) {
  z_stream zs{};
  deflateInit(&zs, 9);
  const Bytes zeros(1 << 20, 0);
  Bytes out;
  uint8_t buffer[65536];
  for (uint64_t done = 0;;) {
    const uint64_t step = std::min<uint64_t>(zeros.size(), size - done);
    zs.next_in = const_cast<Bytef*>(zeros.data());
    zs.avail_in = static_cast<uInt>(step);
    done += step;
    const int flush = done == size ? Z_FINISH : Z_NO_FLUSH;
    do {
      zs.next_out = buffer;
      zs.avail_out = sizeof buffer;
      deflate(&zs, flush);
      out.insert(out.end(), buffer, buffer + (sizeof buffer - zs.avail_out));
    } while (zs.avail_out == 0);
    if (flush == Z_FINISH) break;
  }
  deflateEnd(&zs);
  return out;
}

inline std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
inline Bytes Data(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Sets a file's modification time to now plus an offset in seconds.
inline void Touch(const std::string& path, int seconds_from_now) {
  struct timespec times[2];
  clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec += seconds_from_now;
  times[1] = times[0];
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Captures the manager's error reports (category 1, level 3) through the console text.
class ReportCapture {
 public:
  ReportCapture() {
    g_OutputRedir.SetDestinationEnabled(kOutputDestConsole, 1);
    g_OutputRedir.SetRoute(1, 3, kOutputDestConsole);
    Clear();
  }
  ~ReportCapture() { g_OutputRedir.SetRoute(1, 3, kOutputDestSink); }
  void Clear() { ConsoleText.Set(""); }
  std::string Last() const { return ConsoleText.Get() ? ConsoleText.Get() : ""; }

 private:
  ReportCapture(const ReportCapture&) = delete;
};

class RezFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_rez_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_Dir = pattern;
    m_Root = m_Dir + "/";
    m_Saved = {RezMgr_Prefetch_Buffer_Size.Value, RezMgr_UnCompress_Buffer_Size.Value,
               RezMgr_Target_Sys_Memory_InBytes.Value, RezMgr_Run_Prefetch_LoaderThread.Value,
               RezMgr_Prefetch_MemStream_Chunk_Size.Value, RezMgr_Prefetch_MemStream_Chunk_Count.Value};
  }
  void TearDown() override {
    // The manager keeps its resources until they are freed; free what the tests left.
    while (!m_Handler.m_Live.empty()) {
      CRezResource* resource = *m_Handler.m_Live.begin();
      if (m_Manager.Find_Loaded(resource->m_Resource_ID) == resource) {
        m_Manager.FreeResource(resource->m_Resource_ID);
      } else {
        m_Handler.Destroy(resource);
      }
    }
    m_Manager.Term();
    RezMgr_Prefetch_Buffer_Size.Value = m_Saved[0];
    RezMgr_UnCompress_Buffer_Size.Value = m_Saved[1];
    RezMgr_Target_Sys_Memory_InBytes.Value = m_Saved[2];
    RezMgr_Run_Prefetch_LoaderThread.Value = m_Saved[3];
    RezMgr_Prefetch_MemStream_Chunk_Size.Value = m_Saved[4];
    RezMgr_Prefetch_MemStream_Chunk_Count.Value = m_Saved[5];
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  void Write(const std::vector<writers::OutFile>& files) {
    for (const writers::OutFile& file : files) {
      ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(m_Dir, file.path), file.bytes)) << file.path;
    }
  }
  void Write_Text_Set(int set, const std::vector<writers::PackRecord>& records) {
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildTextSet(set, records, "loose" + std::to_string(set), files));
    Write(files);
  }
  void Write_Packed_Set(int set, const std::vector<writers::PackRecord>& records) {
    std::vector<writers::OutFile> files;
    ASSERT_TRUE(writers::BuildPackedSet(set, records, files));
    Write(files);
  }
  void Write_File(const std::string& name, const std::string& text) {
    ASSERT_TRUE(writers::WriteWholeFile(Path(name), Data(text)));
  }
  std::string Path(const std::string& name) const { return m_Root + name; }
  Bytes Read(const std::string& name) const {
    Bytes bytes;
    writers::ReadWholeFile(Path(name), bytes);
    return bytes;
  }

  bool Init() {
    if (!m_Manager.Init(m_Root.c_str())) return false;
    for (uint32_t type = 1; type < kRezTypeCount; ++type) m_Manager.SetTypeHandler(type, &m_Handler);
    return true;
  }
  RecordingResource* Get(uint32_t id, uint32_t type = 0) {
    return static_cast<RecordingResource*>(m_Manager.Get_Resource(id, type));
  }

  std::string m_Dir;
  std::string m_Root;
  std::vector<int32_t> m_Saved;
  RecordingHandler m_Handler;
  CRezMgr m_Manager;
};

}  // namespace reztest
