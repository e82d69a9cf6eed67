// Register sets expanded from the decode rows and their operand layouts. Every operand kind says
// which registers it names (a kind that does not compiles no row), and the road says which
// operands are written:
//  - kernel road: the result kind is written, every operand kind is read;
//  - executor road: the first operand is the destination, also read when its packing says so or
//    a merging predicate keeps its inactive elements; every other operand is read. Stores and
//    spills have no destination: their first operand is the data they store.
// The flags and FPSR are not operands: rows that set the condition flags say so in their family
// (Flg, WHILE, CTERM, PTEST, PNEXT, PFIRST), first-fault and non-fault loads may keep part of
// their destination, and the floating-point rows are those whose decode
// function exchanges FPSR around a host executor or whose kernel layout is a floating-point one.
#include "sve/decode/register_sets.h"

#include <cstring>
#include <type_traits>

#include "sve/decode/forms.h"
#include "sve/decode/row_types.h"

namespace ostrel::decode::sets {
namespace {

void add_x(RegisterSet &s, uint32_t num) {
    if (num != 31) s.x |= 1u << num;
}
void add_x_or_sp(RegisterSet &s, uint32_t num) {
    if (num == 31)
        s.sp = true;
    else
        s.x |= 1u << num;
}
void add_z(RegisterSet &s, uint32_t num) {
    s.z |= 1u << (num % kNumZRegs);
}

template <typename> constexpr bool kUnclassified = false;

// Names<Kind>::add(set, encoding, row): adds the registers the kind names in `encoding`.
template <typename Kind, typename = void> struct Names {
    static_assert(kUnclassified<Kind>, "an operand kind must say which registers it names");
};
struct NamesNothing {
    static void add(RegisterSet &, uint32_t, const RowInfo &) {}
};
template <typename Kind>
struct Names<Kind,
             std::enable_if_t<std::is_base_of_v<Immediate<Kind, typename Kind::value_type>, Kind>>>
    : NamesNothing {};

// Predicates and FFR stay in the register file.
template <unsigned Lo, unsigned W, typename Q, Packing Pk>
struct Names<P<Lo, W, Q, Pk>> : NamesNothing {};
template <unsigned Lo, unsigned W, typename Q> struct Names<PResult<Lo, W, Q>> : NamesNothing {};
template <> struct Names<NoResult> : NamesNothing {};
template <typename C> struct Names<FpArithImm<C>> : NamesNothing {};
template <> struct Names<FpDupImm> : NamesNothing {};
template <unsigned Lo> struct Names<FpRotation<Lo>> : NamesNothing {};
template <> struct Names<FpAddRotation> : NamesNothing {};
template <> struct Names<BitmaskImm> : NamesNothing {};

template <unsigned Lo> struct NamesZAt {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &) { add_z(s, field(e, Lo, 5)); }
};
template <unsigned Lo, Packing Pk, typename S> struct Names<Z<Lo, Pk, S>> : NamesZAt<Lo> {};
template <unsigned Lo, Packing Pk> struct Names<ZBitmask<Lo, Pk>> : NamesZAt<Lo> {};
template <> struct Names<DupIndexedSource> : NamesZAt<5> {};
template <unsigned Lo, typename S> struct Names<VScalar<Lo, S>> : NamesZAt<Lo> {};
template <unsigned Lo, typename S> struct Names<ZResult<Lo, S>> : NamesZAt<Lo> {};
template <unsigned Lo, typename S> struct Names<VResult<Lo, S>> : NamesZAt<Lo> {};

// Members of a structure: Zt, Zt+1, ... wrapping from Z31 to Z0.
template <unsigned Lo, unsigned Count> struct Names<ZList<Lo, Count>> {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &) {
        for (unsigned i = 0; i < Count; ++i)
            add_z(s, field(e, Lo, 5) + i);
    }
};
template <> struct Names<DotIndexedZm> {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &r) {
        add_z(s, DotIndexedZm::number(e, r));
    }
};
template <typename I> struct Names<FpIndexedZm<I>> {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &r) { add_z(s, I::zm(e, r)); }
};

template <unsigned Lo> struct NamesXAt {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &) { add_x(s, field(e, Lo, 5)); }
};
template <unsigned Lo, typename V, Packing Pk> struct Names<R<Lo, V, Pk>> : NamesXAt<Lo> {};
template <unsigned Lo, typename V> struct Names<RResult<Lo, V>> : NamesXAt<Lo> {};
template <unsigned Lo, typename S> struct Names<Rsp<Lo, S>> {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &) {
        add_x_or_sp(s, field(e, Lo, 5));
    }
};

