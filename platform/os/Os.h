// The operating-system layer: files, directories, wildcard search,
// environment, the program's own path and arguments, processes, time,
// locale, temporary files and the registry key store.
//
// Plain POSIX underneath. Names and paths are ordinary strings ("/"
// separators, case-sensitive). Routines that can fail return a status:
// 0 on success, otherwise the errno value of the failure. Nothing here
// reports or prints; the toolkit above decides what a failure means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// ---------------------------------------------------------------- files

// Open modes of FileOpen.
constexpr int kOpenRead = 0;    // must exist; read only
constexpr int kOpenWrite = 1;   // created, or emptied when it exists; write only
constexpr int kOpenUpdate = 2;  // must exist; read and write, position 0

// Opens a regular file. On failure `handle` is -1. A directory is refused
// (EISDIR), and so is anything else that is no regular file (a pipe, a
// device: ENOTSUP), at once and without waiting for a writer or a reader:
// a handle always names a file whose bytes can be read.
//
// Handles come from a table with a generation count: a closed handle is
// refused (EBADF) even after its slot serves another file, and no handle
// reaches the standard input, output or error.
int FileOpen(const std::string& name, int mode, int& handle);
int FileClose(int handle);
// Keeps writers away while the handle is open: a shared advisory lock (the
// lock that readers take; a program asking for an exclusive one is refused).
int FileLockAgainstWriters(int handle);
// Reads up to `count` bytes; `got` < count only at the end of the file.
int FileRead(int handle, void* buffer, size_t count, size_t& got);
// Writes all `count` bytes (retrying short writes); `put` is what was written.
int FileWrite(int handle, const void* buffer, size_t count, size_t& put);
// Origin 0 start, 1 current position, 2 end; any other origin counts from
// the start. `position` is the new position from the start of the file.
int FileSeek(int handle, int64_t offset, int origin, int64_t& position);

// Anything of that name (file, directory, ...) exists.
bool PathExists(const std::string& name);
bool IsDirectory(const std::string& name);

struct FileStatus {
  int64_t size = 0;
  int64_t modified = 0;   // seconds since 1970, UTC
  int64_t accessed = 0;
  bool directory = false;
  bool readOnly = false;  // the owner may not write it
  bool hidden = false;    // its name begins with "."
};
int FileStat(const std::string& name, FileStatus& status);
// Sets access and modification times (seconds since 1970, UTC).
int FileSetTimes(const std::string& name, int64_t accessed, int64_t modified);
// Sets or clears the owner's write permission.
int FileSetReadOnly(const std::string& name, bool readOnly);

int FileDelete(const std::string& name);  // files only; a directory gives EISDIR
// Renames or moves; never replaces an existing target (EEXIST). A file
// moves to another file system as a copy (its permission bits and times
// kept) after which the source is deleted; when that fails, the copy goes
// again and the source stays.
int FileRenameNoReplace(const std::string& from, const std::string& to);
// True when both names lead to one existing file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);
// Copies the bytes of a regular file, replacing an existing target (its
// permission bits follow the source) only once the copy is complete.
// Copying a file onto itself is refused with EEXIST and touches nothing; a
// source that is no regular file is refused at once (EISDIR, ENOTSUP).
int FileCopy(const std::string& from, const std::string& to);

// --------------------------------------------------------- whole files
//
// Every whole file the program writes goes through these: the bytes go to
// a new file beside the target, are flushed to the disk, and replace the
// target by one rename only when every write succeeded; a failed or
// abandoned file leaves the old one untouched. A symbolic link is written
// through (the file it leads to is replaced, the link stays). A replaced
// file keeps its permission bits (and its owner where the system allows);
// a new one gets 0666 less the umask. What an ordinary open for writing
// refuses is refused at the start: a directory (EISDIR), a file the user
// may not write (EACCES, EROFS); a target that is no regular file cannot
// be replaced (ENOTSUP). The temporary name is short, so every name that
// fits the file system can be written.

