cmake_minimum_required(VERSION 3.25)
# Fails the build when a source under src/ includes a header of a layer it may not use.
# Run as: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
#
# The table: each layer (a folder of src/), then what it may include besides its own
# headers. "qt" stands for Qt's headers; the core (every layer without it) is free of
# Qt. A folder of src/ missing from the table fails the check, so a new layer has to be
# placed here before it builds.
set(layer_table
  "util       :"
  "platform   :"
  "stats      : util"
  "astro      : util platform"
  "calendar   : util platform astro"
  "transits   : util platform astro calendar"
  "cycles     : util platform astro"
  "simulation : util platform astro calendar"
  "prices     : util platform astro calendar"
  "export     : util stats platform astro calendar transits cycles simulation prices backtest sweep"
  "backtest   : util stats platform astro calendar transits cycles prices"
  "sweep      : util stats platform astro calendar transits cycles prices backtest"
  "points     : util platform astro cycles"
  "requests   : util stats platform astro calendar transits cycles simulation prices export backtest sweep points"
  "report     : util stats platform astro calendar transits cycles simulation prices export backtest sweep requests points"
  "chart      : util stats platform astro calendar transits cycles simulation prices export backtest qt"
  "ui         : util stats platform astro calendar transits cycles simulation prices export backtest sweep requests points chart qt"
  "app        : util stats platform astro calendar transits cycles simulation prices export backtest sweep requests points chart report ui qt"
)

set(layers "")
foreach(row IN LISTS layer_table)
  string(REGEX MATCH "^([a-z_]+) *:(.*)$" parsed "${row}")
  set(layer "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" uses)
  string(REPLACE " " ";" uses "${uses}")
  list(REMOVE_ITEM uses "")
  set(allowed_${layer} ${uses})
  list(APPEND layers ${layer})
endforeach()

# The line of `file` that holds `text`, for a message that can be followed to it.
function(line_of file text result)
  file(STRINGS ${file} all_lines)
  set(number 0)
  foreach(line IN LISTS all_lines)
    math(EXPR number "${number} + 1")
    if(line STREQUAL text)
      set(${result} ${number} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} "?" PARENT_SCOPE)
endfunction()

function(describe_allowed layer result)
  set(list_text "${allowed_${layer}}")
  list(TRANSFORM list_text REPLACE "^qt$" "Qt")
  list(JOIN list_text ", " list_text)
  if(list_text STREQUAL "")
    set(list_text "no other layer")
  endif()
  if(NOT qt IN_LIST allowed_${layer})
    string(APPEND list_text "; no Qt")
  endif()
  set(${result} "${list_text}" PARENT_SCOPE)
endfunction()

set(failures "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY ${SOURCE_DIR}/${folder} AND NOT folder IN_LIST layers)
    string(APPEND failures "  src/${folder}/ is no layer of the table in cmake/CheckLayers.cmake: add it there "
                           "with the layers it may use\n")
  endif()
endforeach()

set(include_pattern "^[ \t]*#[ \t]*include[ \t]*[<\"]")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.hpp ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH shown ${SOURCE_DIR}/.. ${file})
    file(STRINGS ${file} includes REGEX "${include_pattern}")
    foreach(line IN LISTS includes)
      set(used "")
      if(line MATCHES "${include_pattern}([a-z_]+)/")
        # A folder of src/; other folders (<sys/stat.h>, <gtest/gtest.h>) are not ours.
        if(CMAKE_MATCH_1 IN_LIST layers)
          set(used ${CMAKE_MATCH_1})
        endif()
      elseif(line MATCHES "${include_pattern}Q")
        set(used qt)
      endif()
      if(used STREQUAL "" OR used STREQUAL layer OR used IN_LIST allowed_${layer})
        continue()
      endif()
      line_of(${file} "${line}" number)
      describe_allowed(${layer} may)
      if(used STREQUAL "qt")
        set(what "Qt")
      else()
        set(what "the ${used} layer")
      endif()
      string(STRIP "${line}" line)
      string(APPEND failures "  ${shown}:${number}: ${line}\n"
                             "    the ${layer} layer may not include ${what} (it may use: ${may})\n")
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Forbidden includes between layers:\n${failures}"
                      "The table of what each layer may use is in cmake/CheckLayers.cmake.")
endif()
