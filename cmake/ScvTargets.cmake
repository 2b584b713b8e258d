# Helpers shared by the folders' CMakeLists.

set(SCV_SYSTEM_LIBS
  user32 gdi32 advapi32 shell32 shlwapi comctl32 comdlg32 ole32 oleaut32 uuid
  version winmm rpcrt4 psapi wininet urlmon wtsapi32 uxtheme imm32)

# One precompiled header serves every library of the build (the first library
# compiles it, the others reuse it), so windows.h and the standard headers are
# parsed once instead of once per source file.
add_library(scv_pch_host STATIC ${CMAKE_SOURCE_DIR}/cmake/pch/PchHost.cpp)
target_precompile_headers(scv_pch_host PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/ScvPch.h)

# The .cpp files of a folder and its family folders, in the order of their file names:
# the unity batches (below) take files in this order, as they did when the folder was flat.
function(scv_glob_sources var)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(keyed "")
  foreach(src ${found})
    get_filename_component(base ${src} NAME)
    list(APPEND keyed "${base}|${src}")
  endforeach()
  list(SORT keyed)
  list(TRANSFORM keyed REPLACE "^[^|]*\\|" "")
  set(${var} ${keyed} PARENT_SCOPE)
endfunction()

# One static library per source folder: scv_add_library(name SOURCES ... [LIBS ...])
# With SCV_UNITY_BUILD a library's files are compiled in batches of eight, which
# halves the build's processor time; so names private to a source file (its
# anonymous namespace) must differ from those of the other files of its folder.
function(scv_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT A_SOURCES)
    # a folder whose code has not landed yet
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${A_LIBS} ${SCV_SYSTEM_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  target_precompile_headers(${name} REUSE_FROM scv_pch_host)
  if(SCV_UNITY_BUILD)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS} ${SCV_SYSTEM_LIBS})
endfunction()

# windres reports no dependencies: a resource script is compiled again whenever any
# resource script, header or picture of the tree changes (scripts include each other;
# each window family keeps its script beside its code, shared pictures are in resources/).
set(SCV_RC_INPUTS "")
foreach(dir resources app menus editor engine online welcome waiter)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${dir}/*.rc ${CMAKE_SOURCE_DIR}/${dir}/*.rc.inc ${CMAKE_SOURCE_DIR}/${dir}/*Res.h
    ${CMAKE_SOURCE_DIR}/${dir}/*.ico ${CMAKE_SOURCE_DIR}/${dir}/*.bmp ${CMAKE_SOURCE_DIR}/${dir}/*.html
    ${CMAKE_SOURCE_DIR}/${dir}/*.css ${CMAKE_SOURCE_DIR}/${dir}/*.manifest)
  list(APPEND SCV_RC_INPUTS ${found})
endforeach()
list(APPEND SCV_RC_INPUTS ${CMAKE_SOURCE_DIR}/resources/Version.h)
function(scv_track_rc_inputs)
  foreach(src ${ARGN})
    if(src MATCHES "\\.rc$")
      set_property(SOURCE ${src} APPEND PROPERTY OBJECT_DEPENDS ${SCV_RC_INPUTS})
    endif()
  endforeach()
endfunction()

# A GUI program: scv_add_program(name SOURCES ... RC file.rc [LIBS ...]).
# Programs are placed together in the build's bin folder, as they are installed.
function(scv_add_program name)
  cmake_parse_arguments(A "" "RC" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${A_SOURCES} ${A_RC})
  scv_track_rc_inputs(${A_SOURCES} ${A_RC})
  target_link_options(${name} PRIVATE -municode)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(A_RC)
    # resource scripts name their headers, scripts and pictures from the source root
    set_property(SOURCE ${A_RC} APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/app.manifest)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  endif()
endfunction()
