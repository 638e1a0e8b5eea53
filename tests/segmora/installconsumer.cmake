# Installs Segmora into a staging prefix, then configures, builds and runs the example program
# as an outside project that finds the library through find_package(Segmora).
#   cmake -DBUILD_DIR= -DSTAGE= -DWORK= -DEXAMPLE_SOURCE= -DGENERATOR= -DLAUNCHER= -DLIBDIR=
#         -DINCLUDEDIR= -DDESIGNER_DIR= -DCOMPONENTS= -P installconsumer.cmake
cmake_minimum_required(VERSION 3.16)
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "failed (${rc}): ${command}\n${out}\n${err}")
    endif()
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${STAGE}" "${WORK}")
foreach(component IN LISTS COMPONENTS)
    run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${STAGE}" --component ${component})
endforeach()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT installed)
list(JOIN installed "\n  " listing)
message(STATUS "installed into ${STAGE}:\n  ${listing}")
set(required
    ${INCLUDEDIR}/Segmora/segmora.h
    ${INCLUDEDIR}/Segmora/segmora_export.h
    ${LIBDIR}/libSegmora.so
    ${LIBDIR}/cmake/Segmora/SegmoraConfig.cmake
    ${LIBDIR}/cmake/Segmora/SegmoraConfigVersion.cmake
    ${LIBDIR}/cmake/Segmora/SegmoraTargets.cmake
    share/doc/Segmora/NOTICE)
if(DESIGNER_DIR)
    list(APPEND required ${DESIGNER_DIR}/libsegmoradesignerplugin.so)
endif()
foreach(file IN LISTS required)
    if(NOT file IN_LIST installed)
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
# The versioned library and its soname link.
if(NOT installed MATCHES "${LIBDIR}/libSegmora\\.so\\.[0-9]+;${LIBDIR}/libSegmora\\.so\\.[0-9]+\\.[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "libSegmora.so.MAJOR and libSegmora.so.MAJOR.MINOR.PATCH not installed")
endif()

# Only the staging prefix can provide Segmora: no package registry, no build tree.
set(configure ${CMAKE_COMMAND} -S "${EXAMPLE_SOURCE}" -B "${WORK}" -G "${GENERATOR}"
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_PREFIX_PATH=${STAGE}
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
if(LAUNCHER)
    list(APPEND configure -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
endif()
run(${configure})
run(${CMAKE_COMMAND} --build "${WORK}")

set(demo "${WORK}/segmora-demo")
run(ldd "${demo}")
if(NOT run_output MATCHES "libSegmora\\.so\\.[0-9]+ => ${STAGE}/${LIBDIR}/")
    message(FATAL_ERROR "segmora-demo does not use the installed library:\n${run_output}")
endif()
run("${demo}" --screenshot "${WORK}/demo.png")
file(SIZE "${WORK}/demo.png" bytes)
if(bytes LESS 10000)
    message(FATAL_ERROR "segmora-demo's screenshot is only ${bytes} bytes")
endif()
message(STATUS "segmora-demo built against ${STAGE} and ran; screenshot ${bytes} bytes")
