# The DynamoRIO client lives in a directory scope of its own: configuring a DynamoRIO client
# empties the directory's CMAKE_<LANG>_FLAGS[_<CONFIG>], which would strip -O2 from the core
# built beside it.
add_subdirectory(${OSTREL_FRAGMENT_DIR}/dynamorio ${CMAKE_BINARY_DIR}/sve/client/dynamorio)
