#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include <array>
#include <memory>

#include "Artifacts.h"
#include "FileSizeLimit.h"
#include "GuiTest.h"
#include "ModalDriver.h"
#include "TestFiles.h"
#include "core/Mode.h"
#include "core/Path.h"
#include "core/Performance.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/Midi.h"
#include "gui/QWMenuDevice.h"
#include "gui/widgets/QBIconPush.h"
#include "gui/widgets/QBMidiLearn.h"
#include "gui/widgets/QComboBoxInputBuffer.h"
#include "gui/widgets/QCustomComboBox.h"
#include "gui/widgets/QCustomSlider.h"

namespace {

Singleton* registry() {
    return Singleton::instance();
}

Setting* setting() {
    return registry()->instanceSetting();
}

QByteArray config() {
    return TestFiles::read(Path::joinInput("config.ini"));
}

QString storedValue(const QString& key) {
    return QSettings(Path::joinInput("config.ini"), QSettings::IniFormat).value("device/" + key).toString();
}

std::unique_ptr<QWMenuDevice> makePanel() {
    return std::make_unique<QWMenuDevice>("Setting", "setting.png");
}

// The labels of the row that holds `widget`, left to right.
QStringList rowTexts(QWidget* widget) {
    QStringList texts;
    for (QHBoxLayout* row : widget->window()->findChildren<QHBoxLayout*>())
        for (int i = 0; row->indexOf(widget) >= 0 && i < row->count(); ++i)
            if (auto* label = qobject_cast<QLabel*>(row->itemAt(i)->widget()))
                texts << label->text();
    return texts;
}

template <class T, class Test> T* childWhere(QWidget* panel, Test test) {
    for (T* child : panel->findChildren<T*>())
        if (test(child))
            return child;
    return nullptr;
}

QCustomSlider* sliderWithRange(QWidget* panel, int minimum, int maximum) {
    return childWhere<QCustomSlider>(
        panel, [=](QSlider* slider) { return slider->minimum() == minimum && slider->maximum() == maximum; });
}

QLineEdit* learnLine(QWidget* panel) {
    return childWhere<QLineEdit>(panel, [](QLineEdit* line) { return !line->isEnabled(); });
}

// The show-and-hide boxes and the cut-off option: caption, config.ini key and setter.
struct Option {
    const char* caption;
    const char* key;
    void (Setting::*store)(const QString&);
};
const Option OPTIONS[] = {
    {"Main Curve", "GraphMainCurve", &Setting::setParamGraphMainCurve},
    {"Grid", "GraphGrid", &Setting::setParamGraphGrid},
    {"Curve of CrossFader Off", "GraphCurveCrossFaderOff", &Setting::setParamGraphCurveCrossFaderOff},
    {"Curve of No Sound", "GraphCurveNoSound", &Setting::setParamGraphCurveNoSound},
    {"Draw Open/Close arrows (Shini Mode)", "GraphShiniMode", &Setting::setParamGraphShiniMode},
    {"Vinyl Position", "GraphVinylPosition", &Setting::setParamGraphVinylPosition},
    {"Direct Wave", "GraphDirectSound", &Setting::setParamGraphDirectSound},
    {"Logo", "GraphLogo", &Setting::setParamGraphLogo},
    {"Deck A/B: Generate a cut-off sound", "OptionGenerateCutOffSound",
     &Setting::setParamGenerateCutOffSound}};

// The keys of the Input A, Input B, Input Recording, Input Midi and Output Playback boxes.
const QStringList DEVICE_KEYS{"inputA", "inputB", "inputMaster", "inputMidi", "outputPlayback"};

bool writePicture(const QString& path, const QColor& colour) {
    QImage image(400, 20, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path);
}

} // namespace

