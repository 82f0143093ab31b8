#pragma once

#include "FileResult.h"

// Record access through G_Param.RecordBuffer and the user settings file.

// Reads record r of the record file into RecordBuffer; CurrentValues stay as they are.
// Returns false when r lies beyond the end (RecordBuffer then stays blank).
bool ReadRecordToBuffer(int r);
// Writes RecordBuffer as record r.
FileResult WriteBufferAsRecord(int r);
// Record count of the record file.
int RecordCount();
// Writes Title, MeasureDate, Person as record 1 and the captions as record 2;
// RecordBuffer is left holding record 2. Stops at the first failed write.
FileResult WriteHeader();
// Rewrites user.dat from the five settings of G_Param.
FileResult WriteSettings();
// Reads user.dat into the settings of G_Param; values not read keep what they hold.
void ReadSettings();
