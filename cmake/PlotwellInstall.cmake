# Where `cmake --install` puts the programs, and the Debian package `make package` builds from
# that. The resources and the desktop files install from resources/CMakeLists.txt.
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plotwell)
set(CPACK_PACKAGE_VENDOR Orvanta)
set(CPACK_PACKAGE_CONTACT "Orvanta <plotwell@orvanta.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "organisation charts from CSV files")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.orvanta.com/plotwell/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Plotwell draws organisation charts from a grid of boxes or a CSV file, exports them\n\
as PNG or PDF, and converts CSV files into SQL, JSON, XML or HTML tables.")
# The dependencies come from the libraries the binaries link (dpkg-shlibdeps), the web engine's
# helper process included. Only the SVG image plugin, which Qt loads at run time for the
# window's icons and which no binary links, is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Mail sharing hands the chart to xdg-email; Qt draws natively on Wayland with its plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")

include(CPack)
