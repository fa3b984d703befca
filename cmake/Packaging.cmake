# Installation of the sample programs and examples, and the packages made
# from the install tree by CPack (in the build directory):
#   cpack -G DEB    kvnvc_<version>_<arch>.deb
#   cpack -G TGZ    kvnvc-<version>-Linux.tar.gz
# Both hold the libraries, headers, pkg-config and CMake files, the sample
# programs in bin/ and the examples' sources in share/doc/kvnvc/examples.

# libkvnvc finds libkvncore beside itself wherever the tree is installed or
# unpacked (a program that calls no kvncore function itself does not load
# it, and its own rpath does not serve libkvnvc's needs); the sample programs
# find both from bin/.
set_target_properties(kvnvc PROPERTIES INSTALL_RPATH "$ORIGIN")
set(KVN_SAMPLE_PROGRAMS kvnvc-h264dec kvnvc-h264enc kvnvc-mpeg2dec kvnvc-mpeg2enc kvnvc-mpeg4dec kvnvc-dvdec kvnvc-info kvnvc-demo)
set_target_properties(${KVN_SAMPLE_PROGRAMS} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS ${KVN_SAMPLE_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT apps)
install(FILES
  ${PROJECT_SOURCE_DIR}/examples/README.md
  ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt
  ${PROJECT_SOURCE_DIR}/examples/motion_search.c
  ${PROJECT_SOURCE_DIR}/examples/h264_intra4x4.c
  ${PROJECT_SOURCE_DIR}/examples/deblock.c
  ${PROJECT_SOURCE_DIR}/examples/mpeg2_block.c
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT examples)

set(KVNVC_PACKAGE_MAINTAINER "kvnVC maintainers <maintainers@kvnvc.invalid>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME kvnvc)
set(CPACK_PACKAGE_VENDOR kvnVC)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "kvnVC video-coding primitives")
set(CPACK_PACKAGE_DESCRIPTION
  "The per-block arithmetic of video encoders and decoders (H.264, MPEG-4 Visual, H.263, H.261, "
  "MPEG-1/2, VC-1, AVS, DV), motion-estimation metrics and pre- and post-processing filters, "
  "with a flat C interface. With the kvncore core library, the headers, the pkg-config and CMake "
  "files, sample H.264 and MPEG-2 decoders and encoders, and examples.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "${KVNVC_PACKAGE_MAINTAINER}")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KVNVC_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# Dependencies computed from the binaries by dpkg-shlibdeps, which finds the
# package's own libraries where the build puts them (src/); stated where the
# tool is missing (the libraries need only the C library, the sample
# programs the C++ runtime).
find_program(KVN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KVN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
endif()
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)

include(CPack)
