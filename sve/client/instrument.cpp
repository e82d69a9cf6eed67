#include "sve/client/instrument.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "drmgr.h"

#include "sve/client/block_budget.h"
#include "sve/client/client_assert.h"
#include "sve/client/client_state.h"
#include "sve/client/cpu_state.h"
#include "sve/client/emulation_call.h"
#include "sve/client/thread_record.h"
#include "sve/decode/decode_rows.h"
#include "sve/decode/register_sets.h"

namespace ostrel::client {
namespace {

// X27 holds the register file's address during the sequence; X26 carries SP, NZCV and FPSR
// between their registers and the file, and the emulation site into the call.
constexpr reg_id_t kScratch = DR_REG_X26;
constexpr reg_id_t kStateBase = DR_REG_X27;

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
    static opnd_t reg(reg_id_t r) { return opnd_create_reg(r); }

    void *dc() const { return dc_; }
    instrlist_t *bb() const { return bb_; }
    instr_t *where() const { return where_; }

  private:
    void *dc_;
    instrlist_t *bb_;
    instr_t *where_;
    app_pc pc_;
};

void read_state_pointer(SequenceBuilder &seq, reg_id_t into) {
    insert_read_state_slot(seq.dc(), seq.bb(), seq.where(), into);
}

// The copies of one direction between the application's registers and the register file, for
// one register set. X26 .. X28 are the sequence's own business (see insert_emulation).
class RegisterCopies {
  public:
    RegisterCopies(SequenceBuilder &seq, int bias) : seq_(seq), bias_(bias) {}

    void into_file(const RegisterSet &set) {
        using S = SequenceBuilder;
        void *dc = seq_.dc();
        if (set.sp) {
            seq_.add(INSTR_CREATE_add(dc, S::reg(kScratch), S::reg(DR_REG_SP), OPND_CREATE_INT(0)));
            seq_.add(
                INSTR_CREATE_str(dc, field(offsetof(cpu_state, sp), OPSZ_8), S::reg(kScratch)));
        }
        if (set.nzcv) {
            seq_.add(INSTR_CREATE_mrs(dc, S::reg(kScratch), S::reg(DR_REG_NZCV)));
            seq_.add(
                INSTR_CREATE_str(dc, field(offsetof(cpu_state, nzcv), OPSZ_8), S::reg(kScratch)));
        }
        if (set.fpsr) {
            seq_.add(INSTR_CREATE_mrs(dc, S::reg(kScratch), S::reg(DR_REG_FPSR)));
            seq_.add(
                INSTR_CREATE_str(dc, field(offsetof(cpu_state, fpsr), OPSZ_4), S::reg(DR_REG_W26)));
        }
        general_registers(set, true);
        for (unsigned n = 0; n < kNumZRegs; ++n)
            if (set.has_z(n)) seq_.add(INSTR_CREATE_str(dc, z_field(n), S::reg(DR_REG_Q0 + n)));
    }

    void from_file(const RegisterSet &set) {
        using S = SequenceBuilder;
        void *dc = seq_.dc();
        for (unsigned n = 0; n < kNumZRegs; ++n)
            if (set.has_z(n)) seq_.add(INSTR_CREATE_ldr(dc, S::reg(DR_REG_Q0 + n), z_field(n)));
        general_registers(set, false);
        if (set.fpsr) {
            seq_.add(
                INSTR_CREATE_ldr(dc, S::reg(DR_REG_W26), field(offsetof(cpu_state, fpsr), OPSZ_4)));
            seq_.add(INSTR_CREATE_msr(dc, S::reg(DR_REG_FPSR), S::reg(kScratch)));
        }
        if (set.nzcv) {
            seq_.add(
                INSTR_CREATE_ldr(dc, S::reg(kScratch), field(offsetof(cpu_state, nzcv), OPSZ_8)));
            seq_.add(INSTR_CREATE_msr(dc, S::reg(DR_REG_NZCV), S::reg(kScratch)));
        }
        if (set.sp) {
            seq_.add(
                INSTR_CREATE_ldr(dc, S::reg(kScratch), field(offsetof(cpu_state, sp), OPSZ_8)));
            seq_.add(INSTR_CREATE_add(dc, S::reg(DR_REG_SP), S::reg(kScratch), OPND_CREATE_INT(0)));
        }
    }

