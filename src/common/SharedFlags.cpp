#include "SharedFlags.h"

CloseGate canQuit;
SharedFlag busy;
SharedFlag statusCheckBusy;
