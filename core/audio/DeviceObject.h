#pragma once

#include <QObject>

#include <memory>

#include "core/QSample.h"

// The device dispatcher: turns the devices chosen in config.ini into stream descriptors, installs
// those of inputs A and B and of the output in Performance before a run, and hands out the ones a
// run uses when it starts. Stateless; no parent (its owner deletes it). GUI thread only: the
// receivers live there too, so every worker has opened its stream before run returns.
class DeviceObject : public QObject {
    Q_OBJECT

public:
    DeviceObject() = default;

public slots:
    // New descriptors for inputs A and B and the output (the default, deviceless one where nothing
    // usable is stored), so each input's recording file name carries the time of this call.
    void controllerDevices();
    // Emits the descriptors of the selected inputs that have a device, the output's when at least one
    // input went out, and in recorder mode the master's. In recorder mode a recording folder already
    // on disk is never reused: a new folder name is taken first.
    void run();

signals:
    void s_SampleA(std::shared_ptr<const QSample> sample);
    void s_SampleB(std::shared_ptr<const QSample> sample);
    void s_SampleMaster(std::shared_ptr<const QSample> sample);
    void s_SamplePlayBack(std::shared_ptr<const QSample> sample);
};
