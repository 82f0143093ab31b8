#pragma once

#include <QStringView>
#include <vector>

class Dialogs;
class FinishedFrames;
class LiveDisplay;

// Interprets one finished meter frame: stores a measured value in G_Param.CurrentValues and
// G_Param.RecordBuffer and prints it, shows a status message, arms automatic writing or
// refreshes the record display. How a code is read depends on G_Param.LastCommand. Control
// characters in the value (the ETX of a short frame, NULs of a damaged one) are read as
// spaces, so no value carries them. Without `deriveIndices` a weight frame stores and prints
// its weight only (see WeightIndicesNeeded). False when the display would not take the
// value now (LiveDisplay::ValueArriving): nothing of the frame was done.
bool DecodeFrame(QStringView responseCode, QStringView responseData, LiveDisplay& display,
                 Dialogs& dialogs, bool deriveIndices = true);

// For each frame of one receive event, whether its weight step must derive the BMI, the
// standard weights, the obesity degrees and the BMI label. Not for a weight frame followed in
// the same event by another one with only heights and sitting heights between: that one
// replaces them all before anything can show them, so a flood of weights is not slowed by
// values nobody sees. Decided with the last command the frames are decoded with.
std::vector<bool> WeightIndicesNeeded(const FinishedFrames& frames, QStringView lastCommand);
