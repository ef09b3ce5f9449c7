#pragma once
// The engine input behind the test pattern a screen layer can show while a
// set is edited: seven colour bars over the canvas and a white block sweeping
// through their middle band, drawn straight into whatever the engine draws
// it into. A nested scene of colour sources would give the same picture, but
// the engine composes every nested scene into a texture of the canvas's size
// first, on every frame, before a screen's map even reads it.
#include <obs.hpp>

#include <cstdint>

inline constexpr const char* kTestPatternSourceId = "kelvane_test_pattern";

// The bar colours, left to right (0xRRGGBB).
inline constexpr uint32_t kTestPatternBarColours[7] = {0xBFBFBF, 0xBFBF00, 0x00BFBF, 0x00BF00,
                                                      0xBF00BF, 0xBF0000, 0x0000BF};
// Seconds the block takes across the canvas and back.
inline constexpr float kTestPatternSweepSeconds = 4.0f;

// Makes the input known to the engine, once per engine start; true when it is.
bool RegisterTestPatternSource();

// A private test pattern of the canvas's size; null when the engine refuses.
OBSSourceAutoRelease CreateTestPatternSource();

// Whether the source draws a new picture on every frame by itself, as the
// test pattern does, without being an asynchronous (video or camera) input.
bool IsTestPatternSource(obs_source_t* source);
