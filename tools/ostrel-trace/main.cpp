// ostrel-trace: reads a trace file written by libostrel_trace.
//
//   ostrel-trace summary FILE      totals, threads, busiest PCs and region markers
//   ostrel-trace dump FILE [--csv] one line per record
//   ostrel-trace plot FILE -o OUT  a picture (.png or .svg) of the accesses
#include <cstdio>
#include <cstring>
#include <string>

#include "sve/trace/support/trace_file.h"
#include "trace_dump.h"
#include "trace_plot.h"
#include "trace_summary.h"

namespace {

constexpr int kExitBadFile = 1;
constexpr int kExitUsage = 2;

constexpr const char *kUsage =
    "usage: ostrel-trace summary FILE | ostrel-trace dump FILE [--csv] | "
    "ostrel-trace plot FILE -o OUT.png|OUT.svg";

int usage_error(const char *problem) {
    if (problem) std::fprintf(stderr, "ostrel-trace: %s\n", problem);
    std::fprintf(stderr, "%s\n", kUsage);
    return kExitUsage;
}

} // namespace

int main(int argc, char **argv) {
    using namespace ostrel::trace;
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    if (argc < 3) return usage_error(nullptr);

    const std::string command = argv[1];
    const std::string path = argv[2];
    DumpFormat format = DumpFormat::kText;
    std::string picture;
    if (command == "plot") {
        if (argc != 5 || std::strcmp(argv[3], "-o") != 0)
            return usage_error("plot takes FILE -o OUT.png|OUT.svg");
        picture = argv[4];
        if (!plot_format_known(picture))
            return usage_error(
                ("unknown picture format of '" + picture + "' (use .png or .svg)").c_str());
    } else if (command == "summary") {
        if (argc != 3) return usage_error("summary takes exactly one FILE");
    } else if (command == "dump") {
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--csv") != 0)
                return usage_error(("unknown option '" + std::string(argv[i]) + "'").c_str());
            format = DumpFormat::kCsv;
        }
    } else {
        return usage_error(("unknown command '" + command + "'").c_str());
    }

    const TraceReadResult result = read_trace_file(path);
    if (!result.ok()) {
        std::fprintf(stderr, "ostrel-trace: %s: %s\n", path.c_str(), result.error.c_str());
        return kExitBadFile;
    }
    if (command == "plot") return plot_trace(result.trace, picture);
    if (command == "summary")
        print_summary(result.trace, summarize(result.trace.records), stdout);
    else
        dump_records(result.trace.records, format, stdout);
    if (std::fflush(stdout) != 0) {
        std::perror("ostrel-trace: writing output");
        return kExitBadFile;
    }
    return 0;
}
