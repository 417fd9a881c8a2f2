# Makes both export lists of the library from its one table of exported
# functions (exports/export_table.txt):
#   zkall.map   the version script of libzkall.so: every plain name in the
#               version node ZKALL_1.0, everything else local;
#   ZKALL.def   the module-definition file of ZKALL.dll: a standard-call
#               function under its decorated name _name@bytes, every other
#               under its plain name.
# A function whose name the C library also has (note c-library-name) is
# zkall_<name> in C: the DLL exports it as <name>; the version script lists
# it in the node, and exports/shared_only_*.cpp binds it to the non-default
# version <name>@ZKALL_1.0 so that linking never picks it by accident.
#
# A 64-bit DLL (-DDECORATE=OFF) has no standard-call decoration: every
# function is exported under its plain name there.
#
# Usage: cmake -DTABLE=exports/export_table.txt -DOUT_DIR=dir [-DDECORATE=OFF] -P export_lists.cmake
# Stops with an error on a malformed line or a name given twice.
cmake_minimum_required(VERSION 3.20)
if(NOT TABLE OR NOT OUT_DIR)
  message(FATAL_ERROR "usage: cmake -DTABLE=<table> -DOUT_DIR=<dir> -P export_lists.cmake")
endif()

file(STRINGS "${TABLE}" lines)
set(map_names "")
set(def_lines "")
set(seen "")
set(line_no 0)
foreach(line IN LISTS lines)
  math(EXPR line_no "${line_no} + 1")
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(NOT line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]+(stdcall|cdecl)[ \t]+([0-9]+)([ \t]+([a-z-]+))?$")
    message(FATAL_ERROR "${TABLE}:${line_no}: not \"name stdcall|cdecl bytes [own|c-library-name]\": ${line}")
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(call "${CMAKE_MATCH_2}")
  set(bytes "${CMAKE_MATCH_3}")
  set(note "${CMAKE_MATCH_5}")
  if(NOT note STREQUAL "" AND NOT note STREQUAL "own" AND NOT note STREQUAL "c-library-name")
    message(FATAL_ERROR "${TABLE}:${line_no}: unknown note \"${note}\"")
  endif()
  math(EXPR rest "${bytes} % 4")
  if(NOT rest EQUAL 0)
    message(FATAL_ERROR "${TABLE}:${line_no}: ${name}: argument bytes ${bytes} are not a multiple of 4")
  endif()
  if(name IN_LIST seen)
    message(FATAL_ERROR "${TABLE}:${line_no}: ${name} is listed twice")
  endif()
  list(APPEND seen "${name}")

  if(note STREQUAL "c-library-name")
    if(call STREQUAL "stdcall")
      message(FATAL_ERROR "${TABLE}:${line_no}: ${name}: a C library name is not standard-call")
    endif()
    string(APPEND def_lines "  ${name} = zkall_${name}\n")
    # Listed so that the node keeps it global; its .symver gives it the
    # non-default version.
    string(APPEND map_names "    ${name};\n")
  elseif(call STREQUAL "stdcall" AND (NOT DEFINED DECORATE OR DECORATE))
    # "symbol == export name": the symbol drom_init@0 (as C names it) is
    # exported, and imported through the import library, as _drom_init@0.
    string(APPEND def_lines "  ${name}@${bytes} == _${name}@${bytes}\n")
    string(APPEND map_names "    ${name};\n")
  else()
    string(APPEND def_lines "  ${name}\n")
    string(APPEND map_names "    ${name};\n")
  endif()
endforeach()

set(banner "Made from exports/export_table.txt by cmake/export_lists.cmake; edit the table.")
set(map "/* ${banner} */\nZKALL_1.0 {\n  global:\n${map_names}  local:\n    *;\n};\n")
set(def "; ${banner}\nLIBRARY ZKALL.dll\nEXPORTS\n${def_lines}")
# Rewritten only when changed, so an unchanged table relinks nothing.
foreach(out IN ITEMS "zkall.map;map" "ZKALL.def;def")
  list(GET out 0 file)
  list(GET out 1 var)
  set(path "${OUT_DIR}/${file}")
  set(old "")
  if(EXISTS "${path}")
    file(READ "${path}" old)
  endif()
  if(NOT old STREQUAL "${${var}}")
    file(WRITE "${path}" "${${var}}")
  endif()
endforeach()
