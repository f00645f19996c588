#include "signal_shaping.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio_format.h"

namespace {

double peakOf(const Signal& signal)
{
    double peak = 0.0;
    for (double sample : signal) {
        peak = std::max(peak, std::abs(sample));
    }
    return peak;
}

std::size_t samplesFor(double seconds, std::size_t limit)
{
    return std::min(limit, static_cast<std::size_t>(std::lround(secondsToSamples(seconds))));
}

double raisedCosine(std::size_t index, std::size_t length)
{
    const double phase = static_cast<double>(index) / static_cast<double>(length);
    return 0.5 - 0.5 * std::cos(std::numbers::pi * phase);
}

} // namespace

void mixAtPeak(Signal& target, const Signal& source, double weight)
{
    const double peak = peakOf(source);
    if (peak == 0.0) {
        return;
    }
    const double gain = weight / peak;
    const std::size_t count = std::min(target.size(), source.size());
    for (std::size_t i = 0; i < count; ++i) {
        target[i] += gain * source[i];
    }
}

void blockDc(Signal& signal)
{
    // One-pole high-pass with its corner near 20 Hz.
    constexpr double pole = 0.997;
    double previousInput = 0.0;
    double previousOutput = 0.0;
    for (double& sample : signal) {
        const double output = sample - previousInput + pole * previousOutput;
        previousInput = sample;
        previousOutput = output;
        sample = output;
    }
}

void applyFades(Signal& signal, double fadeInSeconds, double fadeOutSeconds)
{
    const std::size_t fadeIn = samplesFor(fadeInSeconds, signal.size());
    for (std::size_t i = 0; i < fadeIn; ++i) {
        signal[i] *= raisedCosine(i, fadeIn);
    }
    const std::size_t fadeOut = samplesFor(fadeOutSeconds, signal.size());
    for (std::size_t i = 0; i < fadeOut; ++i) {
        signal[signal.size() - 1 - i] *= raisedCosine(i, fadeOut);
    }
}

void normalizeToDbfs(Signal& signal, double peakDbfs)
{
    const double peak = peakOf(signal);
    if (peak == 0.0) {
        return;
    }
    const double gain = std::pow(10.0, peakDbfs / 20.0) / peak;
    for (double& sample : signal) {
        sample *= gain;
    }
}

std::vector<std::int16_t> toPcm16(const Signal& signal)
{
    std::vector<std::int16_t> pcm;
    pcm.reserve(signal.size());
    for (double sample : signal) {
        const long scaled = std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0);
        pcm.push_back(static_cast<std::int16_t>(scaled));
    }
    return pcm;
}
