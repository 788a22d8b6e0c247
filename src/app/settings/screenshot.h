#pragma once

#include <string>

// The name a screenshot with number n gets: "screen000.png" .. "screen999.png", then "screen1000.png".
std::string screenshotName(int n);
// Saves the display as the first free "screenNNN.png" in the working directory; returns the name, or an
// empty text when the file could not be written.
std::string takeScreenshot();
