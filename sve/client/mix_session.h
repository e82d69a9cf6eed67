// The instruction mix of one process: asked for through the environment, reported at exit.
//   OSTREL_MIX_FILE    the report's file; no counting without it
//   OSTREL_MIX_FORMAT  text (the default) or csv
#pragma once

#include <string>

namespace ostrel::mix {

inline constexpr const char *kMixFileVariable = "OSTREL_MIX_FILE";
inline constexpr const char *kMixFormatVariable = "OSTREL_MIX_FORMAT";

// Creates the report file and starts counting when OSTREL_MIX_FILE asks for a mix. Returns an
// empty string, or one line saying why the mix cannot be made (unknown format, a file that cannot
// be written); the front end then stops the program before it starts.
std::string start_mix_from_environment();

// Writes the report, once; later calls do nothing. A failed write is reported on stderr.
void finish_mix();

} // namespace ostrel::mix
