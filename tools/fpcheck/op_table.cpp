#include "tools/fpcheck/op_table.h"

namespace ostrel::fpcheck {

namespace {

const OpInfo kOps[] = {
#define OP(id, mnemonic, kind, rd, rs, src_bits, dst_bits, fbits_max)                              \
    {OpId::id, #id, OpKind::kind, src_bits, dst_bits, fbits_max},
#include "tools/fpcheck/check_ops.def"
#undef OP
};
static_assert(sizeof(kOps) / sizeof(kOps[0]) == kOpCount, "one entry per operation");

} // namespace

const OpInfo &op_info(OpId id) {
    return kOps[static_cast<std::size_t>(id)];
}

} // namespace ostrel::fpcheck
