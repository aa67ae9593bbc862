# A cross build with no yyjson for its target (TE_LINK_LIBRARY off) still
# links the real library target, against empty stand-ins for the yyjson
# functions the library calls, so that the file it produces (its name, its
# exports) can be checked. That file is never installed and never run.
#
# Included: defines the static library te_yyjson_stand_ins.
# Run with cmake -P: writes the stand-ins (-DNM, -DOBJECT_LIST, -DOUT).

if(CMAKE_SCRIPT_MODE_FILE)
  file(STRINGS "${OBJECT_LIST}" _objects)
  set(_names "")
  foreach(_obj IN LISTS _objects)
    execute_process(COMMAND "${NM}" -u "${_obj}" OUTPUT_VARIABLE _undefined COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "[ \t]U[ \t]+(unsafe_)?yyjson_[A-Za-z0-9_]+" _found "${_undefined}")
    foreach(_line IN LISTS _found)
      string(REGEX REPLACE "^[ \t]U[ \t]+" "" _name "${_line}")
      list(APPEND _names "${_name}")
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES _names)
  list(SORT _names)
  set(_code "/* Empty stand-ins for the yyjson functions the library calls. */\n")
  foreach(_name IN LISTS _names)
    string(APPEND _code "void ${_name}(void) {}\n")
  endforeach()
  file(WRITE "${OUT}" "${_code}")
  return()
endif()

set(_dir "${CMAKE_BINARY_DIR}/yyjson-stand-ins")
file(GENERATE OUTPUT "${_dir}/objects.txt"
  CONTENT "$<JOIN:$<TARGET_OBJECTS:te_engine>;$<TARGET_OBJECTS:te_platform_${TE_DESKTOP}>,\n>\n")
add_custom_command(OUTPUT "${_dir}/yyjson_stand_ins.c"
  COMMAND "${CMAKE_COMMAND}" "-DNM=${CMAKE_NM}" "-DOBJECT_LIST=${_dir}/objects.txt"
          "-DOUT=${_dir}/yyjson_stand_ins.c" -P "${CMAKE_CURRENT_LIST_FILE}"
  DEPENDS te_engine "te_platform_${TE_DESKTOP}" "${_dir}/objects.txt"
  COMMENT "Writing yyjson stand-ins for the trial link"
  VERBATIM)
add_library(te_yyjson_stand_ins STATIC "${_dir}/yyjson_stand_ins.c")
