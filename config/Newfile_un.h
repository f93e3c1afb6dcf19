// A file written whole beside where it is to go, under a name of its own, and flushed to disk
// before the caller puts it in place: a crash at any moment never leaves part of it under its
// name. Shared by the defaults file and the kept memory.
#pragma once

#include <string>

#include <sys/types.h>

// Writes text to a new file named path + ".XXXXXX", with the mode an ordinary creation with
// `mode` would give it (the umask applied), flushed to disk and closed; its name in
// temporary. False, with errno set and nothing left, when it cannot.
bool WriteBeside(const std::string& path, const std::string& text, mode_t mode,
                 std::string& temporary);
