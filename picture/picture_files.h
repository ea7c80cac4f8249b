#pragma once

// Finding our own picture files, so that the program can be started from any
// directory.

#include <string>
#include <string_view>

namespace tapwright {

// Path of the picture file `name` (a bare file name): `name` itself when such a file
// exists in the working directory, else the file of that name in the directory of
// the running program (the build tree) when it exists there, else the file in the
// installed data directory when it exists there, else `name` unchanged.
std::string FindPictureFile(std::string_view name);

// Directory of the running program, or an empty string when it cannot be told.
std::string ProgramDirectory();

// The data directory of an installed copy (PREFIX/share/tapwright), found from the
// program's own directory (PREFIX/bin) so that a moved prefix still works; an empty
// string when the program's directory cannot be told.
std::string InstalledDataDirectory();

}  // namespace tapwright
