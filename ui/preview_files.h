#pragma once

#include <string>

#include "ui/preview_picture.h"

namespace vantrel {

// The files the preview's frames pass through on their way to the window.

// A name nobody can guess: 16 random hexadecimal digits.
std::string RandomName();

// A fresh folder in the system's temporary folder, named `prefix` and a
// random part, that only this user may read; empty when none could be made.
std::string MakePrivateFolder(const std::string& prefix);

// Removes `folder` and everything in it; one that is not there is no failure.
void RemoveFolder(const std::string& folder);

// The path of `name` in `folder`.
std::string FileIn(const std::string& folder, const std::string& name);

// The frame at `path`: `width` x `height` pixels of RGB bytes, row after row.
// Empty unless the file holds exactly that.
PreviewPicture ReadPreviewPicture(const std::string& path, int width, int height);

}  // namespace vantrel
