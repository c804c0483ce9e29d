#include "Sounds.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/ManageWAV.h"
#include "core/QSample.h"

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;

// A fixed-seed generator, so the noise is the same on every run.
class Noise {
public:
    double next() {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / double(1 << 23) - 1.0;
    }

private:
    quint32 m_state = 0x5155494Cu;
};

// Adds `voice` (mono, from t = 0) into `out` from frame `at`, with left and right gains.
void mixIn(Sounds::Frames& out, const std::vector<double>& voice, qsizetype at, double left, double right) {
    for (size_t i = 0; i < voice.size() && at + qsizetype(i) < qsizetype(out.size()); ++i) {
        out[at + i][0] += voice[i] * left;
        out[at + i][1] += voice[i] * right;
    }
}

std::vector<double> kick() {
    std::vector<double> v(size_t(Sounds::RATE * 0.45));
    double phase = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / Sounds::RATE;
        phase += TWO_PI * (45.0 + 95.0 * std::exp(-t / 0.03)) / Sounds::RATE;
        v[i] = std::sin(phase) * std::exp(-t / 0.22) * std::min(1.0, t / 0.001);
    }
    return v;
}

std::vector<double> snare(Noise& noise) {
    std::vector<double> v(size_t(Sounds::RATE * 0.3));
    double previous = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / Sounds::RATE;
        const double n = noise.next();
        const double bright = n - previous; // A first difference leans the noise to the highs.
        previous = n;
        v[i] = 0.45 * std::sin(TWO_PI * 185.0 * t) * std::exp(-t / 0.07) + 0.35 * bright * std::exp(-t / 0.1);
    }
    return v;
}

std::vector<double> hat(Noise& noise, double decay) {
    std::vector<double> v(size_t(Sounds::RATE * decay * 6));
    double p1 = 0, p2 = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / Sounds::RATE;
        const double n = noise.next();
        v[i] = 0.25 * (n - 2 * p1 + p2) * std::exp(-t / decay); // Second difference: only the highs.
        p2 = p1;
        p1 = n;
    }
    return v;
}

// Scales the loudest sample to `peak`.
void normalise(Sounds::Frames& frames, double peak) {
    double loudest = 0;
    for (const auto& f : frames)
        loudest = std::max({loudest, std::abs(f[0]), std::abs(f[1])});
    if (loudest <= 0)
        return;
    for (auto& f : frames) {
        f[0] *= peak / loudest;
        f[1] *= peak / loudest;
    }
}

} // namespace

Sounds::Frames Sounds::click() {
    Frames frames(size_t(RATE * 0.05));
    for (size_t i = 0; i < frames.size(); ++i) {
        const double t = double(i) / RATE;
        const double tone = std::sin(TWO_PI * 1000.0 * t) + 0.5 * std::sin(TWO_PI * 2500.0 * t);
        const double v = tone * std::min(1.0, t / 0.001) * std::exp(-t / 0.008);
        frames[i] = {v, v};
    }
    normalise(frames, 0.7);
    return frames;
}

Sounds::Frames Sounds::drumLoop(double bpm) {
    const double eighth = RATE * 60.0 / bpm / 2.0;
    // 2.8 s at 84 bpm: about 57 ms before the next bar, for the timer's jitter.
    Frames frames(size_t(std::lround(eighth * 8 * 0.98)));
    Noise noise;
    const std::vector<double> k = kick();
    for (int e : {0, 4, 5})
        mixIn(frames, k, qsizetype(e * eighth), 1.0, 1.0);
    for (int e : {2, 6})
        mixIn(frames, snare(noise), qsizetype(e * eighth), 0.9, 0.9);
    for (int e = 0; e < 8; ++e) {
        const bool offbeat = e % 2 == 1;
        mixIn(frames, hat(noise, offbeat ? 0.05 : 0.02), qsizetype(e * eighth), 0.6, 0.8);
    }
    normalise(frames, 0.8);
    return frames;
}

Sounds::Frames Sounds::vowel() {
    // The formants of an open "a": centre and bandwidth in Hz, and weight.
    const double formants[3][3] = {{730, 90, 1.0}, {1090, 110, 0.5}, {2440, 160, 0.25}};
    const double voiced = 1.25, fade = 0.18;
    Frames frames(size_t(RATE * 1.8));
    std::vector<double> phases(40, 0.0);
    for (size_t i = 0; i < frames.size(); ++i) {
        const double t = double(i) / RATE;
        if (t >= voiced) {
            frames[i] = {0, 0};
            continue;
        }
        // A falling pitch with a light vibrato.
        const double f0 = (190.0 - 40.0 * t / voiced) * (1.0 + 0.012 * std::sin(TWO_PI * 5.5 * t));
        double v = 0;
        for (size_t k = 1; k < phases.size() && k * f0 < 5000.0; ++k) {
            phases[k] += TWO_PI * k * f0 / RATE;
            double gain = 0;
            for (const auto& f : formants) {
                const double d = (k * f0 - f[0]) / (f[1] / 2);
                gain += f[2] / (1.0 + d * d);
            }
            v += gain * std::sin(phases[k]);
        }
        const double envelope = std::min(1.0, t / 0.015) * (t > voiced - fade ? (voiced - t) / fade : 1.0);
        v *= envelope;
        frames[i] = {v, v};
    }
    normalise(frames, 0.8);
    return frames;
}

bool Sounds::write(const QString& path, const Frames& frames) {
    ManageWAV wav(nullptr, qint64(frames.size()) * 2);
    for (const auto& frame : frames) {
        for (double value : frame) {
            const qint16 sample = qint16(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
            wav.addData(&sample);
        }
    }
    const QSample format(ModelGraph::PLAYBACK, -1, QString(), RATE, 2, 0);
    return wav.createWAVFile(path, &format);
}
