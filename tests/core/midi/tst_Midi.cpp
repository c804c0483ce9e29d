#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "TestFiles.h"
#include "TestSandbox.h"
#include "WorkerThread.h"
#include "core/Constant.h"
#include "core/Function.h"
#include "core/Path.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/midi/ItemButton.h"
#include "core/midi/ItemKnob.h"
#include "core/midi/Midi.h"
#include "core/midi/ParserMidi.h"
#include "core/midi/QMidiIn.h"
#include "platform/NativeLogs.h"

using Events = QList<QPair<quint32, quint32>>;

namespace {

std::unique_ptr<ObjectMidi> position(int value, const QString& name = QString()) {
    auto object = std::make_unique<ObjectMidi>(0, 7, ModelMode::Basic);
    object->setValue(value);
    object->setName(name);
    return object;
}

QByteArray root(const QByteArray& controllers) {
    return "<ni-controller-midi-map>" + controllers + "</ni-controller-midi-map>";
}
QByteArray controller(const QByteArray& type, const QByteArray& pages) {
    return "<controller type=\"" + type + "\"><midi-map><pages>" + pages + "</pages></midi-map></controller>";
}
QByteArray page(const QByteArray& controls, const QByteArray& name = "Basic") {
    return "<page name=\"" + name + "\">" + controls + "</page>";
}
QByteArray mapping(const QByteArray& pages) {
    return root(controller("Z", pages));
}
const QByteArray XFADER = "<wheel id=\"XFader\"><channel>2</channel><controller>8</controller></wheel>";

// Each control as "kind:id mode channel/controller", then a button's on/off or a knob's min/max.
QString describe(const ItemInterfaceList& items) {
    QStringList list;
    for (const auto& item : items) {
        const ObjectMidi& control = item->objectMidi();
        QString text = QString("%1:%2 %3 %4/%5")
                           .arg(item->objectName(), item->idName(), Model::toText(item->mode()))
                           .arg(control.channel())
                           .arg(control.controller());
        if (auto* button = qobject_cast<const ItemButton*>(item.get()))
            text += QString(" %1/%2").arg(button->on()).arg(button->off());
        if (auto* knob = qobject_cast<const ItemKnob*>(item.get()))
            text += QString(" %1/%2").arg(knob->min()).arg(knob->max());
        list << text;
    }
    return list.join(", ");
}

// One packet as the platform layer lays it out: time stamp, length, data.
QByteArray packet(quint64 stamp, const char* hex, int declaredLength = -1) {
    const QByteArray data = QByteArray::fromHex(hex);
    const quint16 length = declaredLength < 0 ? quint16(data.size()) : quint16(declaredLength);
    QByteArray bytes(10, '\0');
    std::memcpy(bytes.data(), &stamp, 8);
    std::memcpy(bytes.data() + 8, &length, 2);
    return bytes + data;
}

// What `work` writes on the process's stderr, by whatever means (the native libraries write on the
// descriptor directly).
QByteArray stderrOf(const std::function<void()>& work) {
    QTemporaryFile file;
    if (!file.open())
        qFatal("no temporary file for stderr");
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    work();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

Midi* midi() {
    return Singleton::instance()->instanceMidi();
}

void setCrossFader(int channel, int controller, ModelMode::EnumMode mode = ModelMode::Basic) {
    const ObjectMidi control(channel, controller, mode);
    midi()->setCrossFader(&control);
}

void setThresholds(const QString& left, const QString& right) {
    Singleton::instance()->instanceSetting()->setParamCrossfaderLeft(left);
    Singleton::instance()->instanceSetting()->setParamCrossfaderRight(right);
}

// Control changes of channel 0, controller 8 (the crossfader of most cases) with these values.
QList<quint32> faders(std::initializer_list<int> values) {
    QList<quint32> messages;
    for (int value : values)
        messages << (0x08B0 | quint32(value) << 16);
    return messages;
}

// Hands `messages` to the worker one at a time and lists the positions published meanwhile as
// "STATUS value". The position in force before is held, so a new one cannot take its address.
QStringList published(WorkerThread& thread, const QList<quint32>& messages) {
    QStringList list;
    Midi::Position last = midi()->crossFaderPos();
    for (quint32 message : messages) {
        thread.call(&WorkerMidiObject::message, message, 0u);
        Midi::Position now = midi()->crossFaderPos();
        if (now.get() != last.get())
            list << Model::toText(now->status()) + " " + QString::number(now->value());
        last = std::move(now);
    }
    return list;
}

} // namespace

// The crossfader state: a control's status, the published position, the controller mapping, the
// input's packet walk, and the worker on a real thread, fed as its MIDI input feeds it. No MIDI system
// is reachable here, so no input is ever opened; the JACK tests cover opening.
class TestMidi : public QObject {
    Q_OBJECT

private slots:
    void status_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("value");
        QTest::addColumn<ModelCrossFader::EnumCrossFader>("status");
        QTest::newRow("10/100 at 10") << 10 << 100 << 10 << ModelCrossFader::LEFT;
        QTest::newRow("10/100 at 11") << 10 << 100 << 11 << ModelCrossFader::MIDDLE;
        QTest::newRow("10/100 at 99") << 10 << 100 << 99 << ModelCrossFader::MIDDLE;
        QTest::newRow("10/100 at 100") << 10 << 100 << 100 << ModelCrossFader::RIGHT;
        // Crossed thresholds: the right one is asked first.
        QTest::newRow("100/10 at 50") << 100 << 10 << 50 << ModelCrossFader::RIGHT;
    }

