// Sound effects synthesised from oscillators, filtered noise, pitch sweeps and envelopes. Every
// sound starts and ends on silence; the two that may be looped (footsteps, wings) are built from
// envelopes that are zero at both ends of the buffer, so a loop joins without a click.

#include "contentgen.h"

namespace cg {

namespace {

constexpr int kRate = 22050;
constexpr float kTwoPi = 6.2831853f;

using Sound = std::vector<float>;

Sound silence(float seconds) { return Sound(static_cast<std::size_t>(seconds * kRate), 0.0f); }
float timeOf(std::size_t i) { return static_cast<float>(i) / kRate; }

// Rises linearly over attack, then falls exponentially with the given time constant.
float envelope(float t, float attack, float decay)
{
    return t < attack ? t / attack : std::exp(-(t - attack) / decay);
}

// sin^2 window over [start, start + length], zero outside.
float window(float t, float start, float length)
{
    if (t <= start || t >= start + length)
        return 0.0f;
    const float s = std::sin((t - start) / length * 3.1415927f);
    return s * s;
}

// An oscillator whose frequency may change every sample.
class Oscillator {
public:
    float sine(float frequency) { return std::sin(advance(frequency)); }
    // Odd harmonics with falling weights: a soft square.
    float square(float frequency, int harmonics)
    {
        const float p = advance(frequency);
        float sum = 0.0f;
        for (int h = 1; h <= harmonics; h += 2)
            if (frequency * static_cast<float>(h) < kRate / 2.0f)
                sum += std::sin(p * static_cast<float>(h)) / static_cast<float>(h);
        return sum;
    }
    float saw(float frequency, int harmonics)
    {
        const float p = advance(frequency);
        float sum = 0.0f;
        for (int h = 1; h <= harmonics; ++h)
            if (frequency * static_cast<float>(h) < kRate / 2.0f)
                sum += std::sin(p * static_cast<float>(h)) / static_cast<float>(h);
        return sum * 0.6f;
    }

private:
    float advance(float frequency)
    {
        phase_ += kTwoPi * frequency / kRate;
        if (phase_ > kTwoPi)
            phase_ -= kTwoPi;
        return phase_;
    }
    float phase_ = 0.0f;
};

class LowPass {
public:
    float operator()(float x, float cutoff)
    {
        const float a = 1.0f - std::exp(-kTwoPi * cutoff / kRate);
        y_ += a * (x - y_);
        return y_;
    }

private:
    float y_ = 0.0f;
};

// State-variable filter; the band output is a resonant band-pass.
class BandPass {
public:
    float operator()(float x, float centre, float damping = 0.7f)
    {
        const float f = 2.0f * std::sin(3.1415927f * std::min(centre, kRate / 6.0f) / kRate);
        low_ += f * band_;
        const float high = x - low_ - damping * band_;
        band_ += f * high;
        return band_;
    }

private:
    float low_ = 0.0f, band_ = 0.0f;
};

float sweep(float from, float to, float t, float duration)
{
    return from * std::pow(to / from, clamp01(t / duration));
}

// Peak-normalised to gain; one-shots get short fades so they never start or stop on a step.
Sound finish(Sound sound, float gain, bool fades = true)
{
    float peak = 1e-6f;
    for (float s : sound)
        peak = std::max(peak, std::fabs(s));
    const std::size_t fadeIn = kRate * 3 / 1000, fadeOut = kRate * 12 / 1000;
    for (std::size_t i = 0; i < sound.size(); ++i) {
        float s = sound[i] / peak * gain;
        if (fades && i < fadeIn)
            s *= static_cast<float>(i) / fadeIn;
        if (fades && i + fadeOut >= sound.size())
            s *= static_cast<float>(sound.size() - 1 - i) / fadeOut;
        sound[i] = s;
    }
    if (!sound.empty()) {
        sound.front() = 0.0f;
        sound.back() = 0.0f;
    }
    return sound;
}

Sound jump()
{
    Sound s = silence(0.3f);
    Oscillator body, wobble;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float f = sweep(230.0f, 700.0f, t, 0.2f) * (1.0f + 0.03f * wobble.sine(18.0f));
        s[i] = (0.8f * body.square(f, 5) + 0.2f * std::sin(2.0f * kTwoPi * f * t)) * envelope(t, 0.006f, 0.09f);
    }
    return finish(s, 0.6f);
}

Sound land()
{
    Sound s = silence(0.25f);
    Oscillator thump;
    LowPass dust;
    BandPass grass;
    Random random(801);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float noise = random.range(-1.0f, 1.0f);
        s[i] = 0.9f * thump.sine(sweep(120.0f, 45.0f, t, 0.12f)) * envelope(t, 0.003f, 0.06f) +
               0.9f * dust(noise, 900.0f) * envelope(t, 0.002f, 0.04f) +
               0.25f * grass(noise, 3200.0f) * envelope(t, 0.001f, 0.02f);
    }
    return finish(s, 0.8f);
}

