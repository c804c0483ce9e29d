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
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/audio/DeviceObject.h"

class TestDeviceObject : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void emissions_data();
    void emissions();
    void recorderRunNeverReusesAFolder();

private:
    // Catalogue entries: inputs at pairs 0, 1, 2 of the capture device, then the playback device.
    QStringList m_entry;
};

static Singleton* registry() {
    return Singleton::instance();
}

// The catalogue lists a device's positions in order.
void TestDeviceObject::initTestCase() {
    AlsaTestConfig::silenceAlsa();
    const QStringList in = registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT).filter("[tc_capture]");
    const QStringList out =
        registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_OUTPUT).filter("[tc_playback]");
    QVERIFY(in.size() >= 3 && !out.isEmpty());
    m_entry = {in[0], in[1], in[2], out[0]};
}

// `configured` names the devices chosen: A, B, M(aster), O(utput); the others hold a stale choice (its
// index moved), which gives the deviceless default. `emitted` names the signals sent.
void TestDeviceObject::emissions_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<QString>("configured");
    QTest::addColumn<bool>("recorder");
    QTest::addColumn<QString>("emitted");
    using I = ModelInput::EnumInput;
    QTest::newRow("A missing, TEXT_A") << int(I::TEXT_A) << "BMO" << false << "";
    QTest::newRow("TEXT_A") << int(I::TEXT_A) << "ABMO" << false << "AO";
    QTest::newRow("TEXT_B") << int(I::TEXT_B) << "ABMO" << false << "BO";
    QTest::newRow("TEXT_A_B, only B") << int(I::TEXT_A_B) << "BO" << false << "BO";
    QTest::newRow("TEXT_A_B, no output") << int(I::TEXT_A_B) << "ABM" << false << "AB";
    QTest::newRow("recorder mode, only a master") << int(I::TEXT_A) << "MO" << true << "M";
    QTest::newRow("recorder mode, all") << int(I::TEXT_A_B) << "ABMO" << true << "ABMO";
    QTest::newRow("UNDEFINED") << int(I::UNDEFINED) << "ABMO" << false << "";
    QTest::newRow("UNDEFINED, recorder mode") << int(I::UNDEFINED) << "ABMO" << true << "M";
}

void TestDeviceObject::emissions() {
    QFETCH(int, selection);
    QFETCH(QString, configured);
    QFETCH(bool, recorder);
    QFETCH(QString, emitted);
    Singleton* r = registry();
    void (Setting::*const choose[])(const QString&) = {&Setting::setParamInput_A, &Setting::setParamInput_B,
                                                       &Setting::setParamInput_Master,
                                                       &Setting::setParamOutput_Playback};
    for (int i = 0; i < 4; ++i)
        (r->instanceSetting()->*choose[i])(configured.contains("ABMO"[i]) ? m_entry[i] : "9" + m_entry[i]);
    r->instanceMode()->setInputText(ModelInput::EnumInput(selection));
    recorder ? r->instanceMode()->modeRecorder_on() : r->instanceMode()->modeRecorder_off();

    DeviceObject dispatcher;
    dispatcher.controllerDevices();
    const Performance* performance = r->instancePerformance();
    using Sample = std::shared_ptr<const QSample>;
    // Stale choices install the deviceless default, never null.
    const Sample installed[] = {performance->inputSample(ModelGraph::INPUT_A),
                                performance->inputSample(ModelGraph::INPUT_B), nullptr,
                                performance->outputSample()};
    QVERIFY(installed[0] && installed[1] && installed[3]);
    QSignalSpy spies[] = {QSignalSpy(&dispatcher, &DeviceObject::s_SampleA),
                          QSignalSpy(&dispatcher, &DeviceObject::s_SampleB),
                          QSignalSpy(&dispatcher, &DeviceObject::s_SampleMaster),
                          QSignalSpy(&dispatcher, &DeviceObject::s_SamplePlayBack)};
    dispatcher.run();

    // The installed descriptors themselves go out; the master's is made at the run and names its WAV.
    QString sent;
    for (int i = 0; i < 4; ++i) {
        sent += QString(spies[i].size(), QLatin1Char("ABMO"[i]));
        const Sample out = spies[i].isEmpty() ? nullptr : spies[i][0][0].value<Sample>();
        if (out && i == 2)
            QCOMPARE(out->filename(), r->instancePathFile()->filenameSound_master() + ".wav");
        else if (out)
            QCOMPARE(out, installed[i]);
    }
    QCOMPARE(sent, emitted);
}

// A run in recorder mode replaces a recording folder already on disk by an unused name before anything
// goes out, even when the folder was named (by the recorder toggle) and created within the same
// millisecond: names are stamped to the millisecond.
void TestDeviceObject::recorderRunNeverReusesAFolder() {
    PathFile* files = registry()->instancePathFile();
    registry()->instanceSetting()->setParamInput_Master(m_entry[2]);
    registry()->instanceMode()->modeRecorder_on();
    DeviceObject dispatcher;
    QString atEmission;
    connect(&dispatcher, &DeviceObject::s_SampleMaster, this,
            [&] { atEmission = files->pathDirectory_recording(); });
    for (int run = 0; run < 3; ++run) {
        files->newPathDirectory_recording();
        const QString used = files->pathDirectory_recording();
        files->createPathDirectory_recording();
        dispatcher.run();
        QVERIFY(atEmission != used && !QFileInfo::exists(Path::joinRecording(atEmission)));
    }
}

QUILLON_TEST_MAIN(TestDeviceObject)
#include "tst_DeviceObject.moc"
