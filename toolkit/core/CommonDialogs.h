// The common dialogs: file open and save, page set-up, the user's
// measurement system, the screen position of a dialog's owner, a colour
// dialog and a directory browser. Each is modal and keeps the other toolkit
// windows disabled while it is open.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The size of a file-name field that holds every path the system takes
// (its longest path and the terminating zero).
inline constexpr size_t kFileNameRoom = PATH_MAX;

// File selection flags.
inline constexpr int32_t kSelectSave = 1;           // save dialog (else open)
inline constexpr int32_t kSelectPrompt = 2;         // save: ask before overwriting; open: before creating
inline constexpr int32_t kSelectPathMayBeMissing = 4;
inline constexpr int32_t kSelectKeepDirectory = 8;  // keep the directory moved to on confirming
inline constexpr int32_t kSelectMultiple = 16;      // open: several files
inline constexpr int32_t kSelectDefaultExtension = 32;
inline constexpr int32_t kSelectMustExist = 128;    // open: the file must exist

// Selects a file. filters is a list of description and pattern pairs, each
// ended by the separator that ends the list ("Flat ASCII Data File|*.DAT|").
// Item 4 of WDialogInfoItem is 1 when a file was chosen (its path then in
// file, blank-padded to the size it had), 0 when cancelled, -1 when the
// dialog failed. A path longer than file's size is never cut: the dialog
// refuses it with a message naming it and the user chooses again.
void WSelectFileDefaults(std::string_view filters, int32_t flags, std::string& file,
                         std::optional<std::string_view> title = std::nullopt, int32_t* filterIndex = nullptr);
// Filter source 0 no list, -1 the given text, else that string-table entry;
// a non-zero freeze flag keeps the other windows' pictures while it is open.
void WSelectFile(int32_t filterSource, std::string_view filters, int32_t flags, std::string& file,
                 std::string_view title, int32_t& filterIndex, int32_t freeze);

// The platform half of the file dialog; file holds the initial name and
// comes back with the answer (at most fileSize - 1 characters).
void YYFileDialog(int32_t filterSource, int32_t& filterIndex, int32_t save, int32_t prompt, int32_t pathMayBeMissing,
                  int32_t multiple, int32_t defaultExtension, int32_t mustExist, int32_t& answer, int32_t& error,
                  const std::string& title, std::string& file, size_t fileSize, const std::string& initialDirectory,
                  const std::string& filters);
// Splits a path into its directory (left in path) and its file name.
void YYPathSplit(std::string& path, std::string& file);

// Page set-up for printing; sizes in thousandths of an inch (unit code 1)
// or hundredths of a millimetre (2 or more).
void YYPageSetupDialog(int32_t& paperWidth, int32_t& paperHeight, int32_t& printableWidth,
                       int32_t& printableHeight, int32_t& leftMargin, int32_t& topMargin, int32_t& orientation,
                       int32_t& copies, int32_t& colours, int32_t unitCode, int32_t& confirmed);
// 1 when the user's locale measures in inches, 2 when metric.
void YYLocaleMeasure(int32_t& result);
// Screen position of the top-left corner of window n's drawing area; -1:
// the active modeless dialog's, or the root frame's when none is active.
void YYDialogNearOwner(int32_t window, int32_t, int32_t, int32_t& x, int32_t& y);
// Colour dialog: red, green, blue 0..255 in and out; answer 1 confirmed.
void YYColourDialog(int32_t& red, int32_t& green, int32_t& blue, int32_t& answer, int32_t& error);
// Directory browser: answer 1 chosen (directory holds it), 2 cancelled.
// Flags: 4 the directory may be missing, 64 offer to create it.
void YYDirectoryDialog(int32_t titleChoice, int32_t& answer, int32_t flags, std::string& directory,
                       std::string_view title);

// What the page set-up keeps between calls (tests).
void ResetCommonDialogs();
