#include "sve/client/emulation_gate.h"

#include <atomic>
#include <cstddef>

#include "sve/client/client_assert.h"
#include "sve/client/thread_record.h"

namespace ostrel::client {
namespace {

// The gate's frame on the emulation stack: X0..X18 and X30 first (pair offsets of X registers
// reach 504 bytes), then NZCV and FPSR, then V0..V31 (pair offsets of Q registers reach 1008).
constexpr int kFrameX = 0;       // X0 .. X17 in pairs, then X18 with X30
constexpr int kFrameFlags = 160; // NZCV, FPSR
constexpr int kFrameQ = 176;     // Q0 .. Q31 in pairs
constexpr int kFrameBytes = kFrameQ + 32 * 16;
static_assert(kFrameBytes % 16 == 0);

class GateBuilder {
  public:
    GateBuilder(void *drcontext, int bias)
        : dc_(drcontext), list_(instrlist_create(drcontext)), bias_(bias) {}
    ~GateBuilder() { instrlist_clear_and_destroy(dc_, list_); }

    instrlist_t *build() {
        const opnd_t x26 = reg(DR_REG_X26), x27 = reg(DR_REG_X27), sp = reg(DR_REG_SP);
        // Onto the emulation stack, X26 serving as the one free register.
        add(INSTR_CREATE_str(dc_, record(offsetof(ThreadRecord, gate_site)), x26));
        add(INSTR_CREATE_add(dc_, x26, sp, OPND_CREATE_INT(0)));
        add(INSTR_CREATE_str(dc_, record(offsetof(ThreadRecord, gate_app_sp)), x26));
        add(INSTR_CREATE_ldr(dc_, x26, record(offsetof(ThreadRecord, gate_stack_top))));
        add(INSTR_CREATE_sub(dc_, sp, x26, OPND_CREATE_INT(kFrameBytes)));
        save_registers(true);
        // emulate_site(register file, site); the bias is never positive, and an immediate of ADD
        // is unsigned.
        add(INSTR_CREATE_add(dc_, reg(DR_REG_X0), x27, OPND_CREATE_INT(-bias_)));
        add(INSTR_CREATE_ldr(dc_, reg(DR_REG_X1), record(offsetof(ThreadRecord, gate_site))));
        add(INSTR_CREATE_ldr(dc_, reg(DR_REG_X2), record(offsetof(ThreadRecord, gate_entry))));
        add(INSTR_CREATE_blr(dc_, reg(DR_REG_X2)));
        // A failed emulation (W0 not zero) is reported out of line.
        instr_t *failed = INSTR_CREATE_label(dc_), *restore = INSTR_CREATE_label(dc_);
        add(INSTR_CREATE_cbnz(dc_, opnd_create_instr(failed), reg(DR_REG_W0)));
        add(restore);
        save_registers(false);
        add(INSTR_CREATE_ldr(dc_, x26, record(offsetof(ThreadRecord, gate_app_sp))));
        add(INSTR_CREATE_add(dc_, sp, x26, OPND_CREATE_INT(0)));
        add(INSTR_CREATE_ret(dc_, reg(DR_REG_X30)));
        add(failed);
        add(INSTR_CREATE_add(dc_, reg(DR_REG_X0), x27, OPND_CREATE_INT(-bias_)));
        add(INSTR_CREATE_ldr(dc_, reg(DR_REG_X2), record(offsetof(ThreadRecord, gate_failure))));
        add(INSTR_CREATE_blr(dc_, reg(DR_REG_X2)));
        add(INSTR_CREATE_b(dc_, opnd_create_instr(restore)));
        return list_;
    }

  private:
    static opnd_t reg(reg_id_t r) { return opnd_create_reg(r); }
    static opnd_t stack(int offset, opnd_size_t size) {
        return opnd_create_base_disp(DR_REG_SP, DR_REG_NULL, 0, offset, size);
    }
    // A field of the thread record, from X27.
    opnd_t record(std::size_t offset) const {
        return opnd_create_base_disp(DR_REG_X27, DR_REG_NULL, 0, static_cast<int>(offset) - bias_,
                                     OPSZ_8);
    }
    void add(instr_t *instr) { instrlist_meta_append(list_, instr); }

