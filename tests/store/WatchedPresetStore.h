#pragma once

#include "store/PresetStore.h"

#include <functional>

//==============================================================================
/** A store that calls the test's function at every write of the bank files:
    on the writing thread, with the bank's bytes taken, the files not yet
    written and the store's lock free, so that a test can hold a write in
    its middle. Set the function before any thread writes.
*/
class WatchedPresetStore : public PresetStore
{
public:
    using PresetStore::PresetStore;

    std::function<void()> onBankWrite;

protected:
    void aboutToWriteBankFiles() override
    {
        if (onBankWrite != nullptr)
            onBankWrite();
    }
};
