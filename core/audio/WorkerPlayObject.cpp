#include "WorkerPlayObject.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/InstCurve.h"
#include "core/ManageWAV.h"
#include "core/Mode.h"
#include "core/Performance.h"
#include "core/QSample.h"
#include "core/RecordingLooperTraining.h"
#include "core/Setting.h"
#include "core/Singleton.h"
#include "core/WavPhrasing.h"
#include "DeviceStream.h"

namespace {

constexpr qint32 MOST = std::numeric_limits<qint32>::max();

// Whole frames of a stream at `rate` per curve point at `pointsPerSecond`; 0 when there is no
// usable value (a processing buffer not set yet).
qint32 framesPerPoint(double rate, double pointsPerSecond) {
    const double frames = pointsPerSecond > 0.0 ? rate / pointsPerSecond : 0.0;
    return frames >= 0.0 && frames < MOST ? qint32(frames) : 0;
}

// Curve points that `frames` frames span, rounded up.
qint32 pointsIn(double frames, qint32 samplesPerPoint) {
    const double points = std::ceil(frames / samplesPerPoint);
    return points >= 0.0 && points < MOST / 2 ? qint32(points) : 0;
}

} // namespace

WorkerPlayObject::WorkerPlayObject()
    : m_published(std::make_unique<const PlaySetup>(m_setup)), m_context(m_published.get()) {
    init(false);
}

WorkerPlayObject::~WorkerPlayObject() {
    closeStream(true);
}

int WorkerPlayObject::paTestOutputCallback(const void*, void* output, unsigned long frameCount,
                                           const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags,
                                           void* userData) {
    static_cast<PlayContext*>(userData)->render(static_cast<qint16*>(output), frameCount);
    return paContinue;
}

void WorkerPlayObject::init(bool relaunch) {
    Singleton* registry = Singleton::instance();
    Performance* performance = registry->instancePerformance();
    for (Deck::Setup& deck : m_setup.deck)
        deck.generate = registry->instanceMode()->modeGenerateSound();
    if (!relaunch) {
        m_deckSample[0] = performance->inputSample(ModelGraph::INPUT_A);
        m_deckSample[1] = performance->inputSample(ModelGraph::INPUT_B);
    }
    updateVolume();
    updateGenerateCutOffSound();
    if (m_sample) {
        const double factor = registry->instanceLooperTraining()->factorSpeed();
        const double rate = m_sample->samplerate();
        for (PlaySetup::Channel c : {PlaySetup::LOOPER, PlaySetup::SOUND_A, PlaySetup::SOUND_B}) {
            const std::shared_ptr<const QWav>& wav = m_setup.channel[c].wav.wav();
            m_setup.channel[c].factorSpeed = wav && rate > 0.0 ? factor * wav->samplerate() / rate : 1.0;
        }
        const std::shared_ptr<const QWav>& metronome = m_setup.channel[PlaySetup::METRONOM].wav.wav();
        m_setup.channel[PlaySetup::METRONOM].factorSpeed =
            metronome && rate > 0.0 ? metronome->samplerate() / rate : 1.0;
    }
    // The decks keep the bounds of their sounds: they belong to the sounds, which stay loaded.
    setupDeckTiming(ModelGraph::INPUT_A);
    setupDeckTiming(ModelGraph::INPUT_B);
    publish();
    m_context.request(relaunch ? PlayContext::RESET : PlayContext::RESET | PlayContext::DEACTIVATE);
}

void WorkerPlayObject::setupDeckTiming(ModelGraph::EnumGraph graph) {
    const std::shared_ptr<const QSample>& input = m_deckSample[deckOf(graph)];
    if (!m_sample || !input)
        return;
    const Performance* performance = Singleton::instance()->instancePerformance();
    const double pointsPerSecond = performance->processingBuffer(graph);
    Deck::Setup& deck = m_setup.deck[deckOf(graph)];
    deck.samplesPerPoint = framesPerPoint(m_sample->samplerate(), pointsPerSecond);
    // The deck stays as many points behind the newest one as the input and output buffers hold.
    deck.lag = deck.samplesPerPoint > 0
                   ? std::max(pointsIn(performance->inputBuffer(graph), deck.samplesPerPoint),
                              pointsIn(performance->outputBuffer(), deck.samplesPerPoint))
                   : 0;
    deck.threshold = framesPerPoint(input->samplerate(), pointsPerSecond) * input->angleForASample();
}

void WorkerPlayObject::setupDeck(ModelGraph::EnumGraph graph) {
    Singleton* registry = Singleton::instance();
    Deck::Setup& deck = m_setup.deck[deckOf(graph)];
    const std::shared_ptr<const QWav> wav = registry->instanceWavPhrasing()->wav(graph);
    deck.wav = PlaySound::forDeck(wav);
    if (wav) {
        const int max = wav->wavMax();
        deck.gain = max > 0 ? 32767 / max : 1;
        deck.lo = qint32(double(deck.wav.size()) * 0.1);
        deck.hi = qint32(double(deck.wav.size()) * 0.9);
    }
    deck.curve = registry->instanceCurve()->curveMain(graph);
}

