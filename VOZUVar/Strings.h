// Fixed-length text utilities over blank-padded text.
//
// Each routine works on the first n characters of its text (n never reaches
// past the text itself); positions count from 1, a search that finds
// nothing gives 0, and n <= 0 means no characters. Only character 32 is a
// blank, and case changes touch the ASCII letters only. Texts that a routine
// changes are std::span<char> (a std::string passes as one, its size being
// its declared length).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Searching and counting.
int32_t IFNDPT(std::string_view s, int32_t n, std::string_view p, int32_t m);
int32_t INDSTR(std::string_view s, int32_t n);
int32_t IWDSTR(std::string_view s, int32_t n, char c);
int32_t IBGSTR(std::string_view s, int32_t n);
int32_t KNTCHR(std::string_view s, int32_t n, char c);
// The text without its trailing blanks (a view into it). Inline, so that the
// resource compiler, which links nothing of the program, can use it too.
inline std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}
// The shortest decimal text that reads back as v ("0.1", "1e-05").
std::string ShortestText(float v);
// True when the text holds blanks only (or nothing).
bool IsAllBlanks(std::string_view s);
// Copies value into a fixed-length text (its size stays), cut to it and
// padded with blanks; true when the whole value fitted.
bool CopyPadded(std::string& text, std::string_view value);

// Moving and setting characters.
void SHFSTR(std::span<char> s, int32_t n, int32_t k);
// Copies from the left one character at a time, so a source overlapping
// the destination to its right gives a left shift.
void COPSTR(std::span<char> d, std::string_view e, int32_t n);
void COPCHR(std::span<char> d, int32_t n, char c);
void RPLCHR(std::span<char> s, int32_t n, char c1, char c2);
void INTNUMONLY(std::span<char> s, int32_t n);

// Words.
int32_t NWORDS(std::string_view s, int32_t n);
void ADDWRD(std::span<char> s, int32_t n, int32_t& p, std::string_view w, int32_t m);
void NXTWRD(std::string_view s, int32_t n, int32_t& p, std::span<char> w, int32_t wlen);

// Pattern replacement; IRPLPT returns the number of replacements.
void RPL_PAT(std::span<char> s, int32_t n, std::string_view p, int32_t m, std::string_view r, int32_t rlen);
int32_t IRPLPT(std::span<char> s, int32_t n, std::string_view p, int32_t m, std::string_view r, int32_t rlen);
void NTRAIL(std::span<char> s, int32_t& n, char c);

// Case and keyword matching.
int32_t IDNTCL(std::string_view a, std::string_view b, int32_t n);
bool LCUQEQ(std::string_view t, std::string_view k, int32_t n);
void UCTOLC(std::span<char> s, int32_t i, int32_t j);
void LCTOUC(std::span<char> s, int32_t n);
// Marks each 10-character name's shortest distinguishing prefix: the rest
// of the name goes to lower case (names in upper case on entry).
void UNQ10(std::span<std::string> names, int32_t count);

// Character cleaning.
void CHR_CHK(std::span<char> s, int32_t n);
int32_t NCHRCK(std::span<char> s, int32_t n);
void ECD2ASC(std::span<char> s, int32_t n);

// Number texts.
// Writes x with (F12.5), or (1P,E12.3) when that does not fit or |x| is
// below 0.001, and gives the format code 8..12 by magnitude. A text shorter
// than 12 characters ends the program (a record-formatter failure).
void FMTFN(std::span<char> t, float x, int32_t& code);
void FIXFLOAT(std::span<char> t);
int32_t NUMAFTER(std::string_view s, int32_t n, std::string_view k, int32_t m);

// Keyword-value lines: the keyword is searched in the 80-character line,
// the line is shifted left by the keyword's length and its first word read.
bool LREADREAL(std::string_view k, std::span<char> line, float& v);
bool LREADINT(std::string_view k, std::span<char> line, int32_t& v);
bool LREADLOG(std::string_view k, std::span<char> line, bool& v);
// True when t is no number; a "*" anywhere gives the missing value instead.
bool LBADREAL(std::string_view t, float& v);
bool LBADINT(std::string_view t, int32_t& v);
