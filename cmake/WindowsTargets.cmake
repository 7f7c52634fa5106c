# 32-bit Windows build: the plug-in, the stand-ins, the staged host folder and
# the Windows tests that CTest runs through Wine.
enable_language(RC)

set(IONSIFT_ART_DIR "" CACHE PATH "Folder with the generated bitmaps and icons (native build's art/)")
if(NOT IONSIFT_ART_DIR)
  message(FATAL_ERROR "IONSIFT_ART_DIR is not set: build the native tree first (make does)")
endif()

set(IONSIFT_DATA_DIR "" CACHE PATH "Folder with the generated molecule databases (native build's data/)")
if(NOT IONSIFT_DATA_DIR)
  message(FATAL_ERROR "IONSIFT_DATA_DIR is not set: build the native tree first (make does)")
endif()

set(IONSIFT_STAGE_DIR ${CMAKE_BINARY_DIR}/stage)
set(IONSIFT_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run)

add_library(Ionsift SHARED
  entry/plugin_entry_win.cpp
  text/letter_case_win.cpp
  shell/settings_store_win.cpp
  ui/form/window_utils_win.cpp
  ui/form/dlg_popup_win.cpp
  entry/Ionsift.def
  resources/ionsift.rc
)
set_target_properties(Ionsift PROPERTIES PREFIX "" OUTPUT_NAME Ionsift
  RUNTIME_OUTPUT_DIRECTORY ${IONSIFT_STAGE_DIR})
target_include_directories(Ionsift PRIVATE ${CMAKE_SOURCE_DIR} ${IONSIFT_ART_DIR} ${IONSIFT_GENERATED_DIR})
target_compile_options(Ionsift PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${IONSIFT_WARNINGS}>)
# stdcall exports keep their plain names through the .def file.
target_link_options(Ionsift PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
target_link_libraries(Ionsift PRIVATE ionsift_core shell32 gdi32 user32 comctl32 comdlg32 winmm)
# The form layer and the windows built on it.
target_sources(Ionsift PRIVATE
  ui/form/form_win.cpp
  ui/form/form_containers_win.cpp
  ui/form/window_class_win.cpp
  ui/form/dialog_keys_win.cpp
  ui/chart_control/chart_window_win.cpp
  ui/chart_control/chart_print_win.cpp
  ui/dialogs/dlg_main_print_win.cpp
  ui/dialogs/dlg_main_win.cpp
  ui/dialogs/dlg_main_settings_win.cpp
  ui/dialogs/dlg_main_database_win.cpp
  ui/dialogs/dlg_main_search_win.cpp
  ui/dialogs/dlg_main_results_win.cpp
  ui/dialogs/dlg_main_isodist_win.cpp
  ui/dialogs/dlg_main_experimental_win.cpp
  ui/dialogs/dlg_main_chart_win.cpp
  ui/dialogs/dlg_main_instance_win.cpp
  ui/dialogs/dlg_main_export_win.cpp
  ui/dialogs/dlg_main_ions_win.cpp
  ui/dialogs/dlg_main_ion_choice_win.cpp
  ui/dialogs/dlg_ions_win.cpp
  ui/dialogs/dlg_main_spectrum_win.cpp
  ui/dialogs/dlg_spectra_win.cpp
  ui/dialogs/dlg_main_profile_win.cpp
  export/replacing_save_win.cpp
  search/database_folder_win.cpp
  ui/dialogs/dlg_about_win.cpp
)
# The spreadsheet export through OLE automation.
target_sources(Ionsift PRIVATE
  export/automation_win.cpp
  export/excel8_driver_win.cpp
  ui/dialogs/dlg_main_excel_win.cpp
)
target_link_libraries(Ionsift PRIVATE ole32 oleaut32 uuid)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

foreach(part host/locale host/chem host/app host/sheet annotate tests/win bench/win)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${part}/CMakeLists.txt)
    add_subdirectory(${part})
  endif()
endforeach()

# The host folder as the plug-in expects it: Data\Databases, Docs\Html\ionsift.
file(MAKE_DIRECTORY ${IONSIFT_STAGE_DIR}/Data/Databases)
# The sample database that the native build made with dbtool.
set(staged_structures_db ${IONSIFT_STAGE_DIR}/Data/Databases/structures.db)
add_custom_command(OUTPUT ${staged_structures_db}
  COMMAND ${CMAKE_COMMAND} -E copy ${IONSIFT_DATA_DIR}/structures.db ${staged_structures_db}
  DEPENDS ${IONSIFT_DATA_DIR}/structures.db
  COMMENT "Staging structures.db" VERBATIM)
add_custom_target(stage_databases ALL DEPENDS ${staged_structures_db})
# The staged page names the version it describes in its footer.
configure_file(${CMAKE_SOURCE_DIR}/docs/help/index.htm
  ${IONSIFT_STAGE_DIR}/Docs/Html/ionsift/index.htm @ONLY)
# The help page's picture of a ranked ion search.
configure_file(${CMAKE_SOURCE_DIR}/docs/screenshots/dlg-main-ions.png
  ${IONSIFT_STAGE_DIR}/Docs/Html/ionsift/dlg-main-ions.png COPYONLY)
# And of a search for several ions at once.
configure_file(${CMAKE_SOURCE_DIR}/docs/screenshots/dlg-main-several-ions.png
  ${IONSIFT_STAGE_DIR}/Docs/Html/ionsift/dlg-main-several-ions.png COPYONLY)
# And of the list from which one spectrum of a file is picked.
configure_file(${CMAKE_SOURCE_DIR}/docs/screenshots/dlg-spectra.png
  ${IONSIFT_STAGE_DIR}/Docs/Html/ionsift/dlg-spectra.png COPYONLY)

# SQLite for the stand-in host, from the amalgamation fetched at configure
# time (never committed); built only when a target links it.
set(IONSIFT_SQLITE_DIR ${CMAKE_SOURCE_DIR}/build/deps/sqlite)
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-sqlite ${IONSIFT_SQLITE_DIR}
  RESULT_VARIABLE sqlite_fetch)
if(NOT sqlite_fetch EQUAL 0)
  message(FATAL_ERROR "could not fetch the SQLite amalgamation")
endif()
add_library(sqlite3 STATIC EXCLUDE_FROM_ALL ${IONSIFT_SQLITE_DIR}/sqlite3.c)
target_include_directories(sqlite3 PUBLIC ${IONSIFT_SQLITE_DIR})
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION)
