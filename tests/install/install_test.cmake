# cmake -P: install OSTREL_BUILD into SCRATCH/prefix, build CONSUMER with find_package(Ostrel) and
# run it (it writes a trace through libostrel_trace.so and reads it back), then compile
# CONSUMER/count_records.cpp with the flags of `pkg-config ostrel` and run it on that trace.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
set(prefix ${SCRATCH}/prefix)
run(${CMAKE_COMMAND} --install ${OSTREL_BUILD} --prefix ${prefix})

foreach(file bin/ostrel-run bin/ostrel-trace bin/ostrel-decode lib/libostrel_trace.so
             lib/libostrel_trace_reader.a include/ostrel/sve/trace/sve_mem_ref.h
             include/ostrel/sve/trace/trace_support.h
             include/ostrel/sve/trace/support/trace_file.h
             lib/cmake/Ostrel/OstrelConfig.cmake lib/pkgconfig/ostrel.pc)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

run(${CMAKE_COMMAND} -S ${CONSUMER} -B ${SCRATCH}/build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX})
run(${CMAKE_COMMAND} --build ${SCRATCH}/build)
set(trace ${SCRATCH}/consumer.trace)
run(${SCRATCH}/build/write_and_read ${trace})
if(NOT out STREQUAL "3 records from consumer\n")
  message(FATAL_ERROR "write_and_read printed: ${out}")
endif()

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --cflags --libs ostrel)
string(STRIP "${out}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -std=c++17 ${CONSUMER}/count_records.cpp ${flags} -o ${SCRATCH}/count_records)
run(${SCRATCH}/count_records ${trace})
if(NOT out STREQUAL "3\n")
  message(FATAL_ERROR "count_records printed: ${out}")
endif()
