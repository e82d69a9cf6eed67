// The logical, shift and bit rows through their decode functions: each instruction runs on
// registers holding one value per operand, with every third element inactive, and every element
// must hold the hand-worked result (active) or its old value (inactive).
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "tests/integer/sve_state_support.h"

using namespace sve_test;

namespace {

enum class Shape {
    unpred_vectors, // Zd, Zn, Zm
    pred_vectors,   // Zdn, Pg/M, Zdn, Zm
    bitmask,        // Zdn, Zdn, #imm: `a` fills 64-bit lanes
    dupm,           // Zd, #imm
    unpred_imm,     // Zd, Zn, #imm
    pred_imm,       // Zdn, Pg/M, Zdn, #imm
    pred_unary,     // Zd, Pg/M, Zn
};

// One assembled instruction (aarch64-linux-gnu-as -march=armv8.2-a+sve): Zn (or Zdn) holds `a`
// in every element, Zm holds `b` in every element of zm_esize bytes.
struct Case {
    const char *text;
    uint32_t encoding;
    Shape shape;
    unsigned esize, zm_esize; // bytes
    uint64_t a, b, expected;
};

std::ostream &operator<<(std::ostream &os, const Case &c) {
    return os << c.text << " with a=0x" << std::hex << c.a << " b=0x" << c.b;
}

// clang-format off
const Case kCases[] = {
    // Bitwise, unpredicated over the whole register.
    {"and z1.d, z2.d, z3.d", 0x04233041, Shape::unpred_vectors, 8, 8, 0xf0f0f0f0ffff0000, 0xff00ff00f0f0f0f0, 0xf000f000f0f00000},
    {"orr z1.d, z2.d, z3.d", 0x04633041, Shape::unpred_vectors, 8, 8, 0xf0f0f0f0ffff0000, 0xff00ff00f0f0f0f0, 0xfff0fff0fffff0f0},
    {"eor z1.d, z2.d, z3.d", 0x04a33041, Shape::unpred_vectors, 8, 8, 0xf0f0f0f0ffff0000, 0xff00ff00f0f0f0f0, 0x0ff00ff00f0ff0f0},
    {"bic z1.d, z2.d, z3.d", 0x04e33041, Shape::unpred_vectors, 8, 8, 0xf0f0f0f0ffff0000, 0xff00ff00f0f0f0f0, 0x00f000f00f0f0000},
    // Bitwise, predicated.
    {"and z1.b, p3/m, z1.b, z3.b", 0x041a0c61, Shape::pred_vectors, 1, 1, 0xf0, 0x3c, 0x30},
    {"orr z1.h, p3/m, z1.h, z3.h", 0x04580c61, Shape::pred_vectors, 2, 2, 0xf000, 0x0f3c, 0xff3c},
    {"eor z1.s, p3/m, z1.s, z3.s", 0x04990c61, Shape::pred_vectors, 4, 4, 0xf0f0f0f0, 0x3c3c3c3c, 0xcccccccc},
    {"bic z1.d, p3/m, z1.d, z3.d", 0x04db0c61, Shape::pred_vectors, 8, 8, 0xf0f0f0f0f0f0f0f0, 0x3c3c3c3c3c3c3c3c, 0xc0c0c0c0c0c0c0c0},
    // Bitmask immediates at every element size; Zdn holds `a` in every 64-bit lane.
    {"and z1.b, z1.b, #0x3c", 0x05803661, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0x10341438183c1c30},
    {"orr z1.h, z1.h, #0xff00", 0x050044e1, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0xff34ff78ffbcfff0},
    {"eor z1.s, z1.s, #0xfffffffe", 0x0540fbc1, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0xedcba9866543210e},
    {"and z1.s, z1.s, #0xff", 0x058000e1, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0x00000078000000f0},
    {"and z1.d, z1.d, #0x000000ff000000ff", 0x058000e1, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0x00000078000000f0},
    {"eor z1.d, z1.d, #0x5555555555555555", 0x05400781, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0x4761032dcfe98ba5},
    {"orr z1.d, z1.d, #0x1111111111111111", 0x05000701, Shape::bitmask, 8, 0, 0x123456789abcdef0, 0, 0x133557799bbddff1},
    {"and z1.d, z1.d, #0x7fffffffffffffff", 0x058207c1, Shape::bitmask, 8, 0, 0xffffffffffffffff, 0, 0x7fffffffffffffff},
    {"dupm z1.b, #0x3c", 0x05c03661, Shape::dupm, 8, 0, 0, 0, 0x3c3c3c3c3c3c3c3c},
    {"dupm z1.h, #0xff00", 0x05c044e1, Shape::dupm, 8, 0, 0, 0, 0xff00ff00ff00ff00},
    {"dupm z1.s, #0xfffffffe", 0x05c0fbc1, Shape::dupm, 8, 0, 0, 0, 0xfffffffefffffffe},
    {"dupm z1.d, #0x8000000000000001", 0x05c20821, Shape::dupm, 8, 0, 0, 0, 0x8000000000000001},
    {"dupm z1.d, #0x5555555555555555", 0x05c00781, Shape::dupm, 8, 0, 0, 0, 0x5555555555555555},
    {"dupm z1.d, #0x1111111111111111", 0x05c00701, Shape::dupm, 8, 0, 0, 0, 0x1111111111111111},
    // Shifts by vector: amounts at and beyond the element size.
    {"asr z1.b, p3/m, z1.b, z3.b", 0x04108c61, Shape::pred_vectors, 1, 1, 0x80, 8, 0xff},
    {"asr z1.b, p3/m, z1.b, z3.b", 0x04108c61, Shape::pred_vectors, 1, 1, 0x80, 7, 0xff},
    {"asr z1.b, p3/m, z1.b, z3.b", 0x04108c61, Shape::pred_vectors, 1, 1, 0x40, 6, 0x01},
    {"asr z1.b, p3/m, z1.b, z3.b", 0x04108c61, Shape::pred_vectors, 1, 1, 0x7f, 200, 0x00},
    {"asr z1.h, p3/m, z1.h, z3.h", 0x04508c61, Shape::pred_vectors, 2, 2, 0x8000, 0x100, 0xffff},
    {"asr z1.d, p3/m, z1.d, z3.d", 0x04d08c61, Shape::pred_vectors, 8, 8, 0x8000000000000000, 64, 0xffffffffffffffff},
    {"asr z1.d, p3/m, z1.d, z3.d", 0x04d08c61, Shape::pred_vectors, 8, 8, 0x8000000000000000, 1, 0xc000000000000000},
    {"lsr z1.b, p3/m, z1.b, z3.b", 0x04118c61, Shape::pred_vectors, 1, 1, 0xff, 8, 0x00},
    {"lsr z1.b, p3/m, z1.b, z3.b", 0x04118c61, Shape::pred_vectors, 1, 1, 0xff, 7, 0x01},
    {"lsr z1.s, p3/m, z1.s, z3.s", 0x04918c61, Shape::pred_vectors, 4, 4, 0x80000000, 31, 0x00000001},
    {"lsr z1.s, p3/m, z1.s, z3.s", 0x04918c61, Shape::pred_vectors, 4, 4, 0x80000000, 32, 0x00000000},
    {"lsl z1.b, p3/m, z1.b, z3.b", 0x04138c61, Shape::pred_vectors, 1, 1, 0x01, 200, 0x00},
    {"lsl z1.b, p3/m, z1.b, z3.b", 0x04138c61, Shape::pred_vectors, 1, 1, 0x01, 7, 0x80},
    {"lsl z1.h, p3/m, z1.h, z3.h", 0x04538c61, Shape::pred_vectors, 2, 2, 0x0001, 16, 0x0000},
    {"lsl z1.d, p3/m, z1.d, z3.d", 0x04d38c61, Shape::pred_vectors, 8, 8, 0x1, 63, 0x8000000000000000},
    {"lsl z1.d, p3/m, z1.d, z3.d", 0x04d38c61, Shape::pred_vectors, 8, 8, 0x1, 64, 0x0},
    {"lsl z1.d, p3/m, z1.d, z3.d", 0x04d38c61, Shape::pred_vectors, 8, 8, 0x1, 0xffffffffffffffff, 0x0},
    // Reversed shifts: Zm is shifted by Zdn's element.
    {"asrr z1.b, p3/m, z1.b, z3.b", 0x04148c61, Shape::pred_vectors, 1, 1, 8, 0x80, 0xff},
    {"asrr z1.s, p3/m, z1.s, z3.s", 0x04948c61, Shape::pred_vectors, 4, 4, 4, 0x80000000, 0xf8000000},
    {"lsrr z1.h, p3/m, z1.h, z3.h", 0x04558c61, Shape::pred_vectors, 2, 2, 16, 0xffff, 0x0000},
    {"lsrr z1.h, p3/m, z1.h, z3.h", 0x04558c61, Shape::pred_vectors, 2, 2, 4, 0xffff, 0x0fff},
    {"lslr z1.s, p3/m, z1.s, z3.s", 0x04978c61, Shape::pred_vectors, 4, 4, 32, 1, 0x0},
    {"lslr z1.s, p3/m, z1.s, z3.s", 0x04978c61, Shape::pred_vectors, 4, 4, 4, 1, 0x10},
    {"lslr z1.d, p3/m, z1.d, z3.d", 0x04d78c61, Shape::pred_vectors, 8, 8, 64, 1, 0x0},
    // Shifts by immediate; right shifts by the element size.
    {"asr z1.b, z2.b, #8", 0x04289041, Shape::unpred_imm, 1, 0, 0x80, 0, 0xff},
    {"asr z1.b, z2.b, #8", 0x04289041, Shape::unpred_imm, 1, 0, 0x7f, 0, 0x00},
    {"asr z1.d, z2.d, #64", 0x04a09041, Shape::unpred_imm, 8, 0, 0x8000000000000000, 0, 0xffffffffffffffff},
    {"asr z1.h, z2.h, #3", 0x043d9041, Shape::unpred_imm, 2, 0, 0x8010, 0, 0xf002},
    {"lsr z1.b, z2.b, #8", 0x04289441, Shape::unpred_imm, 1, 0, 0xff, 0, 0x00},
    {"lsr z1.h, z2.h, #1", 0x043f9441, Shape::unpred_imm, 2, 0, 0x8001, 0, 0x4000},
    {"lsr z1.d, z2.d, #64", 0x04a09441, Shape::unpred_imm, 8, 0, 0xffffffffffffffff, 0, 0x0},
    {"lsl z1.s, z2.s, #31", 0x047f9c41, Shape::unpred_imm, 4, 0, 3, 0, 0x80000000},
    {"lsl z1.b, z2.b, #0", 0x04289c41, Shape::unpred_imm, 1, 0, 0xa5, 0, 0xa5},
    {"lsl z1.b, p3/m, z1.b, #7", 0x04038de1, Shape::pred_imm, 1, 0, 3, 0, 0x80},
    {"lsl z1.d, p3/m, z1.d, #63", 0x04c38fe1, Shape::pred_imm, 8, 0, 3, 0, 0x8000000000000000},
    {"asr z1.h, p3/m, z1.h, #16", 0x04008e01, Shape::pred_imm, 2, 0, 0x8000, 0, 0xffff},
    {"asr z1.s, p3/m, z1.s, #1", 0x04408fe1, Shape::pred_imm, 4, 0, 0x80000001, 0, 0xc0000000},
    {"lsr z1.d, p3/m, z1.d, #64", 0x04818c01, Shape::pred_imm, 8, 0, 0xffffffffffffffff, 0, 0x0},
    {"lsr z1.s, p3/m, z1.s, #4", 0x04418f81, Shape::pred_imm, 4, 0, 0x80000000, 0, 0x08000000},
    // ASRD rounds toward zero.
    {"asrd z1.b, p3/m, z1.b, #1", 0x04048de1, Shape::pred_imm, 1, 0, 0xf9, 0, 0xfd},
    {"asrd z1.b, p3/m, z1.b, #1", 0x04048de1, Shape::pred_imm, 1, 0, 0x07, 0, 0x03},
    {"asrd z1.b, p3/m, z1.b, #8", 0x04048d01, Shape::pred_imm, 1, 0, 0x80, 0, 0x00},
    {"asrd z1.h, p3/m, z1.h, #2", 0x04048fc1, Shape::pred_imm, 2, 0, 0xfffc, 0, 0xffff},
    {"asrd z1.s, p3/m, z1.s, #3", 0x04448fa1, Shape::pred_imm, 4, 0, 0xfffffff7, 0, 0xffffffff},
    {"asrd z1.s, p3/m, z1.s, #3", 0x04448fa1, Shape::pred_imm, 4, 0, 0xfffffff0, 0, 0xfffffffe},
    {"asrd z1.d, p3/m, z1.d, #64", 0x04848c01, Shape::pred_imm, 8, 0, 0x8000000000000000, 0, 0x0},
    {"asrd z1.d, p3/m, z1.d, #1", 0x04c48fe1, Shape::pred_imm, 8, 0, 0x8000000000000001, 0, 0xc000000000000001},
    // Wide shifts: the amount is the 64-bit element of Zm, read unsigned.
    {"lsr z1.b, p3/m, z1.b, z3.d", 0x04198c61, Shape::pred_vectors, 1, 8, 0xff, 8, 0x00},
    {"lsr z1.b, p3/m, z1.b, z3.d", 0x04198c61, Shape::pred_vectors, 1, 8, 0xff, 7, 0x01},
    {"lsr z1.b, p3/m, z1.b, z3.d", 0x04198c61, Shape::pred_vectors, 1, 8, 0xff, 0x8000000000000000, 0x00},
    {"asr z1.h, p3/m, z1.h, z3.d", 0x04588c61, Shape::pred_vectors, 2, 8, 0x8000, 0xffffffffffffffff, 0xffff},
    {"asr z1.s, p3/m, z1.s, z3.d", 0x04988c61, Shape::pred_vectors, 4, 8, 0x40000000, 30, 0x00000001},
    {"lsl z1.h, p3/m, z1.h, z3.d", 0x045b8c61, Shape::pred_vectors, 2, 8, 1, 15, 0x8000},
    {"lsl z1.s, p3/m, z1.s, z3.d", 0x049b8c61, Shape::pred_vectors, 4, 8, 1, 0x100000000, 0x0},
    {"asr z1.b, z2.b, z3.d", 0x04238041, Shape::unpred_vectors, 1, 8, 0x80, 0x100, 0xff},
    {"asr z1.h, z2.h, z3.d", 0x04638041, Shape::unpred_vectors, 2, 8, 0x7fff, 14, 0x0001},
    {"lsr z1.s, z2.s, z3.d", 0x04a38441, Shape::unpred_vectors, 4, 8, 0xffffffff, 32, 0x0},
    {"lsr z1.h, z2.h, z3.d", 0x04638441, Shape::unpred_vectors, 2, 8, 0xffff, 12, 0x000f},
    {"lsl z1.s, z2.s, z3.d", 0x04a38c41, Shape::unpred_vectors, 4, 8, 1, 31, 0x80000000},
    {"lsl z1.b, z2.b, z3.d", 0x04238c41, Shape::unpred_vectors, 1, 8, 1, 8, 0x00},
    // Bit counts of 0 and -1.
    {"cls z1.b, p3/m, z2.b", 0x0418ac41, Shape::pred_unary, 1, 0, 0xff, 0, 7},
    {"cls z1.b, p3/m, z2.b", 0x0418ac41, Shape::pred_unary, 1, 0, 0x00, 0, 7},
    {"cls z1.b, p3/m, z2.b", 0x0418ac41, Shape::pred_unary, 1, 0, 0x40, 0, 0},
    {"cls z1.h, p3/m, z2.h", 0x0458ac41, Shape::pred_unary, 2, 0, 0xffff, 0, 15},
    {"cls z1.h, p3/m, z2.h", 0x0458ac41, Shape::pred_unary, 2, 0, 0xf000, 0, 3},
    {"cls z1.s, p3/m, z2.s", 0x0498ac41, Shape::pred_unary, 4, 0, 0x00000001, 0, 30},
    {"cls z1.d, p3/m, z2.d", 0x04d8ac41, Shape::pred_unary, 8, 0, 0xffffffffffffffff, 0, 63},
    {"clz z1.b, p3/m, z2.b", 0x0419ac41, Shape::pred_unary, 1, 0, 0x80, 0, 0},
    {"clz z1.b, p3/m, z2.b", 0x0419ac41, Shape::pred_unary, 1, 0, 0xff, 0, 0},
    {"clz z1.h, p3/m, z2.h", 0x0459ac41, Shape::pred_unary, 2, 0, 0x0001, 0, 15},
    {"clz z1.s, p3/m, z2.s", 0x0499ac41, Shape::pred_unary, 4, 0, 0, 0, 32},
    {"clz z1.d, p3/m, z2.d", 0x04d9ac41, Shape::pred_unary, 8, 0, 0, 0, 64},
    {"clz z1.d, p3/m, z2.d", 0x04d9ac41, Shape::pred_unary, 8, 0, 0xffffffffffffffff, 0, 0},
    {"cnt z1.b, p3/m, z2.b", 0x041aac41, Shape::pred_unary, 1, 0, 0xff, 0, 8},
    {"cnt z1.h, p3/m, z2.h", 0x045aac41, Shape::pred_unary, 2, 0, 0x8001, 0, 2},
    {"cnt z1.s, p3/m, z2.s", 0x049aac41, Shape::pred_unary, 4, 0, 0, 0, 0},
    {"cnt z1.d, p3/m, z2.d", 0x04daac41, Shape::pred_unary, 8, 0, 0xffffffffffffffff, 0, 64},
    // NOT, CNOT, NEG (the most negative value stays itself).
    {"not z1.h, p3/m, z2.h", 0x045eac41, Shape::pred_unary, 2, 0, 0x1234, 0, 0xedcb},
    {"not z1.d, p3/m, z2.d", 0x04deac41, Shape::pred_unary, 8, 0, 0, 0, 0xffffffffffffffff},
    {"cnot z1.b, p3/m, z2.b", 0x041bac41, Shape::pred_unary, 1, 0, 0, 0, 1},
    {"cnot z1.s, p3/m, z2.s", 0x049bac41, Shape::pred_unary, 4, 0, 0x100, 0, 0},
    {"cnot z1.d, p3/m, z2.d", 0x04dbac41, Shape::pred_unary, 8, 0, 0, 0, 1},
    {"neg z1.h, p3/m, z2.h", 0x0457ac41, Shape::pred_unary, 2, 0, 0x8000, 0, 0x8000},
    {"neg z1.b, p3/m, z2.b", 0x0417ac41, Shape::pred_unary, 1, 0, 0x01, 0, 0xff},
    {"neg z1.s, p3/m, z2.s", 0x0497ac41, Shape::pred_unary, 4, 0, 0x80000000, 0, 0x80000000},
    {"neg z1.d, p3/m, z2.d", 0x04d7ac41, Shape::pred_unary, 8, 0, 0, 0, 0},
    {"neg z1.d, p3/m, z1.d", 0x04d7ac21, Shape::pred_unary, 8, 0, 5, 0, 0xfffffffffffffffb},
    // Bit and unit reversals.
    {"rbit z1.b, p3/m, z2.b", 0x05278c41, Shape::pred_unary, 1, 0, 0x01, 0, 0x80},
    {"rbit z1.h, p3/m, z2.h", 0x05678c41, Shape::pred_unary, 2, 0, 0x0001, 0, 0x8000},
    {"rbit z1.s, p3/m, z2.s", 0x05a78c41, Shape::pred_unary, 4, 0, 0x12345678, 0, 0x1e6a2c48},
    {"rbit z1.d, p3/m, z2.d", 0x05e78c41, Shape::pred_unary, 8, 0, 0x3, 0, 0xc000000000000000},
    {"revb z1.h, p3/m, z2.h", 0x05648c41, Shape::pred_unary, 2, 0, 0x1234, 0, 0x3412},
    {"revb z1.s, p3/m, z2.s", 0x05a48c41, Shape::pred_unary, 4, 0, 0x11223344, 0, 0x44332211},
    {"revb z1.d, p3/m, z2.d", 0x05e48c41, Shape::pred_unary, 8, 0, 0x0102030405060708, 0, 0x0807060504030201},
    {"revh z1.s, p3/m, z2.s", 0x05a58c41, Shape::pred_unary, 4, 0, 0x11223344, 0, 0x33441122},
    {"revh z1.d, p3/m, z2.d", 0x05e58c41, Shape::pred_unary, 8, 0, 0x0102030405060708, 0, 0x0708050603040102},
    {"revw z1.d, p3/m, z2.d", 0x05e68c41, Shape::pred_unary, 8, 0, 0x0102030405060708, 0, 0x0506070801020304},
    // Extensions.
    {"sxtb z1.h, p3/m, z2.h", 0x0450ac41, Shape::pred_unary, 2, 0, 0x1280, 0, 0xff80},
    {"sxtb z1.s, p3/m, z2.s", 0x0490ac41, Shape::pred_unary, 4, 0, 0x1234567f, 0, 0x0000007f},
    {"sxtb z1.d, p3/m, z2.d", 0x04d0ac41, Shape::pred_unary, 8, 0, 0x00000000000000f0, 0, 0xfffffffffffffff0},
    {"sxth z1.s, p3/m, z2.s", 0x0492ac41, Shape::pred_unary, 4, 0, 0x00018000, 0, 0xffff8000},
    {"sxth z1.d, p3/m, z2.d", 0x04d2ac41, Shape::pred_unary, 8, 0, 0xffffffff00007fff, 0, 0x0000000000007fff},
    {"sxtw z1.d, p3/m, z2.d", 0x04d4ac41, Shape::pred_unary, 8, 0, 0x1234567880000000, 0, 0xffffffff80000000},
    {"uxtb z1.h, p3/m, z2.h", 0x0451ac41, Shape::pred_unary, 2, 0, 0xff80, 0, 0x0080},
    {"uxtb z1.s, p3/m, z2.s", 0x0491ac41, Shape::pred_unary, 4, 0, 0xffffff80, 0, 0x00000080},
    {"uxtb z1.d, p3/m, z2.d", 0x04d1ac41, Shape::pred_unary, 8, 0, 0xffffffffffffff80, 0, 0x80},
    {"uxth z1.s, p3/m, z2.s", 0x0493ac41, Shape::pred_unary, 4, 0, 0xffff8000, 0, 0x00008000},
    {"uxth z1.d, p3/m, z2.d", 0x04d3ac41, Shape::pred_unary, 8, 0, 0xffffffffffff8000, 0, 0x8000},
    {"uxtw z1.d, p3/m, z2.d", 0x04d5ac41, Shape::pred_unary, 8, 0, 0xffffffff80000000, 0, 0x80000000},
};
// clang-format on

bool destructive(Shape s) {
    return s == Shape::pred_vectors || s == Shape::bitmask || s == Shape::pred_imm;
}
bool predicated(Shape s) {
    return s == Shape::pred_vectors || s == Shape::pred_imm || s == Shape::pred_unary;
}

uint32_t bits_at(uint32_t encoding, unsigned lo, unsigned width) {
    return (encoding >> lo) & ((1u << width) - 1);
}

class LogicalEdgeTest : public ::testing::TestWithParam<Case> {};

TEST_P(LogicalEdgeTest, ActiveElementsTakeTheResultAndInactiveOnesKeepZd) {
    const Case &c = GetParam();
    const uint32_t zd = bits_at(c.encoding, 0, 5);
    const uint32_t zn = destructive(c.shape) ? zd : bits_at(c.encoding, 5, 5);
    const uint32_t zm =
        c.shape == Shape::pred_vectors ? bits_at(c.encoding, 5, 5) : bits_at(c.encoding, 16, 5);
    const uint32_t pg = bits_at(c.encoding, 10, 3);
    const bool has_zm = c.shape == Shape::pred_vectors || c.shape == Shape::unpred_vectors;

    auto state = garbage_state(c.encoding ^ static_cast<uint32_t>(c.a), kPc);
    // The kernel road hands NZCV back as 32 bits and FFR as one 0/1 byte per bit; start from
    // values both roads keep.
    state->nzcv &= 0xffffffffu;
    for (uint8_t &b : state->ffr)
        b &= 1u;
    if (c.shape != Shape::dupm) fill_z_elements(*state, zn, c.esize, c.a);
    if (has_zm) fill_z_elements(*state, zm, c.zm_esize, c.b);
    // Bit 0 of an element's first predicate byte decides; the other bits are set to show they
    // do not count.
    const unsigned elements = ostrel::kVectorBytes / c.esize;
    if (predicated(c.shape))
        for (unsigned i = 0; i < elements; ++i)
            state->p[pg][i * c.esize] = i % 3 == 1 ? 0xfe : 0x81;

    cpu_state expected;
    std::memcpy(&expected, state.get(), sizeof expected);
    for (unsigned i = 0; i < elements; ++i)
        if (!predicated(c.shape) || i % 3 != 1) set_z_element(expected, zd, c.esize, i, c.expected);

    ASSERT_EQ(run(state.get(), c.encoding), DECODE_OK);
    expected.encoding = state->encoding; // stored on the executor road only
    EXPECT_EQ(state_difference(*state, expected), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, LogicalEdgeTest, ::testing::ValuesIn(kCases));

} // namespace
