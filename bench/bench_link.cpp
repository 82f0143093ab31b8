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

// Feeds a chunk of `frames` frames per iteration and decodes it; `asOneEvent` decodes as the
// link does a receive event (a weight that a later weight of the event replaces derives
// nothing), otherwise every frame in full, as when each comes in an event of its own.
void AssembleAndDecode(benchmark::State& state, bool asOneEvent) {
    G_Param = GlobalParams{};
    SilentDisplay display;
    SilentDialogs dialogs;
    FrameAssembler assembler;
    const int frames = int(state.range(0));
    const QString chunk = FrameChunk(frames);
    for (auto _ : state) {
        const FinishedFrames event = assembler.Feed(chunk);
        const std::vector<bool> needed = asOneEvent
                                             ? WeightIndicesNeeded(event, G_Param.LastCommand)
                                             : std::vector<bool>(size_t(event.size()), true);
        for (qsizetype i = 0; i < event.size(); ++i) {
            const FrameResponse response = ResponseOf(event[i], G_Param.LastCommand);
            DecodeFrame(response.ResponseCode, response.ResponseData, display, dialogs,
                        needed[size_t(i)]);
        }
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

}  // namespace

static void BM_AssembleAndDecode(benchmark::State& state) {  // frames/s of the receive path
    AssembleAndDecode(state, false);
}
BENCHMARK(BM_AssembleAndDecode)->Arg(1)->Arg(64);

static void BM_AssembleAndDecodeEvent(benchmark::State& state) {
    AssembleAndDecode(state, true);
}
BENCHMARK(BM_AssembleAndDecodeEvent)->Arg(64);

static void BM_WeightStep(benchmark::State& state) {  // BMI and standard weights of one weight
    G_Param = GlobalParams{};
    G_Param.CurrentValues.Height = QStringLiteral("170.2");
    for (auto _ : state) benchmark::DoNotOptimize(ProcessWeight(QStringLiteral("   65.4")));
}
BENCHMARK(BM_WeightStep);
