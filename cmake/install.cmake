# `cmake --install`: the programs, the emulator's libraries, and the trace reader for tools of
# one's own, with a CMake package (find_package(Ostrel): Ostrel::trace_reader, Ostrel::trace) and
# a pkg-config file (ostrel).
#
# A cross-built tree puts its libraries under lib/aarch64-linux-gnu, so that `make install` can
# lay the AArch64 libraries (component `runtime`) beside the host's programs, where the host's
# ostrel-run looks for them.
include(CMakePackageConfigHelpers)

set(OSTREL_VERSION 0.1.0)
if(CMAKE_CROSSCOMPILING)
  set(OSTREL_INSTALL_LIBDIR lib/aarch64-linux-gnu)
else()
  set(OSTREL_INSTALL_LIBDIR lib)
endif()
set(OSTREL_INSTALL_INCLUDEDIR include/ostrel)
set(OSTREL_INSTALL_CMAKEDIR ${OSTREL_INSTALL_LIBDIR}/cmake/Ostrel)

install(TARGETS ostrel-run ostrel-trace ostrel-decode RUNTIME DESTINATION bin)

set_target_properties(ostrel_trace_reader PROPERTIES EXPORT_NAME trace_reader)
set_target_properties(ostrel_trace PROPERTIES EXPORT_NAME trace)
install(TARGETS ostrel_trace ostrel_trace_reader EXPORT OstrelTargets
  LIBRARY DESTINATION ${OSTREL_INSTALL_LIBDIR} COMPONENT runtime
  ARCHIVE DESTINATION ${OSTREL_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${OSTREL_INSTALL_INCLUDEDIR})
# The trap library finds libostrel_trace.so beside it ($ORIGIN); the client, which DynamoRIO links
# without a run path, is copied as built: DynamoRIO's loader looks beside the client itself.
if(TARGET ostrel_trap)
  install(TARGETS ostrel_trap LIBRARY DESTINATION ${OSTREL_INSTALL_LIBDIR} COMPONENT runtime)
endif()
if(TARGET ostrel)
  install(PROGRAMS $<TARGET_FILE:ostrel> DESTINATION ${OSTREL_INSTALL_LIBDIR} COMPONENT runtime)
endif()

# The record, the four entry points and the file format with its reader.
foreach(header sve/trace/sve_mem_ref.h sve/trace/trace_support.h
               sve/trace/support/trace_file.h)
  get_filename_component(header_dir ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${OSTREL_INSTALL_INCLUDEDIR}/${header_dir})
endforeach()

install(EXPORT OstrelTargets NAMESPACE Ostrel:: DESTINATION ${OSTREL_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/OstrelConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/OstrelConfig.cmake INSTALL_DESTINATION ${OSTREL_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/OstrelConfigVersion.cmake
  VERSION ${OSTREL_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/OstrelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/OstrelConfigVersion.cmake
        DESTINATION ${OSTREL_INSTALL_CMAKEDIR})

# Relocatable: the prefix is found from the file's own place, whatever --prefix said.
file(RELATIVE_PATH OSTREL_PC_TO_PREFIX /p/${OSTREL_INSTALL_LIBDIR}/pkgconfig /p)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ostrel.pc.in ${CMAKE_CURRENT_BINARY_DIR}/ostrel.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ostrel.pc DESTINATION ${OSTREL_INSTALL_LIBDIR}/pkgconfig)
