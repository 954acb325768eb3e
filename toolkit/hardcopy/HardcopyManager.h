// The hardcopy switch between the graphics engine and the hardcopy
// drivers: which driver is selected, sending an operation to it, starting
// and stopping a hardcopy (the period in which every drawing operation
// also goes to the driver), running a pending print command on a finished
// plot file, and the re-initialisation of the whole graphics state.
//
// One hardcopy as a driver sees it: operation 1 with OpCount -999 (a
// probe, answered with the driver's number), 18, 33, 21, 30, 29, 36, 37,
// 24, 21, 3, the drawing operations, 20 (only while PageOpen) and 19.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

inline constexpr int kHardcopyDrivers = 12;

// The selected driver, 1..12 (10 at start-up); other numbers, and numbers
// whose entry is empty (5 and 7 always), select none.
int32_t& HardcopyDriverNumber();
// The drivers by number (element 0 unused).
std::array<GraphicsDriver, kHardcopyDrivers + 1>& HardcopyDriverTable();
// The output name of a start that holds " @ ": the command that runs on
// the finished plot file at the next stop (blank when none is pending).
std::string& PendingPrintCommand();

// Everything back to the start of the program (tests): driver 10 selected,
// the table of drivers, options, the plot-file units, no pending command.
void ResetHardcopyManager();

void YYHardcopyDispatch(int32_t op);
// With op 1: selects the driver (no range check) and lets it initialise
// itself. Any other op: nothing.
void YYHardcopySelect(int32_t op, int32_t number);
// Ends any active hardcopy; a one-character "S" or "s" then stops (and
// runs a pending print command), anything else starts a new hardcopy to
// the file the option names (the driver's default when it is blank).
void YYHardcopyStartStop(std::string_view option, std::optional<std::string_view> title = std::nullopt);
// Re-initialises the graphics state and the selected driver. Letters of
// the option, either case: "H" no screen output, "P" keep the hardcopy
// options. The three further arguments are accepted and not used.
void YYGrStateInit(std::string_view option, std::optional<int32_t> = std::nullopt,
                   std::optional<int32_t> = std::nullopt, std::optional<int32_t> = std::nullopt);
// Runs a print command given as its words and waits for it to end; a
// command that cannot be started, or that ends with a failure, is
// reported (error 13).
void YYPRNCMD(const std::vector<std::string>& words);
// The words of a pending print command once its first at sign is replaced
// by the plot file's name: blank-separated, double quotes grouping words,
// the plot file's name one word with whatever touches the at sign.
std::vector<std::string> PrintCommandWords(std::string_view command, std::string_view plotFile);
// Shows a help topic (-1 when absent: the contents).
void WHelpTopic(std::string_view helpFile, std::optional<int32_t> topic = std::nullopt,
                std::optional<int32_t> option = std::nullopt);
