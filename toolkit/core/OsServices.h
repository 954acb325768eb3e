// Operating-system services of the toolkit: the public IOs routines (words
// of the command line, system facts, current directory, delete, rename and
// copy with wildcards, full path names, the local date, registry values)
// and the thin operating-system layer below them (one small routine per
// system service, statuses 0 or the system's error number, no reports).
//
// Public routines take fixed-length blank-padded texts (std::string whose
// size is the declared length for texts they fill) and report failures
// through YYERRREP under their own names; a system failure keeps its
// error number as the secondary status and reports 13.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ------------------------------------------------------ public routines

// Word n of the command line (0 the program's full path); a negative n or
// a missing word gives blanks.
void IOsCommandLineWord(int32_t n, std::string& text);
// The program's full path whole, however long: as it was started (a link
// to the program kept), and its real file (every link resolved).
std::string YYProgramPath();
std::string YYProgramRealPath();
int32_t IOsSystemInfo(int32_t code);
void IOsDirChange(std::string_view directory);
void IOsDirName(std::string& text);
// Deletes every file matching the name ("*" and "?" allowed); directories
// are left alone.
void IOsDeleteFile(std::string_view name);
// Never replaces an existing file.
void IOsRenameFile(std::string_view oldName, std::string_view newName);
// Copies a file (or every file matching a wildcard source) to a target
// file or directory, replacing existing targets; never a file onto itself.
void IOsCopyFile(std::string_view source, std::string_view target);
// The full path of a name, in text; a text too small for the whole path is
// left blank and error 1023 reported, as IOsDirName does.
void IOsFullPathname(std::string_view name, std::string& text);
void IOsLocalDate(int32_t& year, int32_t& month, int32_t& day);
// Reads a registry value as text. The key path is a root name, a
// backslash and the subkey; an empty value name is the key's default
// value. Without `value` nothing is returned or reported.
void IOsRegistryGet(std::string_view keyPath, std::string* value, std::string_view valueName = "");
// Writes a registry value, creating the key. Types 1 and 2 store the
// trimmed text with a terminating zero byte, others the bytes as given.
void IOsRegistryPut(std::string_view keyPath, std::string_view data, std::string_view valueName = "",
                    int32_t valueType = 1);

// --------------------------------------------------- internal routines

// Takes the words of the command line once per run, then finds word n (see
// IOsCommandLineWord); the result is the number of the last word counted,
// so n = -1 gives the number of words after the program path. The words
// are the program's arguments as given (empty ones are no words): double
// quotes, tabs and any other bytes come back unchanged.
int32_t YYCommandWord(int32_t n, std::string& text);
// Forgets the copied command line (tests that change the arguments).
void ResetCommandLineForTest();
// The words of a command text: blank-separated, a word beginning with a
// double quote running to the next one, an empty quoted word not counted.
// (The program's own command line needs no splitting: its words are the
// arguments it was given.)
std::vector<std::string> CommandLineWords(std::string_view line);
int32_t YYSystemInfo(int32_t code);

// -------------------------------------------------- operating-system layer

void YYOsVersion(int32_t& major, int32_t& minor);
void YYOsVersionEx(int32_t& family);
// `length` is the value's length (0 when not set); the value is copied
// into `buffer` only when it fits its size.
void YYEnvGet(int32_t& length, std::string_view name, std::string& buffer);
void YYEnvSet(std::string_view name, std::string_view value);
// Starts the words of a command text as a process (never through a
// shell); `result` above 31 on success, else the system's error number.
void YYWinExec(int32_t& result, std::string_view commandLine);

// Mode 0 read (must exist), 1 write (created or emptied), 2 read and
// write (must exist); handle -1 and the status on failure.
void YYFileCreate(std::string_view name, int32_t mode, int32_t& handle, int32_t& status);
void YYFileCloseOs(int32_t handle);
void YYFileReadBlock(int32_t handle, std::span<uint8_t> buffer, int32_t count, int32_t& countRead,
                     int32_t& status);
// Reads, then reverses the byte order within each item of `itemSize`
// bytes (0 or 1: none).
void YYFileReadSwapped(int32_t handle, std::span<uint8_t> buffer, int32_t count, int32_t itemSize,
                       int32_t& countRead, int32_t& status);
void YYFileWriteBlock(int32_t handle, std::span<const uint8_t> buffer, int32_t count,
                      int32_t& countWritten, int32_t& status);
// Writes the items with their byte order reversed; the buffer is unchanged.
void YYFileWriteSwapped(int32_t handle, std::span<const uint8_t> buffer, int32_t count,
                        int32_t itemSize, int32_t& countWritten, int32_t& status);
// Origin 0 start, 1 current, 2 end (other values: start); `offset` comes
// back as the new position.
void YYFileSeekOs(int32_t handle, int64_t& offset, int32_t origin, int32_t& status);