// Two soft steps on grass in half a second; each decays to silence before the buffer ends.
Sound footsteps()
{
    Sound s = silence(0.5f);
    LowPass soft;
    BandPass crunch;
    Oscillator thud;
    Random random(802);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float half = t < 0.25f ? t : t - 0.25f;
        const float local = half - 0.01f;
        float e = 0.0f;
        if (local > 0.0f)
            e = envelope(local, 0.004f, 0.022f) + (local > 0.05f ? 0.6f * envelope(local - 0.05f, 0.004f, 0.025f) : 0.0f);
        // The envelopes have faded long before each half ends; make the end exact.
        e *= 1.0f - smoothstep(0.2f, 0.245f, half);
        const float noise = random.range(-1.0f, 1.0f);
        s[i] = e * (0.8f * soft(noise, 1400.0f) + 0.5f * crunch(noise, 2600.0f, 0.9f) + 0.3f * thud.sine(85.0f));
    }
    return finish(s, 0.55f, false);
}

// Two wing beats in one second: air swept through a moving band-pass, with a soft low push.
Sound fly()
{
    Sound s = silence(1.0f);
    BandPass air;
    LowPass push;
    Random random(803);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float beatA = window(t, 0.04f, 0.4f), beatB = window(t, 0.54f, 0.4f);
        const float phase = t < 0.5f ? (t - 0.04f) / 0.4f : (t - 0.54f) / 0.4f;
        const float centre = 450.0f + 700.0f * clamp01(phase);
        const float noise = random.range(-1.0f, 1.0f);
        s[i] = (beatA + beatB) * (0.8f * air(noise, centre, 0.45f) + 0.9f * push(noise, 180.0f));
    }
    return finish(s, 0.6f, false);
}

Sound turboFire()
{
    Sound s = silence(0.28f);
    Oscillator beam, shimmer;
    LowPass click;
    Random random(804);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float f = sweep(1700.0f, 220.0f, t, 0.2f);
        s[i] = 0.7f * beam.saw(f, 6) * (0.7f + 0.3f * shimmer.sine(55.0f)) * envelope(t, 0.002f, 0.07f) +
               0.5f * click(random.range(-1.0f, 1.0f), 2500.0f) * envelope(t, 0.001f, 0.012f);
    }
    return finish(s, 0.6f);
}

Sound impact()
{
    Sound s = silence(0.32f);
    Oscillator zap;
    BandPass crackle;
    Random random(805);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float sparks = random.uniform() < 0.08f ? random.range(-1.0f, 1.0f) * 3.0f : random.range(-0.3f, 0.3f);
        s[i] = 0.7f * crackle(sparks, 3200.0f, 0.5f) * envelope(t, 0.001f, 0.06f) +
               0.6f * zap.square(sweep(950.0f, 140.0f, t, 0.16f), 3) * envelope(t, 0.002f, 0.08f);
    }
    return finish(s, 0.7f);
}

// Kip hit: a short dull thud under a falling voice-like buzz, "oof".
Sound hurt()
{
    Sound s = silence(0.3f);
    Oscillator voice, thud;
    LowPass soften;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        s[i] = 0.8f * soften(voice.square(sweep(260.0f, 150.0f, t, 0.22f), 5), 1400.0f) * envelope(t, 0.01f, 0.12f) +
               0.9f * thud.sine(sweep(110.0f, 50.0f, t, 0.1f)) * envelope(t, 0.002f, 0.05f);
    }
    return finish(s, 0.75f);
}

Sound throwBanana()
{
    Sound s = silence(0.38f);
    BandPass whoosh;
    Random random(806);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float centre = t < 0.16f ? mix(500.0f, 2400.0f, t / 0.16f) : mix(2400.0f, 700.0f, clamp01((t - 0.16f) / 0.2f));
        s[i] = whoosh(random.range(-1.0f, 1.0f), centre, 0.35f) * window(t, 0.0f, 0.38f);
    }
    return finish(s, 0.55f);
}

