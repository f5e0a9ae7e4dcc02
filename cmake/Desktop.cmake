# The desktop program `cantiere`: Qt windows over the model, the SDL2_mixer
# output, its tests and its installation.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
find_package(PkgConfig REQUIRED)
pkg_check_modules(CANTIERE_SDL REQUIRED IMPORTED_TARGET sdl2 SDL2_mixer)
pkg_check_modules(CANTIERE_X11 REQUIRED IMPORTED_TARGET x11)
include(GNUInstallDirs)

# Where the installed program finds its data, relative to itself, so the
# installed tree can be moved or installed under any prefix.
set(CANTIERE_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/cantiere)
file(RELATIVE_PATH CANTIERE_DATA_FROM_BIN
  /${CMAKE_INSTALL_BINDIR} /${CANTIERE_DATA_INSTALL_DIR})

# The desktop pieces, in a library so the widget tests link them.
add_library(cantiere_desktop STATIC
  shell/handheld_window.cpp
  shell/event_clock.cpp
  shell/qt_desktop.cpp
  shell/x11_autorepeat.cpp
  launcher/launcher_window.cpp
  launcher/about_window.cpp
  sound/sdl_output.cpp
)
target_link_libraries(cantiere_desktop PUBLIC
  cantiere_model cantiere_settings cantiere_render Qt6::Widgets
  PkgConfig::CANTIERE_SDL PkgConfig::CANTIERE_X11)

add_executable(cantiere launcher/main.cpp)
target_link_libraries(cantiere PRIVATE cantiere_desktop)
target_compile_definitions(cantiere PRIVATE CANTIERE_DATA_FROM_BIN="${CANTIERE_DATA_FROM_BIN}")

# The data beside the program in the build tree, as after installation.
set(CANTIERE_SOUNDS Barrel Bonus Fall Jump Miss OrcoFall Over Step)
set(CANTIERE_DATA_FILES readme.txt whatsnew.txt)
foreach(sound IN LISTS CANTIERE_SOUNDS)
  list(APPEND CANTIERE_DATA_FILES SOUND/${sound}.wav)
endforeach()
set(CANTIERE_DATA_COPIES)
foreach(file IN LISTS CANTIERE_DATA_FILES)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${CMAKE_SOURCE_DIR}/assets/${file} ${CMAKE_BINARY_DIR}/${file}
    DEPENDS ${CMAKE_SOURCE_DIR}/assets/${file}
    COMMENT "Copying ${file} beside cantiere"
    VERBATIM)
  list(APPEND CANTIERE_DATA_COPIES ${CMAKE_BINARY_DIR}/${file})
endforeach()
add_custom_target(cantiere_data ALL DEPENDS ${CANTIERE_DATA_COPIES})
add_dependencies(cantiere cantiere_data)

# Widget tests on the offscreen platform; sound through SDL's disk driver.
add_executable(desktop_test
  tests/desktop/desktop_test_main.cpp
  tests/desktop/handheld_window_test.cpp
  tests/desktop/launcher_window_test.cpp
  tests/desktop/event_clock_test.cpp
  tests/test_support.cpp
)
target_include_directories(desktop_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(desktop_test PRIVATE cantiere_desktop Qt6::Test GTest::gtest)
add_test(NAME desktop_test COMMAND desktop_test)
set_tests_properties(desktop_test PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)

add_executable(sdl_output_test tests/desktop/sdl_output_test.cpp)
target_link_libraries(sdl_output_test PRIVATE cantiere_desktop GTest::gtest_main)
target_compile_definitions(sdl_output_test PRIVATE
  CANTIERE_SOUND_DIR="${CMAKE_SOURCE_DIR}/assets/SOUND")
add_test(NAME sdl_output_test COMMAND sdl_output_test)
set_tests_properties(sdl_output_test PROPERTIES TIMEOUT 60)

# The real program under its own Xvfb, driven by real X events.
add_test(NAME desktop_e2e
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/e2e.sh
          $<TARGET_FILE:cantiere> $<TARGET_FILE:cantiere-sim>)
set_tests_properties(desktop_e2e PROPERTIES TIMEOUT 90 RUN_SERIAL TRUE)

install(TARGETS cantiere RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/SOUND DESTINATION ${CANTIERE_DATA_INSTALL_DIR}
  FILES_MATCHING PATTERN "*.wav")
install(FILES ${CMAKE_SOURCE_DIR}/assets/readme.txt ${CMAKE_SOURCE_DIR}/assets/whatsnew.txt
  DESTINATION ${CANTIERE_DATA_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/cantiere.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/assets/cantiere.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
