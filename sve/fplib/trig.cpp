// The trigonometric helpers: a series step with the architecture's sine and cosine coefficients,
// and the squaring step that takes its sign from the quadrant bit.
#include "sve/fplib/fp_format.h"
#include "sve/fplib/fplib.h"

namespace ostrel::fplib {

namespace {

// Entries 0-7: the sine series; 8-15: the cosine series.
template <class T> struct TrigCoefficients;
template <> struct TrigCoefficients<uint16_t> {
    static constexpr uint16_t coeff[16] = {0x3c00, 0xb155, 0x2030, 0, 0, 0, 0, 0,
                                           0x3c00, 0xb800, 0x293a, 0, 0, 0, 0, 0};
};
template <> struct TrigCoefficients<uint32_t> {
    static constexpr uint32_t coeff[16] = {
        0x3f800000, 0xbe2aaaab, 0x3c088886, 0xb95008b9, 0x36369d6d, 0, 0, 0,
        0x3f800000, 0xbf000000, 0x3d2aaaa6, 0xbab60705, 0x37cd37cc, 0, 0, 0};
};
template <> struct TrigCoefficients<uint64_t> {
    static constexpr uint64_t coeff[16] = {
        0x3ff0000000000000, 0xbfc5555555555543, 0x3f8111111110f30c, 0xbf2a01a019b92fc6,
        0x3ec71de351f3d22b, 0xbe5ae5e2b60f7b91, 0x3de5d8408868552f, 0x0000000000000000,
        0x3ff0000000000000, 0xbfe0000000000000, 0x3fa5555555555536, 0xbf56c16c16c13a0b,
        0x3efa01a019b1e8d8, 0xbe927e4f7282f468, 0x3e21ee96d2641b13, 0xbda8f76380fbb401};
};

} // namespace

template <class T> T FPTRIMADD(uint64_t coeff_index, T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const uint64_t index = (coeff_index & 7) + ((op2 & Fmt::sign_bit) ? 8 : 0);
    return FPMulAdd<T>(TrigCoefficients<T>::coeff[index], op1, FPAbs(op2), fpscr);
}

template <class T> T FPTRISMUL(T op1, T op2, FPSCR &fpscr) {
    using Fmt = FPFormat<T>;
    const T square = FPMul<T>(op1, op1, fpscr);
    if (Fmt::is_nan(square)) return square;
    return static_cast<T>((square & ~Fmt::sign_bit) | ((op2 & 1) ? Fmt::sign_bit : T(0)));
}

template uint16_t FPTRIMADD<uint16_t>(uint64_t, uint16_t, uint16_t, FPSCR &);
template uint32_t FPTRIMADD<uint32_t>(uint64_t, uint32_t, uint32_t, FPSCR &);
template uint64_t FPTRIMADD<uint64_t>(uint64_t, uint64_t, uint64_t, FPSCR &);
template uint16_t FPTRISMUL<uint16_t>(uint16_t, uint16_t, FPSCR &);
template uint32_t FPTRISMUL<uint32_t>(uint32_t, uint32_t, FPSCR &);
template uint64_t FPTRISMUL<uint64_t>(uint64_t, uint64_t, FPSCR &);

} // namespace ostrel::fplib
