#pragma once

// Finding our own picture files, so that the program can be started from any
// directory.

#include <string>
#include <string_view>

namespace tapwright {

// Path of the picture file `name` (a bare file name): `name` itself when such a file
// exists in the working directory, else the file of that name in the directory of
// the running program when it exists there, else `name` unchanged.
std::string FindPictureFile(std::string_view name);

// Directory of the running program, or an empty string when it cannot be told.
std::string ProgramDirectory();

}  // namespace tapwright
