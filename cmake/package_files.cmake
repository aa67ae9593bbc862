# What the packages hold beyond the programs and the library, installed by
# `cmake --install` as well (packaging/ has the sources):
# - the manual pages te(1) and velmora-manager(1), made from the programs'
#   own --help at build time (help2man), so they never fall behind it;
# - the snippet window's desktop entry, icon (SVG, and PNG sizes drawn from
#   it with rsvg-convert) and AppStream metadata;
# - the copyright file (with yyjson's licence when the library links it in)
#   and the changelog, in each package's documentation folder.
# With TE_PACKAGE_TOOLS_REQUIRED (scripts/package.sh sets it) a missing
# help2man or rsvg-convert stops cmake; otherwise what needs it is left out.

option(TE_PACKAGE_TOOLS_REQUIRED "Stop when help2man or rsvg-convert is missing" OFF)
set(TE_PROJECT_URL "" CACHE STRING
  "The project's public web address, once it has one; AppStream's homepage and screenshot (docs/manager.png) lie under it")

set(TE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TE_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${TE_PACKAGING_OUT})

# Finds PROGRAM into VAR; says what is left out without it, or stops.
function(te_package_tool var program left_out)
  find_program(${var} ${program})
  if(NOT ${var} AND TE_PACKAGE_TOOLS_REQUIRED)
    message(FATAL_ERROR "${program} is needed for ${left_out} (scripts/install-deps.sh installs it)")
  elseif(NOT ${var})
    message(STATUS "${program} not found: ${left_out} not installed")
  endif()
endfunction()

