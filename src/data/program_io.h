// The command line and the standard streams of a console program as the rest of the code
// expects them on every platform: arguments in UTF-8 and streams that pass bytes unchanged.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace data {

// The program's arguments after the program name, in UTF-8. On Windows they are read from the
// wide command line (argv holds them in the ANSI code page, which loses letters); elsewhere
// argv is taken as it is.
std::vector<std::string> programArguments(int argc, char** argv);

// Standard input, output and error pass bytes unchanged: on Windows they are switched to binary
// mode (no CR added before LF, none taken away on input) and a console shows UTF-8.
void useBinaryStandardStreams();

// A path given as UTF-8 text.
std::filesystem::path pathFromUtf8(const std::string& text);

} // namespace data
