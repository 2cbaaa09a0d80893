# tuvreli_add_forms(target FORM_FILES a.form b.form ...)
# Compiles each readable form text with the host tool formc into its binary
# form stream and links it into the target as an RCDATA resource named after
# the form's class in upper case (TForm2 -> "TFORM2"). Pictures are looked up
# in the rendered art folder of the native tree.
include_guard(GLOBAL)

function(tuvreli_add_forms target)
  cmake_parse_arguments(ARG "" "" "FORM_FILES;ART_DIRS" ${ARGN})
  if(NOT ARG_FORM_FILES)
    message(FATAL_ERROR "tuvreli_add_forms: no FORM_FILES for ${target}")
  endif()
  set(formc "${TUVRELI_NATIVE_DIR}/tools/formc")
  set(art_dirs ${ARG_ART_DIRS})
  if(NOT art_dirs)
    set(art_dirs "${TUVRELI_NATIVE_DIR}/art")
  endif()
  set(art_args)
  foreach(d IN LISTS art_dirs)
    list(APPEND art_args --art "${d}")
  endforeach()
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/forms-${target}")
  file(MAKE_DIRECTORY "${out_dir}")
  set(rc_parts)
  set(bins)
  foreach(form IN LISTS ARG_FORM_FILES)
    get_filename_component(form_abs "${form}" ABSOLUTE)
    get_filename_component(stem "${form}" NAME_WE)
    set(bin "${out_dir}/${stem}.bin")
    set(part "${out_dir}/${stem}.rcpart")
    add_custom_command(OUTPUT "${bin}" "${part}"
      COMMAND "${formc}" ${art_args} "${form_abs}" -o "${bin}" --rc "${part}" --depfile "${bin}.d"
      DEPENDS "${form_abs}" "${formc}"
      DEPFILE "${bin}.d"
      COMMENT "Compiling form ${stem}"
      VERBATIM)
    list(APPEND rc_parts "${part}")
    list(APPEND bins "${bin}")
  endforeach()
  # One .rc naming every form of the target.
  set(rc "${out_dir}/forms.rc")
  add_custom_command(OUTPUT "${rc}"
    COMMAND "${CMAKE_COMMAND}" -DOUT=${rc} "-DPARTS=${rc_parts}" -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ConcatFiles.cmake"
    DEPENDS ${rc_parts} "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ConcatFiles.cmake"
    VERBATIM)
  target_sources(${target} PRIVATE "${rc}")
  # windres reads the binaries named in the .rc: rebuild when any changes.
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${bins}")
endfunction()