Sound bananaImpact()
{
    Sound s = silence(0.32f);
    LowPass mush;
    Oscillator squish, wobble;
    Random random(807);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float f = sweep(200.0f, 85.0f, t, 0.2f) * (1.0f + 0.25f * wobble.sine(28.0f));
        s[i] = 0.9f * mush(random.range(-1.0f, 1.0f), sweep(1800.0f, 300.0f, t, 0.15f)) * envelope(t, 0.002f, 0.07f) +
               0.6f * squish.sine(f) * envelope(t, 0.004f, 0.08f);
    }
    return finish(s, 0.75f);
}

// A bell-like note: a few inharmonic partials that die away at their own pace.
float bell(float frequency, float t)
{
    if (t < 0.0f)
        return 0.0f;
    const float attack = std::min(1.0f, t / 0.003f);
    return attack * (std::sin(kTwoPi * frequency * t) * std::exp(-t / 0.28f) +
                     0.45f * std::sin(kTwoPi * frequency * 2.76f * t) * std::exp(-t / 0.12f) +
                     0.2f * std::sin(kTwoPi * frequency * 5.4f * t) * std::exp(-t / 0.06f));
}

Sound collectPaper()
{
    Sound s = silence(0.7f);
    BandPass rustle;
    Random random(808);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        s[i] = 0.6f * bell(1318.5f, t) + 0.7f * bell(1975.5f, t - 0.085f) +
               0.35f * rustle(random.range(-1.0f, 1.0f), 5000.0f, 0.6f) * envelope(t, 0.002f, 0.03f);
    }
    return finish(s, 0.6f);
}

// A rising arpeggio that holds its last note with vibrato, and a sparkle on top.
Sound levelUp()
{
    Sound s = silence(1.4f);
    const float notes[4] = {523.25f, 659.25f, 783.99f, 1046.5f};
    const float starts[4] = {0.0f, 0.11f, 0.22f, 0.33f};
    Oscillator voices[4], vibrato;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float v = 1.0f + 0.006f * vibrato.sine(6.0f) * smoothstep(0.4f, 0.7f, t);
        float sum = 0.0f;
        for (int n = 0; n < 4; ++n) {
            const float local = t - starts[n];
            if (local < 0.0f)
                continue;
            const float hold = n == 3 ? envelope(local, 0.006f, 0.45f) : envelope(local, 0.006f, 0.16f);
            sum += hold * (0.6f * voices[n].square(notes[n] * v, 7) + 0.4f * std::sin(kTwoPi * notes[n] * 2.0f * local));
        }
        sum += 0.25f * bell(2093.0f, t - 0.4f) + 0.2f * bell(2637.0f, t - 0.5f);
        s[i] = sum;
    }
    return finish(s, 0.65f);
}

Sound explosion()
{
    Sound s = silence(1.5f);
    LowPass rumble, body;
    BandPass crackle;
    Oscillator thump;
    Random random(809);
    float brown = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        brown = 0.985f * brown + 0.15f * random.range(-1.0f, 1.0f);
        const float sparks = random.uniform() < 0.02f * (1.0f - t / 0.8f) ? random.range(-1.0f, 1.0f) * 4.0f : 0.0f;
        s[i] = 1.0f * rumble(brown, sweep(900.0f, 120.0f, t, 0.8f)) * envelope(t, 0.004f, 0.38f) +
               0.5f * body(random.range(-1.0f, 1.0f), 2500.0f) * envelope(t, 0.001f, 0.05f) +
               0.8f * thump.sine(sweep(70.0f, 28.0f, t, 0.5f)) * envelope(t, 0.004f, 0.25f) +
               0.4f * crackle(sparks, 1800.0f, 0.4f);
    }
    return finish(s, 0.85f);
}

} // namespace

void makeSounds(Output& out)
{
    const struct {
        const char* name;
        Sound (*make)();
    } sounds[] = {
        {"jump", jump},           {"land", land},
        {"footsteps", footsteps}, {"fly", fly},
        {"turbo_kip_fire", turboFire}, {"impact", impact},
        {"throw_banana", throwBanana}, {"banana_impact", bananaImpact},
        {"collect_paper", collectPaper}, {"level_up", levelUp},
        {"explosion", explosion},     {"hurt", hurt},
    };
    for (const auto& sound : sounds)
        out.wav(std::string("sounds/") + sound.name + ".wav", sound.make(), kRate);
}

} // namespace cg
