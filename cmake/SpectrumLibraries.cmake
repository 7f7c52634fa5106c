# The libraries the spectrum readers use: zlib (compressed binary arrays) and
# pugixml (mzML, mzXML). Natively both are Debian's packages; the Windows
# build links Debian's MinGW zlib (libz-mingw-w64-dev) and compiles pugixml
# from Debian's source package, fetched at configure time into build/deps
# (scripts/fetch-pugixml) and never committed.
find_package(ZLIB REQUIRED)
if(WIN32)
  set(IONSIFT_PUGIXML_DIR ${CMAKE_SOURCE_DIR}/build/deps/pugixml)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-pugixml ${IONSIFT_PUGIXML_DIR}
    RESULT_VARIABLE pugixml_fetch)
  if(NOT pugixml_fetch EQUAL 0)
    message(FATAL_ERROR "could not fetch pugixml's sources")
  endif()
  add_library(ionsift_pugixml STATIC ${IONSIFT_PUGIXML_DIR}/pugixml.cpp)
  target_include_directories(ionsift_pugixml SYSTEM PUBLIC ${IONSIFT_PUGIXML_DIR})
else()
  find_package(pugixml REQUIRED)
  add_library(ionsift_pugixml INTERFACE)
  target_link_libraries(ionsift_pugixml INTERFACE pugixml::static)
endif()