// The settings panel over the sandbox's config.ini and its real (test ALSA) audio devices.
class TestQWMenuDevice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        registry();
        GuiTest::applyAppearance();
    }

    void deviceList_data() {
        QTest::addColumn<bool>("listed"); // whether the stored device is present
        QTest::addColumn<bool>("pick");   // a pick of another entry, else opening and closing the list
        QTest::newRow("open and close keeps the choice") << true << false;
        QTest::newRow("gone device shows the first entry") << false << false;
        QTest::newRow("a pick stores it") << true << true;
    }

    void deviceList() {
        QFETCH(bool, listed);
        QFETCH(bool, pick);
        const QStringList devices = registry()->devicesAudio(ModelAudioDeviceInfo::AUDIO_INPUT);
        QVERIFY(devices.size() > 4);
        const QString stored = listed ? devices.at(3) : QString("99-[gone]-48000/2p0-ALSA-TBD");
        setting()->setParamInput_A(stored);
        auto panel = makePanel();
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        QCustomComboBox* combo = panel->inputACombo();
        QCOMPARE(combo->currentText(), listed ? stored : QString());
        const QByteArray before = config();
        QSignalSpy changes(combo, &QComboBox::currentIndexChanged);

        combo->showPopup();
        QCOMPARE(combo->count(), devices.size());
        if (pick)
            combo->setCurrentIndex(4);
        combo->hidePopup();
        QCOMPARE(changes.size(), pick ? 1 : 0);
        if (pick) {
            QCOMPARE(storedValue("inputA"), devices.at(4));
        } else {
            QCOMPARE(config(), before);
            QCOMPARE(combo->currentText(), listed ? stored : QString());
        }
    }

    void timecode_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("pick"); // empty: none
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("fullDVS");
        const auto row = [](const char* name, const char* stored, const char* pick, const char* format,
                            bool on) {
            QTest::newRow(name) << QString(stored) << QString(pick) << QString(format) << on;
        };
        row("serato B turns full DVS on", "generic_V2", "serato_sideB_FullDVS", "serato_sideB_FullDVS", true);
        row("traktor A turns it off", "serato_sideA_FullDVS", "traktor_sideA", "traktor_sideA", false);
        row("unknown name takes the first format", "vinyl_99", "", "generic_V2", false);
    }

    void timecode() {
        QFETCH(QString, stored);
        QFETCH(QString, pick);
        setting()->setParamTimecode(stored);
        registry()->instanceMode()->modeFullDVS_on();
        auto panel = makePanel();
        if (!pick.isEmpty())
            panel->timecodeCombo()->setCurrentText(pick);
        QTEST(panel->timecodeCombo()->currentText(), "format");
        QTEST(storedValue("timecode"), "format");
        QTEST(registry()->instanceMode()->modeFullDVS(), "fullDVS");
    }

    void learnAtStart_data() {
        QTest::addColumn<QString>("learned");
        QTest::addColumn<bool>("mapping"); // whether the shipped controller mapping is there
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("controller"); // of the installed crossfader; -1: none
        const auto row = [](const char* name, const char* learned, bool mapping, const char* shown,
                            const char* stored, int controller) {
            QTest::newRow(name) << QString(learned) << mapping << QString(shown) << QString(stored)
                                << controller;
        };
        row("the mapping's XFader", "", true, "Ch01.CC.008", "0/8", 8);
        row("a learned control", "5/33", true, "Ch06.CC.033", "5/33", 33);
        row("no mapping", "", false, "Ch01.CC.000", "", -1);
    }

    void learnAtStart() {
        QFETCH(QString, learned);
        QFETCH(bool, mapping);
        QFETCH(int, controller);
        // The store can only write a learned pair; an empty value comes from the file.
        QSettings(Path::joinInput("config.ini"), QSettings::IniFormat).setValue("device/learnMidi", learned);
        setting()->paramLearn_Midi(true);
        registry()->instanceMidi()->setCrossFader(nullptr);
        const QString map = Path::joinInput("Conf_Midi_Z2.ncc");
        if (!mapping)
            QVERIFY(QFile::rename(map, map + ".away"));
        auto panel = makePanel();
        if (!mapping)
            QVERIFY(QFile::rename(map + ".away", map));

        QTEST(learnLine(panel.get())->text(), "shown");
        QTEST(setting()->paramLearn_Midi(false), "stored");
        const std::optional<ObjectMidi> crossFader = registry()->instanceMidi()->crossFader();
        QCOMPARE(crossFader ? crossFader->controller() : -1, controller);
    }

    void learnedControl() {
        auto panel = makePanel();
        // As the controller window wires it: the learned control ends learning.
        connect(panel.get(), &QWMenuDevice::s_UpdateCrossFader, panel->learnButton(),
                &QBMidiLearn::toggle_off);
        panel->learnButton()->toggle_on();
        QSignalSpy learned(panel.get(), &QWMenuDevice::s_UpdateCrossFader);
        panel->updateCrossfaderValue(2, 21);
        QCOMPARE(learned.size(), 1);
        QCOMPARE(storedValue("learnMidi"), QString("2/21"));
        QCOMPARE(learnLine(panel.get())->text(), QString("Ch03.CC.021"));
        QVERIFY(!panel->learnButton()->isChecked());
        const std::optional<ObjectMidi> crossFader = registry()->instanceMidi()->crossFader();
        QVERIFY(crossFader && crossFader->channel() == 2 && crossFader->controller() == 21);
    }

    void thresholds_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("leftSlider"); // the left slider runs from 10 (threshold 0) down to 0
        QTest::addColumn<int>("moveLeftTo");
        QTest::addColumn<int>("moveRightTo");
        QTest::newRow("left 3") << 3 << 127 << 7 << 10 << 127;
        QTest::newRow("left 0, right 120") << 0 << 120 << 10 << 0 << 117;
    }

    void thresholds() {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, moveLeftTo);
        QFETCH(int, moveRightTo);
        setting()->setParamCrossfaderLeft(QString::number(left));
        setting()->setParamCrossfaderRight(QString::number(right));
        auto panel = makePanel();
        QCustomSlider* leftSlider = sliderWithRange(panel.get(), 0, 10);
        QCustomSlider* rightSlider = sliderWithRange(panel.get(), 117, 127);
        QTEST(leftSlider->value(), "leftSlider");
        QCOMPARE(rightSlider->value(), right);
        QCOMPARE(rowTexts(leftSlider), QStringList({QString::number(left), QString::number(right)}));

        leftSlider->setValue(moveLeftTo);
        rightSlider->setValue(moveRightTo);
        const QString storedLeft = QString::number(10 - moveLeftTo);
        QCOMPARE(storedValue("crossFaderLeft"), storedLeft);
        QCOMPARE(storedValue("crossFaderRight"), QString::number(moveRightTo));
        QCOMPARE(rowTexts(leftSlider).constFirst(), storedLeft);
    }

    void volumes_data() {
        QTest::addColumn<ModelVolume::EnumVolume>("channel");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<QString>("stored"); // empty: config.ini unchanged
        using V = ModelVolume::EnumVolume;
        QTest::newRow("up on the looper at 100") << V::LOOPER << "100" << QByteArray("volumeUp") << "";
        QTest::newRow("silence on the decks at 40")
            << V::DECK_A_B << "40" << QByteArray("volumeNoSound") << "0";
        QTest::newRow("up on the recordings") << V::RECORD_A_B << "50" << QByteArray("volumeUp") << "51";
        QTest::newRow("down on the metronome at 0") << V::METRONUM << "0" << QByteArray("volumeDown") << "";
        QTest::newRow("down on the metronome") << V::METRONUM << "7" << QByteArray("volumeDown") << "6";
        QTest::newRow("up on Undefined") << V::Undefined << "50" << QByteArray("volumeUp") << "";
    }

    void volumes() {
        QFETCH(ModelVolume::EnumVolume, channel);
        QFETCH(QString, start);
        QFETCH(QByteArray, action);
        QFETCH(QString, stored);
        for (auto store : {&Setting::setParamVolumeLooper, &Setting::setParamVolumeDeck,
                           &Setting::setParamVolumeRecord, &Setting::setParamVolumeMetronum})
            (setting()->*store)(start);
        auto panel = makePanel();
        const QByteArray before = config();
        QSignalSpy updates(panel.get(), &QWMenuDevice::s_UpdateVolume);
        QVERIFY(QMetaObject::invokeMethod(panel.get(), action, Q_ARG(ModelVolume::EnumVolume, channel)));
        QCOMPARE(updates.size(), stored.isEmpty() ? 0 : 1);
        const auto volume = std::array{&Setting::paramVolumeLooper, &Setting::paramVolumeDeck,
                                       &Setting::paramVolumeRecord, &Setting::paramVolumeMetronum};
        if (stored.isEmpty())
            QCOMPARE(config(), before);
        else
            QCOMPARE((setting()->*volume[channel])(false), stored.toDouble());
    }

    void latency_data() {
        QTest::addColumn<QString>("inputBuffer");
        QTest::addColumn<QString>("processing");
        QTest::addColumn<QString>("outputBuffer");
        // Input A's rate once the dispatcher hands a descriptor; 0: none.
        QTest::addColumn<double>("rateLater");
        QTest::addColumn<QStringList>("shown"); // input, processing, output, overall
        const auto row = [](const char* name, const char* input, const char* processing, const char* output,
                            double rateLater, const QStringList& shown) {
            QTest::newRow(name) << QString(input) << QString(processing) << QString(output) << rateLater
                                << shown;
        };
        row("256 + 300/s + 128 at 48 kHz", "256", "300", "128", 0,
            {"5.33 ms", "3.33 ms", "2.67 ms", "11.33 ms"});
        row("a new descriptor at 96 kHz", "128", "50", "2048", 96000,
            {"1.33 ms", "20.00 ms", "42.67 ms", "64.00 ms"});
    }

    void latency() {
        QFETCH(QString, inputBuffer);
        QFETCH(QString, processing);
        QFETCH(QString, outputBuffer);
        QFETCH(double, rateLater);
        Performance* performance = registry()->instancePerformance();
        performance->setInputSample(ModelGraph::INPUT_A, QSample::byDefault(ModelGraph::INPUT_A), true);
        setting()->setParamInputBufferA(inputBuffer);
        setting()->setParamProcessingBufferA(processing);
        setting()->setParamOutputBuffer(outputBuffer);
        auto panel = makePanel();
        if (rateLater > 0)
            performance->setInputSample(
                ModelGraph::INPUT_A,
                std::make_shared<QSample>(ModelGraph::INPUT_A, 0, "card", rateLater, 2, 0), true);

        QGridLayout* grid = nullptr;
        for (QGridLayout* candidate : panel->findChildren<QGridLayout*>())
            if (candidate->indexOf(panel->inputBufferComboA()) >= 0)
                grid = candidate;
        QVERIFY(grid);
        QStringList shown;
        for (int column : {0, 2, 4, 6})
            shown << static_cast<QLabel*>(grid->itemAtPosition(2, column)->widget())->text();
        QTEST(shown, "shown");
        performance->setInputSample(ModelGraph::INPUT_A, QSample::byDefault(ModelGraph::INPUT_A), true);
    }

    void graphOption_data() {
        QTest::addColumn<int>("option"); // index into OPTIONS
        for (int i = 0; i < int(std::size(OPTIONS)); ++i)
            QTest::newRow(OPTIONS[i].caption) << i;
    }

    // One click stores the box's own key, flipped, and leaves every other option's key alone.
    void graphOption() {
        QFETCH(int, option);
        for (int i = 0; i < int(std::size(OPTIONS)); ++i)
            (setting()->*OPTIONS[i].store)(i % 2 ? "1" : "0");
        auto panel = makePanel();
        QCheckBox* box = childWhere<QCheckBox>(
            panel.get(), [&](QCheckBox* box) { return box->text() == OPTIONS[option].caption; });
        QVERIFY(box);
        QStringList expected;
        for (int i = 0; i < int(std::size(OPTIONS)); ++i)
            expected << QString("%1=%2").arg(OPTIONS[i].key).arg(int((i % 2 == 1) != (i == option)));
        QSignalSpy redraws(panel.get(), &QWMenuDevice::s_HideShowOptionGraph);
        box->click();
        QStringList stored;
        for (const Option& o : OPTIONS)
            stored << QString("%1=%2").arg(o.key, storedValue(o.key));
        QCOMPARE(stored, expected);
        QCOMPARE(redraws.size(), QString(OPTIONS[option].key).startsWith("Graph") ? 1 : 0);
    }

    void deviceKeys_data() {
        QTest::addColumn<int>("combo"); // in the order of DEVICE_KEYS
        for (int i = 0; i < DEVICE_KEYS.size(); ++i)
            QTest::newRow(qPrintable(DEVICE_KEYS[i])) << i;
    }

    // A pick in each device box is stored under that box's key alone.
    void deviceKeys() {
        QFETCH(int, combo);
        auto panel = makePanel();
        QCustomComboBox* boxes[] = {panel->inputACombo(), panel->inputBCombo(), panel->inputRecordingCombo(),
                                    panel->inputMidiCombo(), panel->outputPlaybackCombo()};
        QStringList expected;
        for (const QString& key : DEVICE_KEYS)
            expected << key + "=" + storedValue(key);
        const QString picked = "9-[picked]-48000/2p0-ALSA-TBD";
        expected[combo] = DEVICE_KEYS[combo] + "=" + picked;
        boxes[combo]->addItem(picked);
        boxes[combo]->setCurrentIndex(boxes[combo]->count() - 1);
        QStringList stored;
        for (const QString& key : DEVICE_KEYS)
            stored << key + "=" + storedValue(key);
        QCOMPARE(stored, expected);
    }

    void tempo_data() {
        QTest::addColumn<int>("tempo");
        QTest::addColumn<int>("played");
        QTest::newRow("a set without tempo") << 0 << 50;
        QTest::newRow("beyond the slider") << 300 << 200;
        QTest::newRow("120") << 120 << 120;
    }

    void tempo() {
        QFETCH(int, tempo);
        QFETCH(int, played);
        RecordingLooperTraining* set = registry()->instanceLooperTraining();
        set->setBpm(84);
        auto panel = makePanel();
        QSignalSpy speed(panel.get(), &QWMenuDevice::s_UpdateFactorSpeed);
        QSignalSpy moved(panel->tempoSlider(), &QSlider::valueChanged);
        panel->updateFactorSpeed(tempo);
        QCOMPARE(speed.size(), 1);
        QCOMPARE(moved.size(), 0);
        QCOMPARE(panel->tempoSlider()->value(), played);
        QCOMPARE(rowTexts(panel->tempoSlider()), QStringList{QString::number(played)});
        QCOMPARE(set->bpmFactorSpeed(), double(played));
        QCOMPARE(set->factorSpeed(), played / 84.0);
    }

    void nameStoredPerKeystroke() {
        setting()->setParamName("Quillon");
        auto panel = makePanel();
        QLineEdit* name =
            childWhere<QLineEdit>(panel.get(), [](QLineEdit* line) { return line->isEnabled(); });
        QStringList stored;
        connect(name, &QLineEdit::textChanged, this, [&] { stored << storedValue("name"); });
        QTest::keyClicks(name, "DJ");
        QCOMPARE(stored, QStringList({"QuillonD", "QuillonDJ"}));
    }

    void authorPicture_data() {
        QTest::addColumn<QString>("chosen"); // a file of the test folder; empty cancels
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("message");
        QTest::newRow("a PNG") << "new.png" << true << "";
        QTest::newRow("a JPEG keeps its bytes") << "new.jpg" << true << "";
        QTest::newRow("cancelled") << "" << false << "";
        QTest::newRow("the picture itself") << "author.png" << false << "";
        QTest::newRow("the copy fails") << "new.png" << false << "";
        QTest::newRow("not a picture") << "notes.png" << false << "Non-compliant file !";
    }

    void authorPicture() {
        QFETCH(QString, chosen);
        QFETCH(bool, replaced);
        QFETCH(QString, message);
        const QString author = Path::joinInput("author.png");
        const QString folder = TestSandbox::root() + "/";
        QVERIFY(writePicture(author, Qt::red) && writePicture(folder + "new.png", Qt::blue) &&
                writePicture(folder + "new.jpg", Qt::blue) &&
                TestFiles::write(folder + "notes.png", "not a picture"));
        const QString source = chosen == "author.png" ? author : chosen.isEmpty() ? "" : folder + chosen;
        const QByteArray before = TestFiles::read(author);

        auto panel = makePanel();
        auto* picture = panel->findChild<QBIconPush*>();
        QSignalSpy reloads(panel.get(), &QWMenuDevice::s_UpdateIcon);
        ModalDriver driver;
        driver.queuePaths({source});
        {
            std::unique_ptr<FileSizeLimit> full;
            if (QByteArray(QTest::currentDataTag()) == "the copy fails")
                full = std::make_unique<FileSizeLimit>(TestFiles::read(source).size() / 2);
            QTest::mouseClick(picture, Qt::LeftButton);
        }
        QCOMPARE(driver.dialogCount(), 1);
        QCOMPARE(driver.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        const bool itself = source == author;
        QCOMPARE(reloads.size(), replaced || itself ? 1 : 0);
        QCOMPARE(TestFiles::read(author), replaced ? TestFiles::read(source) : before);
        const QImage shown = picture->findChild<QLabel*>()->pixmap().toImage();
        QCOMPARE(QColor(shown.pixel(shown.width() - 1, shown.height() - 1)).blue() > 200, replaced);
        QCOMPARE(QDir(Path::joinInput("")).entryList({"author*"}, QDir::Files), QStringList{"author.png"});
    }

    void tabs() {
        QFile::remove(Path::joinInput("author.png"));
        auto panel = makePanel();
        panel->resize(900, 1080);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        auto* tabs = panel->findChild<QTabWidget*>();
        const char* names[] = {"settings-device", "settings-display", "settings-performance"};
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QVERIFY(!Artifacts::save(panel.get(), names[i]).isEmpty());
        }
        // The header's title is the panel's name, on the dark header.
        const QImage image = panel->grab().toImage();
        QCOMPARE(QColor(image.pixel(2, 2)).lightness() < 90, true);
    }
};

QUILLON_GUI_TEST_MAIN(TestQWMenuDevice)
#include "tst_QWMenuDevice.moc"