    opnd_t x_field(unsigned n, opnd_size_t size = OPSZ_8) const {
        return field(offsetof(cpu_state, x) + 8 * n, size);
    }

  private:
    static bool through_file(unsigned n) { return n < 26 || n > 28; }

    opnd_t field(std::size_t offset, opnd_size_t size) const {
        return SequenceBuilder::at(kStateBase, static_cast<int>(offset) - bias_, size);
    }
    opnd_t z_field(unsigned n) const {
        return field(static_cast<std::size_t>(kOffsetZ + kZStride * static_cast<int>(n)), OPSZ_16);
    }

    // Neighbours in the set move as a pair.
    void general_registers(const RegisterSet &set, bool store) {
        using S = SequenceBuilder;
        void *dc = seq_.dc();
        for (unsigned n = 0; n < kNumXRegs; ++n) {
            if (!set.has_x(n) || !through_file(n)) continue;
            const reg_id_t r = static_cast<reg_id_t>(DR_REG_X0 + n);
            if (n + 1 < kNumXRegs && set.has_x(n + 1) && through_file(n + 1)) {
                const reg_id_t r2 = static_cast<reg_id_t>(r + 1);
                seq_.add(store ? INSTR_CREATE_stp(dc, x_field(n, OPSZ_16), S::reg(r), S::reg(r2))
                               : INSTR_CREATE_ldp(dc, S::reg(r), S::reg(r2), x_field(n, OPSZ_16)));
                ++n;
            } else {
                seq_.add(store ? INSTR_CREATE_str(dc, x_field(n, OPSZ_8), S::reg(r))
                               : INSTR_CREATE_ldr(dc, S::reg(r), x_field(n, OPSZ_8)));
            }
        }
    }

