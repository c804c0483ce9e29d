// The dispatcher's emissions for the input selections and modes, on choices stored for the test
// devices (it only reads the catalogue; no stream is opened here).
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>

#include "AlsaTestConfig.h"
#include "TestSandbox.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/PathFile.h"
#include "core/Performance.h"
#include "core/QDeviceRegEx.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/audio/DeviceObject.h"

class TestDeviceObject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void controllerDevicesInstallsDescriptors();
    void emissions_data();
    void emissions();
    void recorderRunNeverReusesAFolder();

private:
    QString m_input[3];
    QString m_output;
};

namespace {

Singleton* registry() {
    return Singleton::instance();
}

QString entry(ModelAudioDeviceInfo::EnumAudioDeviceInfo direction, const char* device, int pos) {
    for (const QString& text : registry()->devicesAudio(direction)) {
        const QDeviceRegEx parsed(text);
        if (parsed.name() == device && parsed.pos() == pos)
            return text;
    }
    return QString();
}

} // namespace

void TestDeviceObject::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    for (int pos = 0; pos < 3; ++pos) {
        m_input[pos] = entry(ModelAudioDeviceInfo::AUDIO_INPUT, AlsaTestConfig::CAPTURE_DEVICE, pos);
        QVERIFY(!m_input[pos].isEmpty());
    }
    m_output = entry(ModelAudioDeviceInfo::AUDIO_OUTPUT, AlsaTestConfig::PLAYBACK_DEVICE, 0);
    QVERIFY(!m_output.isEmpty());
}

// Stored strings that no longer match fall back to the deviceless default.
void TestDeviceObject::controllerDevicesInstallsDescriptors() {
    Setting* setting = registry()->instanceSetting();
    Performance* performance = registry()->instancePerformance();
    setting->setParamInput_A(m_input[1]);
    setting->setParamInput_B(QString(m_input[2]).replace("]-", "]-1"));
    setting->setParamOutput_Playback(m_output);
    QSignalSpy inputs(performance, &Performance::s_InputSample);
    DeviceObject dispatcher;
    dispatcher.controllerDevices();
    QCOMPARE(inputs.size(), 2);
    QCOMPARE(inputs[0][0].value<ModelGraph::EnumGraph>(), ModelGraph::INPUT_A);
    QCOMPARE(inputs[1][0].value<ModelGraph::EnumGraph>(), ModelGraph::INPUT_B);
    QCOMPARE(performance->inputSample(ModelGraph::INPUT_A)->pos(), 1);
    QCOMPARE(performance->inputSample(ModelGraph::INPUT_A)->deviceName(), AlsaTestConfig::CAPTURE_DEVICE);
    QVERIFY(performance->inputSample(ModelGraph::INPUT_B)->deviceName().isEmpty());
    QCOMPARE(performance->inputSample(ModelGraph::INPUT_B)->tag(), ModelGraph::INPUT_B);
    QCOMPARE(performance->outputSample()->deviceName(), AlsaTestConfig::PLAYBACK_DEVICE);
    QCOMPARE(performance->outputSample()->tag(), ModelGraph::PLAYBACK);
}

void TestDeviceObject::emissions_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<bool>("a");
    QTest::addColumn<bool>("b");
    QTest::addColumn<bool>("master");
    QTest::addColumn<bool>("output");
    QTest::addColumn<bool>("recorder");
    QTest::addColumn<QStringList>("emitted");
    using I = ModelInput::EnumInput;
    QTest::newRow("A missing, TEXT_A")
        << int(I::TEXT_A) << false << true << true << true << false << QStringList{};
    QTest::newRow("TEXT_A") << int(I::TEXT_A) << true << true << true << true << false
                            << QStringList{"A", "out"};
    QTest::newRow("TEXT_B") << int(I::TEXT_B) << true << true << true << true << false
                            << QStringList{"B", "out"};
    QTest::newRow("TEXT_A_B, only B")
        << int(I::TEXT_A_B) << false << true << false << true << false << QStringList{"B", "out"};
    QTest::newRow("TEXT_A_B, no output")
        << int(I::TEXT_A_B) << true << true << false << false << false << QStringList{"A", "B"};
    QTest::newRow("recorder mode, only a master")
        << int(I::TEXT_A) << false << false << true << true << true << QStringList{"master"};
    QTest::newRow("recorder mode, all")
        << int(I::TEXT_A_B) << true << true << true << true << true << QStringList{"A", "B", "out", "master"};
    QTest::newRow("UNDEFINED") << int(I::UNDEFINED) << true << true << true << true << false << QStringList{};
    QTest::newRow("UNDEFINED, recorder mode")
        << int(I::UNDEFINED) << true << true << true << true << true << QStringList{"master"};
}

