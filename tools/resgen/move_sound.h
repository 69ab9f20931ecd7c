#pragma once
// The move sound "ding.wav": a short, soft knock of a wooden piece set on the board, with a
// faint ring after it. 16-bit PCM, mono, 22050 Hz.

#include <QByteArray>
#include <vector>

#include "tools/resgen/output.h"

namespace resgen {

constexpr int SAMPLE_RATE = 22050;

// The samples of the sound, from silence to silence.
std::vector<qint16> make_move_sound();

// A complete RIFF/WAVE file around the samples.
QByteArray wave_file(const std::vector<qint16>& samples);

// Checks length, level and the silent ends, then writes sounds/ding.wav.
void write_move_sound(const Output& out);

}  // namespace resgen
