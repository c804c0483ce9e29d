// The training-file reader (the header of every looper, training and recording set).
#include "FuzzSandbox.h"
#include "core/Function.h"
#include "core/Header.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header = Header::importHeaderFromQLTFile(FuzzSandbox::writeInput(data, size));
    if (!header)
        return 0;
    Header::checkHash(header.get());
    for (const QString& name : {header->pathSound_Looper(), header->pathSound_A(), header->pathSound_B(),
                                header->pathCurve_1(), header->pathCurve_2(), header->pathColor_A(),
                                header->pathColor_B()})
        FuzzSandbox::require(name.isEmpty() || Function::isBareFileName(name), "stored file names are bare");
    // What opening the set derives from the stored tempo.
    header->setFactorSpeed(header->bpm());
    header->setBpmSamplerate(ModelGraph::INPUT_A, QSample::byDefault(ModelGraph::INPUT_A).get());
    return 0;
}
