#pragma once

#include <string>

// The running program's own file, standing in for the module file name of the program.
namespace platform {

// The full path of the running program's file as the system names it (UTF-8, "/"-separated),
// or an empty text when the system cannot tell it. The path is read afresh on each call.
std::string moduleFilePath();

}  // namespace platform
