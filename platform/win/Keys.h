// Virtual-key codes. These numbers reach the program (the toolkit passes any
// key it does not translate itself on as its code), so they keep the classic
// numbering: letters and digits are their upper-case ASCII codes.
#pragma once

#include <cstdint>

namespace plat::vk {

constexpr uint32_t LButton = 1;
constexpr uint32_t RButton = 2;
constexpr uint32_t MButton = 4;
constexpr uint32_t Back = 8;
constexpr uint32_t Tab = 9;
constexpr uint32_t Clear = 12;       // keypad 5 without Num Lock
constexpr uint32_t Return = 13;
constexpr uint32_t Shift = 16;
constexpr uint32_t Control = 17;
constexpr uint32_t Menu = 18;        // Alt
constexpr uint32_t Pause = 19;
constexpr uint32_t Capital = 20;     // Caps Lock
constexpr uint32_t Escape = 27;
constexpr uint32_t Space = 32;
constexpr uint32_t Prior = 33;       // Page Up
constexpr uint32_t Next = 34;        // Page Down
constexpr uint32_t End = 35;
constexpr uint32_t Home = 36;
constexpr uint32_t Left = 37;
constexpr uint32_t Up = 38;
constexpr uint32_t Right = 39;
constexpr uint32_t Down = 40;
constexpr uint32_t Select = 41;
constexpr uint32_t Snapshot = 44;    // Print Screen
constexpr uint32_t Insert = 45;
constexpr uint32_t Delete = 46;
constexpr uint32_t Key0 = 48;        // '0'..'9' are 48..57
constexpr uint32_t KeyA = 65;        // 'A'..'Z' are 65..90
constexpr uint32_t Numpad0 = 96;     // keypad digits 96..105
constexpr uint32_t Multiply = 106;
constexpr uint32_t Add = 107;
constexpr uint32_t Separator = 108;
constexpr uint32_t Subtract = 109;
constexpr uint32_t Decimal = 110;
constexpr uint32_t Divide = 111;
constexpr uint32_t F1 = 112;         // F1..F24 are 112..135
constexpr uint32_t NumLock = 144;
constexpr uint32_t Scroll = 145;
// Punctuation keys of a US keyboard (unshifted character in the comment).
constexpr uint32_t OemSemicolon = 186;  // ;
constexpr uint32_t OemPlus = 187;       // =
constexpr uint32_t OemComma = 188;      // ,
constexpr uint32_t OemMinus = 189;      // -
constexpr uint32_t OemPeriod = 190;     // .
constexpr uint32_t OemSlash = 191;      // /
constexpr uint32_t OemTilde = 192;      // `
constexpr uint32_t OemLBracket = 219;   // [
constexpr uint32_t OemBackslash = 220;  // backslash
constexpr uint32_t OemRBracket = 221;   // ]
constexpr uint32_t OemQuote = 222;      // '

constexpr uint32_t fn(int n) { return F1 + static_cast<uint32_t>(n - 1); }  // fn(2) == F2
constexpr uint32_t letter(char c) { return static_cast<uint32_t>(c >= 'a' && c <= 'z' ? c - 32 : c); }

}  // namespace plat::vk
