#pragma once

// A picture of part of the screen, saved as a PNG file, for the run
// command's screenshot of the window.

#include <windows.h>

#include <string>

namespace demo {

// Captures what the screen shows inside `area` and writes it to `path` as a
// PNG; false if either fails.
bool SaveScreenshot(const RECT& area, const std::string& path);

}  // namespace demo
