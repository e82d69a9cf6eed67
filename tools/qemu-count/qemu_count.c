/* libostrel_qemu_count.so: a qemu-user plugin that counts the guest instructions a program
 * executes and prints "guest instructions: N" when it exits.
 *   qemu-aarch64 -plugin file=libostrel_qemu_count.so[,out=FILE] PROGRAM...
 * (or QEMU_PLUGIN=file=... in the environment). With out=FILE the line goes to FILE instead of
 * QEMU's log.
 * Every translated block adds its instruction count to one counter as it starts executing: a
 * block left early (a fault, a system call that ends the process) counts in full, which is at
 * most one block per exit. The add is not atomic; the programs counted here run one thread. */
#include <inttypes.h>
#include <stdio.h>
#include <string.h>

#include "tools/qemu-count/qemu_plugin_api.h"

OSTREL_QEMU_PLUGIN_EXPORT int qemu_plugin_version = 1;

static uint64_t guest_instructions;
static char out_path[4096];

static void on_translate(qemu_plugin_id_t id, struct qemu_plugin_tb *tb) {
    (void)id;
    qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &guest_instructions,
                                             qemu_plugin_tb_n_insns(tb));
}

static void report_count(qemu_plugin_id_t id, void *userdata) {
    (void)id;
    (void)userdata;
    char line[64];
    snprintf(line, sizeof line, "guest instructions: %" PRIu64 "\n", guest_instructions);
    if (out_path[0] == '\0') {
        qemu_plugin_outs(line);
        return;
    }
    FILE *out = fopen(out_path, "w");
    if (!out) {
        qemu_plugin_outs("ostrel_qemu_count: cannot open the out= file\n");
        qemu_plugin_outs(line);
        return;
    }
    fputs(line, out);
    fclose(out);
}

OSTREL_QEMU_PLUGIN_EXPORT int qemu_plugin_install(qemu_plugin_id_t id, const qemu_info_t *info,
                                                  int argc, char **argv) {
    (void)info;
    for (int i = 0; i < argc; ++i) {
        if (strncmp(argv[i], "out=", 4) == 0 && strlen(argv[i] + 4) < sizeof out_path) {
            strcpy(out_path, argv[i] + 4);
            continue;
        }
        /* An argument it does not know makes QEMU refuse to start, not count wrongly. */
        return -1;
    }
    qemu_plugin_register_vcpu_tb_trans_cb(id, on_translate);
    qemu_plugin_register_atexit_cb(id, report_count, NULL);
    return 0;
}
