#include "DeviceObject.h"

#include <QFileInfo>
#include <QThread>

#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/Singleton.h"

namespace {

bool hasDevice(const std::shared_ptr<const QSample>& sample) {
    return sample && !sample->deviceName().isEmpty();
}

// Folder names are stamped to the millisecond, so a run that follows the last one within the same
// millisecond waits for the next name; a folder named from a clock set back is skipped the same way.
void takeUnusedRecordingFolder(PathFile* pathFile) {
    constexpr int MAX_TRIES = 1000;
    for (int i = 0;
         i < MAX_TRIES && QFileInfo::exists(Path::joinRecording(pathFile->pathDirectory_recording())); ++i) {
        if (i > 0)
            QThread::msleep(1);
        pathFile->newPathDirectory_recording();
    }
}

} // namespace

void DeviceObject::controllerDevices() {
    Singleton* registry = Singleton::instance();
    Performance* performance = registry->instancePerformance();
    std::shared_ptr<const QSample> a = registry->sampleA();
    performance->setInputSample(ModelGraph::INPUT_A, a ? a : QSample::byDefault(ModelGraph::INPUT_A), true);
    std::shared_ptr<const QSample> b = registry->sampleB();
    performance->setInputSample(ModelGraph::INPUT_B, b ? b : QSample::byDefault(ModelGraph::INPUT_B), true);
    std::shared_ptr<const QSample> output = registry->samplePlayback();
    performance->setOutputSample(output ? output : QSample::byDefault(ModelGraph::PLAYBACK));
}

void DeviceObject::run() {
    Singleton* registry = Singleton::instance();
    const Mode* mode = registry->instanceMode();
    const Performance* performance = registry->instancePerformance();
    const bool recorder = mode->modeRecorder();
    if (recorder)
        takeUnusedRecordingFolder(registry->instancePathFile());

    const ModelInput::EnumInput input = mode->inputText();
    bool inputOut = false;
    const std::shared_ptr<const QSample> a = performance->inputSample(ModelGraph::INPUT_A);
    if ((input == ModelInput::TEXT_A || input == ModelInput::TEXT_A_B) && hasDevice(a)) {
        emit s_SampleA(a);
        inputOut = true;
    }
    const std::shared_ptr<const QSample> b = performance->inputSample(ModelGraph::INPUT_B);
    if ((input == ModelInput::TEXT_B || input == ModelInput::TEXT_A_B) && hasDevice(b)) {
        emit s_SampleB(b);
        inputOut = true;
    }
    const std::shared_ptr<const QSample> output = performance->outputSample();
    if (inputOut && hasDevice(output))
        emit s_SamplePlayBack(output);
    if (recorder) {
        const std::shared_ptr<const QSample> master = registry->sampleMaster();
        if (hasDevice(master))
            emit s_SampleMaster(master);
    }
}
