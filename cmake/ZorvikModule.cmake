# zorvik_module(NAME DEPS ...): one module, a static library built from every
# .cpp in its folder, its headers included as "name/Header.h".
#
# The layering is enforced by the build: a module's headers are reachable only
# through an include folder of its own in the build tree (holding one link,
# "name", to src/name), and that folder reaches a target only through the
# module's link dependencies. An include of a module that is not a dependency,
# above all of a higher layer, fails to compile.
#
# QT: the module holds Qt classes (moc runs over its headers).
function(zorvik_module name)
  cmake_parse_arguments(ARG "QT" "" "DEPS;LIBS" ${ARGN})
  set(include_root "${PROJECT_BINARY_DIR}/include/${name}")
  file(MAKE_DIRECTORY "${include_root}")
  file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${include_root}/${name}" SYMBOLIC)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(sources)
    add_library(zorvik_${name} STATIC ${sources})
    if(ARG_QT)
      set_target_properties(zorvik_${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
    target_include_directories(zorvik_${name} PUBLIC "${include_root}")
    target_link_libraries(zorvik_${name} PUBLIC ${ARG_DEPS} ${ARG_LIBS}
                          PRIVATE zorvik_warnings)
  else()
    add_library(zorvik_${name} INTERFACE)
    target_include_directories(zorvik_${name} INTERFACE "${include_root}")
    target_link_libraries(zorvik_${name} INTERFACE ${ARG_DEPS} ${ARG_LIBS})
  endif()
endfunction()

# zorvik_test_suite(MODULE LIBS ... [ENV NAME=VALUE...] [QT]): one GoogleTest
# program per module, built from tests/MODULE/*.cpp plus the shared helpers
# of tests/support.
function(zorvik_test_suite module)
  cmake_parse_arguments(ARG "QT" "" "LIBS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${module}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(zorvik_${module}_tests ${sources})
  if(ARG_QT)
    set_target_properties(zorvik_${module}_tests PROPERTIES AUTOMOC ON)
  endif()
  target_link_libraries(zorvik_${module}_tests PRIVATE ${ARG_LIBS} zorvik_test_support
                        GTest::gtest GTest::gtest_main zorvik_warnings)
  gtest_discover_tests(zorvik_${module}_tests
    DISCOVERY_MODE PRE_TEST
    TEST_PREFIX "${module}.")
  # The environment is set by a file CTest reads after the discovered tests'
  # own: a list handed to gtest_discover_tests as a property is flattened on
  # its way, and every entry after the first would be lost.
  set(environment "ZORVIK_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data" "ZORVIK_BUILD_DIR=${PROJECT_BINARY_DIR}"
                  "ZORVIK_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${ARG_ENV})
  set(environment_file "${CMAKE_CURRENT_BINARY_DIR}/zorvik_${module}_tests_environment.cmake")
  file(WRITE "${environment_file}"
       "foreach(test IN LISTS zorvik_${module}_tests_TESTS)\n"
       "  set_tests_properties(\"\${test}\" PROPERTIES ENVIRONMENT \"${environment}\")\n"
       "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${environment_file}")
endfunction()
