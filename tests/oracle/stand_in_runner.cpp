// A stand-in runner for testing ostrel-oracle without qemu: the engine runner, changed in one
// way chosen by the name it is started under (tests make symbolic links to it):
//   engine           unchanged
//   corrupt-z        flips bit 0 of z0's first byte in every completed result
//   undefined        reports every case undefined, as the reference does for non-instructions
//   crash-on-<row>   aborts on the first case of that row
//   default-length   runs every case at the default vector length, whatever the case says
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "sve/decode/decode_rows.h"
#include "tools/oracle/engine.h"

int main(int, char **argv) {
    using namespace ostrel::oracle;
    std::string mode = argv[0];
    mode = mode.substr(mode.rfind('/') + 1);
    std::string error;
    if (!prepare_engine(error)) return 1;
    Case c;
    while (read_case(STDIN_FILENO, c) == ReadStatus::ok) {
        if (mode.rfind("crash-on-", 0) == 0) {
            const ostrel::DecodeRow *row = ostrel::find_decode_row(c.header.encoding);
            if (row && mode.substr(9) == row->name) std::abort();
        }
        if (mode == "default-length") c.header.vector_bits = ostrel::kDefaultVectorBits;
        Result r = run_engine_case(c);
        if (mode == "corrupt-z" && r.header.outcome == Outcome::completed)
            r.header.state.z[0][0] ^= 1;
        if (mode == "undefined") r.header.outcome = Outcome::undefined;
        if (!write_result(STDOUT_FILENO, r)) return 1;
    }
    return 0;
}
