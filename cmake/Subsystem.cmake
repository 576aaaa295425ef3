# qv_subsystem(NAME <target> DIR <folder under src> [DEPS <targets>...] [LIBS <libraries>...])
# Makes one static library of every .cpp file in the folder (recursively). A folder without
# sources yet becomes an interface library, so that the chain of subsystems always links.
function(qv_subsystem)
  cmake_parse_arguments(QV "" "NAME;DIR" "DEPS;LIBS" ${ARGN})
  file(GLOB_RECURSE _sources CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/${QV_DIR}/*.cpp")
  if(_sources)
    add_library(${QV_NAME} STATIC ${_sources})
    target_include_directories(${QV_NAME} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${QV_NAME} PUBLIC ${QV_DEPS} PRIVATE ${QV_LIBS})
  else()
    add_library(${QV_NAME} INTERFACE)
    target_include_directories(${QV_NAME} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${QV_NAME} INTERFACE ${QV_DEPS})
  endif()
endfunction()

# qv_tests(NAME <executable> DIR <folder under tests> LABEL <label> DEPS <targets>...)
# One test executable per subsystem, registered with CTest under the subsystem's label.
function(qv_tests)
  cmake_parse_arguments(QV "" "NAME;DIR;LABEL" "DEPS" ${ARGN})
  file(GLOB_RECURSE _sources CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/${QV_DIR}/*.cpp")
  if(NOT _sources)
    return()
  endif()
  add_executable(${QV_NAME} ${_sources})
  target_include_directories(${QV_NAME} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${CMAKE_CURRENT_SOURCE_DIR}")
  target_link_libraries(${QV_NAME} PRIVATE ${QV_DEPS} qv_testsupport GTest::gtest GTest::gmock)
  add_test(NAME ${QV_NAME} COMMAND ${QV_NAME})
  set_tests_properties(${QV_NAME} PROPERTIES
    LABELS "${QV_LABEL}"
    ENVIRONMENT "QV_BACKEND=headless;QV_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data"
    TIMEOUT 600)
endfunction()
