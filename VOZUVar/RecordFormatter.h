// The record formatter: every text file of the program and every number that
// becomes text (or text that becomes a number) goes through here.
//
// A record is one line. Its layout is a format in edit-descriptor notation,
// given as text at the call, e.g. "(I5)", "('FHeight=',1P,E13.4)" or
// "(TR9,I4,',    Variations: ',25(1P,E13.5,', '))":
//   Iw Iw.m I    integer (I alone: 12 positions)
//   Zw Zw.m      integer as upper-case hexadecimal digits
//   Fw.d         fixed point            Ew.d Ew.dEe   exponent form
//   Gw.d Gw.dEe  general form           kP            scale factor for F/E/G
//   Lw           logical as T or F      A Aw          text
//   'text' "text" nHtext               literal characters
//   nX TRn TLn Tn                       positioning
//   /            new record             BN            blanks in numbers ignored
//   r( ... )     group repeated r times; r in front of a data descriptor or /
// Letters may be in either case; blanks outside literals are ignored.
//
// Records written to a file end with CR LF; records read from a file end at
// LF and a CR before it is dropped. A record shorter than the format asks
// for reads as if padded with blanks. A line longer than kRecordMaxLength
// reads as its first kRecordMaxLength characters: the statement returns
// kRecordTooLong with its variables read from them, and the next statement
// starts at the next line.
//
// Every statement returns a status: 0 success, -1 end of file, a positive
// RecordError for any other failure. A statement whose caller wants no
// status passes it to RecordRequire(), which ends the program on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

inline constexpr int32_t kRecordOk = 0;
inline constexpr int32_t kRecordEndOfFile = -1;
// Reserved for end of record: records are padded with blanks when read, so
// no statement here runs out of a record.
inline constexpr int32_t kRecordEndOfRecord = -2;

enum RecordError : int32_t {
  kRecordBadFormat = 1,      // the format is no valid edit-descriptor list
  kRecordWrongType = 2,      // a descriptor that does not fit the value's type
  kRecordTooLong = 3,        // more than the text variable or a file record holds
  kRecordBadField = 4,       // an input field that is not a number or logical
  kRecordUnitNotOpen = 5,    // unit not open, or open for the other direction
  kRecordOpenFailed = 6,     // file could not be opened or created
  kRecordIoFailed = 7,       // a file read, write or close failed
  kRecordFormatNoData = 8,   // values remain but the format takes none
  kRecordTooComplex = 9,     // the statement would take too many format steps
  // A valid format that passes one of the bounds below; the status text
  // names the bound.
  kRecordFormatTooLong = 10,        // kRecordMaxFormatLength characters
  kRecordFormatTooManyItems = 11,   // kRecordMaxItems items
  kRecordFormatWidthLimit = 12,     // kRecordMaxWidth: w, d, m, nX, TRn, TLn, nH
  kRecordFormatPositionLimit = 13,  // kRecordMaxLength: Tn
  kRecordFormatRepeatLimit = 14,    // kRecordMaxRepeat
  kRecordFormatNestingLimit = 15,   // kRecordMaxNesting
  kRecordFormatExponentLimit = 16,  // kRecordMaxExponentDigits: e of Ee
  kRecordFormatScaleLimit = 17,     // kRecordMaxScale: k of kP
};

// Bounds of formats and records.
inline constexpr int32_t kRecordMaxFormatLength = 4096;   // characters of a format
inline constexpr int32_t kRecordMaxItems = 256;           // items of a format: descriptors, literals, groups, slashes
inline constexpr int32_t kRecordMaxWidth = 4096;          // w, d, m, n of nX/TRn/TLn, nH
inline constexpr int32_t kRecordMaxRepeat = 65535;
inline constexpr int32_t kRecordMaxNesting = 16;
inline constexpr int32_t kRecordMaxExponentDigits = 9;
inline constexpr int32_t kRecordMaxScale = 99;
inline constexpr int32_t kRecordMaxLength = 65536;        // one record of a file; Tn

// The console: standard output, always open for writing (records end in LF).
inline constexpr int32_t kConsoleUnit = -1;
// File units are numbered 1..kRecordMaxUnit by their callers.
inline constexpr int32_t kRecordMaxUnit = 999;

// One value of an output list. Arrays stand for all their elements in order,
// as if each were listed.
struct RecordValue {
  enum class Kind : uint8_t { Int32, Real32, Real64, Logical, Text, Int32s, Real32s, Real64s };
  Kind kind;
  int32_t i = 0;
  float f = 0.0f;
  double d = 0.0;
  bool l = false;
  const void* data = nullptr;  // text characters or array elements
  std::size_t count = 0;       // text length or element count