    // Stores (or loads back) what the callee may change, in an order that restores the flags
    // before the registers that carried them.
    void save_registers(bool store) {
        auto pair = [&](reg_id_t a, reg_id_t b, int offset, opnd_size_t size) {
            add(store ? INSTR_CREATE_stp(dc_, stack(offset, size), reg(a), reg(b))
                      : INSTR_CREATE_ldp(dc_, reg(a), reg(b), stack(offset, size)));
        };
        if (!store) {
            for (int n = 0; n < 32; n += 2)
                pair(static_cast<reg_id_t>(DR_REG_Q0 + n), static_cast<reg_id_t>(DR_REG_Q0 + n + 1),
                     kFrameQ + 16 * n, OPSZ_32);
            pair(DR_REG_X0, DR_REG_X1, kFrameFlags, OPSZ_16);
            add(INSTR_CREATE_msr(dc_, reg(DR_REG_NZCV), reg(DR_REG_X0)));
            add(INSTR_CREATE_msr(dc_, reg(DR_REG_FPSR), reg(DR_REG_X1)));
        }
        for (int n = 0; n < 18; n += 2)
            pair(static_cast<reg_id_t>(DR_REG_X0 + n), static_cast<reg_id_t>(DR_REG_X0 + n + 1),
                 kFrameX + 8 * n, OPSZ_16);
        pair(DR_REG_X18, DR_REG_X30, kFrameX + 8 * 18, OPSZ_16);
        if (store) {
            add(INSTR_CREATE_mrs(dc_, reg(DR_REG_X0), reg(DR_REG_NZCV)));
            add(INSTR_CREATE_mrs(dc_, reg(DR_REG_X1), reg(DR_REG_FPSR)));
            pair(DR_REG_X0, DR_REG_X1, kFrameFlags, OPSZ_16);
            for (int n = 0; n < 32; n += 2)
                pair(static_cast<reg_id_t>(DR_REG_Q0 + n), static_cast<reg_id_t>(DR_REG_Q0 + n + 1),
                     kFrameQ + 16 * n, OPSZ_32);
        }
    }

    void *dc_;
    instrlist_t *list_;
    int bias_;
};

// The two gates, each in one page of the framework's non-heap memory, never freed: blocks that
// branch to a gate may live until the process ends.
std::atomic<app_pc> g_gates[2];

app_pc build_gate(void *drcontext, int bias) {
    const std::size_t bytes = dr_page_size();
    auto *code = static_cast<byte *>(
        dr_nonheap_alloc(bytes, DR_MEMPROT_READ | DR_MEMPROT_WRITE | DR_MEMPROT_EXEC));
    GateBuilder builder(drcontext, bias);
    byte *end = instrlist_encode(drcontext, builder.build(), code, true);
    OSTREL_CLIENT_CHECK(end != nullptr && static_cast<std::size_t>(end - code) <= bytes,
                        kLineEmulationGate, "emulation gate encoded");
    __builtin___clear_cache(reinterpret_cast<char *>(code), reinterpret_cast<char *>(end));
    return code;
}

} // namespace

app_pc emulation_gate(void *drcontext, bool biased) {
    std::atomic<app_pc> &slot = g_gates[biased ? 1 : 0];
    app_pc gate = slot.load(std::memory_order_acquire);
    if (gate != nullptr) return gate;
    // A thread that loses the race to build it frees its copy.
    app_pc built = build_gate(drcontext, biased ? kZBias : 0);
    if (slot.compare_exchange_strong(gate, built, std::memory_order_acq_rel)) return built;
    dr_nonheap_free(built, dr_page_size());
    return gate;
}

} // namespace ostrel::client
