// Fatal checks of the client frame. They print the framework's assertion line, naming this
// client's source with a fixed line number per check so that a report identifies the check
// whatever the file's layout, and abort the process.
#pragma once

namespace ostrel::client {

// Prints "ASSERT FAILURE: sve/client/sve_client:<line>: <condition> ()" on the framework's
// standard error and calls dr_abort().
[[noreturn]] void assertion_failure(int line, const char *condition);

// Line numbers of the checks.
enum AssertLine : int {
    kLineDrmgrInit = 144,
    kLineBlockEventRegistration = 164,
    kLineTlsFieldRegistration = 167,
    kLineTraceInit = 171,
    kLineThreadRecordStore = 190,
    kLineThreadRecordMissing = 200,
    kLineShutdown = 219,
    kLineStolenRegister = 278,
    kLineEmulationGate = 330,
    kLineEmulationStack = 331,
    kLineEmulationSite = 332,
    kLineStateSlot = 333,
};

} // namespace ostrel::client

// Checks `condition`; on failure reports `condition_text` (the text the report shows) and line.
#define OSTREL_CLIENT_CHECK(condition, line, condition_text)                                       \
    do {                                                                                           \
        if (!(condition)) ::ostrel::client::assertion_failure(line, condition_text);               \
    } while (0)
