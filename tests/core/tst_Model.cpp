#include <QtTest>

#include "TestSandbox.h"
#include "core/Constant.h"
#include "core/Model.h"

namespace {

// Every key of the enumeration turns into its value and back.
template <typename Enum> void checkOne() {
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    QVERIFY(meta.keyCount() > 0);
    for (int i = 0; i < meta.keyCount(); ++i) {
        const auto value = static_cast<Enum>(meta.value(i));
        bool ok = false;
        QCOMPARE(Model::toText(value), QString::fromLatin1(meta.key(i)));
        QCOMPARE(Model::fromText<Enum>(Model::toText(value), &ok), value);
        QVERIFY(ok);
    }
}

template <typename... Enums> void checkRoundTrip() {
    (checkOne<Enums>(), ...);
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT

private slots:
    void keysRoundTrip();
    void storedSpellings();
    void unknownText();
};

void TestModel::keysRoundTrip() {
    checkRoundTrip<ModelGraph::EnumGraph, ModelActivatedMode::EnumActivatedMode, ModelDisplay::EnumDisplay,
                   ModelInput::EnumInput, ModelCrossFader::EnumCrossFader, ModelRotation::EnumRotation,
                   ModelPhase::EnumPhase, ModelVolume::EnumVolume, ModelAudioDeviceInfo::EnumAudioDeviceInfo,
                   ModelError::EnumError, ModelTimecode::EnumTimecode, ModelItem::EnumGroup,
                   ModelItem::EnumItem, ModelItem::EnumSubItem, ModelMode::EnumMode>();
}

// config.ini stores the timecode by key name; library folders are named by the page's key name.
void TestModel::storedSpellings() {
    QCOMPARE(QStringList({Model::toText(ModelTimecode::generic_V2),
                          Model::toText(ModelTimecode::serato_sideA_FullDVS),
                          Model::toText(ModelTimecode::serato_sideB_FullDVS),
                          Model::toText(ModelTimecode::traktor_sideA), Model::toText(ModelTimecode::traktor_sideB),
                          Model::toText(ModelActivatedMode::Looper), Model::toText(ModelActivatedMode::Training),
                          Model::toText(ModelActivatedMode::Recording), Model::toText(ModelActivatedMode::Color)}),
             QStringList({"generic_V2", "serato_sideA_FullDVS", "serato_sideB_FullDVS", "traktor_sideA",
                          "traktor_sideB", "Looper", "Training", "Recording", "Color"}));
    QCOMPARE(Model::toText(ModelActivatedMode::Looper), Constant::Directory::LOOPER);
}

void TestModel::unknownText() {
    bool ok = true;
    Model::fromText<ModelTimecode::EnumTimecode>("Generic_V2", &ok);
    QVERIFY(!ok);
    // 5 is unused: Undefined is 6.
    QCOMPARE(Model::toText(static_cast<ModelActivatedMode::EnumActivatedMode>(5)), QString());
    QCOMPARE(int(ModelActivatedMode::Undefined), 6);
    QVERIFY(!Constant::Default::URL.isNull() && Constant::Default::URL.isEmpty());
}

QUILLON_TEST_MAIN(TestModel)
#include "tst_Model.moc"
