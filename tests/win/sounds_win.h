// Sound files that the tests and the benchmarks make for themselves: nothing binary is kept.
#pragma once

#include <cstdint>
#include <string>

// About `frames` x 26 ms of silence as MPEG-1 Layer III, 44.1 kHz, 128 kbit/s, mono: each
// 417-byte frame is its header and zero side information, which decodes to silence.
inline std::string SilentMp3(int frames)
{
    std::string bytes;
    for (int i = 0; i < frames; ++i)
    {
        std::string frame(417, '\0');
        frame[0] = '\xFF';
        frame[1] = '\xFB';
        frame[2] = '\x90';
        frame[3] = '\xC0';
        bytes += frame;
    }
    return bytes;
}
constexpr int OneSecondOfFrames = 39;

// A fifth of a second of silence as 8 kHz, 8-bit mono PCM.
inline std::string SilentWave()
{
    const uint32_t samples = 1600;
    auto word = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto half = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + word(36 + samples) + "WAVEfmt " + word(16) + half(1) + half(1) + word(8000) +
           word(8000) + half(1) + half(8) + "data" + word(samples) + std::string(samples, '\x80');
}
