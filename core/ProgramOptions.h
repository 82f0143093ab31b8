#pragma once

#include "FileResult.h"

// Options the user settings file has no place for. They live in "hakaron.ini" beside the record
// file, so that user.dat keeps its layout for every program that reads it.
namespace ProgramOptions {
QString IniPath();
// Reads the options into G_Param; a missing file or key keeps the default: a whole person
// (height and weight) before automatic writing.
void Read();
// Writes the options of G_Param.
FileResult Write();
}  // namespace ProgramOptions