struct WholeFileWriter {
  int fd = -1;
  std::string target;  // the file replaced (links followed)
  std::string temp;    // the new file until it is complete
  std::string buffer;  // bytes not yet written
  int error = 0;       // the first failure: the target will be kept
  bool noReplace = false;  // the commit fails (EEXIST) where a target exists
};
// Starts a file; `mode` >= 0 gives its permission bits instead (a copy
// takes its source's). 0 or the errno of the refusal.
int WholeFileBegin(WholeFileWriter& w, const std::string& path, int mode = -1);
// Adds bytes; a failure is kept and returned (also by later calls).
int WholeFileWrite(WholeFileWriter& w, std::string_view bytes);
// Marks the file failed for a reason of the caller's (a bad record): it
// will not replace the target.
void WholeFileFail(WholeFileWriter& w, int error);
// Completes the file and puts it in place: 0, or the first failure (the
// target is then untouched and the new file removed). With noReplace an
// existing target gives EEXIST and keeps the complete new file: the caller
// may set another target and commit again, or abandon it.
int WholeFileCommit(WholeFileWriter& w);
// Drops the new file; the target is untouched.
void WholeFileAbandon(WholeFileWriter& w);
// A whole file in one call.
int FileWriteWhole(const std::string& path, std::string_view bytes, int mode = -1);

// Free bytes for an unprivileged user on the file system holding `path`.
int DiskFreeBytes(const std::string& path, uint64_t& bytes);

// ---------------------------------------------------------- directories

int DirGet(std::string& directory);  // the current directory, no trailing "/" (but "/")
int DirSet(const std::string& directory);
int DirCreate(const std::string& directory);
int DirRemove(const std::string& directory);
// The absolute form of a name, made lexically ("." and ".." resolved, no
// symbolic links followed); the name need not exist.
int FullPath(const std::string& name, std::string& full);

// ----------------------------------------------------- wildcard search

// Matches a name against a pattern of "*" (any run) and "?" (any one
// character). A pattern ending in ".*" also matches the name without an
// extension, so "*.*" matches every name.
bool WildcardMatch(const std::string& pattern, const std::string& name);

struct FoundFile {
  std::string name;  // without its directory
  FileStatus status;
};
// Every entry of the pattern's directory (the part up to its last "/",
// else the current directory) whose name matches the part after it, sorted
// by name; "." and ".." are never listed. No match gives ENOENT.
int FindFiles(const std::string& pattern, std::vector<FoundFile>& found);

// ---------------------------------------------------------- environment

// False (and `value` empty) when the variable is not set.
bool EnvGet(const std::string& name, std::string& value);
int EnvSet(const std::string& name, const std::string& value);
int EnvUnset(const std::string& name);

// ---------------------------------------------- program and arguments

// Called once by the program's entry with main's arguments. Resolves the
// program's absolute path at once (before any directory change): the path
// it was started by, made absolute with its links kept (a link to the
// program is the program's path), else its real path.
void SetArguments(int argc, const char* const* argv);
// The arguments given to SetArguments, else those of the running process.
const std::vector<std::string>& Arguments();
// Absolute path of the running program.
const std::string& ProgramPath();
// The running program's own file, every link resolved.
std::string ProgramRealPath();
// The command line rebuilt from the arguments: words separated by one
// blank, a word holding a blank (or empty) enclosed in double quotes.
std::string CommandLine();
// Replaces the arguments (tests).
void SetArgumentsForTest(const std::vector<std::string>& args);
// Replaces the program's path (tests of files named after the program).
void SetProgramPathForTest(const std::string& path);

// The user's login name (empty when unknown).
std::string UserName();

// ------------------------------------------------------------ processes

// Called about every 100 ms while Spawn waits without a time limit.
using SpawnIdle = void (*)();

