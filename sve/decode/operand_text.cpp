// Assembler-like operand text, the same spelling binutils uses, so decoded operands can be
// compared with a disassembler's view of the same word.
#include <cinttypes>
#include <cstdio>

#include "sve/decode/operand_fields.h"

namespace ostrel::decode::text {
namespace {
void separate(std::string &out) {
    if (!out.empty()) out += ", ";
}
} // namespace

void append_z(std::string &out, uint32_t num, uint32_t size_code) {
    static const char sizes[] = "bhsdq";
    separate(out);
    out += "z" + std::to_string(num);
    if (size_code < 5) out += std::string(".") + sizes[size_code];
}

void append_p(std::string &out, uint32_t num, uint32_t type_code) {
    static const char sizes[] = "bhsd";
    separate(out);
    out += "p" + std::to_string(num);
    if (type_code < 4) out += std::string(".") + sizes[type_code];
    if (type_code == kPredMerging) out += "/m";
    if (type_code == kPredZeroing) out += "/z";
}

void append_gpr(std::string &out, uint32_t num, bool wide, bool sp_at_31) {
    separate(out);
    if (num == 31)
        out += sp_at_31 ? (wide ? "sp" : "wsp") : (wide ? "xzr" : "wzr");
    else
        out += (wide ? "x" : "w") + std::to_string(num);
}

void append_imm(std::string &out, int64_t value) {
    separate(out);
    char buf[32];
    std::snprintf(buf, sizeof buf, "#%" PRId64, value);
    out += buf;
}

} // namespace ostrel::decode::text
