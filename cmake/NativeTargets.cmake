# Linux build: unit tests, resource art generator, fuzzers and benchmarks.
option(IONSIFT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(IONSIFT_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(IONSIFT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

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
