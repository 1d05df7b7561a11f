#include "tools/writers/content_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace writers {

std::string JoinPath(const std::string& base, const std::string& name) {
  if (base.empty()) return name;
  if (base.back() == '/') return base + name;
  return base + "/" + name;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  uint8_t buffer[65536];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + count);
  }
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return true;
  for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

static std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!MakeFolders(FolderOf(path))) return false;
  std::string temp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = done == bytes.size() && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

bool WriteFileIfChanged(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> old;
  if (ReadWholeFile(path, old) && old == bytes) return true;
  return WriteWholeFile(path, bytes);
}

}  // namespace writers
