# Records the SHA-256 digest of a built file beside it, as "<digest>  <file name>".
# Usage: cmake -DFILE=<path> -P recordsha256.cmake
if(NOT FILE)
    message(FATAL_ERROR "recordsha256.cmake: FILE is not set")
endif()
file(SHA256 "${FILE}" digest)
get_filename_component(name "${FILE}" NAME)
file(WRITE "${FILE}.sha256" "${digest}  ${name}\n")
