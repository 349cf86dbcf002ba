// Fuzzes the run-mode decoding of the installer's command line.
#include <cstdint>
#include <string>

#include "setup/setup_command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line.push_back('\0');  // zero bytes inside end the command line early, as they would in Windows
    SetupMode mode = ParseSetupCommandLine(line.c_str(), "setup.exe");
    if (mode != SetupMode::Interactive && mode != SetupMode::Relocate && mode != SetupMode::Uninstall) __builtin_trap();
    return 0;
}
