# corvin_add_test(<name> AREA <area> [CORE] SOURCES <files...> LIBS <targets...>
#                 [TIMEOUT <seconds>] [ENVIRONMENT <VAR=value...>])
#
# Builds a QtTest executable and registers it with CTest, labelled by its area.
# CORE marks tests of the UI-free libraries: they also run in the sanitizer build.
# Every test runs on the offscreen platform with its own settings and data folders,
# so a test never touches a user's settings or data.
function(corvin_add_test name)
    cmake_parse_arguments(arg "CORE" "AREA;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
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
    set_tests_properties(${name} PROPERTIES
        LABELS "${labels}"
        TIMEOUT ${arg_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CORVIN_DATA_DIR=${sandbox}/data;XDG_CONFIG_HOME=${sandbox}/config;XDG_DATA_HOME=${sandbox}/share;CORVIN_SOURCE_DIR=${PROJECT_SOURCE_DIR};${arg_ENVIRONMENT}")
endfunction()
