// The client's frame in the DynamoRIO process: start-up, per-thread register files, shutdown.
#include <cstdlib>
#include <string>

#include "dr_api.h"
#include "drmgr.h"
#include "droption.h"
#include "drreg.h"

#include "sve/client/client_assert.h"
#include "sve/client/client_state.h"
#include "sve/client/cpu_state.h"
#include "sve/client/instrument.h"
#include "sve/client/mix_session.h"
#include "sve/client/signal_state.h"
#include "sve/client/thread_record.h"
#include "sve/client/vector_length_choice.h"
#include "sve/kernels/guest_memory.h"
#include "sve/trace/trace_support.h"

namespace ostrel::client {

int tls_idx = -1;

[[noreturn]] void assertion_failure(int line, const char *condition) {
    dr_fprintf(STDERR, "ASSERT FAILURE: %s:%d: %s (%s)\n", "sve/client/sve_client", line, condition,
               "");
    dr_abort();
    __builtin_unreachable();
}

namespace {

void event_thread_init(void *drcontext) {
    ThreadRecord *record = create_thread_record(drcontext);
    OSTREL_CLIENT_CHECK(drmgr_set_tls_field(drcontext, tls_idx, &record->state),
                        kLineThreadRecordStore, "false");
}

void event_thread_exit(void *drcontext) {
    void *data = drmgr_get_tls_field(drcontext, tls_idx);
    OSTREL_CLIENT_CHECK(data != nullptr, kLineThreadRecordMissing, "data != __null");
    destroy_thread_record(drcontext, static_cast<ThreadRecord *>(data));
}

void event_exit() {
    dr_log(nullptr, DR_LOG_ALL, 1, "SVE client exiting\n");
    ostrel::mix::finish_mix();
    sve_exit();
    const bool unregistered = drmgr_unregister_bb_app2app_event(event_instruction_change);
    OSTREL_CLIENT_CHECK(unregistered && drreg_exit() == DRREG_SUCCESS, kLineShutdown, "false");
    drmgr_exit();
}

// The vector length, as text: the value is checked by the emulator's own rule, not by droption's
// number parsing, which would take "512x" for 512.
dynamorio::droption::droption_t<std::string>
    vector_length_option(dynamorio::droption::DROPTION_SCOPE_CLIENT, "vl", "",
                         "SVE vector length in bits",
                         "The SVE vector length in bits: a multiple of 128 from 128 to 2048. "
                         "Without it, the OSTREL_VL environment variable, else 1536.");

// The client's one option is -vl BITS. droption ends parsing at "--" and also, quietly, at the
// first word without a leading dash; such a word is refused here as droption refuses an unknown
// option, so that only arguments after a "--" are ever ignored.
bool parse_client_arguments(int argc, const char *argv[], std::string *error) {
    int last_index = 0;
    using dynamorio::droption::droption_parser_t;
    using dynamorio::droption::DROPTION_SCOPE_CLIENT;
    if (!droption_parser_t::parse_argv(DROPTION_SCOPE_CLIENT, argc, argv, error, &last_index))
        return false;
    if (last_index < argc && (last_index == 0 || std::string(argv[last_index - 1]) != "--")) {
        *error = std::string("Unknown option: ") + argv[last_index];
        return false;
    }
    return true;
}

} // namespace
} // namespace ostrel::client

DR_EXPORT void dr_client_main(client_id_t, int argc, const char *argv[]) {
    using namespace ostrel::client;
    dr_set_client_name("Ostrel SVE emulation client", "https://github.com/ostrel/ostrel/issues");
    // The framework loads the client with a private C library that the dynamic linker never set
    // up, so the static initialiser's sysconf(_SC_PAGESIZE) answers that library's fallback (64 KiB
    // on AArch64), not the kernel's page size; the page probes of the non-fault and first-fault
    // loads need the real one, which the framework knows.
    page_size = static_cast<uint32_t>(dr_page_size());

    std::string parse_error;
    if (!parse_client_arguments(argc, argv, &parse_error)) {
        dr_fprintf(STDERR, "SVE emulation client usage error: %s\n", parse_error.c_str());
        dr_abort();
    }

    // Fixed before any block is built, so every emulated instruction sees the same length.
    const ostrel::VectorLengthChoice length = ostrel::choose_vector_length(
        "-vl",
        vector_length_option.specified() ? vector_length_option.get_value().c_str() : nullptr,
        std::getenv(ostrel::kVectorLengthVariable));
    if (!length.error.empty()) {
        dr_fprintf(STDERR, "SVE emulation client usage error: %s\n", length.error.c_str());
        dr_abort();
    }
    ostrel::set_vector_length_bits(length.bits);

    const std::string mix_error = ostrel::mix::start_mix_from_environment();
    if (!mix_error.empty()) {
        dr_fprintf(STDERR, "%s\n", mix_error.c_str());
        dr_abort_with_code(1);
    }

    OSTREL_CLIENT_CHECK(drmgr_init(), kLineDrmgrInit, "false");

    drmgr_register_thread_init_event(event_thread_init);
    drmgr_register_thread_exit_event(event_thread_exit);
    drmgr_register_exit_event(event_exit);

    drmgr_priority_t priority = {sizeof(priority), "emulate_instruction", nullptr, nullptr, 0};
    OSTREL_CLIENT_CHECK(drmgr_register_bb_app2app_event(event_instruction_change, &priority),
                        kLineBlockEventRegistration, "false");

    tls_idx = drmgr_register_tls_field();
    OSTREL_CLIENT_CHECK(tls_idx != -1, kLineTlsFieldRegistration, "false");
    allocate_state_slot();
    register_signal_state_events();

    OSTREL_CLIENT_CHECK(sve_init(nullptr, dr_get_application_name()), kLineTraceInit, "false");

    dr_log(nullptr, DR_LOG_ALL, 1, "SVE client initializing\n");
}
