#pragma once

// Included before everything in the fuzz build: a framework assertion is
// handed to the fuzz target, which stops the run unless that assertion is one
// its input may legally trigger. Damaged bytes reaching the framework are
// found even when they do no visible harm.
void auralisFuzzFrameworkAssertion (const char* file, int line);

#define JUCE_LOG_CURRENT_ASSERTION auralisFuzzFrameworkAssertion (__FILE__, __LINE__);