struct SpawnOutcome {
  bool ended = false;     // the process ended within the wait
  int exitStatus = -1;    // its exit code when it ended normally
};
// Runs argv[0] (searched on PATH) with the argument vector; never through
// a shell. Without `wait` the process is started and left to run (it is
// reaped later). With `wait`: a negative `timeoutSeconds` waits until it
// ends, calling `idle` meanwhile; 0 or more waits at most that long. The
// status is 0 when the process started, else the errno of the failure.
int Spawn(const std::vector<std::string>& argv, bool wait, int timeoutSeconds,
          SpawnOutcome& outcome, SpawnIdle idle = nullptr);
// Runs argv[0] as Spawn does with `input` as its standard input, and waits
// until it ends. The status is 0 when it started (its exit status is in
// `outcome`), else the errno of the failure.
int SpawnWithInput(const std::vector<std::string>& argv, std::string_view input, SpawnOutcome& outcome);
// The path of a program found on PATH (a name holding "/" is taken as it
// is when it can be run); empty when there is none.
std::string FindProgram(const std::string& name);

// What stands in for starting processes (tests): every Spawn and
// SpawnWithInput goes to `run` (input null for Spawn), and FindProgram asks
// `onPath`. An empty hook starts real processes.
struct SpawnHook {
  int (*run)(const std::vector<std::string>& argv, const std::string* input, bool wait,
             SpawnOutcome& outcome) = nullptr;
  bool (*onPath)(const std::string& name) = nullptr;
};
void SetSpawnHook(const SpawnHook& hook);

// ---------------------------------------------------------------- time

// Milliseconds of a monotonic clock, top bit cleared.
uint32_t TickCount();
// Replaces the clock behind TickCount (a virtual clock); nullptr restores it.
void SetTickSource(uint32_t (*source)());

struct LocalTime {
  int year = 0, month = 0, day = 0;  // four-digit year, 1..12, 1..31
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
LocalTime LocalNow();
LocalTime ToLocalTime(int64_t secondsSince1970);
// The reverse of ToLocalTime (seconds since 1970, UTC).
int64_t FromLocalTime(const LocalTime& t);

// ---------------------------------------------------------------- locale

// First character of the user locale's decimal separator ("." when the
// locale cannot be had). The process's own locale is left alone.
char DecimalSeparator();

// ------------------------------------------------------ temporary files

// TEMP, else TMP, else "/tmp/", always ending in "/".
std::string TempDirectory();
// Creates a new empty file `directory` + `prefix` + unique letters +
// `extension`, exclusively (never an existing name, never through a
// link), and gives its name. Nothing else can have created it.
int CreateTempFile(const std::string& directory, const std::string& prefix,
                   const std::string& extension, std::string& path);

// -------------------------------------------------------------- system

// Directory of the system's shared libraries ("/usr/lib/"), standing in
// for a platform system directory.
std::string SystemDirectory();

// ------------------------------------------------------- registry store

// A small key store kept in a text file: keys below seven predefined
// roots (0..6), each key holding named values of a type and bytes. Keys
// and value names compare without regard to ASCII case.
constexpr int kRegistryRoots = 7;

// The store's file: $XDG_CONFIG_HOME/quillon/registry, else
// $HOME/.config/quillon/registry. Created on the first write.
std::string RegistryPath();

// ENOENT when the key does not exist, ENODATA when the value does not.
// An empty value name is the key's default value.
int RegistryRead(int root, const std::string& subkey, const std::string& valueName,
                 int& type, std::vector<uint8_t>& data);
// Creates the key (and its parents) when missing, then sets the value.
int RegistryWrite(int root, const std::string& subkey, const std::string& valueName,
                  int type, const std::vector<uint8_t>& data);
// Creates the key when missing, sets nothing.
int RegistryCreateKey(int root, const std::string& subkey);
// Deletes a key with its values; a key that has subkeys is refused (ENOTEMPTY).
int RegistryDeleteKey(int root, const std::string& subkey);
int RegistryDeleteValue(int root, const std::string& subkey, const std::string& valueName);

}  // namespace plat
