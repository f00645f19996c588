#include "detach_sound.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>

#include "audio_format.h"
#include "resonator.h"
#include "xorshift.h"

namespace {

struct DetachVoice {
    double startHz;     // pitch at the moment of release
    double endHz;       // pitch the glide settles towards
    double glideTime;   // seconds per 1/e of the glide
    double decay;       // seconds per 1/e of the pop's loudness
    double tickHz;      // small click of the studs letting go
    double seconds;
};

constexpr DetachVoice detachVoices[detachVariantCount] = {
    {1050.0, 520.0, 0.022, 0.030, 1900.0, 0.160},
    {1200.0, 600.0, 0.018, 0.026, 2150.0, 0.150},
    {940.0, 470.0, 0.026, 0.036, 1750.0, 0.175},
    {1120.0, 540.0, 0.020, 0.032, 2050.0, 0.165},
};

Signal glidingPop(const DetachVoice& voice, std::size_t length)
{
    const double attackSamples = secondsToSamples(0.003);
    const double decaySamples = secondsToSamples(voice.decay);
    const double glideSamples = secondsToSamples(voice.glideTime);
    Signal out(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double n = static_cast<double>(i);
        const double hz = voice.endHz + (voice.startHz - voice.endHz) * std::exp(-n / glideSamples);
        phase += 2.0 * std::numbers::pi * hz / static_cast<double>(sampleRate);
        const double attack = n < attackSamples ? n / attackSamples : 1.0;
        const double level = attack * std::exp(-n / decaySamples);
        // A little second harmonic gives the pop a hollow, rounded body.
        out[i] = level * (std::sin(phase) + 0.25 * std::sin(2.0 * phase));
    }
    return out;
}

// Low-passed noise swelling and dying within the first 20 ms: the studs sliding out.
Signal scrape(XorShift32& noise, std::size_t length)
{
    const double centreSamples = secondsToSamples(0.006);
    const double widthSamples = secondsToSamples(0.004);
    constexpr double smoothing = 0.25;
    Signal out(length);
    double lowPassed = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        lowPassed += smoothing * (noise.nextSigned() - lowPassed);
        const double offset = (static_cast<double>(i) - centreSamples) / widthSamples;
        out[i] = lowPassed * std::exp(-offset * offset);
    }
    return out;
}

Signal tick(double hz, std::size_t length)
{
    Resonator resonator(hz, 0.004);
    Signal out(length);
    for (std::size_t i = 0; i < length; ++i) {
        out[i] = resonator.process(i == 0 ? 1.0 : 0.0);
    }
    return out;
}

} // namespace

Signal synthDetach(int variant)
{
    const DetachVoice& voice = detachVoices[variant];
    XorShift32 noise(0xDE7AC400u + static_cast<std::uint32_t>(variant));

    const auto length = static_cast<std::size_t>(std::lround(secondsToSamples(voice.seconds)));
    Signal mix(length, 0.0);
    mixAtPeak(mix, glidingPop(voice, length), 1.0);
    mixAtPeak(mix, scrape(noise, length), 0.30);
    mixAtPeak(mix, tick(voice.tickHz, length), 0.25);

    blockDc(mix);
    applyFades(mix, 0.001, 0.025);
    // Quieter than the snap: letting go should not startle.
    normalizeToDbfs(mix, -5.0);
    return mix;
}