void YYLocalDate(int32_t& year, int32_t& month, int32_t& day);
void YYLocalTime(int32_t& hour, int32_t& minute, int32_t& second, int32_t& millisecond);
void YYDiskFreeBytes(int32_t& bytes);
void YYDiskFreeMegabytes(int32_t& megabytes);

void YYDirSet(std::string_view directory, int32_t& status);
void YYDirRemove(std::string_view directory, int32_t& status);
void YYDirCreate(std::string_view directory, int32_t& status);
// The current directory into `buffer` when it has at most size - 1
// characters; otherwise `tooSmall` is 1 and the buffer is empty.
void YYDirGet(std::string& buffer, int32_t size, int32_t& status, int32_t& tooSmall);
void YYVolumeSerial(int32_t& serial, std::string_view rootPath);
void YYSystemDir(std::string& buffer, int32_t size, int32_t& status);
void YYFileDeleteOs(std::string_view name, int32_t& status);
void YYFileMoveOs(int32_t& status, std::string_view oldName, std::string_view newName);
void YYFileCopyOs(std::string_view source, std::string_view target, int32_t& status);

// Processes run from an argument vector, never through a shell. Without
// `wait` the status is above 31 when the process started. With `wait`: a
// negative time-out waits until it ends (calling the idle hook about every
// 100 ms), 0 or more waits that many seconds; the status is 32 when it
// ended, -1 on time-out, else the system's error number. `hidden` has no
// effect here: the processes have no windows of ours. When it ended,
// `exitStatus` (if given) gets its exit code (-1 when it was killed).
void YYExecute(const std::vector<std::string>& argv, int32_t hidden, int32_t wait,
               int32_t timeoutSeconds, int32_t& status, int32_t* exitStatus = nullptr);
// What YYExecute does while it waits without limit; the window layer sets
// it to dispatch repaint messages.
using ExecuteIdleFunction = void (*)();
ExecuteIdleFunction& ExecuteIdleHook();

// File attributes as the toolkit numbers them.
constexpr int32_t kAttributeReadOnly = 1;
constexpr int32_t kAttributeHidden = 2;
constexpr int32_t kAttributeDirectory = 16;
constexpr int32_t kAttributeNormal = 128;

// Only the read-only bit can be set on this system; the others are ignored.
void YYFileSetAttributes(int32_t attributes, int32_t& status, std::string_view name);
// Size, local date and time of the last write, attributes and size in
// kilobytes rounded up; `size` -1 when the file is not found.
void YYFileInfo(std::string_view name, int32_t& size, int32_t& year, int32_t& month, int32_t& day,
                int32_t& hour, int32_t& minute, int32_t& second, int32_t& attributes,
                int32_t& kilobytes);
// A search over the matches of a pattern, one search at a time: `first`
// 0 starts it with the pattern, anything else continues it. The date and
// time of the last write come packed as date << 16 | time (year - 1980 in
// 7 bits, month 4, day 5; hour 5, minute 6, second / 2 in 5). Status 0
// found, 1 no more files, else the system's error number.
void YYFileFind(int32_t first, std::string_view pattern, std::string& found, int32_t& attributes,
                int32_t& dateTime, int32_t& size, int32_t& status);
void YYFileFindClose();
void YYCommandLine(std::string& buffer);
void YYModulePath(std::string& buffer, int32_t size);
void YYDriveType(int32_t& type, std::string_view rootPath);

// Registry roots are the keys YYRegistryRootKey gives (0x80000000 + 0..6).
void YYRegistryDeleteKey(int32_t root, int32_t& status, std::string_view subkey);
void YYRegistryDeleteValue(int32_t root, int32_t& status, std::string_view subkey,
                           std::string_view valueName);
// `type` -2 when the value is missing (untouched when the key does not
// exist); `size` goes in as the buffer's capacity and comes out as the
// value's full size, even when the value did not fit (the buffer then
// stays untouched).
void YYRegistryRead(int32_t root, int32_t& type, int32_t& size, std::string_view subkey,
                    std::string_view valueName, std::span<uint8_t> buffer);
void YYRegistryWrite(int32_t root, int32_t type, int32_t& status, std::string_view subkey,
                     std::string_view valueName, std::span<const uint8_t> data, int32_t size);
// `truncated` 1 when the name did not fit the buffer's size.
void YYUserName(int32_t& status, int32_t& truncated, std::string& buffer, int32_t length);
void YYFullPath(int32_t& status, std::string_view name, std::string& buffer, int32_t size);
// Status 0 found, 1 the document does not exist, -1 no program known for
// it, 1023 the buffer is too small.
void YYFindExecutable(int32_t& status, std::string_view document, std::string& buffer);
// The creation, access and write times as six 32-bit halves (low, high) of
// 100-nanosecond counts since 1601; there is no creation time here, so it
// reads as the write time and is not set.
void YYFileTimesGet(std::string_view name, std::span<int32_t, 6> times, int32_t& status);
void YYFileTimesSet(std::string_view name, std::span<const int32_t, 6> times, int32_t& status);
void YYFileTimesCopy(std::string_view from, std::string_view to, int32_t& status);
