#pragma once
// What the system told in one batch, thinned before anything is looked at on disk: a name
// told several times is looked at once, after the last of them, and a file created and
// removed again within the batch is not looked at at all.

#include <vector>

#include "change_source.h"

// Drops from `batch` every telling a later one makes pointless, keeping the order of the
// rest. A created entry stays told as created, whatever it is told as later.
void ThinToldBatch(std::vector<RawChange>& batch);
