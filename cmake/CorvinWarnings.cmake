# Project code builds with strict warnings that fail the build.
set(CORVIN_WARNING_FLAGS
    -Wall -Wextra -Wpedantic -Wshadow -Wdouble-promotion -Werror)
add_compile_options(${CORVIN_WARNING_FLAGS})

option(CORVIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(CORVIN_SANITIZE)
    set(sanitize_flags -fsanitize=address,undefined -fno-omit-frame-pointer
                       -fno-sanitize-recover=undefined)
    add_compile_options(${sanitize_flags})
    add_link_options(${sanitize_flags})
endif()
