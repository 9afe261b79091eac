// Files and the command line of the tool, with UTF-8 paths and arguments on
// every platform.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "bytes.h"

namespace javelin::brand {

// The arguments after the program name, as UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Opens `path` for reading in binary mode; null with `error` set when it
// cannot.
FILE* OpenForReading(const std::string& path, std::string* error);

bool ReadWholeFile(const std::string& path, Bytes* contents, std::string* error);

// Writes `contents` to a temporary file beside `path` and renames it over
// `path`, so that `path` holds either the old or the new contents, never a
// part. A new file gets the permissions of `modelPath` when it exists.
bool ReplaceWholeFile(const std::string& path, const Bytes& contents, const std::string& modelPath,
                      std::string* error);

}  // namespace javelin::brand