void TestDeviceObject::emissions() {
    QFETCH(int, selection);
    QFETCH(bool, a);
    QFETCH(bool, b);
    QFETCH(bool, master);
    QFETCH(bool, output);
    QFETCH(bool, recorder);
    QFETCH(QStringList, emitted);
    Singleton* r = registry();
    Setting* setting = r->instanceSetting();
    setting->setParamInput_A(a ? m_input[0] : QString());
    setting->setParamInput_B(b ? m_input[1] : QString());
    setting->setParamInput_Master(master ? m_input[2] : QString());
    setting->setParamOutput_Playback(output ? m_output : QString());
    r->instanceMode()->setInputText(ModelInput::EnumInput(selection));
    recorder ? r->instanceMode()->modeRecorder_on() : r->instanceMode()->modeRecorder_off();

    DeviceObject dispatcher;
    dispatcher.controllerDevices();
    QSignalSpy spyA(&dispatcher, &DeviceObject::s_SampleA);
    QSignalSpy spyB(&dispatcher, &DeviceObject::s_SampleB);
    QSignalSpy spyMaster(&dispatcher, &DeviceObject::s_SampleMaster);
    QSignalSpy spyOut(&dispatcher, &DeviceObject::s_SamplePlayBack);
    QStringList order;
    connect(&dispatcher, &DeviceObject::s_SampleA, this, [&] { order << "A"; });
    connect(&dispatcher, &DeviceObject::s_SampleB, this, [&] { order << "B"; });
    connect(&dispatcher, &DeviceObject::s_SamplePlayBack, this, [&] { order << "out"; });
    connect(&dispatcher, &DeviceObject::s_SampleMaster, this, [&] { order << "master"; });
    dispatcher.run();

    QCOMPARE(order, emitted);
    QCOMPARE(spyA.size(), int(emitted.count("A")));
    QCOMPARE(spyB.size(), int(emitted.count("B")));
    QCOMPARE(spyOut.size(), int(emitted.count("out")));
    QCOMPARE(spyMaster.size(), int(emitted.count("master")));
    // The installed descriptors themselves go out; the master's is made at the run.
    using Sample = std::shared_ptr<const QSample>;
    const Performance* performance = r->instancePerformance();
    if (!spyA.isEmpty())
        QCOMPARE(spyA[0][0].value<Sample>(), performance->inputSample(ModelGraph::INPUT_A));
    if (!spyB.isEmpty())
        QCOMPARE(spyB[0][0].value<Sample>(), performance->inputSample(ModelGraph::INPUT_B));
    if (!spyOut.isEmpty())
        QCOMPARE(spyOut[0][0].value<Sample>(), performance->outputSample());
    if (!spyMaster.isEmpty()) {
        const Sample sample = spyMaster[0][0].value<Sample>();
        QCOMPARE(sample->tag(), ModelGraph::MASTER);
        QCOMPARE(sample->pos(), 2);
        QCOMPARE(r->instancePathFile()->filenameSound_master() + ".wav", sample->filename());
    }
}

// A recording folder that exists is replaced by a new name before anything goes out; one not yet on
// disk is kept, and outside recorder mode the name is left alone.
void TestDeviceObject::recorderRunNeverReusesAFolder() {
    Singleton* r = registry();
    PathFile* files = r->instancePathFile();
    r->instanceSetting()->setParamInput_Master(m_input[2]);
    r->instanceMode()->setInputText(ModelInput::TEXT_A);
    r->instanceMode()->modeRecorder_on();
    files->newPathDirectory_recording();
    const QString fresh = files->pathDirectory_recording();
    DeviceObject dispatcher;
    QString atEmission;
    connect(&dispatcher, &DeviceObject::s_SampleMaster, this,
            [&] { atEmission = files->pathDirectory_recording(); });
    dispatcher.run();
    QCOMPARE(atEmission, fresh);

    files->createPathDirectory_recording();
    for (int run = 0; run < 3; ++run) {
        const QString used = files->pathDirectory_recording();
        dispatcher.run();
        QVERIFY(atEmission != used);
        QCOMPARE(atEmission, files->pathDirectory_recording());
        QVERIFY(!QFileInfo::exists(Path::joinRecording(atEmission)));
        files->createPathDirectory_recording();
    }

    r->instanceMode()->modeRecorder_off();
    const QString kept = files->pathDirectory_recording();
    dispatcher.run();
    QCOMPARE(files->pathDirectory_recording(), kept);
}

QUILLON_TEST_MAIN(TestDeviceObject)
#include "tst_DeviceObject.moc"
