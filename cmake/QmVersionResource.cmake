# qm_add_version_resource(TARGET DESCRIPTION)
#
# Links into TARGET the program's VERSIONINFO (product name, company, website in Comments,
# product and file version from the project version) and the application icon "AAA". The
# program reads these back at run time, so every executable carries the same block; only the
# file description differs.
#
# The script is compiled by a custom command rather than as an .rc source of the target, so the
# target's C++ compile options (warnings, definitions) never reach windres.
include_guard(GLOBAL)

function(qm_add_version_resource target description)
  set(QM_PRODUCT_NAME "Quillmarsh")
  set(QM_COMPANY_NAME "Quillmarsh Software")
  set(QM_WEBSITE "www.quillmarsh.example")
  set(QM_FILE_DESCRIPTION "${description}")
  set(QM_ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${target}>")
  set(QM_ICON_FILE "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../resources/quillmarsh.ico")
  cmake_path(NORMAL_PATH QM_ICON_FILE)

  # The top-level project's version (1.0); the parts it leaves out are 0.
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(QM_VERSION_${part} "${Quillmarsh_VERSION_${part}}")
    if(QM_VERSION_${part} STREQUAL "")
      set(QM_VERSION_${part} 0)
    endif()
  endforeach()

  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}_version")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/QmVersion.rc.in" "${base}.rc.in" @ONLY)
  # The executable's file name is only known at generation time.
  file(GENERATE OUTPUT "${base}.rc" INPUT "${base}.rc.in")

  add_custom_command(
    OUTPUT "${base}.res.obj"
    COMMAND "${CMAKE_RC_COMPILER}" --input-format=rc --output-format=coff
            -i "${base}.rc" -o "${base}.res.obj"
    DEPENDS "${base}.rc" "${QM_ICON_FILE}"
    COMMENT "Compiling the version resource of ${target}"
    VERBATIM)
  set_source_files_properties("${base}.res.obj" PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE "${base}.res.obj")
endfunction()
