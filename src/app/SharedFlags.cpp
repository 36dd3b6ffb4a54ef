#include "SharedFlags.h"

std::atomic<bool> canQuit { true };
std::atomic<bool> busy { false };
std::atomic<bool> statusCheckBusy { false };
