#include "attach_sound.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "audio_format.h"
#include "resonator.h"
#include "xorshift.h"

namespace {

struct AttachVoice {
    double modeHz;         // main ring of the shell
    double modeDecay;      // seconds per 1/e
    double bodyHz;         // low knock of the brick body
    double seatDelay;      // seconds until the studs finish seating
    double seatLevel;      // relative to the first click
    double seconds;
};

constexpr AttachVoice attachVoices[attachVariantCount] = {
    {2700.0, 0.012, 950.0, 0.0070, 0.45, 0.110},
    {3150.0, 0.009, 1120.0, 0.0055, 0.35, 0.100},
    {2450.0, 0.015, 860.0, 0.0090, 0.50, 0.120},
    {3500.0, 0.010, 1240.0, 0.0065, 0.40, 0.105},
};

// Adds a decaying noise burst at startSeconds: the impulse that excites the modes.
void addBurst(Signal& excitation, XorShift32& noise, double startSeconds, double level)
{
    const auto start = static_cast<std::size_t>(std::lround(secondsToSamples(startSeconds)));
    const double decaySamples = secondsToSamples(0.0004);
    const auto length = static_cast<std::size_t>(secondsToSamples(0.003));
    for (std::size_t i = 0; i < length && start + i < excitation.size(); ++i) {
        excitation[start + i] += level * noise.nextSigned() * std::exp(-static_cast<double>(i) / decaySamples);
    }
}

Signal ring(const Signal& excitation, double hz, double decaySeconds)
{
    Resonator resonator(hz, decaySeconds);
    Signal out(excitation.size());
    for (std::size_t i = 0; i < excitation.size(); ++i) {
        out[i] = resonator.process(excitation[i]);
    }
    return out;
}

// First difference: keeps only the crack at the top of the burst.
Signal differentiate(const Signal& signal)
{
    Signal out(signal.size());
    double previous = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        out[i] = signal[i] - previous;
        previous = signal[i];
    }
    return out;
}

} // namespace

Signal synthAttach(int variant)
{
    const AttachVoice& voice = attachVoices[variant];
    XorShift32 noise(0xA77AC400u + static_cast<std::uint32_t>(variant));

    const auto length = static_cast<std::size_t>(std::lround(secondsToSamples(voice.seconds)));
    Signal excitation(length, 0.0);
    addBurst(excitation, noise, 0.0, 1.0);
    addBurst(excitation, noise, voice.seatDelay, voice.seatLevel);

    Signal mix(length, 0.0);
    mixAtPeak(mix, differentiate(excitation), 0.45);
    mixAtPeak(mix, ring(excitation, voice.modeHz, voice.modeDecay), 1.0);
    // Inharmonic partials of a stiff shell, dying faster than the main ring.
    mixAtPeak(mix, ring(excitation, voice.modeHz * 1.47, voice.modeDecay * 0.6), 0.45);
    mixAtPeak(mix, ring(excitation, voice.modeHz * 2.21, voice.modeDecay * 0.35), 0.25);
    mixAtPeak(mix, ring(excitation, voice.bodyHz, 0.005), 0.35);

    blockDc(mix);
    applyFades(mix, 0.0003, 0.020);
    normalizeToDbfs(mix, -3.0);
    return mix;
}
