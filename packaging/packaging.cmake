# Installing Velnor and packaging it as a Debian package.
#
# `cmake --install <build>` fills one program folder (the install prefix, /opt/velnor by
# default): the program Velnor, every run-time library of the project (<stem>.so, the resource
# library Velnorr.so), the tools lrcbuild and mfpsim, and the start script velnor-start. The
# program creates work/ and setting/ beside itself at run time; velnor-start gives each user a
# program folder of their own when the installed one is not theirs (docs/install.md).
#
# The desktop entry, the icons and the command `velnor` go to the system's folders (/usr/share,
# /usr/bin) when the prefix lies outside the home folder, and to ~/.local/share and ~/.local/bin
# for an install into a folder of one's own. `cpack -G DEB` builds velnor_1.0.0_<arch>.deb.

include(${CMAKE_CURRENT_LIST_DIR}/install.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/debian.cmake)

# The device benchmark of the performance report (its build file lies in bench/, whose own
# build file is the format libraries' and stays as it is).
if(EXISTS ${PROJECT_SOURCE_DIR}/bench/device.cmake)
  include(${PROJECT_SOURCE_DIR}/bench/device.cmake)
endif()
