#pragma once
// String helpers for text in the system's ANSI code page: the program compares names and paths
// without regard to case, the way the platform's string routines do. The case tables are code
// page 1252's until start-up hands over the system's own (UseCodePage); in a double-byte code
// page the second byte of a character is never taken for a letter or a "\".

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextEncoding.h"

namespace qm::text {

// The case tables of the code page in use.
extern std::array<char, 256> kLowerTable;
extern std::array<char, 256> kUpperTable;

// Makes the system's code page the one every routine here follows; at start-up, before any
// text is compared. UseCodePage1252 goes back to the built-in tables (for tests).
void UseCodePage(const platform::CodePageTables& tables);
void UseCodePage1252();
// True when the code page has two-byte characters, and whether `c` begins one.
bool HasLeadBytes();
bool IsLeadByte(char c);
// The text in UTF-8, from the code page in use.
std::string AnsiToUtf8(std::string_view ansi);
// Where the last (first) of `separators` in a path stands as a character of its own, never as
// the second byte of a two-byte character; npos when there is none.
std::size_t FindLastSeparator(std::string_view path, std::string_view separators = "\\/");
std::size_t FindFirstSeparator(std::string_view path, std::size_t from = 0,
                               std::string_view separators = "\\/");
inline char LowerChar(char c) {
    return kLowerTable[static_cast<unsigned char>(c)];
}
inline char UpperChar(char c) {
    return kUpperTable[static_cast<unsigned char>(c)];
}
std::string Lower(std::string_view s);
std::string Upper(std::string_view s);
void LowerInPlace(std::string& s);
// Copies `n` characters in lower case (`to` may equal `from`).
void LowerCopy(const char* from, std::size_t n, char* to);

// Removes leading and trailing blanks (spaces only, like the classic Trim).
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool ContainsNoCase(std::string_view haystack, std::string_view needle);
std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
bool EndsWith(std::string_view s, std::string_view suffix);
bool StartsWith(std::string_view s, std::string_view prefix);

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
std::string ReplaceAllNoCase(std::string_view s, std::string_view from, std::string_view to);

// Every "\\" becomes "\" in one left-to-right pass, the way a single Replace call does it
// (so "\\\" becomes "\\").
std::string ReduceDoubleBackslashes(std::string_view s);
// Returns true when the result still holds a pair (the text had three or more in a row).
bool ReduceDoubleBackslashesInPlace(std::string& s);

// A path's parts around its last "\\" or "/": the folder (without the separator; empty when
// there is none) and the name (the whole path when there is none).
std::string FolderOf(std::string_view path);
std::string FileNameOf(std::string_view path);
std::string_view FileNameView(std::string_view path, std::string_view separators = "\\/");
// A file's name without its extension: "setup" for "C:\x\setup.exe".
std::string StemOf(std::string_view path);
// A path without the backslashes that end it, never emptied: "C:\x\" gives "C:\x".
std::string_view WithoutTrailingBackslashes(std::string_view path);
// The folder holding a file or folder, trailing backslashes ignored: "C:\" for an item at a
// drive's root, empty when there is none.
std::string ParentFolderOf(std::string_view path);
// A path that names the same place whatever the current folder: "C:\..." or "\\server\...".
// "C:x", "\x" and "x" depend on where the program happens to run.
bool IsAbsolutePath(std::string_view path);

// The number a run of decimal digits spells, every character a digit (at most nine of them);
// nothing for an empty text or any other character.
std::optional<int> DigitsValue(std::string_view digits);

// Splits at every occurrence of `sep`; an empty input gives one empty piece.
std::vector<std::string_view> Split(std::string_view s, char sep);

// "1234567" as "1,234,567": digit grouping, no decimals.
std::string FormatWithDigitGrouping(long long value);

// Compares without regard to case in the code page's order of lower-case letters.
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace qm::text
