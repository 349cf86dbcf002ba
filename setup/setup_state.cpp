// The installer's process-wide state.
#include "setup/setup_state.h"

SetupState gSetup;

void ResetPendingFolders(SetupState& state)
{
    GrowClear(state.pendingFolders);
    state.pendingCount = 0;
}
