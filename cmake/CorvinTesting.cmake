# corvin_add_test(<name> AREA <area> [CORE] [NEEDS_AUDIO] SOURCES <files...> LIBS <targets...>
#                 [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>])
#
# Builds a QtTest executable and registers it with CTest, labelled by its area.
# CORE marks tests of the UI-free libraries: they also run in the sanitizer build.
# NEEDS_AUDIO marks tests of the real capture and playback path: they require the private
# PulseAudio server fixture below (so a plain `ctest`, or `ctest -R <name>`, starts it first),
# get its address and FIFOs in their environment, and run one at a time.
# Every test runs on the offscreen platform with its own settings and data folders,
# so a test never touches a user's settings or data.

# The server of scripts/pulse-test-server lives in a fixed folder of the build tree while the
# tests that need it run. Where its socket and FIFOs are is the script's layout.
set(CORVIN_PULSE_DIR "${CMAKE_BINARY_DIR}/test-pulse")
set(CORVIN_PULSE_ENVIRONMENT
    "PULSE_SERVER=unix:${CORVIN_PULSE_DIR}/runtime/native"
    "CORVIN_PULSE_DIR=${CORVIN_PULSE_DIR}"
    "CORVIN_AUDIO_FIFO=${CORVIN_PULSE_DIR}/corvin_in.fifo"
    "CORVIN_AUDIO_FIFO_STEREO=${CORVIN_PULSE_DIR}/corvin_in_stereo.fifo")

# Registers the fixture's start and stop once. Starting fails only when CI is set; elsewhere a
# machine without PulseAudio gets tests that skip and say why.
function(corvin_add_pulse_fixture)
    get_property(done GLOBAL PROPERTY CORVIN_PULSE_FIXTURE)
    if(done)
        return()
    endif()
    set_property(GLOBAL PROPERTY CORVIN_PULSE_FIXTURE TRUE)
    set(script "${PROJECT_SOURCE_DIR}/scripts/pulse-test-server")
    add_test(NAME pulse_server_start COMMAND "${script}" fixture-start "${CORVIN_PULSE_DIR}")
    add_test(NAME pulse_server_stop COMMAND "${script}" stop "${CORVIN_PULSE_DIR}")
    set_tests_properties(pulse_server_start PROPERTIES
        FIXTURES_SETUP pulseaudio LABELS fixture TIMEOUT 30)
    set_tests_properties(pulse_server_stop PROPERTIES
        FIXTURES_CLEANUP pulseaudio LABELS fixture TIMEOUT 30)
endfunction()

# For the environment of sanitizer-built tests that run a GUI application (PDF, images, fonts),
# or start a tool that does: lets go of the offscreen platform plugin's screen, which Qt never
# frees. The full allocation stacks are needed to tell its allocations from ours.
set(CORVIN_GUI_LSAN_ENVIRONMENT)
if(CORVIN_SANITIZE)
    set(CORVIN_GUI_LSAN_ENVIRONMENT
        "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan-qt-offscreen.supp:fast_unwind_on_malloc=0:print_suppressions=0")
endif()

function(corvin_add_test name)
    cmake_parse_arguments(arg "CORE;NEEDS_AUDIO" "AREA;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    if(CORVIN_CORE_ONLY AND NOT arg_CORE)
        return()
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 300)
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${arg_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set(sandbox "${CMAKE_BINARY_DIR}/test-sandbox/${name}")
    set(labels ${arg_AREA})
    if(arg_CORE)
        list(APPEND labels core)
    endif()
    if(arg_NEEDS_AUDIO)
        corvin_add_pulse_fixture()
        list(APPEND arg_ENVIRONMENT ${CORVIN_PULSE_ENVIRONMENT})
        # One at a time: they share the server's sources and sink.
        set_tests_properties(${name} PROPERTIES
            FIXTURES_REQUIRED pulseaudio RESOURCE_LOCK pulseaudio)
    endif()
    set_tests_properties(${name} PROPERTIES
        LABELS "${labels}"
        TIMEOUT ${arg_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CORVIN_DATA_DIR=${sandbox}/data;XDG_CONFIG_HOME=${sandbox}/config;XDG_DATA_HOME=${sandbox}/share;CORVIN_SOURCE_DIR=${PROJECT_SOURCE_DIR};${arg_ENVIRONMENT}")
endfunction()
