#pragma once

#include <QString>
#include <cstdint>

#include "FixedText.h"
#include "MeasureRecord.h"

// Program-wide variables, alive for the whole run.
struct GlobalParams {
    MeasureRecord RecordBuffer;   // the one buffer every record passes through
    MeasureValues CurrentValues;  // values of the record on display
    Text20 Title;
    QString MeasureDate;
    Text20 Person;
    Text20 SubLabelCaption1;
    Text20 SubLabelCaption2;
    Text20 SubLabelCaption3;
    int16_t CurrentIndex = 0;  // No. - 1 of the record on display

    QString AppFolder;       // without a trailing separator
    QString NameListFolder;  // with a trailing separator
    QString WorkFolder;      // with a trailing separator

    // User settings, stored in user.dat.
    QString CommSettings;
    int16_t PortNumber = 0;
    int16_t OperationMode = 0;  // 0 manual, otherwise command mode
    uint8_t AutoWriteOn = 0;
    int16_t AutoWriteDelay = 0;
    // Kept in hakaron.ini: automatic writing waits until a height and a weight arrived.
    bool AutoWriteWholePerson = true;

    QString LastCommand;  // code of the last command sent to the meter

    // The file chosen by the save and the name-list windows, and the save's status word.
    QString ChosenPath;
    QString ChosenFileName;
    int16_t OperationStatus = 0;  // 0 running, 1 cancelled, 2 finished

    // Sets the folders from the program's folder.
    void SetFolders(const QString& appFolder);
    QString RecordFilePath() const;
    QString SettingsFilePath() const;
};

inline GlobalParams G_Param;
