// The serial line: any bytes in chunks of any size, after any command, go through frame
// assembly, the response and decoding as the link does. However the line is cut into
// chunks, the same frames come out; each is a whole frame or an end character alone, never
// longer than the assembler keeps; decoding never fails, keeps every value at its field
// width and free of control characters (in the record and on the display) and arms automatic
// writing only within its delays. Decoding them as one receive event, with the weights that a later
// weight replaces left underived, ends exactly as decoding them one by one.
#include <algorithm>
#include <span>
#include <vector>

#include "Commands.h"
#include "DialogsDouble.h"
#include "FrameAssembler.h"
#include "FuzzInput.h"
#include "G_Const.h"
#include "G_Param.h"
#include "RecordingDisplay.h"
#include "mdlMainDisp.h"

namespace {
bool Printable(const QString& text) {
    return std::none_of(text.begin(), text.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}
bool WholePrintableWidths(const MeasureValues& v) {
    for (const Text10* t :
         {&v.SittingHeight, &v.Height, &v.Bmi, &v.Weight, &v.BmiStdWeight, &v.HibiStdWeightMale,
          &v.HibiStdWeightFemale, &v.HibiObesityMale, &v.HibiObesityFemale})
        if (t->Value().size() != Text10::Length || !Printable(t->Value())) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    G_Param = GlobalParams{};
    const std::span<const MeterCommand> commands = CommandTable();
    const uint8_t choice = in.Byte();
    // A code the program sends, or any text of up to two characters.
    G_Param.LastCommand = choice < commands.size() ? commands[choice].Code
                                                   : QString::fromLatin1(in.Bytes(choice % 3));
    G_Param.AutoWriteOn = in.Byte() % 2;
    G_Param.AutoWriteDelay = int16_t(in.Byte() << 8 | in.Byte());

    QStringList chunks;
    QString line;
    while (!in.AtEnd()) {
        chunks << QString::fromLatin1(in.Bytes(in.Byte() % 64));
        line += chunks.last();
    }

    FrameAssembler chunked;
    QStringList frames;
    for (const QString& chunk : chunks) frames += chunked.Feed(chunk).Texts();
    FrameAssembler whole;
    FUZZ_CHECK(frames == whole.Feed(line).Texts());

    const GlobalParams before = G_Param;
    RecordingDisplay display;
    DialogsDouble dialogs;
    // A message box lets the user write the record while it is open: what is there is seen.
    std::vector<MeasureValues> seen;
    dialogs.OnMessage = [&seen](const QString&) { seen.push_back(G_Param.CurrentValues); };
    for (const QString& frame : frames) {
        FUZZ_CHECK(frame.endsWith(QChar(FrameChars::Etx)));
        FUZZ_CHECK(frame.size() == 1 || frame.startsWith(QChar(FrameChars::Stx)));
        FUZZ_CHECK(frame.size() <= 257);
        const FrameResponse response = ResponseOf(frame, G_Param.LastCommand);
        DecodeFrame(response.ResponseCode, response.ResponseData, display, dialogs);
        FUZZ_CHECK(WholePrintableWidths(G_Param.CurrentValues));
        FUZZ_CHECK(WholePrintableWidths(G_Param.RecordBuffer.Values));
        for (const QString& printed : display.Lines) FUZZ_CHECK(Printable(printed));
        FUZZ_CHECK(G_Param.RecordBuffer.Encode().size() == G_Const::RecordLength);
    }
    for (const int ms : display.Arms) FUZZ_CHECK(ms >= 1000 && ms <= 60000);

    const GlobalParams oneByOne = G_Param;
    G_Param = before;
    RecordingDisplay eventDisplay;
    DialogsDouble eventDialogs;
    std::vector<MeasureValues> eventSeen;
    eventDialogs.OnMessage = [&eventSeen](const QString&) {
        eventSeen.push_back(G_Param.CurrentValues);
    };
    const FinishedFrames event = FrameAssembler().Feed(line);
    const std::vector<bool> needed = WeightIndicesNeeded(event, G_Param.LastCommand);
    for (qsizetype i = 0; i < event.size(); ++i) {
        const FrameResponse response = ResponseOf(event[i], G_Param.LastCommand);
        DecodeFrame(response.ResponseCode, response.ResponseData, eventDisplay, eventDialogs,
                    needed[size_t(i)]);
    }
    FUZZ_CHECK(G_Param.CurrentValues == oneByOne.CurrentValues);
    FUZZ_CHECK(G_Param.RecordBuffer == oneByOne.RecordBuffer);
    FUZZ_CHECK(eventDisplay.Events == display.Events);
    FUZZ_CHECK(eventDisplay.BmiLabel == display.BmiLabel);
    FUZZ_CHECK(eventDialogs.Texts() == dialogs.Texts());
    FUZZ_CHECK(eventSeen == seen);
    return 0;
}
