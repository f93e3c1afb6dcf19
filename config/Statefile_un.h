// The state kept between sessions: the memory register, in a small text file of its own,
// written whole or not at all. Reading takes any bytes: what is not a file this program
// wrote is said in one line on stderr and taken as no memory, so that it never stops a start.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr const char* StateFileName = "memory";
// Bytes of a state file read at most; a good one takes under a hundred.
constexpr std::size_t MaxStateBytes = 4096;

// The file's text for a memory value.
std::string StateText(double memory);
// The memory a file's text keeps; false, with the reason, when the text is not such a file.
bool ParseState(std::string_view text, double& memory, std::string& why);

// The memory the file keeps; 0 when there is none. No file is no memory; any other failure
// (unreadable, a folder or a link in its place, damaged, too long) is said on stderr.
double ReadState(const std::string& path);
// Writes the file beside itself under another name, flushed to disk, then renamed into its
// place: a crash at any moment leaves the old file or the new one. A failure is said on
// stderr and leaves the old file; false then.
bool WriteState(const std::string& path, double memory);