template <unsigned Bit, typename IfSet, typename IfClear> struct NamesByBit {
    static void add(RegisterSet &s, uint32_t e, const RowInfo &r) {
        field(e, Bit, 1) ? Names<IfSet>::add(s, e, r) : Names<IfClear>::add(s, e, r);
    }
};
template <unsigned B, typename S, typename C> struct Names<ByBit<B, S, C>> : NamesByBit<B, S, C> {};
template <unsigned B, typename S, typename C>
struct Names<ResultByBit<B, S, C>> : NamesByBit<B, S, C> {};

// Whether an executor operand is destination and source in one.
template <typename Kind> constexpr bool kReadWrite = false;
template <unsigned Lo, typename S> constexpr bool kReadWrite<Z<Lo, RW, S>> = true;
template <unsigned Lo> constexpr bool kReadWrite<ZBitmask<Lo, RW>> = true;
template <unsigned Lo, typename V> constexpr bool kReadWrite<R<Lo, V, RW>> = true;

// Whether an operand is a merging predicate.
template <typename Kind> constexpr bool kMerging = false;
template <unsigned Lo, unsigned W, Packing Pk>
constexpr bool kMerging<P<Lo, W, Merging, Pk>> = true;

[[maybe_unused]] RegisterSets executor_sets(const void *, uint32_t, const RowInfo &, bool) {
    return {}; // no layout yet: the row reports itself and touches nothing
}
RegisterSets executor_sets(const ExecOperands<> *, uint32_t, const RowInfo &, bool) {
    return {};
}
template <typename First, typename... Rest>
RegisterSets executor_sets(const ExecOperands<First, Rest...> *, uint32_t e, const RowInfo &r,
                           bool first_is_source) {
    RegisterSets sets;
    RegisterSet first;
    Names<First>::add(first, e, r);
    const bool keeps_some = kReadWrite<First> || kMerging<First> || (kMerging<Rest> || ...);
    if (first_is_source || keeps_some) sets.read |= first;
    if (!first_is_source) sets.write |= first;
    (Names<Rest>::add(sets.read, e, r), ...);
    return sets;
}

[[maybe_unused]] RegisterSets kernel_sets(const void *, uint32_t, const RowInfo &) {
    return {};
}
template <typename Result, typename... Ops>
RegisterSets kernel_sets(const KernelOperands<Result, Ops...> *, uint32_t e, const RowInfo &r) {
    RegisterSets sets;
    Names<Result>::add(sets.write, e, r);
    (Names<Ops>::add(sets.read, e, r), ...);
    return sets;
}

template <typename Form>
RegisterSets executor_row_sets(uint32_t e, const RowInfo &r, bool first_is_source) {
    return executor_sets(static_cast<const Form *>(nullptr), e, r, first_is_source);
}
template <typename Form> RegisterSets kernel_row_sets(uint32_t e, const RowInfo &r, bool) {
    return kernel_sets(static_cast<const Form *>(nullptr), e, r);
}
RegisterSets no_sets(uint32_t, bool) {
    return {};
}

} // namespace

// Kernel layouts of the floating-point file: their kernels read and accumulate FPSR.
template <typename FamilyTag> constexpr bool kFloatingPointFamily = false;
template <typename TypeTag> constexpr bool kFloatingPointType = false;

} // namespace ostrel::decode::sets

#define EXEC_FORM(...)
#define KERNEL_FORM(family, state, ...)                                                            \
    template <>                                                                                    \
    constexpr bool ostrel::decode::sets::kFloatingPointFamily<ostrel_kernel_tag_##family> = true;
#define KERNEL_FORM_OF_TYPE(type, family, state, ...)                                              \
    template <>                                                                                    \
    constexpr bool                                                                                 \
        ostrel::decode::sets::kFloatingPointType<ostrel_kernel_type_tag_##type##_##family> = true;
#include "sve/decode/forms/fp_kernels.def"
#undef EXEC_FORM
#undef KERNEL_FORM
#undef KERNEL_FORM_OF_TYPE

