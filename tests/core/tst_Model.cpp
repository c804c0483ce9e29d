#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Model.h"

namespace {

// Every key of the enumeration turns into its value and back.
template <typename Enum> void checkRoundTrip() {
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    QVERIFY(meta.keyCount() > 0);
    for (int i = 0; i < meta.keyCount(); ++i) {
        const auto value = static_cast<Enum>(meta.value(i));
        const QString key = Model::toText(value);
        QCOMPARE(key, QString::fromLatin1(meta.key(i)));
        bool ok = false;
        QCOMPARE(Model::fromText<Enum>(key, &ok), value);
        QVERIFY(ok);
    }
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT

private slots:
    void keysRoundTrip();
    void storedSpellings();
    void unknownText();
    void valuesOthersRelyOn();
};

void TestModel::keysRoundTrip() {
    checkRoundTrip<ModelGraph::EnumGraph>();
    checkRoundTrip<ModelActivatedMode::EnumActivatedMode>();
    checkRoundTrip<ModelDisplay::EnumDisplay>();
    checkRoundTrip<ModelInput::EnumInput>();
    checkRoundTrip<ModelCrossFader::EnumCrossFader>();
    checkRoundTrip<ModelRotation::EnumRotation>();
    checkRoundTrip<ModelPhase::EnumPhase>();
    checkRoundTrip<ModelVolume::EnumVolume>();
    checkRoundTrip<ModelAudioDeviceInfo::EnumAudioDeviceInfo>();
    checkRoundTrip<ModelError::EnumError>();
    checkRoundTrip<ModelTimecode::EnumTimecode>();
    checkRoundTrip<ModelItem::EnumGroup>();
    checkRoundTrip<ModelItem::EnumItem>();
    checkRoundTrip<ModelItem::EnumSubItem>();
    checkRoundTrip<ModelMode::EnumMode>();
}

void TestModel::storedSpellings() {
    // config.ini stores the timecode by key name.
    QCOMPARE(Model::toText(ModelTimecode::generic_V2), QString("generic_V2"));
    QCOMPARE(Model::toText(ModelTimecode::serato_sideA_FullDVS), QString("serato_sideA_FullDVS"));
    QCOMPARE(Model::toText(ModelTimecode::serato_sideB_FullDVS), QString("serato_sideB_FullDVS"));
    QCOMPARE(Model::toText(ModelTimecode::traktor_sideA), QString("traktor_sideA"));
    QCOMPARE(Model::toText(ModelTimecode::traktor_sideB), QString("traktor_sideB"));
    // Library folders are named by the page's key name.
    QCOMPARE(Model::toText(ModelActivatedMode::Looper), Constant::Directory::LOOPER);
    QCOMPARE(Model::toText(ModelActivatedMode::Recording), Constant::Directory::RECORDING);
    QCOMPARE(Model::toText(ModelActivatedMode::Color), Constant::Directory::COLOR);
    QCOMPARE(Model::toText(ModelActivatedMode::Training), QString("Training"));
    QCOMPARE(Model::toText(ModelMode::Basic), QString("Basic"));
    QCOMPARE(Model::toText(ModelItem::knob), QString("knob"));
}

void TestModel::unknownText() {
    bool ok = true;
    Model::fromText<ModelTimecode::EnumTimecode>("Generic_V2", &ok);
    QVERIFY(!ok);
    Model::fromText<ModelActivatedMode::EnumActivatedMode>("", &ok);
    QVERIFY(!ok);
    QCOMPARE(Model::toText(static_cast<ModelActivatedMode::EnumActivatedMode>(5)), QString());
}

void TestModel::valuesOthersRelyOn() {
    QCOMPARE(int(ModelGraph::INPUT_A), 3);
    QCOMPARE(int(ModelGraph::NOT_USED), 14);
    QCOMPARE(int(ModelActivatedMode::Undefined), 6);
    QCOMPARE(Constant::Default::UUID.toString(), QString("{00000001-0002-0003-0004-000000000005}"));
    QVERIFY(!Constant::Default::URL.isNull());
    QVERIFY(Constant::Default::URL.isEmpty());
    QCOMPARE(Constant::Default::TAB, QString("Looper"));
}

QUILLON_TEST_MAIN(TestModel)
#include "tst_Model.moc"
