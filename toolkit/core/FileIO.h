// The toolkit's binary file layer: open a file in one of three modes, read
// and write blocks of bytes, move the position, close; integers from bytes
// in either byte order; one-shot buffer compression through zlib.
//
// Failures are reported through YYERRREP under the routine's name and
// show in the results (handle, count or offset -1, length 0).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// An open file of this layer; -1 means not open (or a failed open).
using FileHandle = int32_t;

// Modes: 0 read (must exist), 1 write (created, or emptied when it
// exists), 2 update (read and write, must exist). Leading and trailing
// blanks of the name are ignored.
void IFileOpen(std::string_view name, int32_t mode, FileHandle& handle);
// Reads up to `n` bytes into the buffer; `count` is the number read, 0 at
// the end of the file, -1 on failure. A count beyond the buffer is refused.
void IFileReadChar(FileHandle handle, std::span<char> buffer, int32_t n, int32_t& count);
void IFileReadChar(FileHandle handle, std::span<uint8_t> buffer, int32_t n, int32_t& count);
// Writes `n` bytes of the buffer; `count` is the number written, -1 on failure.
void IFileWriteChar(FileHandle handle, std::span<const char> buffer, int32_t n, int32_t& count);
void IFileWriteChar(FileHandle handle, std::span<const uint8_t> buffer, int32_t n, int32_t& count);
// Origin 0 start, 1 current position, 2 end; `offset` comes back as the
// new position from the start, or -1 on failure. Any other origin does
// nothing at all. Positions stay below 2 GB.
void IFileSeek(FileHandle handle, int32_t& offset, int32_t origin);
// Closes; nothing is reported.
void YYFileCloseHandle(FileHandle handle);

// Little-endian value of the first 2 bytes, or 4 when `count` is 4, as a
// signed 32-bit integer. Bytes missing from a short buffer count as 0.
void YYBytesToIntLE(std::span<const uint8_t> bytes, int32_t count, int32_t& value);
// Big-endian value of the first 4 bytes, signed 32-bit.
void YYBytesToIntBE(std::span<const uint8_t> bytes, int32_t& value);

// zlib one-shot compression (default level) and decompression of
// `sourceLength` bytes of the source. `destinationLength` goes in as the
// capacity (never more than the destination's size is used) and comes out
// as the bytes produced, or 0 on failure (error 1044, zlib's status kept).
void WCompress(std::span<const uint8_t> source, std::span<uint8_t> destination,
               int32_t sourceLength, int32_t& destinationLength);
void WUnCompress(std::span<const uint8_t> source, std::span<uint8_t> destination,
                 int32_t sourceLength, int32_t& destinationLength);
// The same without a report; `status` is zlib's return code.
void YYCompressBuffer(std::span<const uint8_t> source, std::span<uint8_t> destination,
                      int32_t sourceLength, int32_t& destinationLength, int32_t& status);
void YYUncompressBuffer(std::span<const uint8_t> source, std::span<uint8_t> destination,
                        int32_t sourceLength, int32_t& destinationLength, int32_t& status);
