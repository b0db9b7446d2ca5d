#pragma once
// The drive overview's rows: which letters are listed, under which name, with which
// icon, and which drives are asked for their space.

#include <cstdint>
#include <string>
#include <vector>

// "A:" to "Z:" for every bit set in the logical-drive mask (bit 0 = A), in letter order.
std::vector<std::string> DriveNamesFromMask(uint32_t mask);

// The root a drive function needs: "C:" becomes "C:\" ("C:" alone would mean the current
// folder on drive C).
std::string DriveRootPath(const std::string& driveName);

// The icon resource of a drive type (GetDriveType's numbers): 141 removable, 142 CD,
// 140 every other type.
int DriveIconResource(unsigned driveType);

// A: is never asked for its space (asking would spin up a floppy drive).
bool ShouldQueryDriveSpace(const std::string& driveName);
