# The core suite for Windows, included by tests/CMakeLists.txt in a Windows
# build (scripts/build-windows) and run under Wine by scripts/test-windows.
#
# Every test of TIVOLAN_CORE_TESTS is built unless it needs POSIX: the
# simulator in-process (it lives on a pseudo-terminal), fork and exec, or
# the POSIX file types and permissions. A new test of that kind goes into
# TIVOLAN_POSIX_ONLY_TESTS; a Windows answer to what it checks, where Wine
# can show one, into tests/win/. The pseudo-terminal tests of the
# driver run through support/PtyPair.h, whose Windows side reaches a
# pseudo-terminal on the Linux side as COMn through Wine's dosdevices
# (tests/win/host/com_bridge.cpp).
set(TIVOLAN_POSIX_ONLY_TESTS
  link/exchange_test.cpp            # the simulator in-process (support/SimFixture.h)
  link/exchange_operation_test.cpp
  link/gsm_exchange_test.cpp
  link/firmware_test.cpp            # the boot loader simulator in-process
  link/late_answer_test.cpp         # the simulator in-process, tivolan-cli processes
  link/quiet_line_test.cpp          # the device played on the master of a pseudo-terminal
  link/unfinished_write_test.cpp    # the simulator in-process
  link/parallel_exchange_test.cpp   # two simulators in-process
  files/file_io_test.cpp            # FIFOs, sockets, devices, permission bits
  files/file_problems_test.cpp      # a FIFO
  files/file_numbers_cli_test.cpp   # tivolan-cli and the simulator as processes
  platform/port_state_test.cpp        # pseudo-terminals, lock files, /proc
  sim/panel_simulator_test.cpp      # the simulator itself
  sim/sim_port_test.cpp
  sim/sim_process_test.cpp
  sim/bootloader_sim_test.cpp
  cli/cli_test.cpp                  # Unix port paths; win/cli_com_test.cpp runs tivolan-cli.exe
  cli/station_test.cpp              # tivolan-cli station and simulators as processes
  station/journal_fields_test.cpp   # TZ set through setenv
  cli/cli_changes_test.cpp          # Unix port paths, tivolan-sim processes
  cli/cli_report_test.cpp           # tivolan-cli and poppler's tools as processes
  cli/cli_habits_test.cpp           # tivolan-cli and the simulator as processes, /dev paths
  cli/cli_terminal_test.cpp         # pipes, a controlling terminal, pseudo-terminals
)
set(TIVOLAN_WINDOWS_TESTS ${TIVOLAN_CORE_TESTS})
list(REMOVE_ITEM TIVOLAN_WINDOWS_TESTS ${TIVOLAN_POSIX_ONLY_TESTS})
list(APPEND TIVOLAN_WINDOWS_TESTS
  win/platform_test.cpp
  win/serial_com_test.cpp
  win/cli_com_test.cpp
)

# The suites' line to the Linux side: the COM bridge, programs started
# beside the suite, and the simulated device of the widget tests.
add_library(tivolan_win_support STATIC win/ComBridge.cpp win/Processes.cpp win/Wine.cpp win/SimPortWin.cpp
            ${PROJECT_SOURCE_DIR}/src/sim/PanelSimulator.cpp)
target_include_directories(tivolan_win_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tivolan_win_support PUBLIC tivolan_core ws2_32)
target_compile_options(tivolan_win_support PRIVATE ${TIVOLAN_WARNINGS})

add_executable(core_tests ${TIVOLAN_WINDOWS_TESTS})
target_include_directories(core_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(core_tests PRIVATE ${TIVOLAN_WARNINGS})
# tivolan_version: the settings test reads the version record of the running
# program.
target_link_libraries(core_tests PRIVATE tivolan_core tivolan_shell_frame tivolan_cli_core tivolan_version tivolan_win_support
                                         GTest::gtest_main)
add_dependencies(core_tests tivolan-cli)
tivolan_standalone(core_tests)
# No CTest registration: the suite runs as one program under Wine, since a
# Wine start per test would take minutes.


# With Qt for Windows (scripts/build-windows finds it): the widget suite of
# tests/ui, each program run under Wine with the offscreen platform.
# Also the window end to end over a COM port (window_com_test).
if(TIVOLAN_GUI)
  add_subdirectory(ui)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
  add_executable(window_com_test win/window_com_test.cpp)
  target_include_directories(window_com_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(window_com_test PRIVATE ${TIVOLAN_WARNINGS})
  target_link_libraries(window_com_test PRIVATE tivolan_ui tivolan_win_support Qt6::Test)
  set_target_properties(window_com_test PROPERTIES AUTOMOC ON)
  # Pictures of the window under Wine, for a person to look at (not a test).
  add_executable(window_shots win/window_shots.cpp)
  target_compile_options(window_shots PRIVATE ${TIVOLAN_WARNINGS})
  target_link_libraries(window_shots PRIVATE tivolan_ui tivolan_version)
endif()
