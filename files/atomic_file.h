#pragma once

// Whole-or-nothing file writing, shared by every writer of the program. Pure C++
// over POSIX.

#include <string>
#include <string_view>

namespace tapwright {

// Writes the text to `path` whole or not at all (a temporary file beside it,
// flushed to disk and renamed into place). The file gets the permissions an
// ordinary new file would get. On failure returns false, leaves no temporary file
// behind and describes the failure in `error` (when not null).
bool WriteFileAtomically(const std::string& path, std::string_view text, std::string* error);

}  // namespace tapwright