void WorkerPlayObject::load(std::shared_ptr<const QSample> sample) {
    closeStream(false);
    m_sample = std::move(sample);
    m_setup.channels = m_sample ? m_sample->channels() : 0;
    m_setup.pos = m_sample ? m_sample->pos() : 0;
    init(false);
    if (!m_sample || m_sample->deviceName().isEmpty())
        return;
    setupDeck(ModelGraph::INPUT_A);
    setupDeck(ModelGraph::INPUT_B);
    publish();
    m_context.request(PlayContext::REANCHOR_A | PlayContext::REANCHOR_B);

    // A stream that does not open leaves the player silent.
    m_stream = DeviceStream::open(*m_sample, DeviceStream::Direction::Output,
                                  Singleton::instance()->instancePerformance()->outputBuffer(),
                                  paClipOff | paDitherOff, paTestOutputCallback, &m_context);
}

void WorkerPlayObject::play() {
    if (!m_stream)
        return;
    Pa_StartStream(m_stream);
    m_isPlaying = true;
}

void WorkerPlayObject::stop() {
    closeStream(false);
}

void WorkerPlayObject::closeStream(bool abort) {
    if (!m_stream)
        return;
    DeviceStream::close(m_stream, abort);
    m_stream = nullptr;
    m_isPlaying = false;
    reclaim(true);
}

void WorkerPlayObject::updateChannelWav(PlaySetup::Channel channel, const QString& path) {
    m_setup.channel[channel].wav =
        path.isEmpty() ? PlaySound() : PlaySound::forChannel(ManageWAV::extractStereoWAVFromFile(path));
    publish();
}

void WorkerPlayObject::updateWavLooper(const QString& path) {
    updateChannelWav(PlaySetup::LOOPER, path);
}

void WorkerPlayObject::updateWavSoundA(const QString& path) {
    updateChannelWav(PlaySetup::SOUND_A, path);
}

void WorkerPlayObject::updateWavSoundB(const QString& path) {
    updateChannelWav(PlaySetup::SOUND_B, path);
}

void WorkerPlayObject::updateWavMetronum(const QString& path) {
    updateChannelWav(PlaySetup::METRONOM, path);
}

void WorkerPlayObject::activate(PlaySetup::Channel channel) {
    m_context.request(PlayContext::ACTIVATE << channel);
}

void WorkerPlayObject::activatedOnTimeLooper() {
    activate(PlaySetup::LOOPER);
}

void WorkerPlayObject::activatedOnTimeSoundA() {
    activate(PlaySetup::SOUND_A);
}

void WorkerPlayObject::activatedOnTimeSoundB() {
    activate(PlaySetup::SOUND_B);
}

void WorkerPlayObject::activatedOnTimeMetronum() {
    activate(PlaySetup::METRONOM);
}

void WorkerPlayObject::restartSound() {
    activate(PlaySetup::LOOPER);
}

void WorkerPlayObject::updateWav() {
    if (!m_sample)
        return;
    setupDeck(ModelGraph::INPUT_A);
    setupDeck(ModelGraph::INPUT_B);
    publish();
    m_context.request(PlayContext::REANCHOR_A | PlayContext::REANCHOR_B);
}

void WorkerPlayObject::updateVolume() {
    Singleton* registry = Singleton::instance();
    Setting* setting = registry->instanceSetting();
    const double deckVolume = setting->paramVolumeDeck(false);
    for (Deck::Setup& deck : m_setup.deck)
        deck.volume = deckVolume / 100.0;
    m_setup.channel[PlaySetup::SOUND_A].volume = setting->paramVolumeRecord(false) / 100.0;
    m_setup.channel[PlaySetup::SOUND_B].volume = setting->paramVolumeRecord(false) / 100.0;
    m_setup.channel[PlaySetup::LOOPER].volume = setting->paramVolumeLooper(false) / 100.0;
    m_setup.channel[PlaySetup::METRONOM].volume = setting->paramVolumeMetronum(false) / 100.0;
    publish();
    // Through s_ModeGenerateSound and changeStatusGenerateDeck this starts or stops both decks.
    if (deckVolume != 0.0)
        registry->instanceMode()->modeGenerateSound_on();
    else
        registry->instanceMode()->modeGenerateSound_off();
}

void WorkerPlayObject::updateGenerateCutOffSound() {
    const bool cutOff = Singleton::instance()->instanceSetting()->paramGenerateCutOffSound(false);
    for (Deck::Setup& deck : m_setup.deck)
        deck.cutOff = cutOff;
    publish();
}

void WorkerPlayObject::changeStatusGenerateDeck(bool generate) {
    for (Deck::Setup& deck : m_setup.deck)
        deck.generate = generate;
    publish();
}

void WorkerPlayObject::initRelaunch() {
    init(true);
}

void WorkerPlayObject::publish() {
    auto next = std::make_unique<const PlaySetup>(m_setup);
    m_context.publish(next.get());
    // Read after the swap: a callback that starts later takes the new set-up.
    m_retired.push_back({m_context.buffers(), std::move(m_published)});
    m_published = std::move(next);
    reclaim(false);
}

void WorkerPlayObject::reclaim(bool all) {
    const quint64 now = m_context.buffers();
    std::erase_if(m_retired, [&](const Retired& r) { return all || PlayContext::released(r.stamp, now); });
}
