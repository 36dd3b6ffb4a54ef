#include "PresetStore.h"

// Placeholder until the store lands.
PresetStore::PresetStore (const juce::File& file)
    : presetsFile (file), backupFile (file.getFullPathName() + "_"), bank ("bank")
{
}

void PresetStore::load() {}
void PresetStore::save() {}
juce::StringArray PresetStore::getProfileNames() const { return {}; }
bool PresetStore::findProfile (const juce::String&, ProfileRecord&) const { return false; }
void PresetStore::fillRecord (const juce::ValueTree&, ProfileRecord&) const {}
juce::ValueTree PresetStore::presetAt (int) const { return {}; }
int PresetStore::numProfiles() const { return 0; }
void PresetStore::setLastSelectedPreset (int) {}
int PresetStore::getLastSelectedPreset() const { return 0; }
void PresetStore::removeProfile (const juce::String&) {}
void PresetStore::mergeStatusReply (const juce::String&, const juce::var&) {}
bool PresetStore::updateHrtfIds (const juce::String&, const juce::var&) { return false; }
juce::File PresetStore::hrtfFileFor (const juce::String&) const { return {}; }
bool PresetStore::backupHrtfFile (const juce::File&) { return false; }
bool PresetStore::isSafeHrtfId (const juce::String&) { return false; }
