# kantelo_add_tests(<prefix> LIBS <libs...>): every *_test.cpp in the calling folder becomes one
# GoogleTest executable and one CTest test named <prefix>.<file>.
function(kantelo_add_tests prefix)
  cmake_parse_arguments(ARG "" "" "LIBS;SOURCES" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    set(target ${prefix}_${name})
    add_executable(${target} ${src} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} kantelo_test_support kantelo_test_backup_folder GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${prefix}.${name} COMMAND ${target})
    set_tests_properties(${prefix}.${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KANTELO_SHARED_DIR=${KANTELO_SHARED_DIR};KANTELO_BUILD_DIR=${CMAKE_BINARY_DIR};KANTELO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
      TIMEOUT 600)
  endforeach()
endfunction()

# kantelo_library(<target> [PUBLIC deps...]): a static library of every .cpp in the calling
# folder (main.cpp excluded), including src/ for "folder/header.h" includes.
function(kantelo_library target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    set(sources ${CMAKE_BINARY_DIR}/kantelo_empty.cpp)
    file(WRITE ${sources} "// no sources yet\n")
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${target} ${ARGN})
endfunction()

# kantelo_windows_resources(<target> <description>): icon, version information and manifest.
function(kantelo_windows_resources target description)
  set(KANTELO_ICON ${CMAKE_SOURCE_DIR}/src/app/windows/kantelo.ico)
  set(KANTELO_MANIFEST ${CMAKE_SOURCE_DIR}/src/app/windows/kantelo.manifest)
  set(KANTELO_DESCRIPTION "${description}")
  set(KANTELO_EXE ${target})
  set(KANTELO_VERSION_PATCH 0)
  if(PROJECT_VERSION_PATCH)
    set(KANTELO_VERSION_PATCH ${PROJECT_VERSION_PATCH})
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/src/app/windows/kantelo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
