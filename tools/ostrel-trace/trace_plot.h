// ostrel-trace plot: the picture is drawn by trace_plot.py (python3-matplotlib), fed the records.
#pragma once

#include <string>

#include "sve/trace/support/trace_file.h"

namespace ostrel::trace {

// Whether `path` names a picture format the plot writes (.png, .svg).
bool plot_format_known(const std::string &path);

// Runs the drawing script on `trace`, writing `out`. Returns the exit status for ostrel-trace;
// failures have been reported on stderr in one line.
int plot_trace(const TraceFile &trace, const std::string &out);

} // namespace ostrel::trace
