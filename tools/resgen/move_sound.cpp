#include "tools/resgen/move_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace resgen {
namespace {

constexpr double DURATION = 0.160;  // seconds
constexpr double ATTACK = 0.004;    // a soft onset: no click from a sudden step
constexpr double FADE = 0.030;      // the tail is brought down to exact silence
constexpr double PEAK = 0.42;       // of full scale: well clear of clipping, and quiet

// A few damped partials: a warm body tone and two brighter, quickly fading overtones
// that give the knock its wooden character.
struct Partial {
    double frequency, amplitude, decay;  // Hz, relative, seconds to fall to 1/e
};
constexpr Partial PARTIALS[] = {
    {587.0, 1.00, 0.045},
    {1174.0, 0.35, 0.022},
    {1661.0, 0.22, 0.012},
    {2793.0, 0.10, 0.006},
};

double envelope(double t) {
    double gain = 1.0;
    if (t < ATTACK) gain *= 0.5 - 0.5 * std::cos(std::numbers::pi * t / ATTACK);
    const double fade_start = DURATION - FADE;
    if (t > fade_start) gain *= 0.5 + 0.5 * std::cos(std::numbers::pi * (t - fade_start) / FADE);
    return gain;
}

void put_u32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put_u16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

}  // namespace

std::vector<qint16> make_move_sound() {
    const int count = static_cast<int>(std::lround(DURATION * SAMPLE_RATE));
    std::vector<double> wave(count);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / SAMPLE_RATE;
        double v = 0.0;
        for (const Partial& partial : PARTIALS) {
            v += partial.amplitude * std::exp(-t / partial.decay) *
                 std::sin(2 * std::numbers::pi * partial.frequency * t);
        }
        wave[i] = v * envelope(t);
    }
    // A gentle one-pole low pass takes the edge off the overtones.
    double state = 0.0;
    for (double& v : wave) v = state += 0.55 * (v - state);
    const double top = std::max(std::abs(*std::max_element(wave.begin(), wave.end())),
                                std::abs(*std::min_element(wave.begin(), wave.end())));
    std::vector<qint16> samples(count);
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<qint16>(std::lround(wave[i] / top * PEAK * 32767.0));
    }
    return samples;
}

QByteArray wave_file(const std::vector<qint16>& samples) {
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    put_u32(out, 36 + data_bytes);
    out.append("WAVE");
    out.append("fmt ");
    put_u32(out, 16);               // size of the format chunk
    put_u16(out, 1);                // PCM
    put_u16(out, 1);                // mono
    put_u32(out, SAMPLE_RATE);      // samples per second
    put_u32(out, SAMPLE_RATE * 2);  // bytes per second
    put_u16(out, 2);                // bytes per sample frame
    put_u16(out, 16);               // bits per sample
    out.append("data");
    put_u32(out, data_bytes);
    for (const qint16 s : samples) put_u16(out, static_cast<std::uint16_t>(s));
    return out;
}

void write_move_sound(const Output& out) {
    const std::vector<qint16> samples = make_move_sound();
    const double seconds = static_cast<double>(samples.size()) / SAMPLE_RATE;
    require(seconds >= 0.100 && seconds <= 0.200, "the move sound lasts 100-200 ms");
    int peak = 0;
    for (const qint16 s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    require(peak < 32767 * 0.6, "the move sound stays well below full scale");
    require(std::abs(samples.front()) <= 1 && std::abs(samples.back()) <= 1,
            "the move sound starts and ends in silence");
    out.bytes("sounds/ding.wav", wave_file(samples));
}

}  // namespace resgen
