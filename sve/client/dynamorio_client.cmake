# The DynamoRIO client, libostrel.so: built in the AArch64 tree when DynamoRIO is found
# (-DDynamoRIO_DIR=<DynamoRIO>/cmake); otherwise one line says it was skipped.
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  return()
endif()
find_package(DynamoRIO QUIET)
if(NOT DynamoRIO_FOUND)
  message(STATUS "DynamoRIO not found (set DynamoRIO_DIR to its cmake directory): "
                 "skipping the DynamoRIO client libostrel.so")
  return()
endif()
# A DynamoRIO built for another processor configures fine and fails only at the link: look at
# the machine field of its library's ELF header (EM_AARCH64 = 0xb7) first.
get_filename_component(OSTREL_DYNAMORIO_HOME "${DynamoRIO_DIR}/.." ABSOLUTE)
set(OSTREL_DYNAMORIO_LIBRARY "")
foreach(flavour release debug)
  if(NOT OSTREL_DYNAMORIO_LIBRARY AND
     EXISTS "${OSTREL_DYNAMORIO_HOME}/lib64/${flavour}/libdynamorio.so")
    set(OSTREL_DYNAMORIO_LIBRARY "${OSTREL_DYNAMORIO_HOME}/lib64/${flavour}/libdynamorio.so")
  endif()
endforeach()
if(OSTREL_DYNAMORIO_LIBRARY)
  file(READ "${OSTREL_DYNAMORIO_LIBRARY}" OSTREL_DYNAMORIO_MACHINE OFFSET 18 LIMIT 2 HEX)
endif()
if(NOT OSTREL_DYNAMORIO_MACHINE STREQUAL "b700")
  message(STATUS "DynamoRIO at ${OSTREL_DYNAMORIO_HOME} has no AArch64 lib64/*/libdynamorio.so: "
                 "skipping the DynamoRIO client libostrel.so")
  return()
endif()

add_library(ostrel SHARED
  ${OSTREL_FRAGMENT_DIR}/sve_client.cpp
  ${OSTREL_FRAGMENT_DIR}/instrument.cpp
  ${OSTREL_FRAGMENT_DIR}/emulation_call.cpp
  ${OSTREL_FRAGMENT_DIR}/dr_fault_recovery.cpp)
target_include_directories(ostrel PRIVATE ${PROJECT_SOURCE_DIR})
configure_DynamoRIO_client(ostrel)
use_DynamoRIO_extension(ostrel drmgr)
use_DynamoRIO_extension(ostrel drreg)
use_DynamoRIO_extension(ostrel droption)
target_link_libraries(ostrel ostrel_core ostrel_trace)
# The trace library sits beside it.
set_target_properties(ostrel PROPERTIES BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")

message(STATUS "DynamoRIO ${DynamoRIO_VERSION} found at ${OSTREL_DYNAMORIO_HOME}: "
               "building the client libostrel.so")
