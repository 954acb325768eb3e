// The clipboard: text and formats registered by name, owned by whoever
// emptied it last. One process, so the clipboard is a record in memory.
//
// As on a desktop, it must be opened before it is read or changed, and only
// one window may hold it open; tests can make opening fail, as when another
// program holds it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Types.h"

namespace plat {

constexpr uint32_t kCfText = 1;   // 8-bit text; lines end with CR LF
// Pictures are kept as bytes: a bitmap as a packed device-independent
// bitmap (40-byte header, colours, rows); a metafile picture as its 16-byte
// record (mapping mode, extents, a handle word of 0) and the metafile's
// records; an enhanced metafile as its ".emf" bytes.
constexpr uint32_t kCfBitmap = 2;
constexpr uint32_t kCfMetafilePict = 3;
constexpr uint32_t kCfEnhMetafile = 14;

// Opens the clipboard for `owner` (may be none); false while it is open
// already or held elsewhere (test::holdClipboard).
bool openClipboard(Hwnd owner);
bool closeClipboard();
// Empties it and makes the opener its owner; false unless it is open.
bool emptyClipboard();
// Puts data of a format (replacing data of that format); false unless it is
// open. Text stops at its first zero character.
bool setClipboardData(uint32_t format, std::string_view data);
// The data of a format; false unless it is open and holds that format.
bool getClipboardData(uint32_t format, std::string& out);
bool isClipboardFormatAvailable(uint32_t format);
int countClipboardFormats();
// The formats held, in the order they were put: 0 starts, 0 ends.
uint32_t enumClipboardFormats(uint32_t after);
// A format of the program's own: the same name (any case) gives the same
// number, from 0xC000 up; 0 for an empty name.
uint32_t registerClipboardFormat(std::string_view name);
std::string getClipboardFormatName(uint32_t format);
Hwnd getClipboardOwner();

namespace test {
// While held, openClipboard() fails, as when another program has it open.
void holdClipboard(bool held);
}  // namespace test

namespace detail {
void resetClipboard();
}

}  // namespace plat
