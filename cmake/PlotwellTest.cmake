# plotwell_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [QT])
#
# One executable per unit test file group. GoogleTest by default; QT makes it
# a Qt Test executable instead. Every test runs with the offscreen platform so
# that no display is needed.
find_package(GTest)

function(plotwell_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  # Qt Test too for GoogleTest executables: QSignalSpy and QTest helpers serve both.
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  if(NOT ARG_QT)
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    PLOTWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    PLOTWELL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox --disable-gpu;QT_LOGGING_RULES=plotwell.debug=false"
    LABELS "${ARG_LABELS}"
    TIMEOUT 300)
endfunction()
