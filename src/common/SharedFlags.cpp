#include "SharedFlags.h"

CloseGate canQuit;
std::atomic<bool> busy { false };
std::atomic<bool> statusCheckBusy { false };