  RecordValue(int32_t v) : kind(Kind::Int32), i(v) {}
  RecordValue(float v) : kind(Kind::Real32), f(v) {}
  RecordValue(double v) : kind(Kind::Real64), d(v) {}
  RecordValue(bool v) : kind(Kind::Logical), l(v) {}
  // A text at its declared length (trailing blanks included).
  RecordValue(std::string_view v) : kind(Kind::Text), data(v.data()), count(v.size()) {}
  RecordValue(const char* v) : RecordValue(std::string_view(v)) {}
  RecordValue(const std::string& v) : RecordValue(std::string_view(v)) {}
  RecordValue(std::span<const int32_t> v) : kind(Kind::Int32s), data(v.data()), count(v.size()) {}
  RecordValue(std::span<const float> v) : kind(Kind::Real32s), data(v.data()), count(v.size()) {}
  RecordValue(std::span<const double> v) : kind(Kind::Real64s), data(v.data()), count(v.size()) {}
};

// One variable of an input list. A text variable's declared length is its
// size (for a std::string: its current size).
struct RecordTarget {
  enum class Kind : uint8_t { Int32, Real32, Real64, Logical, Text, Int32s, Real32s, Real64s };
  Kind kind;
  void* data;
  std::size_t count = 1;

  RecordTarget(int32_t& v) : kind(Kind::Int32), data(&v) {}
  RecordTarget(float& v) : kind(Kind::Real32), data(&v) {}
  RecordTarget(double& v) : kind(Kind::Real64), data(&v) {}
  RecordTarget(bool& v) : kind(Kind::Logical), data(&v) {}
  RecordTarget(std::span<char> v) : kind(Kind::Text), data(v.data()), count(v.size()) {}
  RecordTarget(std::string& v) : kind(Kind::Text), data(v.data()), count(v.size()) {}
  RecordTarget(std::span<int32_t> v) : kind(Kind::Int32s), data(v.data()), count(v.size()) {}
  RecordTarget(std::span<float> v) : kind(Kind::Real32s), data(v.data()), count(v.size()) {}
  RecordTarget(std::span<double> v) : kind(Kind::Real64s), data(v.data()), count(v.size()) {}
};

// Formatted write into a text variable (one record): the text is filled from
// the left and the rest is blank. A std::string keeps its size.
int32_t RecordWrite(std::span<char> text, std::string_view format,
                    std::span<const RecordValue> values);
int32_t RecordWrite(std::span<char> text, std::string_view format,
                    std::initializer_list<RecordValue> values = {});
// Formatted write of one or more records to a unit.
int32_t RecordWrite(int32_t unit, std::string_view format, std::span<const RecordValue> values);
int32_t RecordWrite(int32_t unit, std::string_view format,
                    std::initializer_list<RecordValue> values = {});

// Formatted read from a text (its characters are one record) or from the
// next record(s) of a unit.
int32_t RecordRead(std::string_view text, std::string_view format,
                   std::span<const RecordTarget> targets);
int32_t RecordRead(std::string_view text, std::string_view format,
                   std::initializer_list<RecordTarget> targets);
int32_t RecordRead(int32_t unit, std::string_view format, std::span<const RecordTarget> targets);
int32_t RecordRead(int32_t unit, std::string_view format,
                   std::initializer_list<RecordTarget> targets);

// List-directed write: each value in its fixed field (integer I12, logical
// L2, 32-bit real G15.7E2, 64-bit real G24.15E3, text at its length); every
// record begins with one blank and is at most 80 characters: a value that
// would pass the 80th character begins a new record (a value longer than a
// whole record stands alone on its record). No values: one empty record.
int32_t RecordWriteList(int32_t unit, std::span<const RecordValue> values);
int32_t RecordWriteList(int32_t unit, std::initializer_list<RecordValue> values = {});

// File units. A unit opened for writing creates its file anew through the
// OS layer's whole-file writer: the file replaces an old one of that name
// only when the unit is closed after every write succeeded (a bad format,
// a record too long, a full disk all mark the unit failed), so a failed
// export never leaves a half-written file in its place; later writes and
// the close return the first failure. A replaced file keeps its permission bits, a link is
// written through, and a file the user may not write is refused at the
// open (kRecordOpenFailed). Opening an open unit closes it first. Reading
// needs an existing regular file; anything else (a directory, a pipe, a
// device) is refused at once.
enum class RecordUnitMode { Read, Write };
int32_t RecordOpen(int32_t unit, std::string_view path, RecordUnitMode mode);
int32_t RecordClose(int32_t unit);
bool RecordUnitIsOpen(int32_t unit);
bool RecordFileExists(std::string_view path);
// The system's error number of the last unit open or close that failed
// (EIO when the failure was a record the formatter refused): the reason a
// message gives the user.
int RecordLastSystemError();
// Drops every unit; unfinished written files are removed (tests, fatal end).
void ResetRecordUnits();

// The text of a status, for messages.
std::string_view RecordStatusText(int32_t status);

// For statements that ask for no status: a failure shows one error box with
// the status number and text and ends the program with a non-zero code.
void RecordRequire(int32_t status);

// Shows the fatal message; set by the toolkit's start-up. While unset the
// message goes to standard error.
using RecordFatalHook = void (*)(std::string_view message);
void SetRecordFatalHook(RecordFatalHook hook);
