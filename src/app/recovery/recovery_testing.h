#pragma once

namespace qv {

// A kill that tests make the adoption of a left copy meet on purpose: a program cannot be
// killed at an exact point between two file operations on demand, so the adoption stops there
// instead by raising SimulatedKill, and the test drops the program as a crash would (the locks
// go with their descriptors; no file is touched on the way out).
struct RecoveryFaults {
    // The step of the adoption (counted from 1) after which it stops; 0 for none.
    int killAfterAdoptionStep = 0;
};

struct SimulatedKill {};

// Installs the faults for the following adoptions; nullptr removes them. The object must
// outlive its installation.
void SetRecoveryFaultsForTesting(const RecoveryFaults* faults);

}  // namespace qv
