# One static library per source folder: every .cpp in the folder belongs to it, so adding a
# file needs no edit of the build files.
function(norvane_folder_library name)
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  norvane_library(${name} SOURCES ${_sources} LIBS ${ARGN})
endfunction()

# A static library, or an interface library while it has no sources yet.
function(norvane_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  if(L_SOURCES)
    add_library(${name} STATIC ${L_SOURCES})
    target_link_libraries(${name} PUBLIC ${L_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${L_LIBS})
  endif()
endfunction()

# A GoogleTest executable run by CTest. Every test runs in private network and mount
# namespaces (see tests/support/SandboxMain.cpp), so tests may bind 127.0.0.1:443/80 and
# write under /opt and /var/lib without touching the machine.
function(norvane_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE norvane_testsupport ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "NORVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR};NORVANE_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
