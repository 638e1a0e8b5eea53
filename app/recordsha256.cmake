# Records the SHA-256 digest of a file as "<digest>  <file name>", beside it or in RECORD.
# Usage: cmake -DFILE=<path> [-DRECORD=<record path>] -P recordsha256.cmake
if(NOT FILE)
    message(FATAL_ERROR "recordsha256.cmake: FILE is not set")
endif()
if(NOT RECORD)
    set(RECORD "${FILE}.sha256")
endif()
file(SHA256 "${FILE}" digest)
get_filename_component(name "${FILE}" NAME)
file(WRITE "${RECORD}" "${digest}  ${name}\n")
