#include "mdlPublicWriteFunc.h"

#include <QFile>
#include <QFileInfo>

#include "G_Param.h"
#include "RecordFile.h"
#include "SettingsFile.h"

bool ReadRecordToBuffer(int r) {
    // The values on display are left alone: a header read by a dialog must not wipe a
    // reading that is not written yet. The display sets them itself when it loads a record.
    const RecordFile::ReadResult result = RecordFile::Read(G_Param.RecordFilePath(), r);
    G_Param.RecordBuffer = result.Record;
    return !result.PastEnd;
}

FileResult WriteBufferAsRecord(int r) {
    return RecordFile::Write(G_Param.RecordFilePath(), r, G_Param.RecordBuffer);
}

int RecordCount() {
    return RecordFile::Count(G_Param.RecordFilePath());
}

FileResult WriteHeader() {
    MeasureRecord header;
    header.SubLabel1 = G_Param.Title;
    header.SubLabel2 = G_Param.MeasureDate;
    header.SubLabel3 = G_Param.Person;
    G_Param.RecordBuffer = header;
    if (FileResult result = WriteBufferAsRecord(1); !result) return result;
    MeasureRecord captions;
    captions.SubLabel1 = G_Param.SubLabelCaption1;
    captions.SubLabel2 = G_Param.SubLabelCaption2;
    captions.SubLabel3 = G_Param.SubLabelCaption3;
    G_Param.RecordBuffer = captions;
    return WriteBufferAsRecord(2);
}

FileResult WriteSettings() {
    const UserSettings s{G_Param.CommSettings, G_Param.PortNumber, G_Param.OperationMode,
                         G_Param.AutoWriteOn, G_Param.AutoWriteDelay};
    return FileWrite::ReplaceContents(G_Param.SettingsFilePath(), SettingsFile::Format(s));
}

void ReadSettings() {
    QFile file(G_Param.SettingsFilePath());
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return;
    UserSettings s{G_Param.CommSettings, G_Param.PortNumber, G_Param.OperationMode,
                   G_Param.AutoWriteOn, G_Param.AutoWriteDelay};
    SettingsFile::Parse(file.readAll(), s);
    G_Param.CommSettings = s.CommSettings;
    G_Param.PortNumber = s.PortNumber;
    G_Param.OperationMode = s.OperationMode;
    G_Param.AutoWriteOn = s.AutoWriteOn;
    G_Param.AutoWriteDelay = s.AutoWriteDelay;
}
