// The walks move the process's current directory; these wrap the two calls they need.
#pragma once
#include <string>

#include "app/exact_names.h"

// Makes `path` the current directory; a failure raises the input/output error of its code.
void ChangeDirectory(const std::string& path);

// The current directory as the system reports it, with one trailing backslash.
std::string CurrentDirectoryPrefix();

// True when the path's attributes can be read and include the directory attribute.
bool IsExistingDirectory(const std::string& path);