// Tags of rows whose layout is not written yet.
#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    struct ostrel_exec_tag_##target##_##family;                                                    \
    struct ostrel_kernel_tag_##family;                                                             \
    struct ostrel_kernel_type_tag_##type##_##family;
#include "sve/decode/sve_rows.def"
#undef SVE_ROW

namespace ostrel {
namespace {

struct RowSetSource {
    RegisterSets (*operands)(uint32_t encoding, bool first_is_source);
    bool floating_point_kernel;
};

#define OSTREL_SETS_EXEC(type, family, target)                                                     \
    {                                                                                              \
        [](uint32_t e, bool first_is_source) {                                                     \
            return decode::sets::executor_row_sets<                                                \
                decode::ExecFormOf<ostrel_exec_tag_##target##_##family>>(                          \
                e, decode::row_type::type, first_is_source);                                       \
        },                                                                                         \
            false                                                                                  \
    }
#define OSTREL_SETS_EXEC_FP(type, family, target) OSTREL_SETS_EXEC(type, family, target)
#define OSTREL_SETS_KERNEL(type, family, target)                                                   \
    {                                                                                              \
        [](uint32_t e, bool first_is_source) {                                                     \
            return decode::sets::kernel_row_sets<OSTREL_ROW_KERNEL_FORM(type, family)>(            \
                e, decode::row_type::type, first_is_source);                                       \
        },                                                                                         \
            decode::sets::kFloatingPointFamily<ostrel_kernel_tag_##family> ||                      \
                decode::sets::kFloatingPointType<ostrel_kernel_type_tag_##type##_##family>         \
    }
#define OSTREL_SETS_NONE(type, family, target)                                                     \
    { &decode::sets::no_sets, false }

const RowSetSource kRowSetSources[kNumRows] = {
#define SVE_ROW(handler, type, family, table, key, road, target)                                   \
    OSTREL_SETS_##road(type, family, target),
#include "sve/decode/sve_rows.def"
#undef SVE_ROW
};

bool starts_with(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}
bool contains(const char *text, const char *part) {
    return std::strstr(text, part) != nullptr;
}

// PTEST, PNEXT and PFIRST set the flags without saying so in their family.
bool sets_flags(const char *family) {
    return contains(family, "Flg") || starts_with(family, "While") ||
           starts_with(family, "CTerm") || std::strcmp(family, "TestPZ") == 0 ||
           std::strcmp(family, "GenNextP") == 0 || std::strcmp(family, "SetFirstActiveP") == 0;
}
// CTERMEQ and CTERMNE keep Z and C and derive V from C.
bool reads_flags(const char *family) {
    return starts_with(family, "CTerm");
}
bool stores(const char *family) {
    return contains(family, "Store") || contains(family, "Spill");
}
// First-fault and non-fault loads leave the elements from the first one they do not load
// onwards as they were.
bool may_stop_early(const char *family) {
    return contains(family, "LoadFF") || contains(family, "LoadNF");
}

} // namespace

RegisterSets register_sets(const DecodeRow &row, uint32_t encoding) {
    const RowSetSource &source = kRowSetSources[&row - kDecodeRows];
    RegisterSets sets = source.operands(encoding, stores(row.family));
    if (may_stop_early(row.family)) sets.read.z |= sets.write.z;
    sets.write.nzcv = sets_flags(row.family);
    sets.read.nzcv = reads_flags(row.family);
    const bool fp = row.road == Road::executor_fpsr_wrap ||
                    (row.road == Road::kernel && source.floating_point_kernel);
    sets.read.fpsr = sets.write.fpsr = fp; // cumulative flags: accumulated, so also read
    return sets;
}

RegisterSets register_sets(uint32_t encoding) {
    const DecodeRow *row = find_decode_row(encoding);
    return row != nullptr ? register_sets(*row, encoding) : RegisterSets{};
}

std::string describe(const RegisterSet &set) {
    std::string out;
    const auto name = [&out](const std::string &n) {
        if (!out.empty()) out += ' ';
        out += n;
    };
    for (unsigned n = 0; n < kNumXRegs; ++n)
        if (set.has_x(n)) name("x" + std::to_string(n));
    if (set.sp) name("sp");
    if (set.nzcv) name("nzcv");
    if (set.fpsr) name("fpsr");
    for (unsigned n = 0; n < kNumZRegs; ++n)
        if (set.has_z(n)) name("z" + std::to_string(n));
    return out;
}

} // namespace ostrel
