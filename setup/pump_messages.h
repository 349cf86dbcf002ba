// Handling the messages that wait in the installer's queue while it copies.
#pragma once

// Removes, translates and dispatches every waiting message. A quit request is put back for the
// message loop that owns it.
void PumpMessages();
