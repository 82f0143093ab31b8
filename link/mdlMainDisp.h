#pragma once

#include <QStringView>

class LiveDisplay;
class Dialogs;

// Interprets one finished meter frame: stores a measured value in G_Param.CurrentValues and
// G_Param.RecordBuffer and prints it, shows a status message, arms automatic writing or
// refreshes the record display. How a code is read depends on G_Param.LastCommand.
void DecodeFrame(QStringView responseCode, QStringView responseData, LiveDisplay& display,
                 Dialogs& dialogs);
