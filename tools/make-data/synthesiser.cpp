// The music: drums, bass, pads, arpeggios and a lead, written as note events per section and
// mixed into a float buffer, then given space by a stereo feedback delay. Sections follow the
// scenes: a quiet intro for the title, full beats for the light scene, darker half-time for
// the intestine, broken beats for the net, a pulsing artery, an ambient underwater part, a
// build-up for the mirror and a last chord that fades after the demo ends.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "music.h"

namespace {

constexpr double PI = 3.14159265358979323846;

struct Mix {
    std::vector<float> left, right;
    SeededRandom noise = seededRandom(777);
};

double midiFrequency(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Adds a mono voice rendered by `sample(t)` from `start` for `length` seconds, panned.
template <typename Voice>
void addVoice(Mix* mix, double start, double length, double gain, double pan, Voice sample) {
    long first = long(start * MUSIC_RATE), count = long(length * MUSIC_RATE);
    long size = long(mix->left.size());
    double gl = gain * std::sqrt(0.5 * (1 - pan)), gr = gain * std::sqrt(0.5 * (1 + pan));
    for (long i = 0; i < count; ++i) {
        long at = first + i;
        if (at < 0) continue;
        if (at >= size) break;
        double v = sample(double(i) / MUSIC_RATE);
        mix->left[size_t(at)] += float(v * gl);
        mix->right[size_t(at)] += float(v * gr);
    }
}

void kick(Mix* mix, double at, double gain) {
    addVoice(mix, at, 0.45, gain, 0.0, [](double t) {
        double phase = 2 * PI * (45 * t + 90 * (1 - std::exp(-t * 30)) / 30);
        return std::sin(phase) * std::exp(-t * 7) + 0.3 * std::exp(-t * 200);
    });
}

void snare(Mix* mix, double at, double gain) {
    SeededRandom* noise = &mix->noise;
    addVoice(mix, at, 0.3, gain, 0.1, [noise](double t) {
        return (nextSigned(noise) * 0.8 * std::exp(-t * 14) + std::sin(2 * PI * 190 * t) * 0.5 * std::exp(-t * 25));
    });
}

void hihat(Mix* mix, double at, double gain, double pan) {
    SeededRandom* noise = &mix->noise;
    double previous = 0;
    addVoice(mix, at, 0.08, gain, pan, [noise, previous](double t) mutable {
        double n = nextSigned(noise);
        double high = n - previous;  // a first difference: a crude high-pass
        previous = n;
        return high * std::exp(-t * 45);
    });
}

void crash(Mix* mix, double at, double gain) {
    SeededRandom* noise = &mix->noise;
    double previous = 0;
    addVoice(mix, at, 2.0, gain, -0.2, [noise, previous](double t) mutable {
        double n = nextSigned(noise);
        double high = n - previous * 0.6;
        previous = n;
        return high * std::exp(-t * 2.2);
    });
}

// A saw through a one-pole low-pass whose cutoff falls with the envelope.
void bass(Mix* mix, double at, double length, double note, double gain) {
    double f = midiFrequency(note), low = 0;
    addVoice(mix, at, length, gain, 0.0, [f, low, length](double t) mutable {
        double saw = 2 * std::fmod(t * f, 1.0) - 1;
        double cutoff = 0.04 + 0.25 * std::exp(-t * 8);
        low += (saw - low) * cutoff;
        double env = std::min(1.0, t * 200) * std::min(1.0, (length - t) * 40);
        return low * env;
    });
}

void pad(Mix* mix, double at, double length, double note, double gain, double pan) {
    double f = midiFrequency(note), low = 0;
    addVoice(mix, at, length, gain, pan, [f, low, length](double t) mutable {
        double s = 0;
        for (double detune : {0.995, 1.0, 1.006}) s += 2 * std::fmod(t * f * detune + detune, 1.0) - 1;
        low += (s / 3 - low) * 0.06;
        double env = std::min(1.0, t / 0.8) * std::min(1.0, (length - t) / 0.8);
        return low * env;
    });
}

void pluck(Mix* mix, double at, double note, double gain, double pan) {
    double f = midiFrequency(note);
    addVoice(mix, at, 0.35, gain, pan, [f](double t) {
        double square = std::fmod(t * f, 1.0) < 0.3 ? 1.0 : -1.0;
        return (square * 0.4 + std::sin(2 * PI * f * t)) * std::exp(-t * 11);
    });
}

void lead(Mix* mix, double at, double length, double note, double gain) {
    double f = midiFrequency(note);
    addVoice(mix, at, length, gain, 0.15, [f, length](double t) {
        double vibrato = 1 + 0.004 * std::sin(2 * PI * 5.5 * t) * std::min(1.0, t * 2);
        double mod = std::sin(2 * PI * f * 2 * t) * 1.2 * std::exp(-t * 3);
        double env = std::min(1.0, t * 30) * std::min(1.0, (length - t) * 10);
        return std::sin(2 * PI * f * vibrato * t + mod) * env;
    });
}

// A minor: i - VI - III - VII, one chord per eight beats.
constexpr int CHORD_ROOTS[4] = {57, 53, 48, 55};
constexpr int CHORD_THIRDS[4] = {3, 4, 4, 4};

struct Section {
    double start, end;
    int style;
};

void renderSection(Mix* mix, const Section& s) {
    double beat = BEAT_SECONDS;
    int beats = int((s.end - s.start) / beat + 0.999);
    for (int b = 0; b < beats; ++b) {
        double at = s.start + b * beat;
        if (at >= s.end) break;
        double left = s.end - at;
        int phrase = b / 8, inPhrase = b % 8;
        int chord = phrase % 4;
        int root = CHORD_ROOTS[chord], third = CHORD_THIRDS[chord];
        const int arp[4] = {0, third, 7, 12};
        double progress = (at - s.start) / (s.end - s.start);
        if (inPhrase == 0) {
            double padLength = std::min(8 * beat, left);
            double padGain = s.style == 0 ? 0.1 * std::min(1.0, progress * 3) : 0.07;
            pad(mix, at, padLength, root, padGain, -0.4);
            pad(mix, at, padLength, root + third, padGain, 0.4);
            pad(mix, at, padLength, root + 7, padGain, 0.0);
            if (s.style != 0 && s.style != 6 && s.style != 8) crash(mix, at, 0.12);
        }
        switch (s.style) {
        case 0:  // intro: slow arpeggio growing out of the pad
            if (b % 2 == 0) pluck(mix, at, root + 12 + arp[(b / 2) % 4], 0.08 * progress + 0.02, (b % 4) ? 0.5 : -0.5);
            break;
        case 1:  // light: four to the floor
        case 5:  // artery: the same, heavier, with a pumping bass
            kick(mix, at, s.style == 5 ? 0.55 : 0.45);
            hihat(mix, at + beat * 0.5, 0.12, 0.3);
            if (inPhrase % 2 == 1) snare(mix, at, 0.22);
            bass(mix, at + beat * 0.5, std::min(beat * 0.45, left), root - 12 + (inPhrase == 7 ? 7 : 0), 0.22);
            if (s.style == 5) bass(mix, at, std::min(beat * 0.25, left), root - 24, 0.18);
            for (int k = 0; k < 2; ++k)
                pluck(mix, at + k * beat * 0.5, root + 12 + arp[(b * 2 + k) % 4], 0.06, k ? 0.4 : -0.4);
            break;
        case 2:  // intestine: half-time, a low drone
            if (inPhrase % 4 == 0) kick(mix, at, 0.45);
            if (inPhrase % 4 == 2) snare(mix, at, 0.2);
            hihat(mix, at, 0.06, -0.3);
            if (inPhrase == 0) bass(mix, at, std::min(8 * beat, left), root - 12, 0.16);
            pluck(mix, at + beat * 0.75, root + 24 + arp[b % 4], 0.035, 0.6);
            break;
        case 3:  // net: broken beat, fast arpeggio
            if (inPhrase == 0 || inPhrase == 3 || inPhrase == 6) kick(mix, at, 0.45);
            if (inPhrase == 2 || inPhrase == 5 || inPhrase == 7) snare(mix, at + (inPhrase == 5 ? beat * 0.5 : 0), 0.2);
            for (int k = 0; k < 4; ++k) {
                hihat(mix, at + k * beat * 0.25, k % 2 ? 0.05 : 0.09, 0.3);
                pluck(mix, at + k * beat * 0.25, root + 12 + arp[(b * 4 + k) % 4], 0.04, (k % 2) ? 0.6 : -0.6);
            }
            bass(mix, at, std::min(beat * 0.8, left), root - 12, 0.18);
            break;
        case 4: {  // bird: drums and a lead melody
            kick(mix, at, 0.45);
            hihat(mix, at + beat * 0.5, 0.1, 0.3);
            if (inPhrase % 2 == 1) snare(mix, at, 0.2);
            bass(mix, at, std::min(beat * 0.9, left), root - 12, 0.2);
            const int melody[8] = {12, 10, 7, 12, 15, 14, 12, 7};
            if (inPhrase % 2 == 0) lead(mix, at, std::min(beat * 1.8, left), root + melody[(inPhrase + phrase * 2) % 8], 0.09);
            break;
        }
        case 6:  // underwater: ambient, soft kick, slow bubbles
            if (inPhrase % 4 == 0) kick(mix, at, 0.25);
            if (b % 3 == 0) pluck(mix, at + beat * 0.33, root + 24 + arp[(b / 3) % 4], 0.03, std::sin(b * 1.3));
            if (inPhrase == 0) bass(mix, at, std::min(8 * beat, left), root - 12, 0.1);
            break;
        case 7: {  // mirror: a build-up, snare density doubling towards the end
            kick(mix, at, 0.45);
            int rolls = progress < 0.5 ? 1 : (progress < 0.8 ? 2 : 4);
            for (int k = 0; k < rolls; ++k) snare(mix, at + k * beat / rolls, 0.08 + 0.15 * progress);
            bass(mix, at, std::min(beat * 0.45, left), root - 12, 0.2);
            pluck(mix, at, root + 12 + arp[b % 4], 0.05, 0.0);
            break;
        }
        case 8:  // finale: one long chord and a last melody
            if (b == 0) {
                kick(mix, at, 0.5);
                crash(mix, at, 0.2);
                double hold = s.end - at;
                for (int n : {45, 52, 57, 60, 64})
                    pad(mix, at, hold, n, 0.07, (n % 2) ? 0.4 : -0.4);
            }
            if (b % 4 == 0 && b < 24) lead(mix, at, beat * 3.5, 69 + arp[(b / 4) % 4], 0.06 * (1 - progress));
            break;
        }
    }
}

}  // namespace

std::vector<int16_t> renderMusic(double seconds) {
    size_t frames = size_t(seconds * MUSIC_RATE);
    Mix mix;
    mix.left.assign(frames, 0.0f);
    mix.right.assign(frames, 0.0f);
    constexpr int SECTIONS = int(std::size(SECTION_STARTS));
    for (int i = 0; i < SECTIONS; ++i) {
        double start = SECTION_STARTS[i];
        double end = i + 1 < SECTIONS ? SECTION_STARTS[i + 1] : seconds;
        if (start >= seconds) break;
        renderSection(&mix, Section{start, std::min(end, seconds), i});
    }
    // Stereo feedback delay of three eighth notes, crossed between the channels.
    size_t delay = size_t(BEAT_SECONDS * 0.75 * MUSIC_RATE);
    for (size_t i = delay; i < frames; ++i) {
        mix.left[i] += mix.right[i - delay] * 0.28f;
        mix.right[i] += mix.left[i - delay] * 0.28f;
    }
    // The last section fades to silence by its end; the demo stops at 228 s.
    double fadeStart = SECTION_STARTS[std::size(SECTION_STARTS) - 1] + 6.0;
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / MUSIC_RATE;
        double fade = t < fadeStart ? 1.0 : std::max(0.0, 1.0 - (t - fadeStart) / std::max(1.0, seconds - fadeStart));
        // Soft saturation keeps peaks under full scale without hard clipping.
        auto shape = [fade](float v) { return int16_t(std::lround(std::tanh(v * fade * 1.5) * 30000.0)); };
        out[i * 2] = shape(mix.left[i]);
        out[i * 2 + 1] = shape(mix.right[i]);
    }
    return out;
}
