#include "sve/client/instrument.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "drmgr.h"

#include "sve/client/block_budget.h"
#include "sve/client/client_assert.h"
#include "sve/client/client_state.h"
#include "sve/client/cpu_state.h"
#include "sve/client/emulation_call.h"
#include "sve/decode/decode_rows.h"

namespace ostrel::client {
namespace {

// X26 and X27 are the emulation sequence's scratch registers: X27 holds the cpu_state pointer,
// X26 moves values between system registers, SP and the record.
constexpr reg_id_t kScratch = DR_REG_X26;
constexpr reg_id_t kStateBase = DR_REG_X27;

constexpr int kOffsetX = offsetof(cpu_state, x);
constexpr int kOffsetSp = offsetof(cpu_state, sp);
constexpr int kOffsetNzcv = offsetof(cpu_state, nzcv);
constexpr int kOffsetFpsr = offsetof(cpu_state, fpsr);
constexpr int kOffsetFpcr = offsetof(cpu_state, fpcr);
constexpr int kOffsetZ = offsetof(cpu_state, z);

// Inserts the application-side instructions of the sequence: ordinary instructions whose
// translation is the replaced instruction, so that a fault or a state query there maps back to it.
class SequenceBuilder {
  public:
    SequenceBuilder(void *drcontext, instrlist_t *bb, instr_t *where, app_pc pc)
        : dc_(drcontext), bb_(bb), where_(where), pc_(pc) {}

    void add(instr_t *instr) {
        instr_set_translation(instr, pc_);
        instrlist_preinsert(bb_, where_, instr);
    }

    static opnd_t at(reg_id_t base, int offset, opnd_size_t size) {
        return opnd_create_base_disp(base, DR_REG_NULL, 0, offset, size);
    }
    // A field of the register file, through the pointer in X27.
    static opnd_t field(int offset, opnd_size_t size) { return at(kStateBase, offset, size); }
    static opnd_t reg(reg_id_t r) { return opnd_create_reg(r); }

    // X0 .. X25 in pairs, then X29/X30.
    void store_general_registers() {
        for (int i = 0; i < 26; i += 2)
            add(INSTR_CREATE_stp(dc_, field(kOffsetX + 8 * i, OPSZ_16), reg(DR_REG_X0 + i),
                                 reg(DR_REG_X0 + i + 1)));
        add(INSTR_CREATE_stp(dc_, field(kOffsetX + 8 * 29, OPSZ_16), reg(DR_REG_X29),
                             reg(DR_REG_X30)));
    }
    void load_general_registers() {
        for (int i = 0; i < 26; i += 2)
            add(INSTR_CREATE_ldp(dc_, reg(DR_REG_X0 + i), reg(DR_REG_X0 + i + 1),
                                 field(kOffsetX + 8 * i, OPSZ_16)));
        add(INSTR_CREATE_ldp(dc_, reg(DR_REG_X29), reg(DR_REG_X30),
                             field(kOffsetX + 8 * 29, OPSZ_16)));
    }

    // The Z registers sit at an offset that is not a multiple of 16, which the scaled Q-register
    // store cannot reach directly, so X26 points at Z0 for the 32 transfers.
    void store_neon_registers() {
        add(INSTR_CREATE_add(dc_, reg(kScratch), reg(kStateBase), OPND_CREATE_INT(kOffsetZ)));
        for (int i = 0; i < 32; ++i)
            add(INSTR_CREATE_str(dc_, at(kScratch, i * kMaxVectorBytes, OPSZ_16),
                                 reg(DR_REG_Q0 + i)));
    }
    void load_neon_registers() {
        add(INSTR_CREATE_add(dc_, reg(kScratch), reg(kStateBase), OPND_CREATE_INT(kOffsetZ)));
        for (int i = 0; i < 32; ++i)
            add(INSTR_CREATE_ldr(dc_, reg(DR_REG_Q0 + i),
                                 at(kScratch, i * kMaxVectorBytes, OPSZ_16)));
    }

    void *dc() const { return dc_; }
    instrlist_t *bb() const { return bb_; }
    instr_t *where() const { return where_; }

