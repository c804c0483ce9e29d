#pragma once

#include <QString>

class Performance;

// The delay each stage of the two input roads adds, in milliseconds, from the buffer settings: the
// input buffer, one curve point of processing and the output buffer. A stage without a descriptor or
// with a rate not above 0 counts 0.
struct LatencyFigures {
    double inputA = 0.0;
    double inputB = 0.0;
    double processingA = 0.0;
    double processingB = 0.0;
    double output = 0.0;

    double overallA() const { return inputA + processingA + output; }
    double overallB() const { return inputB + processingB + output; }

    static LatencyFigures of(const Performance& performance);
    // "%1 ms" with two decimals: 2.67 ms for 128 frames at 48000 Hz.
    static QString text(double milliseconds);
};