# The release of the changelog's first entry: its version must be the
# project's; its date is the AppStream release date and the date of the
# manual pages (SOURCE_DATE_EPOCH, so a rebuild makes the same pages).
function(te_changelog_release)
  file(STRINGS ${TE_PACKAGING_DIR}/changelog _lines)
  list(GET _lines 0 _head)
  if(NOT _head MATCHES "^velmora-textexpander \\(([^)]+)\\)")
    message(FATAL_ERROR "packaging/changelog: first line names no velmora-textexpander version")
  endif()
  if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog starts at ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: add an entry")
  endif()
  list(FILTER _lines INCLUDE REGEX "^ -- .*>  ")
  list(GET _lines 0 _trailer)
  string(REGEX REPLACE "^ -- .*>  " "" _stamp "${_trailer}")
  execute_process(COMMAND date -u -d "${_stamp}" +%Y-%m-%d OUTPUT_VARIABLE _day
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND date -u -d "${_stamp}" +%s OUTPUT_VARIABLE _epoch
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(TE_RELEASE_DATE ${_day} PARENT_SCOPE)
  set(TE_RELEASE_EPOCH ${_epoch} PARENT_SCOPE)
endfunction()

# The copyright file; when yyjson was built from its release archive it is
# part of the library, and its licence comes along.
function(te_copyright_file out)
  file(READ ${TE_PACKAGING_DIR}/copyright _text)
  if(TARGET te_yyjson)
    file(GLOB _licence ${CMAKE_BINARY_DIR}/yyjson/source/yyjson-*/LICENSE)
    get_filename_component(_release ${_licence} DIRECTORY)
    get_filename_component(_release ${_release} NAME)
    file(READ ${_licence} _yyjson)
    string(APPEND _text "\nThe library contains ${_release}, under this licence:\n\n${_yyjson}")
  endif()
  file(WRITE ${out}.new "${_text}")
  configure_file(${out}.new ${out} COPYONLY)
endfunction()

# Each package's documentation folder: copyright and changelog.gz.
function(te_package_docs component package)
  set(_dir ${TE_PACKAGING_OUT}/doc/${package})
  te_copyright_file(${_dir}/copyright)
  add_custom_command(OUTPUT ${_dir}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${TE_PACKAGING_DIR}/changelog ${_dir}/changelog
    COMMAND gzip -9nf ${_dir}/changelog
    DEPENDS ${TE_PACKAGING_DIR}/changelog VERBATIM)
  add_custom_target(te_docs_${component} ALL DEPENDS ${_dir}/changelog.gz)
  install(FILES ${_dir}/copyright ${_dir}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()

# te(1) or velmora-manager(1), from the program's --help.
function(te_man_page target)
  set(_page ${TE_PACKAGING_OUT}/${target}.1.gz)
  add_custom_command(OUTPUT ${_page}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TE_RELEASE_EPOCH}
      bash ${TE_PACKAGING_DIR}/make-man-page.sh $<TARGET_FILE:${target}> ${TE_PACKAGING_DIR}/${target}.h2m ${_page}
    DEPENDS ${target} ${TE_PACKAGING_DIR}/${target}.h2m ${TE_PACKAGING_DIR}/make-man-page.sh
    COMMENT "Manual page ${target}(1) from ${target} --help" VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${_page})
  install(FILES ${_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# The snippet window's icon: the SVG, and PNGs of the usual sizes.
function(te_manager_icons)
  set(_svg ${TE_PACKAGING_DIR}/velmora-manager.svg)
  set(_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${_svg} DESTINATION ${_icons}/scalable/apps)
  te_package_tool(TE_RSVG_CONVERT rsvg-convert "the PNG icons")
  if(NOT TE_RSVG_CONVERT)
    return()
  endif()
  set(_pngs)
  foreach(_size 16 22 24 32 48 64 128 256)
    set(_png ${TE_PACKAGING_OUT}/icons/${_size}x${_size}/velmora-manager.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${TE_PACKAGING_OUT}/icons/${_size}x${_size}
      COMMAND ${TE_RSVG_CONVERT} -w ${_size} -h ${_size} -o ${_png} ${_svg}
      DEPENDS ${_svg} VERBATIM)
    list(APPEND _pngs ${_png})
    install(FILES ${_png} DESTINATION ${_icons}/${_size}x${_size}/apps)
  endforeach()
  add_custom_target(te_manager_icons ALL DEPENDS ${_pngs})
endfunction()

if(NOT WIN32)
  te_changelog_release()
  te_package_docs(runtime velmora-textexpander)
  te_package_docs(dev libvelmora-textexpander-dev)

  te_package_tool(TE_HELP2MAN help2man "the manual pages")
  if(TE_HELP2MAN AND TARGET te)
    te_man_page(te)
  endif()
  if(TE_HELP2MAN AND TARGET velmora-manager)
    te_man_page(velmora-manager)
  endif()

  if(TARGET velmora-manager)
    te_manager_icons()
    install(FILES ${TE_PACKAGING_DIR}/velmora-manager.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The homepage and the screenshot only where there is an address to give.
    set(TE_METAINFO_WEB "")
    if(TE_PROJECT_URL)
      string(CONCAT TE_METAINFO_WEB
        "  <url type=\"homepage\">${TE_PROJECT_URL}</url>\n"
        "  <screenshots>\n"
        "    <screenshot type=\"default\">\n"
        "      <caption>The snippet list with the editor and its preview</caption>\n"
        "      <image>${TE_PROJECT_URL}/docs/manager.png</image>\n"
        "    </screenshot>\n"
        "  </screenshots>\n")
    endif()
    configure_file(${TE_PACKAGING_DIR}/org.velmora.textexpander.metainfo.xml.in
      ${TE_PACKAGING_OUT}/org.velmora.textexpander.metainfo.xml @ONLY)
    install(FILES ${TE_PACKAGING_OUT}/org.velmora.textexpander.metainfo.xml
      DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  endif()
else()
  # The Windows zip: a short README for host developers, the copyright file
  # and the .def file (from which MSVC's lib tool makes an import library).
  te_copyright_file(${TE_PACKAGING_OUT}/copyright.txt)
  install(FILES ${TE_PACKAGING_DIR}/windows/README.txt ${TE_PACKAGING_OUT}/copyright.txt DESTINATION .
    COMPONENT dev)
  install(FILES ${PROJECT_SOURCE_DIR}/src/velmora-textexpander.def DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT dev)
endif()
