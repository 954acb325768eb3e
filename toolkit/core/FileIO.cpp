#include "toolkit/core/FileIO.h"

#include <cerrno>
#include <climits>
#include <string>

#include <zlib.h>

#include "toolkit/core/ErrorReporter.h"
#include "toolkit/core/OsServices.h"

namespace {

// Keeps the system's error number as the file error of the error state
// and reports the code.
void FileFailure(int32_t code, int32_t osError, std::string_view routine) {
  ErrorStateRecord& st = ErrorState();
  st.OsErrorKind = 2;
  st.OsErrorNumber = osError;
  YYERRREP(code, routine);
}

std::string_view TrimBlanks(std::string_view s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return std::string_view();
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

void ReadInto(FileHandle handle, uint8_t* buffer, size_t size, int32_t n, int32_t& count) {
  if (n < 0 || static_cast<size_t>(n) > size) {
    count = -1;
    FileFailure(2, EINVAL, "IFileReadChar");
    return;
  }
  int32_t got = 0, status = 0;
  YYFileReadBlock(handle, std::span<uint8_t>(buffer, static_cast<size_t>(n)), n, got, status);
  if (status != 0) {
    count = -1;
    FileFailure(2, status, "IFileReadChar");
    return;
  }
  count = got;
}

void WriteFrom(FileHandle handle, const uint8_t* buffer, size_t size, int32_t n, int32_t& count) {
  if (n < 0 || static_cast<size_t>(n) > size) {
    count = -1;
    FileFailure(2, EINVAL, "IFileWriteChar");
    return;
  }
  int32_t put = 0, status = 0;
  YYFileWriteBlock(handle, std::span<const uint8_t>(buffer, static_cast<size_t>(n)), n, put, status);
  if (status != 0) {
    count = -1;
    FileFailure(2, status, "IFileWriteChar");
    return;
  }
  count = put;
}

// Runs one zlib call within the stated lengths and the buffers' sizes.
template <typename Call>
void RunZlib(Call call, std::span<const uint8_t> source, std::span<uint8_t> destination,
             int32_t sourceLength, int32_t& destinationLength, int32_t& status) {
  if (sourceLength < 0 || static_cast<size_t>(sourceLength) > source.size() ||
      destinationLength < 0) {
    status = Z_STREAM_ERROR;
    destinationLength = 0;
    return;
  }
  size_t capacity = std::min(static_cast<size_t>(destinationLength), destination.size());
  uLongf out = static_cast<uLongf>(capacity);
  // zlib wants a valid pointer even for an empty buffer.
  Bytef empty = 0;
  Bytef* dst = capacity > 0 ? destination.data() : &empty;
  const Bytef* src = sourceLength > 0 ? source.data() : &empty;
  status = call(dst, &out, src, static_cast<uLong>(sourceLength));
  destinationLength = status == Z_OK ? static_cast<int32_t>(out) : 0;
}

int CompressCall(Bytef* d, uLongf* dl, const Bytef* s, uLong sl) { return compress(d, dl, s, sl); }
int UncompressCall(Bytef* d, uLongf* dl, const Bytef* s, uLong sl) {
  return uncompress(d, dl, s, sl);
}

}  // namespace

void IFileOpen(std::string_view name, int32_t mode, FileHandle& handle) {
  handle = -1;
  std::string_view trimmed = TrimBlanks(name);
  if (mode < 0 || mode > 2 || trimmed.empty()) {
    FileFailure(1, 0, "IFileOpen");
    return;
  }
  int32_t status = 0;
  YYFileCreate(trimmed, mode, handle, status);
  if (status != 0) {
    handle = -1;
    FileFailure(1, status, "IFileOpen");
  }
}

void IFileReadChar(FileHandle handle, std::span<char> buffer, int32_t n, int32_t& count) {
  ReadInto(handle, reinterpret_cast<uint8_t*>(buffer.data()), buffer.size(), n, count);
}
void IFileReadChar(FileHandle handle, std::span<uint8_t> buffer, int32_t n, int32_t& count) {
  ReadInto(handle, buffer.data(), buffer.size(), n, count);
}
void IFileWriteChar(FileHandle handle, std::span<const char> buffer, int32_t n, int32_t& count) {
  WriteFrom(handle, reinterpret_cast<const uint8_t*>(buffer.data()), buffer.size(), n, count);
}
void IFileWriteChar(FileHandle handle, std::span<const uint8_t> buffer, int32_t n, int32_t& count) {
  WriteFrom(handle, buffer.data(), buffer.size(), n, count);
}

void IFileSeek(FileHandle handle, int32_t& offset, int32_t origin) {
  if (origin < 0 || origin > 2) return;
  int64_t before = 0, position = offset;
  int32_t status = 0;
  // Where the position was, so that a move past 2 GB can be undone.
  int64_t here = 0;
  YYFileSeekOs(handle, here, 1, status);
  if (status == 0) {
    before = here;
    YYFileSeekOs(handle, position, origin, status);
  }
  if (status == 0 && position > INT32_MAX) {
    int64_t back = before;
    int32_t ignored = 0;
    YYFileSeekOs(handle, back, 0, ignored);
    status = EOVERFLOW;
  }
  if (status != 0) {
    offset = -1;
    FileFailure(2, status, "IFileSeek");
    return;
  }
  offset = static_cast<int32_t>(position);
}

void YYFileCloseHandle(FileHandle handle) { YYFileCloseOs(handle); }

void YYBytesToIntLE(std::span<const uint8_t> bytes, int32_t count, int32_t& value) {
  auto b = [&](size_t i) -> uint32_t { return i < bytes.size() ? bytes[i] : 0u; };
  uint32_t v = b(0) + 256u * b(1);
  if (count == 4) v += (b(2) + 256u * b(3)) * 65536u;
  value = static_cast<int32_t>(v);  // two's complement wrap, as the file formats store it
}

void YYBytesToIntBE(std::span<const uint8_t> bytes, int32_t& value) {
  auto b = [&](size_t i) -> uint32_t { return i < bytes.size() ? bytes[i] : 0u; };
  uint32_t v = b(3) + 256u * b(2) + 65536u * (b(1) + 256u * b(0));
  value = static_cast<int32_t>(v);
}

void YYCompressBuffer(std::span<const uint8_t> source, std::span<uint8_t> destination,
                      int32_t sourceLength, int32_t& destinationLength, int32_t& status) {
  RunZlib(CompressCall, source, destination, sourceLength, destinationLength, status);
}

void YYUncompressBuffer(std::span<const uint8_t> source, std::span<uint8_t> destination,
                        int32_t sourceLength, int32_t& destinationLength, int32_t& status) {
  RunZlib(UncompressCall, source, destination, sourceLength, destinationLength, status);
}

void WCompress(std::span<const uint8_t> source, std::span<uint8_t> destination,
               int32_t sourceLength, int32_t& destinationLength) {
  int32_t status = 0;
  YYCompressBuffer(source, destination, sourceLength, destinationLength, status);
  if (status != Z_OK) {
    ErrorState().SecondaryStatus = status;
    YYERRREP(1044, "WCompress");
  }
}

void WUnCompress(std::span<const uint8_t> source, std::span<uint8_t> destination,
                 int32_t sourceLength, int32_t& destinationLength) {
  int32_t status = 0;
  YYUncompressBuffer(source, destination, sourceLength, destinationLength, status);
  if (status != Z_OK) {
    ErrorState().SecondaryStatus = status;
    YYERRREP(1044, "WUnCompress");
  }
}
