# Installs the build into a fresh prefix, then builds and runs a C program
# against it twice: through pkg-config and through find_package(kvnvc).
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
