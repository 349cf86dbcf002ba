// Runs slidetool.exe (built beside the tests) with arguments, catching what it says on both streams.
#pragma once

#include <string>
#include <vector>

#include "e2e.h"

// The exit code, or -100 when the tool could not be started.
inline long RunTool(const std::vector<std::string>& arguments, std::string* said)
{
    e2e::TempFolder folder;
    std::string command = "\"" + e2e::BesideTest("slidetool.exe") + "\"";
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    e2e::Process tool;
    if (!tool.Start("cmd /c \"" + command + " >\"" + folder.File("said.txt") + "\" 2>&1\"")) return -100;
    const long code = tool.Wait(60000);
    e2e::ReadFileBytes(folder.File("said.txt"), said);
    return code;
}
