#pragma once

#include <cstdint>
#include <vector>

using Signal = std::vector<double>;

// Adds source scaled so its own peak equals weight; keeps mixes independent of filter gain.
void mixAtPeak(Signal& target, const Signal& source, double weight);

// Removes the slow drift a glide or an asymmetric burst leaves behind.
void blockDc(Signal& signal);

// Raised-cosine ramps so the file starts and ends at silence.
void applyFades(Signal& signal, double fadeInSeconds, double fadeOutSeconds);

void normalizeToDbfs(Signal& signal, double peakDbfs);

// Rounds to 16-bit PCM, clamping anything outside [-1, 1].
std::vector<std::int16_t> toPcm16(const Signal& signal);
