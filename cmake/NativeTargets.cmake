# Linux build: unit tests, resource art generator, fuzzers and benchmarks.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(host/chem)
add_subdirectory(host/app)  # only its portable library off Windows
add_subdirectory(host/dbtool)
add_subdirectory(host/sheet)  # only its portable model off Windows
add_subdirectory(annotate)
add_subdirectory(tests/native)
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/resources/art/CMakeLists.txt AND NOT IONSIFT_SANITIZE)
  add_subdirectory(resources/art)
endif()
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/host/locale/CMakeLists.txt)
  add_subdirectory(host/locale)
endif()
if(IONSIFT_FUZZ)
  add_subdirectory(fuzz)
endif()
if(NOT IONSIFT_SANITIZE AND NOT IONSIFT_FUZZ)
  add_subdirectory(bench)
endif()
