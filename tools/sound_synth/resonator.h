#pragma once

#include <cmath>
#include <numbers>

#include "audio_format.h"

// Two-pole resonator: rings at frequency hz, its envelope falling by 1/e every decaySeconds.
class Resonator {
public:
    Resonator(double hz, double decaySeconds)
    {
        const double radius = std::exp(-1.0 / secondsToSamples(decaySeconds));
        const double omega = 2.0 * std::numbers::pi * hz / static_cast<double>(sampleRate);
        a1_ = 2.0 * radius * std::cos(omega);
        a2_ = -radius * radius;
    }

    double process(double input)
    {
        const double output = input + a1_ * y1_ + a2_ * y2_;
        y2_ = y1_;
        y1_ = output;
        return output;
    }

private:
    double a1_ = 0.0;
    double a2_ = 0.0;
    double y1_ = 0.0;
    double y2_ = 0.0;
};
