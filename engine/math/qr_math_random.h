#pragma once
// The process-wide random generator: a 32-bit linear congruential generator (seed * 134775813 + 1)
// behind the random math object, which the math module owns. The seed is one unguarded global
// value; the program is single-threaded.

#include "core/qr_core_object.h"

#include <cstdint>

class QRMATHRandom : public QRObject {
public:
    explicit QRMATHRandom(QRObject* owner) : QRObject(owner, "QR MATH Random") {}
    // Seeds the generator (randomize).
    void initialize() override;

    // Seeds from the low 32 bits of the high-resolution clock.
    static void randomize();
    // For reproducible sequences.
    static void setSeed(std::uint32_t seed);
    static std::uint32_t getSeed();
    // An integer in [lo, hi], both ends included; swapped ends give the same range.
    static int randomInteger(int lo, int hi);
    // lo + (hi - lo) * a fraction in [0, 1) in steps of 1e-8: reaches lo, never hi.
    static float randomFloat(float lo, float hi);
};
