# The Debian packages, built by CPack (scripts/package): "corvin" with the programs and
# everything installed without a component of its own, and, when Segmora is built, its run-time
# library ("libsegmora1") and development files with the Qt Designer plugin ("libsegmora-dev").
# Dependencies come from dpkg-shlibdeps; only what is loaded at run time is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvin)
set(CPACK_PACKAGE_VENDOR "the Corvin developers")
set(CPACK_PACKAGE_VERSION "${Corvin_VERSION}")
set(CPACK_PACKAGE_CONTACT "Corvin developers <corvin@brevallo.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}")

# Descriptions: the synopsis on the first line, then the paragraphs, which CPack indents.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE corvin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_COMPONENTS_ALL Corvin)
set(CPACK_COMPONENT_CORVIN_GROUP corvin)
set(CPACK_DEBIAN_CORVIN_PACKAGE_NAME corvin)
# Loaded at run time, so no linker dependency names it: Qt Multimedia's PulseAudio backend,
# without which the program finds no audio device.
set(CPACK_DEBIAN_CORVIN_PACKAGE_DEPENDS libqt5multimedia5-plugins)
set(CPACK_DEBIAN_CORVIN_DESCRIPTION
    "remote control and audio analysis for communications receivers
Corvin remote-controls a 100 kHz to 3 GHz communications receiver over a
serial port, plays and records the receiver's audio on the PC, draws
bands, analyses recordings, detects anomalies and gives propagation data.

This package holds the program, its command-line tools and the receiver
simulator corvin-rxsim.")

if(TARGET Segmora)
    list(APPEND CPACK_COMPONENTS_ALL Segmora_Runtime Segmora_Development Segmora_Designer)
    set(CPACK_COMPONENT_SEGMORA_RUNTIME_GROUP libsegmora1)
    set(CPACK_COMPONENT_SEGMORA_DEVELOPMENT_GROUP libsegmora-dev)
    set(CPACK_COMPONENT_SEGMORA_DESIGNER_GROUP libsegmora-dev)
    set(CPACK_DEBIAN_LIBSEGMORA1_PACKAGE_NAME libsegmora1)
    set(CPACK_DEBIAN_LIBSEGMORA1_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_LIBSEGMORA-DEV_PACKAGE_NAME libsegmora-dev)
    set(CPACK_DEBIAN_LIBSEGMORA-DEV_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
    set(CPACK_DEBIAN_LIBSEGMORA1_PACKAGE_CONTROL_EXTRA
        "${PROJECT_SOURCE_DIR}/packaging/libsegmora1/triggers")
    # The Designer plugin links the library of the package beside it, which dpkg-shlibdeps
    # finds in that package's staging folder but cannot name: the one dependency given here.
    set(CPACK_PACKAGE_FILE_NAME "corvin-${Corvin_VERSION}")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
        "${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_FILE_NAME}/libsegmora1/usr/${CMAKE_INSTALL_LIBDIR}")
    set(CPACK_DEBIAN_LIBSEGMORA-DEV_PACKAGE_DEPENDS "libsegmora1 (= ${Corvin_VERSION})")
    set(CPACK_DEBIAN_LIBSEGMORA1_DESCRIPTION
        "segment-display widget library for Qt
Segmora is a Qt widget that shows a number in the look of a
seven-segment display, a nixie tube, a thumbwheel switch or a
vector-drawn LED display.

This package holds the run-time library.")
    set(CPACK_DEBIAN_LIBSEGMORA-DEV_DESCRIPTION
        "segment-display widget library for Qt (development files)
Segmora is a Qt widget that shows a number in the look of a
seven-segment display, a nixie tube, a thumbwheel switch or a
vector-drawn LED display.

This package holds the headers, the CMake package files and the
Qt Designer plugin.")
endif()

include(CPack)
