#include "sve/client/emulation_call.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "dr_api.h"
#include "drmgr.h"

#include "sve/client/client_assert.h"
#include "sve/client/client_state.h"
#include "sve/client/emulate.h"
#include "sve/decode/decode_rows.h"
#include "sve/kernels/guest_memory.h"

namespace ostrel::client {
namespace {

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

// The line the gate's check reports (the client's checks name fixed lines).
constexpr int kLineEmulationGate = 330;

// Where the gate is built: one page of the framework's non-heap memory, never freed (blocks
// that branch to it may live until the process ends).
std::atomic<app_pc> g_gate{nullptr};

app_pc build_gate(void *drcontext) {
    const std::size_t bytes = dr_page_size();
    auto *code = static_cast<byte *>(
        dr_nonheap_alloc(bytes, DR_MEMPROT_READ | DR_MEMPROT_WRITE | DR_MEMPROT_EXEC));
    instrlist_t *list = instrlist_create(drcontext);
    instr_t *ret = INSTR_CREATE_ret(drcontext, opnd_create_reg(DR_REG_X30));
    instrlist_meta_append(list, ret);
    dr_insert_clean_call_ex(drcontext, list, ret, reinterpret_cast<void *>(emulate_instruction_at),
                            static_cast<dr_cleancall_save_t>(0), 1, opnd_create_reg(DR_REG_X26));
    byte *end = instrlist_encode(drcontext, list, code, true);
    instrlist_clear_and_destroy(drcontext, list);
    OSTREL_CLIENT_CHECK(end != nullptr && static_cast<std::size_t>(end - code) <= bytes,
                        kLineEmulationGate, "emulation gate encoded");
    __builtin___clear_cache(reinterpret_cast<char *>(code), reinterpret_cast<char *>(end));
    return code;
}

// The gate, built by the first block that needs it; a thread that loses the race frees its copy.
app_pc emulation_gate(void *drcontext) {
    app_pc gate = g_gate.load(std::memory_order_acquire);
    if (gate != nullptr) return gate;
    app_pc built = build_gate(drcontext);
    if (g_gate.compare_exchange_strong(gate, built, std::memory_order_acq_rel)) return built;
    dr_nonheap_free(built, dr_page_size());
    return gate;
}

void insert_meta_move(void *drcontext, instrlist_t *bb, instr_t *where, ptr_int_t value,
                      reg_id_t reg) {
    instr_t *first = nullptr, *last = nullptr;
    instrlist_insert_mov_immed_ptrsz(drcontext, value, opnd_create_reg(reg), bb, where, &first,
                                     &last);
    for (instr_t *i = first; i != nullptr; i = i == last ? nullptr : instr_get_next(i))
        instr_set_meta(i);
}

// A word that no row knows any more (the program rewrote its code after the block was built)
// fails as a handler would.
aarch64_decode_rc unknown_word(cpu_state *, unsigned int) {
    return DECODE_UNIMPLEMENTED;
}

} // namespace

void insert_emulation_call(void *drcontext, instrlist_t *bb, instr_t *where, app_pc pc) {
    const app_pc gate = emulation_gate(drcontext);
    insert_meta_move(drcontext, bb, where, reinterpret_cast<ptr_int_t>(pc), DR_REG_X26);
    insert_meta_move(drcontext, bb, where, reinterpret_cast<ptr_int_t>(gate), DR_REG_X30);
    instrlist_meta_preinsert(bb, where, INSTR_CREATE_blr(drcontext, opnd_create_reg(DR_REG_X30)));
}

void emulate_instruction_at(unsigned char *pc) {
    uint32_t encoding;
    std::memcpy(&encoding, pc, sizeof encoding);
    sve_handler_t handler = get_sve_handler(encoding);
    if (handler == nullptr) handler = unknown_word;
    void *drcontext = dr_get_current_drcontext();
    auto *state = static_cast<cpu_state *>(drmgr_get_tls_field(drcontext, tls_idx));
    ParkedRegisters parked = {dr_read_saved_reg(drcontext, kSlotX26),
                              dr_read_saved_reg(drcontext, kSlotX27),
                              dr_read_saved_reg(drcontext, kSlotX28)};
    bool faulted = false;
    DR_TRY_EXCEPT(
        drcontext, { emulate_sve_instruction(state, encoding, pc, handler, &parked); },
        { faulted = true; });
    if (faulted) end_process_on_fault();
    dr_write_saved_reg(drcontext, kSlotX26, parked.x26);
    dr_write_saved_reg(drcontext, kSlotX27, parked.x27);
    dr_write_saved_reg(drcontext, kSlotX28, parked.x28);
}

} // namespace ostrel::client
