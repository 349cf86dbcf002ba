// The installer's process-wide state.
#include "setup/setup_state.h"

#include "setup/resource.h"

SetupState gSetup;

int LoadText(const SetupState& state, UINT id, char* out, int size)
{
    int length = LoadStringA(state.instance, id, out, size);
    return length > 0 && length < size - 1 ? 0 : -1;
}

void LoadCaption(SetupState& state)
{
    if (LoadText(state, IDS_PRODUCT_NAME, state.caption, sizeof state.caption) != 0) state.caption[0] = '\0';
}

void ResetPendingFolders(SetupState& state)
{
    GrowClear(state.pendingFolders);
}
