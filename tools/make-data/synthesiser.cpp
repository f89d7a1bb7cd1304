// The music: drums, bass, pads, arpeggios and a lead, written as note events per section and
// mixed into a float buffer, then given space by a stereo feedback delay. Sections follow the
// scenes: a quiet intro for the title, full beats for the light scene, darker half-time for
// the intestine, broken beats for the net, a lead for the bird ending in a riser, a heartbeat
// for the artery, an ambient underwater part, a build-up for the mirror and a last chord that
// has died away before the demo ends. Each
// section has a chord progression of its own, one chord per eight-beat phrase, and where a
// scene is cut into takes its phrases start on the cuts. Cymbals and hats are used sparingly,
// so the noise in the mix comes and goes with the drums instead of hissing throughout.
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

// Noise that swells and brightens over `length` seconds, with a tone gliding up an octave
// under it, then stops dead: a riser into the next section.
void riser(Mix* mix, double at, double length, double gain) {
    SeededRandom* noise = &mix->noise;
    double low = 0, phase = 0;
    addVoice(mix, at, length, gain, 0.0, [noise, low, phase, length](double t) mutable {
        double x = t / length;
        low += (nextSigned(noise) - low) * (0.02 + 0.3 * x * x);
        phase += 2 * PI * 110 * std::pow(2.0, x) / MUSIC_RATE;
        return (low * 1.5 + 0.4 * std::sin(phase)) * x * x;
    });
}

