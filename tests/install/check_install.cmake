# Installs the build into a fresh prefix, then builds and runs a C program
# against it twice: through pkg-config and through find_package(kvnvc); builds
# and runs the examples the same two ways; then makes the .deb package with
# cpack, unpacks it into a scratch root and builds and runs an example and a
# sample program from there.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(f include/kvnvc.h include/kvncore.h)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "${f} not installed")
  endif()
endforeach()
file(GLOB pcfile ${prefix}/lib*/pkgconfig/kvnvc.pc)
if(NOT pcfile)
  message(FATAL_ERROR "kvnvc.pc not installed")
endif()
get_filename_component(pcdir ${pcfile} DIRECTORY)
get_filename_component(libdir ${pcdir} DIRECTORY)

# pkg-config
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run(pkg-config --cflags --libs kvnvc)
string(STRIP "${last_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(cc -std=c99 -Wall -Wextra -Werror -pedantic ${SOURCE_DIR}/consumer/main.c ${flags}
    -Wl,-rpath,${libdir} -o ${WORK_DIR}/consumer_pc)
run(${WORK_DIR}/consumer_pc)
message(STATUS "pkg-config consumer: ${last_output}")

# find_package
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/consumer -B ${WORK_DIR}/consumer -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${WORK_DIR}/consumer/consumer_cmake)
message(STATUS "find_package consumer: ${last_output}")
run(${WORK_DIR}/consumer/consumer_static)
message(STATUS "find_package static consumer: ${last_output}")

# The examples: the standalone project (find_package) and each through pkg-config.
get_filename_component(examples ${SOURCE_DIR}/../../examples ABSOLUTE)
set(example_names motion_search h264_intra4x4 deblock mpeg2_block)
run(${CMAKE_COMMAND} -S ${examples} -B ${WORK_DIR}/examples -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/examples)
foreach(e ${example_names})
  run(${WORK_DIR}/examples/${e})
  message(STATUS "example (find_package): ${last_output}")
  run(cc -std=c99 -Wall -Wextra -Werror -pedantic ${examples}/${e}.c ${flags} -Wl,-rpath,${libdir}
      -o ${WORK_DIR}/${e}_pc)
  run(${WORK_DIR}/${e}_pc)
endforeach()
message(STATUS "examples through pkg-config: all passed")

# The Debian package, made from the build tree's CPack configuration.
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message(WARNING "dpkg-deb not found: the .deb package is not checked")
  return()
endif()
run(${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/package)
file(GLOB deb ${WORK_DIR}/package/*.deb)
if(NOT deb)
  message(FATAL_ERROR "cpack made no .deb")
endif()
run(${DPKG_DEB} --field ${deb} Package Version Depends)
message(STATUS "package ${deb}:\n${last_output}")
set(root ${WORK_DIR}/debroot)
run(${DPKG_DEB} -x ${deb} ${root})
# The package installs under /usr; unpacked elsewhere, its CMake files and
# kvnvc.pc find their prefix from their own location, so pointing the search
# paths into the root is all it takes; the programs are linked with an rpath
# into it (the sample programs find it themselves through $ORIGIN).
file(GLOB debpc ${root}/usr/lib*/pkgconfig/kvnvc.pc ${root}/usr/lib/*/pkgconfig/kvnvc.pc)
if(NOT debpc)
  message(FATAL_ERROR "kvnvc.pc not in the package")
endif()
get_filename_component(debpcdir ${debpc} DIRECTORY)
get_filename_component(deblibdir ${debpcdir} DIRECTORY)
set(debexamples ${root}/usr/share/doc/kvnvc/examples)
run(${CMAKE_COMMAND} -S ${debexamples} -B ${WORK_DIR}/deb_examples -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${root}/usr -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/deb_examples --target deblock)
run(${WORK_DIR}/deb_examples/deblock)
message(STATUS "example from the package (find_package): ${last_output}")
set(ENV{PKG_CONFIG_PATH} ${debpcdir})
run(pkg-config --cflags --libs kvnvc)
string(STRIP "${last_output}" debflags)
separate_arguments(debflags UNIX_COMMAND "${debflags}")
run(cc -std=c99 -Wall -Wextra -Werror -pedantic ${debexamples}/mpeg2_block.c ${debflags}
    -Wl,-rpath,${deblibdir} -o ${WORK_DIR}/deb_mpeg2_block)
run(${WORK_DIR}/deb_mpeg2_block)
message(STATUS "example from the package (pkg-config): ${last_output}")
run(${root}/usr/bin/kvnvc-info)
message(STATUS "kvnvc-info from the package: ran")
