# The program is built in layers, one library each; includes run downwards only:
#   app -> every folder below
#   apply -> every subsystem but about and report
#   safety -> keep -> options, modes, adapters; options -> adapters; modes -> monitor
#   profile -> modes, options; report -> modes, monitor; nonstandard -> modes
#   about, adapters, keep, modes, nonstandard, options, report, safety -> lang
#   lang and every subsystem -> services; all but monitor, profile and report -> ui
#   services, ui -> platform
# (The USES line of each folder's CMakeLists.txt is the whole list.)
# A layer names the layers it uses; it links them, and the build refuses an include of any other
# folder (cmake/CheckIncludes.cmake), so an upward include fails before anything compiles.

# Our own code compiles without a single warning on both compilers.
function(cadenzo_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Checks the includes of the current folder against its own folder and `uses` before `target`
# is built.
function(cadenzo_check_includes target)
  file(RELATIVE_PATH here ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*$" "" own "${here}")
  string(REPLACE "/" "_" tag "${here}")
  set(allowed ${own} ${ARGN})
  list(JOIN allowed "," allowed)
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(stamp ${CMAKE_BINARY_DIR}/layers/${tag}.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${CMAKE_CURRENT_SOURCE_DIR} -DALLOWED=${allowed}
            -DSTAMP=${stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Checking that ${here} includes only ${allowed}")
  add_custom_target(${tag}_layer DEPENDS ${stamp})
  add_dependencies(${target} ${tag}_layer)
endfunction()

# cadenzo_layer(<folder> SOURCES <files...> USES <folders...>): the library cadenzo_<folder>.
function(cadenzo_layer folder)
  cmake_parse_arguments(LAYER "" "" "SOURCES;USES" ${ARGN})
  set(target cadenzo_${folder})
  add_library(${target} STATIC ${LAYER_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(used IN LISTS LAYER_USES)
    target_link_libraries(${target} PUBLIC cadenzo_${used})
  endforeach()
  cadenzo_strict(${target})
  cadenzo_check_includes(${target} ${LAYER_USES})
endfunction()
