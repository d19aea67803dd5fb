# Installs the built library into a scratch prefix, then configures, builds and runs a consumer
# project that knows the package only through find_package(xsect CONFIG REQUIRED), and, when the C
# interface is built (C_COMPILER given), its C program once more with pkg-config alone. Last, the
# same consumer adds the source tree with add_subdirectory: it must get the library and nothing else.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGV}\n${out}\n${err}")
  endif()
endfunction()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
find_program(consumer NAMES consumer PATHS ${WORK_DIR}/build NO_DEFAULT_PATH)
run(${consumer})
if(EXISTS ${WORK_DIR}/build/consumer_c)
  run(${WORK_DIR}/build/consumer_c)
endif()
# The Python package, when built, imports from the prefix's site-packages and finds the library.
if(PYTHON)
  run(${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/${PYTHON_PACKAGE_DIR} ${PYTHON} -c
      "import xsect; print(xsect.Model.from_arrays)")
endif()
file(GLOB_RECURSE pc ${prefix}/*/xsect.pc)
if(NOT pc)
  message(FATAL_ERROR "xsect.pc was not installed")
endif()
# pkg-config must point into this prefix, not where the build was configured to install.
get_filename_component(pcdir ${pc} DIRECTORY)
find_program(pkgconfig NAMES pkg-config REQUIRED)
execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir} ${pkgconfig} --cflags xsect
  RESULT_VARIABLE rc OUTPUT_VARIABLE cflags OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REAL_PATH ${prefix}/include include)
string(REGEX REPLACE "^-I" "" given "${cflags}")
file(REAL_PATH "${given}" given)
if(NOT rc EQUAL 0 OR NOT given STREQUAL include)
  message(FATAL_ERROR "pkg-config --cflags xsect gives \"${cflags}\", not -I${include}")
endif()
# A C program needs nothing but what pkg-config says to compile and link against the C interface.
if(C_COMPILER)
  if(NOT EXISTS ${pcdir}/xsect-c.pc)
    message(FATAL_ERROR "xsect-c.pc was not installed beside xsect.pc")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir} ${pkgconfig} --cflags --libs xsect-c
    RESULT_VARIABLE rc OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir} ${pkgconfig} --variable=libdir xsect-c
    OUTPUT_VARIABLE libdir OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config --cflags --libs xsect-c failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(${C_COMPILER} -std=c99 ${CONSUMER_DIR}/main.c ${flags} -o ${WORK_DIR}/consumer_c_pkgconfig)
  # The scratch prefix is not where the loader looks: say where the library is.
  run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir} ${WORK_DIR}/consumer_c_pkgconfig)
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/subproject -G ${GENERATOR} -DXSECT_SOURCE=${SOURCE_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/subproject --target help OUTPUT_VARIABLE targets)
foreach(extra xsect_tests xsect_cli xsect_c xsect_io xsect_python)
  if(targets MATCHES "(^|\n)${extra}[:\n]")
    message(FATAL_ERROR "add_subdirectory(xsect) builds ${extra} too")
  endif()
endforeach()
run(${CMAKE_COMMAND} --build ${WORK_DIR}/subproject --target consumer)
run(${WORK_DIR}/subproject/consumer)
