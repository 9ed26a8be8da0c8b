// Drawing one decoded picture as the saver draws it, shared by the render command's
// two forms (a picture file, a database record).
#pragma once

#include "imaging/ImageInfo.h"

// Draws `image` at `percent` of its size onto a black canvas of that size and writes the
// canvas to `output` as PNG; messages name the picture `picture`. Gives the picture's
// memory back. Returns the exit status.
int renderImage(img_lib::_ImageInfo& image, const char* picture, const char* output, int percent);

// The database form: record `index` of the image database `database`.
int renderRecord(const char* database, const char* index, const char* output, int percent);
