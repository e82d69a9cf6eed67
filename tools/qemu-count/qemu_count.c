/* libostrel_qemu_count.so: a qemu-user plugin that counts the guest instructions a program
 * executes and prints "guest instructions: N" when it exits.
 *   qemu-aarch64 -plugin file=libostrel_qemu_count.so[,out=FILE][,blocks=FILE] PROGRAM...
 * (or QEMU_PLUGIN=file=... in the environment). With out=FILE the line goes to FILE instead of
 * QEMU's log. With blocks=FILE it also writes, per guest address where a translated block starts,
 * "ADDRESS INSTRUCTIONS EXECUTIONS" (hex, then decimal): where the instructions went, for
 * bench/guest_profile to name.
 * Every translated block adds its instruction count to one counter as it starts executing: a
 * block left early (a fault, a system call that ends the process) counts in full, which is at
 * most one block per exit. The adds are not atomic; the programs counted here run one thread. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tools/qemu-count/qemu_plugin_api.h"

OSTREL_QEMU_PLUGIN_EXPORT int qemu_plugin_version = 1;

static uint64_t guest_instructions;
static char out_path[4096];
static char blocks_path[4096];

/* One translation of a block; a block translated again (after a flush) gets another. */
struct block {
    uint64_t address, instructions, executions;
    struct block *next;
};
static struct block *blocks;
static int blocks_lost; /* translations that found no memory for their record */

static void on_translate(qemu_plugin_id_t id, struct qemu_plugin_tb *tb) {
    (void)id;
    const size_t n = qemu_plugin_tb_n_insns(tb);
    qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &guest_instructions,
                                             n);
    if (blocks_path[0] == '\0') return;
    struct block *b = calloc(1, sizeof *b);
    if (!b) {
        blocks_lost = 1;
        return;
    }
    b->address = qemu_plugin_tb_vaddr(tb);
    b->instructions = n;
    b->next = blocks;
    blocks = b;
    qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &b->executions, 1);
}

static int by_address(const void *a, const void *b) {
    const struct block *x = *(struct block *const *)a, *y = *(struct block *const *)b;
    if (x->address != y->address) return x->address < y->address ? -1 : 1;
    return x->instructions < y->instructions ? -1 : x->instructions > y->instructions;
}

/* Translations of the same block (same address and length) are written as one line. */
static void report_blocks(void) {
    size_t count = 0;
    for (struct block *b = blocks; b; b = b->next)
        ++count;
    struct block **sorted = malloc((count ? count : 1) * sizeof *sorted);
    FILE *out = fopen(blocks_path, "w");
    if (!sorted || !out || blocks_lost) {
        qemu_plugin_outs("ostrel_qemu_count: the blocks= file is incomplete or missing\n");
        if (!sorted || !out) {
            free(sorted);
            if (out) fclose(out);
            return;
        }
    }
    size_t i = 0;
    for (struct block *b = blocks; b; b = b->next)
        sorted[i++] = b;
    qsort(sorted, count, sizeof *sorted, by_address);
    for (i = 0; i < count;) {
        struct block *first = sorted[i];
        uint64_t executions = 0;
        for (; i < count && sorted[i]->address == first->address &&
               sorted[i]->instructions == first->instructions;
             ++i)
            executions += sorted[i]->executions;
        if (executions != 0)
            fprintf(out, "%" PRIx64 " %" PRIu64 " %" PRIu64 "\n", first->address,
                    first->instructions, executions);
    }
    fclose(out);
    free(sorted);
}

static void report_count(qemu_plugin_id_t id, void *userdata) {
    (void)id;
    (void)userdata;
    if (blocks_path[0] != '\0') report_blocks();
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
        if (strncmp(argv[i], "blocks=", 7) == 0 && argv[i][7] != '\0' &&
            strlen(argv[i] + 7) < sizeof blocks_path) {
            strcpy(blocks_path, argv[i] + 7);
            continue;
        }
        /* An argument it does not know makes QEMU refuse to start, not count wrongly. */
        return -1;
    }
    qemu_plugin_register_vcpu_tb_trans_cb(id, on_translate);
    qemu_plugin_register_atexit_cb(id, report_count, NULL);
    return 0;
}
