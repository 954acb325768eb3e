#include "toolkit/core/OsLayerCore.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Allocates nothing: it also serves when memory has run out.
void DefaultFatalMessage(std::string_view caption, std::string_view text) {
  std::fwrite(caption.data(), 1, caption.size(), stderr);
  std::fwrite(": ", 1, 2, stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fwrite("\n", 1, 1, stderr);
  std::fflush(stderr);
}

struct DebugFileRecord {
  bool tried = false;
  int fd = -1;
};

DebugFileRecord gDebug;

void WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a lost debug line is not worth a report
    done += static_cast<size_t>(n);
  }
}

}  // namespace

FatalMessageFunction& FatalMessageHook() {
  static FatalMessageFunction hook = nullptr;
  return hook;
}

void YYFatalMessage(std::string_view caption, std::string_view text) {
  FatalMessageFunction hook = FatalMessageHook();
  (hook != nullptr ? hook : DefaultFatalMessage)(caption, text);
}

void YYExitProcess(int32_t code) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(code);
}

std::string YYOsErrorText(int32_t error, size_t size) {
  if (error == 0 || size == 0) return std::string();
  std::string text = std::strerror(error);
  if (text.size() > size - 1) text.resize(size - 1);
  return text;
}

bool YYDebugFileOpen() {
  if (gDebug.tried) return gDebug.fd >= 0;
  gDebug.tried = true;
  for (const char* name : {"debug", "debug.txt", "debug.dat"}) {
    int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) {
      gDebug.fd = fd;
      return true;
    }
  }
  return false;
}

void YYDebugFileText(std::string_view text) {
  if (!YYDebugFileOpen()) return;
  WriteAll(gDebug.fd, text);
}

void YYDebugFileLine(std::string_view text) {
  if (!YYDebugFileOpen()) return;
  std::string line(text);
  line += "\r\n";
  WriteAll(gDebug.fd, line);
}

void YYDebugFileValue(std::string_view name, int32_t value) {
  char digits[16];
  auto r = std::to_chars(digits, digits + sizeof digits, value);
  std::string line(name);
  line += '=';
  line.append(digits, r.ptr);
  YYDebugFileLine(line);
}

void ResetDebugFileForTest() {
  if (gDebug.fd >= 0) ::close(gDebug.fd);
  gDebug = DebugFileRecord{};
}