    SequenceBuilder &seq_;
    int bias_;
};

uint32_t instruction_word(instr_t *instr) {
    const bool raw = instr_raw_bits_valid(instr) && instr_length(GLOBAL_DCONTEXT, instr) >= 4;
    const void *bytes = raw ? instr_get_raw_bits(instr) : instr_get_app_pc(instr);
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Instructions from `first` up to `end`, labels left out.
std::size_t count_instructions(instr_t *first, instr_t *end) {
    std::size_t n = 0;
    for (instr_t *i = first; i != nullptr && i != end; i = instr_get_next(i))
        n += instr_is_label(i) ? 0 : 1;
    return n;
}

// Replaces `instr` (the SVE instruction `word` at `pc`) by the emulation sequence, which copies
// the registers of `sets` into the register file, calls the emulation and copies the written ones
// back. The call keeps every register it does not hand back, X27 included.
void insert_emulation(void *drcontext, instrlist_t *bb, instr_t *instr, app_pc pc, uint32_t word,
                      const RegisterSets &sets) {
    OSTREL_CLIENT_CHECK(dr_get_stolen_reg() == DR_REG_X28, kLineStolenRegister,
                        "dr_get_stolen_reg() == DR_REG_X28");
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

    using S = SequenceBuilder;
    SequenceBuilder seq(drcontext, bb, instr, pc);
    // The call's link register goes through the file like a register the instruction writes.
    RegisterSet in = sets.read, out = sets.write;
    in.x |= 1u << 30;
    out.x |= 1u << 30;
    const int bias = (in.z | out.z) != 0 ? kZBias : 0;
    RegisterCopies copies(seq, bias);

    // X27 is parked in a spill slot while it holds the file's address. X26 always goes through
    // the file, since the call takes it for the emulation site; it is then the sequence's scratch
    // register, which brings the application's X27 (from the slot) and X28 (held by the
    // framework) into the file when the instruction reads them.
    dr_save_reg(drcontext, bb, instr, kStateBase, kSlotX27);
    read_state_pointer(seq, kStateBase);
    if (bias != 0) // an immediate of ADD or SUB is unsigned
        seq.add(INSTR_CREATE_sub(drcontext, S::reg(kStateBase), S::reg(kStateBase),
                                 OPND_CREATE_INT(-bias)));
    seq.add(INSTR_CREATE_str(drcontext, copies.x_field(26), S::reg(kScratch)));
    if (in.has_x(27)) {
        dr_restore_reg(drcontext, bb, instr, kScratch, kSlotX27);
        seq.add(INSTR_CREATE_str(drcontext, copies.x_field(27), S::reg(kScratch)));
    }
    if (in.has_x(28)) {
        dr_insert_get_stolen_reg_value(drcontext, bb, instr, kScratch);
        seq.add(INSTR_CREATE_str(drcontext, copies.x_field(28), S::reg(kScratch)));
    }
    copies.into_file(in);

    insert_emulation_call(drcontext, bb, instr, pc, word, bias != 0);

    copies.from_file(out);
    if (out.has_x(28)) {
        seq.add(INSTR_CREATE_ldr(drcontext, S::reg(kScratch), copies.x_field(28)));
        dr_insert_set_stolen_reg_value(drcontext, bb, instr, kScratch);
    }
    seq.add(INSTR_CREATE_ldr(drcontext, S::reg(kScratch), copies.x_field(26)));
    if (out.has_x(27))
        seq.add(INSTR_CREATE_ldr(drcontext, S::reg(kStateBase), copies.x_field(27)));
    else
        dr_restore_reg(drcontext, bb, instr, kStateBase, kSlotX27);
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

    dr_save_reg(drcontext, bb, msr, scratch, kSlotMirrorScratch);
    SequenceBuilder seq(drcontext, bb, msr, instr_get_app_pc(msr));
    read_state_pointer(seq, scratch);
    seq.add(INSTR_CREATE_str(drcontext, seq.at(scratch, offsetof(cpu_state, fpcr), OPSZ_4),
                             SequenceBuilder::reg(source_w)));
    dr_restore_reg(drcontext, bb, msr, scratch, kSlotMirrorScratch);
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
        const uint32_t word = instruction_word(instr);
        const sve_handler_t handler = get_sve_handler(word);
        if (handler == nullptr) {
            const bool fpcr_write = is_fpcr_write(instr);
            if (!budget.admit(fpcr_write ? kMirroredFpcrWriteBytes : kNativeInstructionBytes)) {
                end_block_before(drcontext, bb, instr);
                break;
            }
            if (fpcr_write) insert_fpcr_mirror(drcontext, bb, instr);
            continue;
        }
        // The sequence's cost is known once it is built: a block that cannot take it ends
        // before it.
        instr_t *before = instr_get_prev(instr);
        insert_emulation(drcontext, bb, instr, instr_get_app_pc(instr), word, register_sets(word));
        instr_t *first = before != nullptr ? instr_get_next(before) : instrlist_first(bb);
        if (!budget.admit(emulation_bytes(count_instructions(first, instr)))) {
            end_block_before(drcontext, bb, first);
            break;
        }
        instrlist_remove(bb, instr);
        instr_destroy(drcontext, instr);
    }
    return DR_EMIT_DEFAULT;
}

std::size_t emulation_sequence_length(void *drcontext, uint32_t encoding) {
    if (get_sve_handler(encoding) == nullptr) return 0;
    instrlist_t *list = instrlist_create(drcontext);
    instr_t *end = INSTR_CREATE_label(drcontext);
    instrlist_append(list, end);
    uint32_t word = encoding; // the sequence reads the word at its address
    insert_emulation(drcontext, list, end, reinterpret_cast<app_pc>(&word), encoding,
                     register_sets(encoding));
    const std::size_t n = count_instructions(instrlist_first(list), end);
    instrlist_clear_and_destroy(drcontext, list);
    return n;
}

} // namespace ostrel::client