    void status() {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, value);
        ObjectMidi object(0, 7, ModelMode::Basic);
        object.setCrossLeftRight(left, right);
        object.setValue(value);
        QTEST(object.status(), "status");
    }

    // Under the address sanitizer a freed position read here stops the test.
    void heldPositionOutlivesItsReplacement() {
        Midi midi;
        QVERIFY(!midi.crossFaderPos());
        midi.setCrossFaderPos(position(0, "XFader"));
        Midi::Position held;
        {
            Midi::Position first = midi.crossFaderPos();
            held = std::move(first); // the hold moves: ending `first` must not let go of it
        }
        for (int value = 1; value <= 100; ++value)
            midi.setCrossFaderPos(position(value));
        QCOMPARE(held->name(), QString("XFader"));
        QCOMPARE(midi.crossFaderPos()->value(), 100);
    }

    void crossFaderOfTheShippedMapping() {
        Midi midi;
        const QString path = Path::joinInput("Conf_Midi_Z2.ncc");
        midi.loadConfigListMidiItems(path, "Traktor Kontrol Z2");
        const ObjectMidi* crossFader =
            midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic);
        QVERIFY(crossFader && crossFader->channel() <= 15 && crossFader->controller() <= 127);
        QVERIFY(!midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Shift));
        QVERIFY(!midi.objectMidiOfIdName("xfader", ModelMode::Basic));
        // Loading again replaces the controls, with none when the type has none.
        midi.loadConfigListMidiItems(path, "Other");
        QVERIFY(!midi.objectMidiOfIdName(Constant::Midi::MIDI_CROSSFADER, ModelMode::Basic));
    }

    void parse_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("controls");
        const QString xfader = "wheel:XFader Basic 2/8";
        QTest::newRow("complete") << mapping(page(XFADER)) << xfader;
        QTest::newRow("root of another name")
            << mapping(page(XFADER)).replace("ni-controller-midi-map", "ni-controller-midi-mapping") << "";
        QTest::newRow("type in other case") << mapping(page(XFADER)).replace("\"Z\"", "\"z\"") << "";
        QTest::newRow("first controller of the type")
            << root(controller("O", page("<knob id=\"O\"/>")) + controller("Z", page("<knob id=\"A\"/>")) +
                    controller("Z", page("<knob id=\"B\"/>")))
            << "knob:A Basic 0/0 0/0";
        QTest::newRow("Shift") << mapping(page(XFADER + "<led id=\"L\"/>", "Shift"))
                               << "wheel:XFader Shift 2/8, led:L Shift 0/0";
        QTest::newRow("shift is Basic") << mapping(page(XFADER, "shift")) << xfader;
        QTest::newRow("NO_TESTED") << mapping(page(XFADER, "NO_TESTED")) << "wheel:XFader NO_TESTED 2/8";
        QTest::newRow("no name is Basic") << mapping("<page>" + XFADER + "</page>") << xfader;
        // Each control starts from zeros; of a repeated value the last counts.
        QTest::newRow("values do not carry over")
            << mapping(page("<knob id=\"K1\"><channel>3</channel><controller>9</controller><min>1</min>"
                            "<max>90</max></knob><knob id=\"K2\"><min>5</min></knob>"
                            "<button id=\"B\"><on>127</on><off>1</off><on>64</on></button>"))
            << "knob:K1 Basic 3/9 1/90, knob:K2 Basic 0/0 5/0, button:B Basic 0/0 64/1";
        QTest::newRow("unknown kinds skipped")
            << mapping(page("<button id=\"B\"/><pedal id=\"P\"><channel>1</channel></pedal><Knob id=\"k\"/>"
                            "<led id=\"L\"><Channel>5</Channel></led>") +
                       page("<wheel id=\"W\"/>", "Shift"))
            << "button:B Basic 0/0 0/0, led:L Basic 0/0, wheel:W Shift 0/0";
        // Channels that are not decimal numbers of 32 bits read 0.
        QTest::newRow("channels")
            << mapping(page("<knob id=\"K\"><channel>one</channel></knob><led id=\"L\"><channel>"
                            "1.5</channel></led><led id=\"M\"><channel>2147483648</channel></led>"))
            << "knob:K Basic 0/0 0/0, led:L Basic 0/0, led:M Basic 0/0";
        // The document parse would take seconds at 40,000 levels: nesting past any real mapping is refused.
        const auto nested = [](int levels) {
            return QByteArray("<x>").repeated(levels) + QByteArray("</x>").repeated(levels);
        };
        QTest::newRow("32 levels") << mapping(page(XFADER + "<led id=\"L\">" + nested(26) + "</led>"))
                                   << xfader + ", led:L Basic 0/0";
        QTest::newRow("33 levels") << mapping(page(XFADER + "<led id=\"L\">" + nested(27) + "</led>")) << "";
        QTest::newRow("40,000 levels") << mapping(page(XFADER + nested(40000))) << "";
    }

    void parse() {
        QFETCH(QByteArray, xml);
        const QString path = TestSandbox::root() + "/map.ncc";
        QVERIFY(TestFiles::write(path, xml));
        const ItemInterfaceList items = ParserMidi::parseXmlNi(path, "Z");
        QTEST(describe(items), "controls");
        for (const auto& item : items)
            QVERIFY(qobject_cast<ItemInterface*>(item.get()) && item->objectMidi().name() == item->idName());
    }

    void packetWalk_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<Events>("expected");
        const Events cc3 = {{0x006407B0, 3}};
        QTest::newRow("one control change")
            << packet(0x1122334455667788, "b00764") << Events{{0x006407B0, 0x55667788}};
        QTest::newRow("two messages")
            << packet(7, "903c7f904000") << Events{{0x007F3C90, 7}, {0x00004090, 7}};
        QTest::newRow("four bytes dropped whole") << packet(3, "b0076400") << Events{};
        QTest::newRow("timing clocks dropped") << packet(3, "f8f8f8") << Events{};
        QTest::newRow("running-status group dropped") << packet(3, "b00764081000") << cc3;
        QTest::newRow("last channel status kept") << packet(3, "ef7f7ff00102") << Events{{0x007F7FEF, 3}};
        QTest::newRow("walk goes on") << packet(1, "") + packet(2, "b007") + packet(3, "b00764") << cc3;
        // Hostile lengths: under a sanitizer any read past the exactly sized copy stops the test.
        QTest::newRow("length past the end") << packet(3, "b00764") + packet(4, "b00764", 300) << cc3;
        QTest::newRow("length one past the end") << packet(3, "b00764", 4) << Events{};
        QTest::newRow("truncated header") << packet(3, "b00764") + QByteArray(9, '\xb0') << cc3;
    }

    void packetWalk() {
        QFETCH(QByteArray, list);
        const std::vector<std::uint8_t> bytes(list.cbegin(), list.cend());
        Events events;
        QMidiIn::walkPacketList(bytes.data(), bytes.size(), [&events](quint32 message, quint32 timing) {
            events.append({message, timing});
        });
        QTEST(events, "expected");
    }

    // Quietly: with the native libraries' own chatter silenced as the application does, listing and
    // a run's opening of the input leave nothing on stderr.
    void noBackEndListsNothing() {
        NativeLogs::silence();
        const QByteArray printed = stderrOf([] {
            QVERIFY(QMidiIn::devices().isEmpty());
            QVERIFY(Function::devicesMidiIn().isEmpty());
            QMidiIn input;
            QVERIFY(!input.connect("0"));
            input.start();
            input.stop();
            input.disconnect();
            setCrossFader(0, 8);
            WorkerThread thread;
            thread.call(&WorkerMidiObject::startRun);
            thread.call(&WorkerMidiObject::startLearnRun);
        });
        QCOMPARE(printed, QByteArray());
    }

    void publishesOnZoneChangesOnly() {
        setCrossFader(0, 8, ModelMode::Shift);
        setThresholds("10", "100");
        WorkerThread thread; // a new worker: its last zone is MIDDLE
        thread.call(&WorkerMidiObject::startRun);
        QCOMPARE(published(thread, faders({50, 10, 5, 0, 11, 99, 100, 127, 99, 10})),
                 QStringList({"LEFT 10", "MIDDLE 11", "RIGHT 100", "MIDDLE 99", "LEFT 10"}));
        const Midi::Position position = midi()->crossFaderPos();
        QVERIFY(position->channel() == 0 && position->controller() == 8 &&
                position->mode() == ModelMode::Shift);
        QVERIFY(position->name() == "XFader" && position->crossLeft() == 10 && position->crossRight() == 100);
        // The thresholds are read at every message.
        setThresholds("10", "90");
        QCOMPARE(published(thread, faders({95, 89, 90})), QStringList({"RIGHT 95", "MIDDLE 89", "RIGHT 90"}));
        // The position and the zone outlast the run.
        const Midi::Position kept = midi()->crossFaderPos();
        thread.call(&WorkerMidiObject::stopRun);
        QCOMPARE(midi()->crossFaderPos().get(), kept.get());
        thread.call(&WorkerMidiObject::startRun);
        QCOMPARE(published(thread, faders({127, 50})), QStringList({"MIDDLE 50"}));
    }

    void onlyTheControlOfTheRunCounts() {
        setCrossFader(0, 8);
        setThresholds("0", "127");
        WorkerThread thread;
        thread.call(&WorkerMidiObject::startRun);
        setCrossFader(2, 16); // taken at the next start: until then channel 0, controller 8 counts
        QCOMPARE(published(thread, faders({127}) << 0x0010B2), QStringList({"RIGHT 127"}));
        thread.call(&WorkerMidiObject::startRun);
        // Each would enter the left zone if it counted: the former control, another channel, another
        // controller, a note-on and a pitch bend.
        const QList<quint32> others = {0x0008B0, 0x0010B3, 0x0011B2, 0x001092, 0x0010E2};
        QCOMPARE(published(thread, others + QList<quint32>{0x4010B2}), QStringList({"MIDDLE 64"}));
        midi()->setCrossFader(nullptr);
        thread.call(&WorkerMidiObject::startRun);
        QCOMPARE(published(thread, {0x0010B2}), QStringList());
    }

    void learningTakesTheFirstControlChange() {
        WorkerThread thread;
        QSignalSpy learnt(thread.worker, &WorkerMidiObject::s_LearnMidi);
        const auto learn = [&thread](quint32 message) {
            thread.call(&WorkerMidiObject::learnMessage, message, 0u);
        };
        learn(0x4010B2); // not learning yet
        thread.call(&WorkerMidiObject::startLearnRun);
        // Note-on, note-off and pitch bend are not learnt; of two control changes only the first is.
        for (quint32 message : {0x7F3C91, 0x003C81, 0x0020E1, 0x4010B2, 0x4011B3})
            learn(message);
        thread.call(&WorkerMidiObject::stopRun);
        thread.call(&WorkerMidiObject::startLearnRun);
        learn(0x0011BF);
        QCOMPARE(QList<QVariantList>(learnt), QList<QVariantList>({{2, 16}, {15, 17}}));
    }
};

QUILLON_TEST_MAIN(TestMidi)
#include "tst_Midi.moc"
