// The three roads of a decode function.
#pragma once

#include "sve/decode/forms.h"
#include "sve/decode/host_fpsr.h"
#include "sve/decode/unbuilt.h"

namespace ostrel::decode {

template <typename Tag, bool FpsrWrap>
aarch64_decode_rc run_executor_row(cpu_state *s, uint32_t e, const RowInfo &r, const char *name) {
    using Form = ExecFormOf<Tag>;
    if constexpr (Form::state == FormState::built) {
        s->encoding = e;
        if constexpr (FpsrWrap) {
            // The executor's host floating-point operations accumulate onto the emulated FPSR.
            write_host_fpsr(s->fpsr);
            const aarch64_decode_rc rc = Form::run(s, e, r);
            s->fpsr = read_host_fpsr();
            return rc;
        } else {
            return Form::run(s, e, r);
        }
    } else {
        return report_unbuilt(s, e, name);
    }
}

template <typename Form, typename KernelRef>
aarch64_decode_rc run_kernel_row(cpu_state *s, uint32_t e, const RowInfo &r, const char *name) {
    if constexpr (Form::state == FormState::built)
        return Form::template run<KernelRef>(s, e, r);
    else
        return report_unbuilt(s, e, name);
}

} // namespace ostrel::decode
