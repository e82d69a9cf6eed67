// Operand layouts ("forms") and how a decode function runs one.
//
//   EXEC_FORM(executor, family, state, operands...)
//     the operands, in order, that rows of `family` pass to `executor`; declares the executor
//   KERNEL_FORM(family, state, result, operands...)
//     the kernel arguments (before the CpuContext) of rows of `family` and where the result goes;
//     each row's kernel is Vec<type><family>
//
// state is BUILT when the executor or kernel exists, PENDING while it does not: a pending form
// still documents the layout (and is checked against the disassembler), but its rows report
// themselves as unimplemented. A row whose form is not written yet behaves the same.
#pragma once

#include <type_traits>

#include "sve/decode/kernel_results.h"
#include "sve/decode/operand_fields.h"
#include "sve/decode/operands/all_operands.inc"

namespace ostrel::decode {

enum class FormState { missing, pending, built };

struct NoKernel {};

template <typename Tag> struct ExecFormOf {
    static constexpr FormState state = FormState::missing;
    static std::string describe(uint32_t, const RowInfo &) { return "?"; }
};
template <typename Tag> struct KernelFormOf {
    static constexpr FormState state = FormState::missing;
    using Sig = void(NoKernel);
    static std::string describe(uint32_t, const RowInfo &) { return "?"; }
};

// A kernel row's form: its family's, unless a form is written for its element type and family
// (rows of one family whose kernels land at different times, e.g. integer and floating point).
template <typename TypeFamilyTag, typename FamilyTag>
struct KernelFormOfRow : KernelFormOf<FamilyTag> {};

template <typename... Ops> struct ExecSig {
    using type = aarch64_decode_rc(cpu_state *, typename Ops::type...);
};

template <typename... Ops> struct ExecOperands {
    template <typename Fn>
    static aarch64_decode_rc call(Fn *fn, cpu_state *s, [[maybe_unused]] uint32_t e,
                                  [[maybe_unused]] const RowInfo &r) {
        return fn(s, Ops::operand(e, r)...);
    }
    static std::string describe([[maybe_unused]] uint32_t e, [[maybe_unused]] const RowInfo &r) {
        std::string out;
        (Ops::describe(out, e, r), ...);
        return out;
    }
};

CpuContext make_kernel_context(const cpu_state &s);
void copy_back_kernel_context(cpu_state &s, const CpuContext &ctx);

template <typename Result, typename... Ops> struct KernelOperands {
    using Sig = typename Result::value_type(typename Ops::value_type..., CpuContext *);

    // KernelRef::get<Sig>() names the row's kernel; it is only instantiated for built forms.
    template <typename KernelRef>
    static aarch64_decode_rc run(cpu_state *s, [[maybe_unused]] uint32_t e,
                                 [[maybe_unused]] const RowInfo &r) {
        CpuContext ctx = make_kernel_context(*s);
        Sig *kernel = KernelRef::template get<Sig>();
        if constexpr (std::is_void_v<typename Result::value_type>) {
            kernel(Ops::value(*s, e, r)..., &ctx);
        } else {
            Result::write(*s, e, r, kernel(Ops::value(*s, e, r)..., &ctx));
        }
        copy_back_kernel_context(*s, ctx);
        return DECODE_OK;
    }
    static std::string describe(uint32_t e, const RowInfo &r) {
        std::string out;
        Result::describe(out, e, r);
        (Ops::describe(out, e, r), ...);
        return out;
    }
};

} // namespace ostrel::decode