  private:
    void *dc_;
    instrlist_t *bb_;
    instr_t *where_;
    app_pc pc_;
};

void read_state_pointer(SequenceBuilder &seq, reg_id_t into, int assert_line) {
    OSTREL_CLIENT_CHECK(drmgr_insert_read_tls_field(seq.dc(), tls_idx, seq.bb(), seq.where(), into),
                        assert_line, "false");
}

uint32_t instruction_word(instr_t *instr) {
    const bool raw = instr_raw_bits_valid(instr) && instr_length(GLOBAL_DCONTEXT, instr) >= 4;
    const void *bytes = raw ? instr_get_raw_bits(instr) : instr_get_app_pc(instr);
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Replaces `instr` (the SVE instruction at `pc`) by the emulation sequence.
void insert_emulation(void *drcontext, instrlist_t *bb, instr_t *instr, app_pc pc,
                      sve_handler_t handler) {
    OSTREL_CLIENT_CHECK(dr_get_stolen_reg() == DR_REG_X28, kLineStolenRegister,
                        "dr_get_stolen_reg() == DR_REG_X28");
    // The encoding handed to the call is the word in memory, not the decoder's copy.
    uint32_t encoding;
    std::memcpy(&encoding, pc, sizeof encoding);

    // The framework keeps the record's instruction; it describes the original to other clients.
    instr_t *original = instr_create(drcontext);
    instr_set_raw_bits(original, pc, 4);
    instr_set_raw_bits_valid(original, true);
    emulated_instr_t record;
    record.size = sizeof(record);
    record.pc = pc;
    record.instr = original;
    record.flags = static_cast<dr_emulate_options_t>(0);
    drmgr_insert_emulation_start(drcontext, bb, instr, &record);

    SequenceBuilder seq(drcontext, bb, instr, pc);
    using S = SequenceBuilder;

    // Park X26, X27 and the application's X28 (held by the framework) in slots 1 .. 3.
    dr_save_reg(drcontext, bb, instr, kScratch, kSlotX26);
    dr_save_reg(drcontext, bb, instr, kStateBase, kSlotX27);
    dr_insert_get_stolen_reg_value(drcontext, bb, instr, kStateBase);
    dr_save_reg(drcontext, bb, instr, kStateBase, kSlotX28);
    read_state_pointer(seq, kStateBase, kLineTlsReadBeforeCall);

    // Registers into the record.
    seq.add(INSTR_CREATE_add(drcontext, S::reg(kScratch), S::reg(DR_REG_SP), OPND_CREATE_INT(0)));
    seq.add(INSTR_CREATE_str(drcontext, seq.field(kOffsetSp, OPSZ_8), S::reg(kScratch)));
    seq.store_general_registers();
    seq.store_neon_registers();
    seq.add(INSTR_CREATE_mrs(drcontext, S::reg(kScratch), S::reg(DR_REG_NZCV)));
    seq.add(INSTR_CREATE_str(drcontext, seq.field(kOffsetNzcv, OPSZ_8), S::reg(kScratch)));
    seq.add(INSTR_CREATE_mrs(drcontext, S::reg(kScratch), S::reg(DR_REG_FPSR)));
    seq.add(INSTR_CREATE_str(drcontext, seq.field(kOffsetFpsr, OPSZ_4), S::reg(DR_REG_W26)));

    dr_insert_call_vexem(drcontext, bb, instr, pc, reinterpret_cast<void *>(emulate_instruction), 3,
                         OPND_CREATE_INT32(encoding),
                         OPND_CREATE_INT64(reinterpret_cast<ptr_int_t>(pc)),
                         OPND_CREATE_INT64(reinterpret_cast<ptr_int_t>(handler)));

    // The call may have changed every register: fetch the record again, then copy back.
    read_state_pointer(seq, kStateBase, kLineTlsReadAfterCall);
    seq.add(INSTR_CREATE_ldr(drcontext, S::reg(DR_REG_W26), seq.field(kOffsetFpsr, OPSZ_4)));
    seq.add(INSTR_CREATE_msr(drcontext, S::reg(DR_REG_FPSR), S::reg(kScratch)));
    seq.add(INSTR_CREATE_ldr(drcontext, S::reg(kScratch), seq.field(kOffsetNzcv, OPSZ_8)));
    seq.add(INSTR_CREATE_msr(drcontext, S::reg(DR_REG_NZCV), S::reg(kScratch)));
    seq.load_neon_registers();
    seq.load_general_registers();
    seq.add(INSTR_CREATE_ldr(drcontext, S::reg(kScratch), seq.field(kOffsetSp, OPSZ_8)));
    seq.add(INSTR_CREATE_add(drcontext, S::reg(DR_REG_SP), S::reg(kScratch), OPND_CREATE_INT(0)));

    // X28, X27 and X26 come back from the slots, where the call left the emulated values.
    dr_restore_reg(drcontext, bb, instr, kStateBase, kSlotX28);
    dr_insert_set_stolen_reg_value(drcontext, bb, instr, kStateBase);
    dr_restore_reg(drcontext, bb, instr, kStateBase, kSlotX27);
    dr_restore_reg(drcontext, bb, instr, kScratch, kSlotX26);
    drmgr_insert_emulation_end(drcontext, bb, instr);
}

bool is_fpcr_write(instr_t *instr) {
    return instr_get_opcode(instr) == OP_msr && instr_num_dsts(instr) == 1 &&
           opnd_is_reg(instr_get_dst(instr, 0)) &&
           opnd_get_reg(instr_get_dst(instr, 0)) == DR_REG_FPCR;
}

// Stores the 32-bit view of the MSR's source into the record's FPCR field before the MSR runs.
void insert_fpcr_mirror(void *drcontext, instrlist_t *bb, instr_t *msr) {
    const opnd_t source = instr_get_src(msr, 0);
    const reg_id_t source_reg = opnd_is_reg(source) ? opnd_get_reg(source) : reg_id_t(DR_REG_XZR);
    const reg_id_t scratch = source_reg == DR_REG_X21 ? DR_REG_X22 : DR_REG_X21;
    const reg_id_t source_w = reg_resize_to_opsz(source_reg, OPSZ_4);

    dr_save_reg(drcontext, bb, msr, scratch, kSlotX28);
    SequenceBuilder seq(drcontext, bb, msr, instr_get_app_pc(msr));
    read_state_pointer(seq, scratch, kLineTlsReadFpcrMirror);
    seq.add(INSTR_CREATE_str(drcontext, seq.at(scratch, kOffsetFpcr, OPSZ_4),
                             SequenceBuilder::reg(source_w)));
    dr_restore_reg(drcontext, bb, msr, scratch, kSlotX28);
}

// Removes `first` and everything after it: the framework falls through to `first`'s address,
// where the next block starts.
void end_block_before(void *drcontext, instrlist_t *bb, instr_t *first) {
    instr_t *next;
    for (instr_t *instr = first; instr != nullptr; instr = next) {
        next = instr_get_next(instr);
        instrlist_remove(bb, instr);
        instr_destroy(drcontext, instr);
    }
}

} // namespace

dr_emit_flags_t event_instruction_change(void *drcontext, void *, instrlist_t *bb, bool, bool) {
    BlockBudget budget;
    instr_t *next;
    for (instr_t *instr = instrlist_first_app(bb); instr != nullptr; instr = next) {
        next = instr_get_next_app(instr);
        const sve_handler_t handler = get_sve_handler(instruction_word(instr));
        const bool fpcr_write = handler == nullptr && is_fpcr_write(instr);
        const std::size_t bytes = handler != nullptr ? kEmulatedInstructionBytes
                                  : fpcr_write       ? kMirroredFpcrWriteBytes
                                                     : kNativeInstructionBytes;
        if (!budget.admit(bytes)) {
            end_block_before(drcontext, bb, instr);
            break;
        }
        if (handler == nullptr) {
            if (fpcr_write) insert_fpcr_mirror(drcontext, bb, instr);
            continue;
        }
        insert_emulation(drcontext, bb, instr, instr_get_app_pc(instr), handler);
        instrlist_remove(bb, instr);
        instr_destroy(drcontext, instr);
    }
    return DR_EMIT_DEFAULT;
}

} // namespace ostrel::client

void dr_insert_call_vexem(void *drcontext, instrlist_t *bb, instr_t *where, app_pc, void *callee,
                          unsigned int num_args, ...) {
    // A clean call runs the callee on the framework's stack with the application's state saved
    // in the thread's machine context, so the spill slots and the stolen register stay
    // untouched. The emulation sequence reloads the flags and the SIMD registers itself, so the
    // call need not save them. Up to three arguments are all the emulation call needs.
    const auto flags =
        static_cast<dr_cleancall_save_t>(DR_CLEANCALL_NOSAVE_FLAGS | DR_CLEANCALL_NOSAVE_XMM);
    opnd_t args[3];
    va_list list;
    va_start(list, num_args);
    for (unsigned int i = 0; i < num_args && i < 3; ++i)
        args[i] = va_arg(list, opnd_t);
    va_end(list);
    switch (num_args) {
    case 0:
        dr_insert_clean_call_ex(drcontext, bb, where, callee, flags, 0);
        break;
    case 1:
        dr_insert_clean_call_ex(drcontext, bb, where, callee, flags, 1, args[0]);
        break;
    case 2:
        dr_insert_clean_call_ex(drcontext, bb, where, callee, flags, 2, args[0], args[1]);
        break;
    default:
        dr_insert_clean_call_ex(drcontext, bb, where, callee, flags, 3, args[0], args[1], args[2]);
        break;
    }
}
