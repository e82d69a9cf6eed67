// Included ahead of every source of the emulator's libraries (ostrel_require_optimised in the
// top-level CMakeLists.txt). An optimised configuration whose objects end up compiled without
// optimisation -- for example because a framework's build helper emptied the directory's
// per-configuration flags -- stops the build here instead of shipping a many times slower emulator.
#pragma once

#if defined(OSTREL_EXPECT_OPTIMISED) && !defined(__OPTIMIZE__)
#error "compiled without optimisation in an optimised build: the project's -O flags were lost"
#endif
