#include "drive_rules.h"

namespace {
// GetDriveType's numbers for the two types with icons of their own.
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveCdrom = 5;
} // namespace

std::vector<std::string> DriveNamesFromMask(uint32_t mask) {
    std::vector<std::string> names;
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i))
            names.push_back(std::string(1, static_cast<char>('A' + i)) + ":");
    }
    return names;
}

std::string DriveRootPath(const std::string& driveName) {
    if (!driveName.empty() && driveName.back() == '\\')
        return driveName;
    return driveName + "\\";
}

int DriveIconResource(unsigned driveType) {
    if (driveType == kDriveRemovable)
        return 141;
    if (driveType == kDriveCdrom)
        return 142;
    return 140;
}

bool ShouldQueryDriveSpace(const std::string& driveName) {
    return !(driveName.size() >= 2 && (driveName[0] == 'a' || driveName[0] == 'A') &&
             driveName[1] == ':');
}
