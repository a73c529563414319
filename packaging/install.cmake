# Install rules: one program folder holding the program, its run-time libraries, its resources
# and tools, as the program expects them beside its own file; plus the desktop entry and icons.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/velnor CACHE PATH "The program folder Velnor is installed into" FORCE)
endif()

# Every plain run-time library of the project (a shared library named "<stem>.so" without the
# "lib" prefix), wherever it is defined, except the fakes the tests build.
function(velnor_collect_plain_libraries dir out)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    get_target_property(prefix ${target} PREFIX)
    if(type STREQUAL "SHARED_LIBRARY" AND prefix STREQUAL "")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(children DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(child ${children})
    if(NOT child MATCHES "^${PROJECT_SOURCE_DIR}/(tests|bench)(/|$)")
      velnor_collect_plain_libraries(${child} child_found)
      list(APPEND found ${child_found})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

velnor_collect_plain_libraries(${PROJECT_SOURCE_DIR} velnor_installed_libraries)
set(velnor_installed_programs)
foreach(program Velnor lrcbuild mfpsim)
  if(TARGET ${program})
    list(APPEND velnor_installed_programs ${program})
  endif()
endforeach()

# Installed files find the libraries beside them, wherever the folder lies.
set_target_properties(${velnor_installed_programs} ${velnor_installed_libraries}
                      PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${velnor_installed_programs} ${velnor_installed_libraries}
        RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/velnor-start DESTINATION .)

# Icons: the drawing (SVG) and PNG sizes made from it at build time, when rsvg-convert is
# there; the desktop finds the scalable icon without them.
set(VELNOR_ICON_SIZES 16 24 32 48 64 128 256)
set(velnor_icon_svg ${CMAKE_CURRENT_LIST_DIR}/icons/velnor.svg)
set(velnor_icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
find_program(VELNOR_RSVG_CONVERT rsvg-convert)
set(velnor_icon_pngs)
if(VELNOR_RSVG_CONVERT)
  foreach(size ${VELNOR_ICON_SIZES})
    set(png ${velnor_icon_dir}/${size}x${size}/velnor.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${velnor_icon_dir}/${size}x${size}
      COMMAND ${VELNOR_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${velnor_icon_svg}
      DEPENDS ${velnor_icon_svg}
      COMMENT "Drawing the ${size}x${size} icon" VERBATIM)
    list(APPEND velnor_icon_pngs ${png})
  endforeach()
  add_custom_target(velnor_icons ALL DEPENDS ${velnor_icon_pngs})
else()
  message(STATUS "rsvg-convert not found: only the scalable icon is installed")
endif()

# Desktop integration, decided when installing: into the system's folders for a prefix outside
# the home folder (the package's /opt/velnor), into ~/.local for an install of one's own. The
# desktop entry starts velnor-start in the installed program folder.
set(velnor_icon_pngs_text "${velnor_icon_pngs}")
install(CODE "
  set(velnor_prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(velnor_home \"\$ENV{HOME}\")
  if(velnor_home AND velnor_prefix MATCHES \"^\${velnor_home}/\" AND \"\$ENV{DESTDIR}\" STREQUAL \"\")
    set(velnor_share \"\${velnor_home}/.local/share\")
    set(velnor_bin \"\${velnor_home}/.local/bin\")
  else()
    set(velnor_share /usr/share)
    set(velnor_bin /usr/bin)
  endif()
  set(VELNOR_DESKTOP_EXEC \"\${velnor_prefix}/velnor-start\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/velnor.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/packaging/velnor.desktop\" @ONLY)
  file(INSTALL DESTINATION \"\${velnor_share}/applications\" TYPE FILE
       FILES \"${CMAKE_BINARY_DIR}/packaging/velnor.desktop\")
  file(INSTALL DESTINATION \"\${velnor_share}/icons/hicolor/scalable/apps\" TYPE FILE
       FILES \"${velnor_icon_svg}\")
  foreach(png ${velnor_icon_pngs_text})
    get_filename_component(size_dir \"\${png}\" DIRECTORY)
    get_filename_component(size_name \"\${size_dir}\" NAME)
    file(INSTALL DESTINATION \"\${velnor_share}/icons/hicolor/\${size_name}/apps\" TYPE FILE
         FILES \"\${png}\")
  endforeach()
  # The command velnor: a link to the start script.
  set(velnor_link \"\$ENV{DESTDIR}\${velnor_bin}/velnor\")
  message(STATUS \"Installing: \${velnor_link}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${velnor_bin}\")
  file(CREATE_LINK \"\${velnor_prefix}/velnor-start\" \"\${velnor_link}\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${velnor_bin}/velnor\")
")

# Installing needs only what it installs: `cmake --install` and cpack do not build the whole
# project (tests and benchmarks) first. Build the program (or everything) before installing.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(velnor_installed_files)
add_dependencies(velnor_installed_files ${velnor_installed_programs} ${velnor_installed_libraries})
if(TARGET velnor_icons)
  add_dependencies(velnor_installed_files velnor_icons)
endif()
