// File names as the platform's file system compares them.
#pragma once

#include <string>

// Whether two names of files in one folder name the same file: Windows
// compares names without regard to case, POSIX systems letter for letter.
bool same_file_name(const std::string &a, const std::string &b);
