// Writes a 32-bit canvas as an 8-bit RGB PNG file.
#pragma once

#include <string>

#include "imaging/Canvas.h"

// Writes the canvas's pixels (0x00RRGGBB) to `path`; on failure returns false and
// describes it in `error`.
bool writePng(const char* path, const img_lib::Canvas& canvas, std::string& error);
