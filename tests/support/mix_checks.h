// The instruction-mix checks every front end owes, on region_of_interest. A test target that
// includes this defines OSTREL_EXAMPLES_DIR and OSTREL_SYSROOT (see sve_programs.h).
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/sve_programs.h"

namespace ostrel::testing {

// One front end started through ostrel-run: `options` go before the program.
using MixRunner = std::function<ProgramResult(const std::vector<std::string> &options,
                                              const std::string &program)>;

inline std::string read_whole_file(const std::string &path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// region_of_interest marks a region holding five LD1W (one per vector of its 100 words), one ST1D
// and no unimplemented word; its first, unmarked loop must not count.
inline void expect_region_of_interest_mix(const MixRunner &run, const std::string &tag) {
    const std::string program = sve_program("region_of_interest");
    const std::string base =
        ::testing::TempDir() + "ostrel-" + tag + "-mix-" + std::to_string(getpid());

    // The region is traced too: named, its trace stays out of the working directory.
    const std::string trace = base + ".trace";
    const ProgramResult text_run = run({"--mix", base + ".txt", "--trace", trace}, program);
    ASSERT_EQ(text_run.exit_status, 0) << text_run.err;
    EXPECT_EQ(text_run.err, "");
    const std::string text = read_whole_file(base + ".txt");
    EXPECT_NE(text.find("SVE instructions emulated inside the region of interest\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Unimplemented instructions met: none\n"), std::string::npos) << text;

    const ProgramResult csv_run =
        run({"--mix", base + ".csv", "--mix-format", "csv", "--trace", trace}, program);
    ASSERT_EQ(csv_run.exit_status, 0) << csv_run.err;
    const std::vector<std::string> lines = split_lines(read_whole_file(base + ".csv"));
    unlink((base + ".txt").c_str());
    unlink((base + ".csv").c_str());
    unlink(trace.c_str());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "kind,name,type,class,count,share,first_pc");
    EXPECT_EQ(lines[1].rfind("total,region,,,", 0), 0u) << lines[1];
    auto has_line_starting = [&](const std::string &start) {
        for (const std::string &line : lines)
            if (line.rfind(start, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(has_line_starting("instruction,LD1W,U64,load,5,")) << read_whole_file(base);
    EXPECT_TRUE(has_line_starting("class,,,load,5,"));
    EXPECT_TRUE(has_line_starting("class,,,store,1,"));
    EXPECT_FALSE(has_line_starting("unimplemented,"));
}

// Bad mix options stop the program before it runs, with one line on stderr.
inline void expect_mix_option_errors(const MixRunner &run) {
    const std::string program = sve_program("vector_add");
    const ProgramResult bad_format = run({"--mix", "/dev/null", "--mix-format", "xml"}, program);
    EXPECT_EQ(bad_format.exit_status, 2);
    EXPECT_EQ(split_lines(bad_format.err).at(0),
              "ostrel-run: unknown mix format 'xml' (text or csv)");
    const ProgramResult unwritable = run({"--mix", "/nonexistent/dir/mix.txt"}, program);
    EXPECT_EQ(unwritable.exit_status, 1);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(unwritable.err, "ostrel-run: cannot write the instruction mix to "
                              "'/nonexistent/dir/mix.txt': No such file or directory\n");
}

} // namespace ostrel::testing
