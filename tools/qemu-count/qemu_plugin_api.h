/* The few entry points of qemu-user's TCG plugin interface (interface version 1, as QEMU 7.2
 * loads it) that the counting plugin uses, declared from their documented C signatures. The
 * functions are resolved from the qemu-aarch64 executable when it loads the plugin. */
#ifndef OSTREL_QEMU_PLUGIN_API_H
#define OSTREL_QEMU_PLUGIN_API_H

#include <stddef.h>
#include <stdint.h>

#define OSTREL_QEMU_PLUGIN_EXPORT __attribute__((visibility("default")))

typedef uint64_t qemu_plugin_id_t;

/* Handed to the install entry point; the counter needs nothing from it. */
typedef struct qemu_info_t qemu_info_t;

/* One translation block, during its translation. */
struct qemu_plugin_tb;

enum qemu_plugin_op {
    QEMU_PLUGIN_INLINE_ADD_U64,
};

typedef void (*qemu_plugin_vcpu_tb_trans_cb_t)(qemu_plugin_id_t id, struct qemu_plugin_tb *tb);
typedef void (*qemu_plugin_udata_cb_t)(qemu_plugin_id_t id, void *userdata);

void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_tb_trans_cb_t cb);
size_t qemu_plugin_tb_n_insns(const struct qemu_plugin_tb *tb);
/* The guest address of the block's first instruction. */
uint64_t qemu_plugin_tb_vaddr(const struct qemu_plugin_tb *tb);
/* Adds imm to the 64-bit word at ptr each time the block starts to execute. */
void qemu_plugin_register_vcpu_tb_exec_inline(struct qemu_plugin_tb *tb, enum qemu_plugin_op op,
                                              void *ptr, uint64_t imm);
void qemu_plugin_register_atexit_cb(qemu_plugin_id_t id, qemu_plugin_udata_cb_t cb, void *userdata);
/* Writes to QEMU's log, standard error unless -D names a file. */
void qemu_plugin_outs(const char *string);

#endif
