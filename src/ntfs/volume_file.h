#pragma once
// A volume's bytes from a file the system opens by name: an image file, or on Windows a
// volume's device ("\\.\C:"), which only an administrator may open.

#include <memory>
#include <string>

#include "volume_bytes.h"

// Opens `path` for reading; null, with an errno value in `error`, when it cannot be.
std::unique_ptr<VolumeBytes> OpenVolumeFile(const std::string& path, int& error);
