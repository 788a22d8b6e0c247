// Building blocks of the sound generator: band-limited oscillators, filters and the small helpers the effects
// and the music share. All inline and free of virtual calls, since they run once per sample.
#pragma once

#include "synth_math.h"

namespace synth {

// Correction that removes most of the aliasing of a hard edge at phase 0 (polynomial band-limited step).
inline double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// Phase accumulator in cycles; the caller changes `step` (frequency / sample rate, below 1) freely.
struct TPhase {
    double value = 0.0;
    double advance(double step) {
        const double now = value;
        value += step;
        // A compare, not floor(): this runs for every oscillator on every sample.
        if (value >= 1.0) value -= 1.0;
        return now;
    }
};

inline double sawWave(double phase, double step) {
    return 2.0 * phase - 1.0 - polyBlep(phase, step);
}

inline double pulseWave(double phase, double step, double width) {
    double shifted = phase - width;
    if (shifted < 0.0) shifted += 1.0;
    const double naive = phase < width ? 1.0 : -1.0;
    return naive + polyBlep(phase, step) - polyBlep(shifted, step);
}

inline double squareWave(double phase, double step) {
    return pulseWave(phase, step, 0.5);
}

inline double triangleWave(double phase) {
    return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
}

// Exponential decay by repeated multiplication: one multiply a sample instead of an exponential.
class TDecay {
public:
    TDecay(double seconds, double sampleRate) : factor(decayFactor(seconds, sampleRate)) {}
    double next() {
        const double now = value;
        value *= factor;
        // Flush to zero well before the value could turn denormal and slow every multiply down.
        if (value < 1e-30) value = 0.0;
        return now;
    }

private:
    double value = 1.0;
    double factor;
};

// State-variable filter in the trapezoidal form, which stays stable while the cutoff sweeps fast.
class TStateFilter {
public:
    void setCutoff(double hz, double sampleRate, double resonance) {
        double ratio = hz / sampleRate;
        if (ratio > 0.49) ratio = 0.49;
        if (ratio < 1e-5) ratio = 1e-5;
        const double g = sinCycles(ratio * 0.5) / cosCycles(ratio * 0.5);
        // resonance 0 = no peak, towards 1 = ringing.
        const double k = 2.0 - 2.0 * (resonance > 0.98 ? 0.98 : resonance);
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
        damping = k;
    }
    void process(double input) {
        const double v3 = input - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = input - damping * v1 - v2;
    }
    double lowpass(double input) {
        process(input);
        return low;
    }
    double bandpass(double input) {
        process(input);
        return band;
    }
    double highpass(double input) {
        process(input);
        return high;
    }

    double low = 0.0;
    double band = 0.0;
    double high = 0.0;

private:
    double a1 = 0.0, a2 = 0.0, a3 = 0.0, damping = 2.0;
    double ic1 = 0.0, ic2 = 0.0;
};

// One-pole smoother: the cheap lowpass that darkens echoes.
class TOnePole {
public:
    void setCutoff(double hz, double sampleRate) { coefficient = 1.0 - expDet(-kTwoPi * hz / sampleRate); }
    double lowpass(double input) {
        state += coefficient * (input - state);
        return state;
    }

private:
    double coefficient = 1.0;
    double state = 0.0;
};

} // namespace synth
