// The receive path and the weight step: what runs for every frame the meter sends.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "FrameAssembler.h"
#include "G_Param.h"
#include "mdlMainDisp.h"
#include "mdlStandard.h"

namespace {

// A receive event's worth of frames: heights and weights in turn, as a flood delivers them.
QString FrameChunk(int frames) {
    QString chunk;
    for (int i = 0; i < frames; ++i)
        chunk += i % 2 == 0 ? QStringLiteral("\x02SY,  170.2\x03")
                            : QStringLiteral("\x02TZ,   65.4\x03");
    return chunk;
}

}  // namespace

static void BM_AssembleAndDecode(benchmark::State& state) {  // frames/s of the receive path
    G_Param = GlobalParams{};
    SilentDisplay display;
    SilentDialogs dialogs;
    FrameAssembler assembler;
    const int frames = int(state.range(0));
    const QString chunk = FrameChunk(frames);
    for (auto _ : state) {
        for (const QStringView frame : assembler.Feed(chunk)) {
            const FrameResponse response = ResponseOf(frame, G_Param.LastCommand);
            DecodeFrame(response.ResponseCode, response.ResponseData, display, dialogs);
        }
    }
    state.SetItemsProcessed(state.iterations() * frames);
}
BENCHMARK(BM_AssembleAndDecode)->Arg(1)->Arg(64);

static void BM_WeightStep(benchmark::State& state) {  // BMI and standard weights of one weight
    G_Param = GlobalParams{};
    G_Param.CurrentValues.Height = QStringLiteral("170.2");
    for (auto _ : state) benchmark::DoNotOptimize(ProcessWeight(QStringLiteral("   65.4")));
}
BENCHMARK(BM_WeightStep);
