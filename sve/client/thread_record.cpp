#include "sve/client/thread_record.h"

#include "dr_api.h"

#include "sve/client/client_assert.h"
#include "sve/client/emulation_call.h"
#include "sve/client/emulation_gate.h"

namespace ostrel::client {
namespace {

reg_id_t g_slot_register = DR_REG_NULL;
uint g_slot_offset = 0;

} // namespace

void allocate_state_slot() {
    OSTREL_CLIENT_CHECK(dr_raw_tls_calloc(&g_slot_register, &g_slot_offset, 1, 0), kLineStateSlot,
                        "raw thread-local slot");
}

void insert_read_state_slot(void *drcontext, instrlist_t *bb, instr_t *where, reg_id_t into) {
    dr_insert_read_raw_tls(drcontext, bb, where, g_slot_register, g_slot_offset, into);
}

ThreadRecord *create_thread_record(void *drcontext) {
    auto *record = static_cast<ThreadRecord *>(dr_thread_alloc(drcontext, sizeof(ThreadRecord)));
    const std::size_t guard = dr_page_size();
    auto *mapping = static_cast<unsigned char *>(dr_raw_mem_alloc(
        guard + kEmulationStackBytes, DR_MEMPROT_READ | DR_MEMPROT_WRITE, nullptr));
    OSTREL_CLIENT_CHECK(mapping != nullptr && dr_memory_protect(mapping, guard, DR_MEMPROT_NONE),
                        kLineEmulationStack, "emulation stack mapped");
    record->stack_mapping = mapping;
    record->gate_stack_top = reinterpret_cast<uint64_t>(mapping + guard + kEmulationStackBytes);
    record->gate_entry = reinterpret_cast<uint64_t>(&emulate_site);
    record->gate_failure = reinterpret_cast<uint64_t>(&report_site_failure);
    record->gate_address[0] = reinterpret_cast<uint64_t>(emulation_gate(drcontext, false));
    record->gate_address[1] = reinterpret_cast<uint64_t>(emulation_gate(drcontext, true));
    auto *slot = reinterpret_cast<cpu_state **>(
        static_cast<byte *>(dr_get_dr_segment_base(g_slot_register)) + g_slot_offset);
    *slot = &record->state;
    return record;
}

void destroy_thread_record(void *drcontext, ThreadRecord *record) {
    dr_raw_mem_free(record->stack_mapping, dr_page_size() + kEmulationStackBytes);
    dr_thread_free(drcontext, record, sizeof(ThreadRecord));
}

} // namespace ostrel::client
