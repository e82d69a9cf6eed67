#include "sve/trace/roi_marker.h"

#include "sve/trace/memtrace.h"
#include "sve/trace/trace_support.h"

namespace ostrel {

bool handle_roi_marker(uint64_t shifted_immediate) {
    uint32_t marker_tid;
    if (shifted_immediate == kRoiStartImmediate) {
        set_thread_tracing(true);
        marker_tid = kTidStartMarker;
    } else if (shifted_immediate == kRoiStopImmediate) {
        set_thread_tracing(false);
        marker_tid = kTidStopMarker;
    } else {
        return false;
    }
    // Only count and tid change, so the rest of trace_roi stays zero as readers expect.
    trace_roi.count = incr_count();
    trace_roi.tid = marker_tid;
    trace_mem(trace_roi);
    return true;
}

} // namespace ostrel
