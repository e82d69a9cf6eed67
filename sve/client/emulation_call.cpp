#include "sve/client/emulation_call.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "sve/client/client_assert.h"
#include "sve/client/emulate.h"
#include "sve/client/thread_record.h"
#include "sve/decode/decode_rows.h"
#include "sve/kernels/guest_memory.h"

namespace ostrel::client {
namespace {

constexpr unsigned kSitePcBits = 48;
constexpr uint64_t kSitePcMask = (uint64_t{1} << kSitePcBits) - 1;
constexpr unsigned kSiteCarefulBit = 63;
constexpr uint64_t kSiteRowMask = (uint64_t{1} << (kSiteCarefulBit - kSitePcBits)) - 1;
static_assert(kNumRows <= kSiteRowMask + 1);

// An emulated load or store faulted outside any guarded read. Without the framework the
// process's fault handler reports this and lets the signal's default action end the process;
// here the framework owns the signal handlers, so the same end is reached directly: the kernel's
// disposition goes back to the default and the signal is raised again. (The framework does not
// say which signal it caught; a plain access that faults on a Linux mapping is a SIGSEGV.)
[[noreturn]] void end_process_on_fault() {
    report_unguarded_fault(SIGSEGV);
    struct kernel_sigaction {
        void (*handler)(int);
        unsigned long flags;
        void (*restorer)();
        unsigned long mask;
    } default_action = {SIG_DFL, 0, nullptr, 0};
    syscall(SYS_rt_sigaction, SIGSEGV, &default_action, nullptr, sizeof default_action.mask);
    syscall(SYS_tgkill, syscall(SYS_getpid), syscall(SYS_gettid), SIGSEGV);
    for (;;)
        syscall(SYS_exit_group, 128 + SIGSEGV); // not reached: the signal ends the process
}

// What a site's run needs of its row, side by side: the row's fixed encoding bits (mask in the
// high half, value in the low half) and its handler. Written when a block with one of the row's
// instructions is built, before any of them runs; the check that the word at a site is still
// one of its row's is then two instructions.
struct SiteRow {
    std::atomic<uint64_t> pattern;
    std::atomic<sve_handler_t> handler;
};
SiteRow g_site_rows[kNumRows];

// A word that its row no longer matches fails as a handler would.
aarch64_decode_rc unknown_word(cpu_state *, unsigned int) {
    return DECODE_UNIMPLEMENTED;
}

// SVE's loads, stores and prefetches are the encodings with bit 31 set; no other instruction
// touches application memory.
bool accesses_memory(uint32_t word) {
    return (word >> 31) != 0;
}

void insert_meta_move(void *drcontext, instrlist_t *bb, instr_t *where, ptr_int_t value,
                      reg_id_t reg) {
    instr_t *first = nullptr, *last = nullptr;
    instrlist_insert_mov_immed_ptrsz(drcontext, value, opnd_create_reg(reg), bb, where, &first,
                                     &last);
    for (instr_t *i = first; i != nullptr; i = i == last ? nullptr : instr_get_next(i))
        instr_set_meta(i);
}

} // namespace

uint64_t emulation_site(app_pc pc, uint32_t word) {
    const auto address = reinterpret_cast<uint64_t>(pc);
    const DecodeRow *row = find_decode_row(word);
    OSTREL_CLIENT_CHECK(row != nullptr && (address >> kSitePcBits) == 0, kLineEmulationSite,
                        "emulation site");
    const std::size_t index = static_cast<std::size_t>(row - kDecodeRows);
    g_site_rows[index].pattern.store(uint64_t{row->fixed_mask()} << 32 | row->fixed_bits(),
                                     std::memory_order_relaxed);
    g_site_rows[index].handler.store(row->handler, std::memory_order_relaxed);
    // The instruction mix is switched on, or not, before the first block is built.
    const bool careful = accesses_memory(word) || mix::g_counting.load(std::memory_order_relaxed);
    return address | uint64_t{index} << kSitePcBits | uint64_t{careful} << kSiteCarefulBit;
}

namespace {

// What the common path leaves out (the site's careful bit): loads and stores under the
// framework's fault recovery, and any instruction while the mix is counted. Failures are reported
// here, so it returns success.
__attribute__((noinline)) aarch64_decode_rc
emulate_with_care(cpu_state *state, uint32_t word, unsigned char *pc, sve_handler_t handler) {
    if (!accesses_memory(word)) {
        emulate_sve_instruction(state, word, pc, handler);
        return DECODE_OK;
    }
    void *drcontext = dr_get_current_drcontext();
    bool faulted = false;
    DR_TRY_EXCEPT(
        drcontext, { emulate_sve_instruction(state, word, pc, handler); }, { faulted = true; });
    if (faulted) end_process_on_fault();
    return DECODE_OK;
}

} // namespace

aarch64_decode_rc emulate_site(cpu_state *state, uint64_t site) {
    auto *pc = reinterpret_cast<unsigned char *>(site & kSitePcMask);
    const SiteRow &row = g_site_rows[(site >> kSitePcBits) & kSiteRowMask];
    uint32_t word;
    std::memcpy(&word, pc, sizeof word);
    const uint64_t pattern = row.pattern.load(std::memory_order_relaxed);
    sve_handler_t handler = row.handler.load(std::memory_order_relaxed);
    if ((word & (pattern >> 32)) != static_cast<uint32_t>(pattern)) handler = unknown_word;
    if ((site >> kSiteCarefulBit) != 0) return emulate_with_care(state, word, pc, handler);
    // The common path ends in the handler itself; the gate reports a failure it returns.
    state->pc = pc;
    return handler(state, word);
}

void report_site_failure(cpu_state *state) {
    report_emulation_failure(state->pc);
}

void insert_emulation_call(void *drcontext, instrlist_t *bb, instr_t *where, app_pc pc,
                           uint32_t word, bool biased) {
    insert_meta_move(drcontext, bb, where, static_cast<ptr_int_t>(emulation_site(pc, word)),
                     DR_REG_X26);
    const int bias = biased ? kZBias : 0;
    const int gate_field = static_cast<int>(offsetof(ThreadRecord, gate_address) +
                                            sizeof(uint64_t) * (biased ? 1 : 0));
    instrlist_meta_preinsert(bb, where,
                             INSTR_CREATE_ldr(drcontext, opnd_create_reg(DR_REG_X30),
                                              opnd_create_base_disp(DR_REG_X27, DR_REG_NULL, 0,
                                                                    gate_field - bias, OPSZ_8)));
    instrlist_meta_preinsert(bb, where, INSTR_CREATE_blr(drcontext, opnd_create_reg(DR_REG_X30)));
}

} // namespace ostrel::client
