# Where `cmake --install` puts the programs. The resources and the desktop files install from
# resources/CMakeLists.txt.
#
#   bin/plotwell                    the headless commands; execs the window program for the rest
#   lib/plotwell/plotwell-window    the window program, private to plotwell
#   share/plotwell/                 the chart page, the sample file, the help document
#   share/applications, share/metainfo, share/icons/hicolor   the desktop's view of it
#
# The prefix can move: both programs find each other and share/plotwell relative to their own
# location (src/main.cpp, src/app/ResourceLocator.cpp).

install(TARGETS plotwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET plotwell-window)
  # lib/plotwell rather than CMAKE_INSTALL_LIBDIR, which is lib/<multiarch> on Debian: plotwell
  # looks for the window program in ../lib/plotwell beside itself.
  install(TARGETS plotwell-window RUNTIME DESTINATION lib/plotwell)
endif()