// The operand kinds are names of ostrel::decode; the executor's signature is spelled there and the
// executor declared at global scope with it.
#define OSTREL_EXEC_FORM_BUILT(exec, family, ...)                                                  \
    namespace ostrel::decode::signature {                                                          \
    using exec##_##family = ExecSig<__VA_ARGS__>::type;                                            \
    }                                                                                              \
    ostrel::decode::signature::exec##_##family exec;                                               \
    struct ostrel_exec_tag_##exec##_##family;                                                      \
    template <>                                                                                    \
    struct ostrel::decode::ExecFormOf<ostrel_exec_tag_##exec##_##family>                           \
        : ostrel::decode::ExecOperands<__VA_ARGS__> {                                              \
        static constexpr FormState state = FormState::built;                                       \
        static aarch64_decode_rc run(cpu_state *s, uint32_t e, const RowInfo &r) {                 \
            return call(&::exec, s, e, r);                                                         \
        }                                                                                          \
    };
#define OSTREL_EXEC_FORM_PENDING(exec, family, ...)                                                \
    struct ostrel_exec_tag_##exec##_##family;                                                      \
    template <>                                                                                    \
    struct ostrel::decode::ExecFormOf<ostrel_exec_tag_##exec##_##family>                           \
        : ostrel::decode::ExecOperands<__VA_ARGS__> {                                              \
        static constexpr FormState state = FormState::pending;                                     \
    };
#define EXEC_FORM(exec, family, state, ...) OSTREL_EXEC_FORM_##state(exec, family, __VA_ARGS__)

#define OSTREL_KERNEL_FORM_BUILT(family, ...)                                                      \
    struct ostrel_kernel_tag_##family;                                                             \
    template <>                                                                                    \
    struct ostrel::decode::KernelFormOf<ostrel_kernel_tag_##family>                                \
        : ostrel::decode::KernelOperands<__VA_ARGS__> {                                            \
        static constexpr FormState state = FormState::built;                                       \
    };
#define OSTREL_KERNEL_FORM_PENDING(family, ...)                                                    \
    struct ostrel_kernel_tag_##family;                                                             \
    template <>                                                                                    \
    struct ostrel::decode::KernelFormOf<ostrel_kernel_tag_##family>                                \
        : ostrel::decode::KernelOperands<__VA_ARGS__> {                                            \
        static constexpr FormState state = FormState::pending;                                     \
    };
#define KERNEL_FORM(family, state, ...) OSTREL_KERNEL_FORM_##state(family, __VA_ARGS__)

#define OSTREL_KERNEL_FORM_OF_TYPE(type, family, form_state, ...)                                  \
    struct ostrel_kernel_type_tag_##type##_##family;                                               \
    template <typename FamilyTag>                                                                  \
    struct ostrel::decode::KernelFormOfRow<ostrel_kernel_type_tag_##type##_##family, FamilyTag>    \
        : ostrel::decode::KernelOperands<__VA_ARGS__> {                                            \
        static constexpr FormState state = FormState::form_state;                                  \
    };
#define OSTREL_KERNEL_FORM_OF_TYPE_BUILT(type, family, ...)                                        \
    OSTREL_KERNEL_FORM_OF_TYPE(type, family, built, __VA_ARGS__)
#define OSTREL_KERNEL_FORM_OF_TYPE_PENDING(type, family, ...)                                      \
    OSTREL_KERNEL_FORM_OF_TYPE(type, family, pending, __VA_ARGS__)
// KERNEL_FORM_OF_TYPE(type, family, state, result, operands...): the form of the one row
// Vec<type><family>, in place of the family's.
#define KERNEL_FORM_OF_TYPE(type, family, state, ...)                                              \
    OSTREL_KERNEL_FORM_OF_TYPE_##state(type, family, __VA_ARGS__)

// The form a kernel row of `type` and `family` uses (both tags are declared where rows expand).
#define OSTREL_ROW_KERNEL_FORM(type, family)                                                       \
    ostrel::decode::KernelFormOfRow<ostrel_kernel_type_tag_##type##_##family,                      \
                                    ostrel_kernel_tag_##family>

// Every form, from the family files.
#include "sve/decode/forms/all_forms.inc"

#undef EXEC_FORM
#undef KERNEL_FORM
#undef KERNEL_FORM_OF_TYPE