// A short sine ping that drops in pitch: a cell passing in the artery's stream.
void blip(Mix* mix, double at, double note, double gain, double pan) {
    double f = midiFrequency(note);
    addVoice(mix, at, 0.18, gain, pan, [f](double t) { return std::sin(2 * PI * f * t * (1 - t)) * std::exp(-t * 22); });
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

// One chord of a progression: its root (MIDI note) and whether its third is minor.
struct Chord {
    int root;
    bool minor;
};

// The progressions, one per section, each in a key and mood of its own.
const std::vector<Chord> PROGRESSIONS[] = {
    {{57, true}, {53, false}, {48, false}, {55, false}},  // title: A minor, i VI III VII
    {{52, true}, {48, false}, {55, false}, {50, false}},  // light: E minor, i VI III VII
    {{50, true}, {55, true}, {58, false}, {57, false}},   // intestine: D minor, i iv VI V
    {{54, true}, {50, false}, {57, false}, {52, false}},  // net: F sharp minor, i VI III VII
    {{55, false}, {52, true}, {48, false}, {50, false}},  // bird: G major, I vi IV V
    {{48, true}, {56, false}, {51, false}, {58, false}},  // artery: C minor, i VI III VII
    {{51, false}, {53, false}, {48, true}, {58, false}},  // underwater: E flat, I II vi V
    {{47, true}, {55, false}, {50, false}, {57, false}},  // mirror: B minor, i VI III VII
    {{57, false}},                                        // finale: A major
};

// Where the phrases of a section start, in seconds: on the cuts of the scenes that are cut
// into takes (scenes 1 and 6 share one cut table, scene 5 has its own), then every 115 ticks.
constexpr double CUTS_A[] = {0, 115, 230, 345, 460, 570, 680, 800, 915};
constexpr double CUTS_B[] = {0, 115, 230, 345, 460, 575, 690, 805, 920};
constexpr double PHRASE_SECONDS = 115.0 / 35.0;

std::vector<double> phraseStarts(int section, double start, double end) {
    std::vector<double> starts;
    const double* cuts = section == 1 || section == 6 ? CUTS_A : section == 5 ? CUTS_B : nullptr;
    if (cuts)
        for (int k = 0; k < 9; ++k) starts.push_back(start + cuts[k] / 35.0);
    for (double next = starts.empty() ? start : starts.back() + PHRASE_SECONDS; next < end; next += PHRASE_SECONDS)
        starts.push_back(next);
    while (!starts.empty() && starts.back() >= end) starts.pop_back();
    return starts;
}

struct Section {
    double start, end;
    int style;
};

// One beat of a section: `b` counts the section's beats, `at` is where this one starts,
// `beat` its length, `left` the time to the section's end.
struct Beat {
    int b, phrase, inPhrase;
    double at, beat, left, progress;
    int root;
    int arp[4];
};

void renderBeat(Mix* mix, const Section& s, const Beat& x) {
    const int b = x.b, phrase = x.phrase, inPhrase = x.inPhrase, root = x.root;
    const double at = x.at, beat = x.beat, left = x.left, progress = x.progress;
    const int* arp = x.arp;
    switch (s.style) {
    case 0:  // intro: slow arpeggio growing out of the pad
        if (b % 2 == 0) pluck(mix, at, root + 12 + arp[(b / 2) % 4], 0.08 * progress + 0.02, (b % 4) ? 0.5 : -0.5);
        break;
    case 1:  // light: four to the floor, a hat on the offbeats of every other phrase
        kick(mix, at, 0.45);
        if (phrase % 2 == 1) hihat(mix, at + beat * 0.5, 0.06, 0.3);
        if (inPhrase % 2 == 1) snare(mix, at, 0.22);
        bass(mix, at + beat * 0.5, std::min(beat * 0.45, left), root - 12 + (inPhrase == 7 ? 7 : 0), 0.22);
        for (int k = 0; k < 2; ++k)
            pluck(mix, at + k * beat * 0.5, root + 12 + arp[(b * 2 + k) % 4], 0.06, k ? 0.4 : -0.4);
        break;
    case 5:  // artery: a heartbeat, lub-dub every other beat, a deep pulse and cells pinging by
        if (inPhrase % 2 == 0) {
            kick(mix, at, 0.6);
            kick(mix, at + beat * 0.3, 0.35);
            bass(mix, at, std::min(beat * 0.9, left), root - 24, 0.2);
        }
        if (inPhrase % 4 == 3) snare(mix, at + beat * 0.5, 0.12);
        for (int k = 0; k < 3; ++k)
            blip(mix, at + beat * (0.2 + k * 0.27), root + 24 + arp[(b * 3 + k) % 4], 0.035, std::sin(b * 2.1 + k));
        break;
    case 2:  // intestine: half-time, a low drone
        if (inPhrase % 4 == 0) kick(mix, at, 0.45);
        if (inPhrase % 4 == 2) snare(mix, at, 0.2);
        if (inPhrase % 2 == 1) hihat(mix, at, 0.035, -0.3);
        if (inPhrase == 0) bass(mix, at, std::min(8 * beat, left), root - 12, 0.16);
        pluck(mix, at + beat * 0.75, root + 24 + arp[b % 4], 0.035, 0.6);
        break;
    case 3:  // net: broken beat, fast arpeggio, hats on the eighths
        if (inPhrase == 0 || inPhrase == 3 || inPhrase == 6) kick(mix, at, 0.45);
        if (inPhrase == 2 || inPhrase == 5 || inPhrase == 7) snare(mix, at + (inPhrase == 5 ? beat * 0.5 : 0), 0.2);
        for (int k = 0; k < 4; ++k) {
            if (k % 2 == 1) hihat(mix, at + k * beat * 0.25, 0.04, 0.3);
            pluck(mix, at + k * beat * 0.25, root + 12 + arp[(b * 4 + k) % 4], 0.04, (k % 2) ? 0.6 : -0.6);
        }
        bass(mix, at, std::min(beat * 0.8, left), root - 12, 0.18);
        break;
    case 4: {  // bird: drums and a lead melody; a riser over the last four beats, alone for two
        if (left <= beat * 4 + 1e-6 && left > beat * 3 + 1e-6) riser(mix, at, left, 0.2);
        if (left <= beat * 2 + 1e-6) break;
        kick(mix, at, 0.45);
        if (inPhrase % 4 == 2) hihat(mix, at + beat * 0.5, 0.05, 0.3);
        if (inPhrase % 2 == 1) snare(mix, at, 0.2);
        bass(mix, at, std::min(beat * 0.9, left), root - 12, 0.2);
        const int melody[8] = {12, 11, 7, 12, 16, 14, 12, 7};
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
            crash(mix, at, 0.12);
            for (int n : {45, 52, 57, 61, 64}) pad(mix, at, left, n, 0.07, (n % 2) ? 0.4 : -0.4);
        }
        if (b % 4 == 0 && b < 24) lead(mix, at, beat * 3.5, 69 + arp[(b / 4) % 4], 0.06 * (1 - progress));
        break;
    }
}

void renderSection(Mix* mix, const Section& s) {
    const std::vector<Chord>& progression = PROGRESSIONS[s.style];
    const std::vector<double> starts = phraseStarts(s.style, s.start, s.end);
    int b = 0;
    for (size_t phrase = 0; phrase < starts.size(); ++phrase) {
        // Eight beats to a phrase; a take cut shorter or longer than 115 ticks stretches them.
        const bool last = phrase + 1 == starts.size();
        const double phraseEnd = last ? s.end : starts[phrase + 1];
        const double beat = last ? BEAT_SECONDS : (phraseEnd - starts[phrase]) / 8;
        const Chord chord = progression[phrase % progression.size()];
        const int third = chord.minor ? 3 : 4;
        for (int inPhrase = 0; inPhrase < 8; ++inPhrase, ++b) {
            const double at = starts[phrase] + inPhrase * beat;
            if (at >= s.end) return;
            const double left = s.end - at, progress = (at - s.start) / (s.end - s.start);
            if (inPhrase == 0 && s.style != 8) {
                double padLength = std::min(phraseEnd, s.end) - at;
                double padGain = s.style == 0 ? 0.1 * std::min(1.0, progress * 3) : 0.07;
                pad(mix, at, padLength, chord.root, padGain, -0.4);
                pad(mix, at, padLength, chord.root + third, padGain, 0.4);
                pad(mix, at, padLength, chord.root + 7, padGain, 0.0);
                // One cymbal opens a section; the phrases inside it go without.
                if (phrase == 0 && s.style != 0 && s.style != 6) crash(mix, at, 0.08);
            }
            renderBeat(mix, s, {b, int(phrase), inPhrase, at, beat, left, progress, chord.root, {0, third, 7, 12}});
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
    // The last chord dies away with the picture's fade to black (222.8 s to 225.8 s): silent
    // from FADE_END on, well before the demo stops at 228 s.
    constexpr double FADE_START = 221.0, FADE_END = 225.3;
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / MUSIC_RATE;
        double fade = t < FADE_START ? 1.0 : t >= FADE_END ? 0.0 : 0.5 + 0.5 * std::cos(PI * (t - FADE_START) / (FADE_END - FADE_START));
        // Soft saturation keeps peaks under full scale without hard clipping.
        auto shape = [fade](float v) { return int16_t(std::lround(std::tanh(v * fade * 1.5) * 30000.0)); };
        out[i * 2] = shape(mix.left[i]);
        out[i * 2 + 1] = shape(mix.right[i]);
    }
    return out;
}
