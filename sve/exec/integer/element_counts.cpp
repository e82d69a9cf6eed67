// Element counts by pattern on scalars and vectors (INC/DEC), and the vector-length scalars
// (RDVL, ADDVL, ADDPL), at the process's vector length.
#include "sve/exec/integer/element_counts.h"

#include "sve/decode/forms.h"
#include "sve/exec/vector_blocks.h"

namespace {

// count(pattern) x multiplier for elements of T.
template <typename T> uint64_t amount(unsigned pattern, unsigned multiplier) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    return uint64_t{ostrel::pattern_element_count(pattern, vl_bytes / sizeof(T))} * multiplier;
}

template <typename T>
aarch64_decode_rc step_scalar(cpu_state *s, const aarch64_i_reg &xdn, unsigned pattern,
                              unsigned multiplier, bool decrement) {
    const uint64_t old = ostrel::read_gpr(*s, xdn, true);
    const uint64_t step = amount<T>(pattern, multiplier);
    ostrel::write_gpr(*s, xdn, decrement ? old - step : old + step, true);
    return DECODE_OK;
}

template <typename T>
aarch64_decode_rc step_vector(cpu_state *s, const aarch64_z_reg &zdn, unsigned pattern,
                              unsigned multiplier, bool decrement) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    // Wraps modulo 2^esize: the step is truncated to T like the elements.
    const T step = static_cast<T>(amount<T>(pattern, multiplier));
    uint8_t *reg = s->z[zdn.num];
    ostrel::for_each_block(vl_bytes, [&](std::size_t at) {
        ostrel::BlockLanes<T> values = ostrel::load_block<T>(reg + at);
        for (unsigned j = 0; j < values.kCount; ++j)
            values.lane[j] =
                static_cast<T>(decrement ? values.lane[j] - step : values.lane[j] + step);
        ostrel::store_block(reg + at, values);
    });
    return DECODE_OK;
}

// Xd or SP = Xn or SP + imm x bytes.
aarch64_decode_rc add_scaled(cpu_state *s, const aarch64_i_rsp_reg &xd, const aarch64_i_rsp_reg &xn,
                             int imm, int64_t bytes) {
    const uint64_t base = ostrel::read_gpr_or_sp(*s, xn);
    ostrel::write_gpr_or_sp(*s, xd, base + static_cast<uint64_t>(imm * bytes));
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc sve_incb_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint8_t>(s, xdn, pattern, mul, false);
}
aarch64_decode_rc sve_inch_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint16_t>(s, xdn, pattern, mul, false);
}
aarch64_decode_rc sve_incw_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint32_t>(s, xdn, pattern, mul, false);
}
aarch64_decode_rc sve_incd_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint64_t>(s, xdn, pattern, mul, false);
}
aarch64_decode_rc sve_decb_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint8_t>(s, xdn, pattern, mul, true);
}
aarch64_decode_rc sve_dech_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint16_t>(s, xdn, pattern, mul, true);
}
aarch64_decode_rc sve_decw_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint32_t>(s, xdn, pattern, mul, true);
}
aarch64_decode_rc sve_decd_rii(cpu_state *s, aarch64_i_reg xdn, unsigned pattern, unsigned mul) {
    return step_scalar<uint64_t>(s, xdn, pattern, mul, true);
}

aarch64_decode_rc sve_inch_zii(cpu_state *s, aarch64_z_reg zdn, unsigned pattern, unsigned mul) {
    return step_vector<uint16_t>(s, zdn, pattern, mul, false);
}
aarch64_decode_rc sve_incw_zii(cpu_state *s, aarch64_z_reg zdn, unsigned pattern, unsigned mul) {
    return step_vector<uint32_t>(s, zdn, pattern, mul, false);
}
aarch64_decode_rc sve_incd_zii(cpu_state *s, aarch64_z_reg zdn, unsigned pattern, unsigned mul) {
    return step_vector<uint64_t>(s, zdn, pattern, mul, false);
}
aarch64_decode_rc sve_dech_zii(cpu_state *s, aarch64_z_reg zdn, unsigned pattern, unsigned mul) {
    return step_vector<uint16_t>(s, zdn, pattern, mul, true);
}
aarch64_decode_rc sve_decw_zii(cpu_state *s, aarch64_z_reg zdn, unsigned pattern, unsigned mul) {
    return step_vector<uint32_t>(s, zdn, pattern, mul, true);
}
aarch64_decode_rc sve_decd_zii(cpu_state *s, aarch64_z_reg zdn, unsigned pattern, unsigned mul) {
    return step_vector<uint64_t>(s, zdn, pattern, mul, true);
}

aarch64_decode_rc sve_rdvl_ri(cpu_state *s, aarch64_i_reg xd, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    // The product fits 32 bits (|imm| <= 32); it is formed there and sign-extended.
    const int32_t bytes = imm * static_cast<int32_t>(vl_bytes);
    ostrel::write_gpr(*s, xd, static_cast<uint64_t>(static_cast<int64_t>(bytes)));
    return DECODE_OK;
}

aarch64_decode_rc sve_addvl_rri(cpu_state *s, aarch64_i_rsp_reg xd, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    return add_scaled(s, xd, xn, imm, vl_bytes);
}

aarch64_decode_rc sve_addpl_rri(cpu_state *s, aarch64_i_rsp_reg xd, aarch64_i_rsp_reg xn, int imm) {
    const unsigned vl_bytes = ostrel::vector_bytes();
    // A predicate register holds one bit per vector byte: VL / 8 bytes.
    return add_scaled(s, xd, xn, imm, vl_bytes / 8);
}
