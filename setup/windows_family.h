// Which family of Windows setup runs on: the Windows 95 family lacks the file system's replacing move
// and its deletion at restart (MoveFileExA there is a stub that fails), so setup does both its own way.
#pragma once

// True on Windows 95, 98 and Me; false on the NT family.
bool OnWindows95Family();
