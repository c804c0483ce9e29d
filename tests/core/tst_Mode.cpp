#include <QSignalSpy>
#include <QtTest>

#include "TestSandbox.h"
#include "core/Mode.h"

using Slot = void (Mode::*)();
using Getter = bool (Mode::*)() const;
Q_DECLARE_METATYPE(Slot)
Q_DECLARE_METATYPE(Getter)

class TestMode : public QObject {
    Q_OBJECT

private slots:
    void startsOff();
    void signallingPairsEmitOnRepeats_data();
    void signallingPairsEmitOnRepeats();
    void flagIsSetBeforeSignal();
    void silentPairsAndSetters();
    void displayAndMenuRefresh();
};

void TestMode::startsOff() {
    const Mode mode;
    QVERIFY(!mode.modeRecorder() && !mode.modeRun() && !mode.modeStartSynchronized() && !mode.modeMetronom());
    QCOMPARE(mode.modeDisplay(), ModelDisplay::NORMAL);
    QCOMPARE(mode.inputText(), ModelInput::UNDEFINED);
    QCOMPARE(mode.displayBPM(), 0.0);
}

void TestMode::signallingPairsEmitOnRepeats_data() {
    QTest::addColumn<Slot>("on");
    QTest::addColumn<Slot>("off");
    QTest::addColumn<Getter>("flag");
    QTest::addColumn<QByteArray>("onSignal");
    QTest::addColumn<QByteArray>("offSignal");
    QTest::newRow("training") << &Mode::modeTraining_on << &Mode::modeTraining_off << &Mode::modeTraining
                              << QByteArray(SIGNAL(s_RunApp())) << QByteArray(SIGNAL(s_StopApp()));
    QTest::newRow("recorder") << &Mode::modeRecorder_on << &Mode::modeRecorder_off << &Mode::modeRecorder
                              << QByteArray(SIGNAL(s_RecorderModeStatus(bool)))
                              << QByteArray(SIGNAL(s_RecorderModeStatus(bool)));
    QTest::newRow("color") << &Mode::modeColor_on << &Mode::modeColor_off << &Mode::modeColor
                           << QByteArray(SIGNAL(s_ModeColor_On())) << QByteArray(SIGNAL(s_ModeColor_Off()));
    QTest::newRow("generate sound") << &Mode::modeGenerateSound_on << &Mode::modeGenerateSound_off
                                    << &Mode::modeGenerateSound
                                    << QByteArray(SIGNAL(s_ModeGenerateSound(bool)))
                                    << QByteArray(SIGNAL(s_ModeGenerateSound(bool)));
}

void TestMode::signallingPairsEmitOnRepeats() {
    QFETCH(Slot, on);
    QFETCH(Slot, off);
    QFETCH(Getter, flag);
    QFETCH(QByteArray, onSignal);
    QFETCH(QByteArray, offSignal);
    Mode mode;
    QSignalSpy onSpy(&mode, onSignal.constData());
    QSignalSpy offSpy(&mode, offSignal.constData());

    (mode.*on)();
    (mode.*on)();
    QVERIFY((mode.*flag)());
    (mode.*off)();
    (mode.*off)();
    QVERIFY(!(mode.*flag)());
    if (onSignal == offSignal) {
        // One signal carrying the new state: true, true, false, false.
        QCOMPARE(onSpy.size(), 4);
        const QList<bool> values = {onSpy.at(0).at(0).toBool(), onSpy.at(1).at(0).toBool(),
                                    onSpy.at(2).at(0).toBool(), onSpy.at(3).at(0).toBool()};
        QCOMPARE(values, QList<bool>({true, true, false, false}));
    } else {
        QCOMPARE(onSpy.size(), 2);
        QCOMPARE(offSpy.size(), 2);
    }
}

// Receivers of the run and stop signals read the flag: it is set before the signal goes out.
void TestMode::flagIsSetBeforeSignal() {
    Mode mode;
    QList<bool> seen;
    connect(&mode, &Mode::s_RunApp, this, [&] { seen << mode.modeTraining(); });
    connect(&mode, &Mode::s_StopApp, this, [&] { seen << mode.modeTraining(); });
    connect(&mode, &Mode::s_RecorderModeStatus, this, [&](bool on) { seen << (mode.modeRecorder() == on); });
    mode.modeTraining_on();
    mode.modeTraining_off();
    mode.modeRecorder_on();
    QCOMPARE(seen, QList<bool>({true, false, true}));
}

void TestMode::silentPairsAndSetters() {
    Mode mode;
    QSignalSpy any(&mode, &Mode::s_RunApp);
    QSignalSpy recorder(&mode, &Mode::s_RecorderModeStatus);
    QSignalSpy display(&mode, &Mode::s_ModeDisplayChanged);
    mode.modeStartSynchronized_on();
    mode.modeMix_on();
    mode.modeReverse_on();
    mode.modeFullDVS_on();
    mode.modeGraphicScrollStop_on();
    mode.setInputText(ModelInput::TEXT_A_B);
    mode.setDisplayBPM(92.5);
    QVERIFY(mode.modeStartSynchronized() && mode.modeMix() && mode.modeReverse() && mode.modeFullDVS());
    QVERIFY(mode.modeGraphicScrollStop());
    QCOMPARE(mode.inputText(), ModelInput::TEXT_A_B);
    QCOMPARE(mode.displayBPM(), 92.5);
    QCOMPARE(any.size() + recorder.size() + display.size(), 0);
}

void TestMode::displayAndMenuRefresh() {
    Mode mode;
    QSignalSpy display(&mode, &Mode::s_ModeDisplayChanged);
    QSignalSpy refresh(&mode, &Mode::s_RefreshMenu);
    mode.setModeDisplay(ModelDisplay::PHRASING);
    mode.setModeDisplay(ModelDisplay::PHRASING);
    QCOMPARE(display.size(), 2);
    QCOMPARE(mode.modeDisplay(), ModelDisplay::PHRASING);
    const QUuid id = QUuid::createUuid();
    mode.modeMenuRefresh(id, "Looper");
    QCOMPARE(refresh.size(), 1);
    QCOMPARE(refresh.at(0).at(0).value<QUuid>(), id);
    QCOMPARE(refresh.at(0).at(1).toString(), QString("Looper"));
}

QUILLON_TEST_MAIN(TestMode)
#include "tst_Mode.moc"
