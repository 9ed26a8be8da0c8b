// The library's pseudo-random generator: the 48-bit linear congruential generator of
// POSIX drand48 (multiplier 0x5DEECE66D, increment 0xB), so that one seed gives the
// same sequence on every platform.
#pragma once

#include <cstdint>

#include "foundation/lang/Array.h"

namespace torvik_util {

using torvik_lang::_Array;
using torvik_lang::_Object;
using torvik_lang::_Ref;

class _Random : public _Object {
public:
    // Seeded with the current time in milliseconds.
    _Random();

    virtual void setSeed(int64_t s);

protected:
    // The top `bits` (0 to 32) bits of the next state, as a signed 32-bit value.
    virtual int next(int bits);

public:
    // Fills all `length` bytes, four bytes per nextInt(), lowest byte first.
    virtual void nextBytes(_Ref<_Array<char, _Object>> bytes);
    virtual int nextInt();
    virtual int64_t nextLong();
    // In [0, 1).
    virtual float nextFloat();
    // In [0, 1).
    virtual double nextDouble();
    // Normally distributed with mean 0 and deviation 1; made in pairs, the second of a
    // pair is kept for the next call.
    virtual double nextGaussian();

private:
    int64_t seed = 0;
    double nextNextGaussian = 0;
    bool haveNextNextGaussian = false;
};

}  // namespace torvik_util
