// The saver's run modes, decoded from the switch letter Windows passes.
#pragma once

enum class RunMode {
    None = 0,            // unknown letter: read the settings and end
    Configure = 1,       // "c", or an empty command line
    ChangePassword = 2,  // "a"
    Preview = 3,         // "p" or "l"
    Saver = 4,           // "s"
};
